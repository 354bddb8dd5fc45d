// Tour step "windows": a form of nested aligned panels, a tool strip, a status strip, a tree pane, a grid and graphic controls, painted through the window pipeline and written as windows.png.
#include <string>
#include <vector>

#include "host/app/app.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

void PaintCaption(TCanvas* C, TRect R, const std::string& Text, UINT Format) {
    C->Brush()->SetStyle(bsClear);
    DrawTextA(C->Handle(), Text.c_str(), -1, &R, Format | DT_SINGLELINE);
    C->Brush()->SetStyle(bsSolid);
}

// A panel in the classic look: a face, a raised or sunken edge and a centred caption.
class TDemoPanel : public TCustomControl {
    HOST_CLASS(TDemoPanel, TCustomControl)
public:
    explicit TDemoPanel(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle.Include(csAcceptsControls);
        SetColor(clBtnFace);
    }
    UINT Edge = EDGE_RAISED;
    UINT Format = DT_CENTER | DT_VCENTER;

protected:
    void Paint() override {
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(r);
        if (Edge != 0) DrawEdge(Canvas()->Handle(), &r, Edge, BF_RECT);
        r.left += 6;
        r.right -= 6;
        PaintCaption(Canvas(), r, Caption(), Format);
    }
};

// A tool button without a window: a raised face with its caption.
class TDemoButton : public TGraphicControl {
    HOST_CLASS(TDemoButton, TGraphicControl)
public:
    explicit TDemoButton(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    void Paint() override {
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(r);
        DrawEdge(Canvas()->Handle(), &r, EDGE_RAISED, BF_RECT);
        PaintCaption(Canvas(), r, Caption(), DT_CENTER | DT_VCENTER);
    }
};

// A small coloured marker with a label, drawn by its parent.
class TDemoSwatch : public TGraphicControl {
    HOST_CLASS(TDemoSwatch, TGraphicControl)
public:
    explicit TDemoSwatch(TComponent* AOwner) : TGraphicControl(AOwner) {}
    TColor Fill = clRed;

protected:
    void Paint() override {
        TRect box{0, 2, 14, 16};
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->Pen()->SetColor(clBlack);
        Canvas()->Rectangle(box);
        PaintCaption(Canvas(), TRect{20, 0, Width(), Height()}, Caption(), DT_LEFT | DT_VCENTER);
    }
};

// A white list of indented items, as a tree pane shows them.
class TDemoTree : public TCustomControl {
    HOST_CLASS(TDemoTree, TCustomControl)
public:
    explicit TDemoTree(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clWindow); }
    std::vector<std::pair<int, std::string>> Items;

protected:
    void Paint() override {
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(r);
        DrawEdge(Canvas()->Handle(), &r, EDGE_SUNKEN, BF_RECT);
        int y = 6;
        for (size_t i = 0; i < Items.size(); ++i) {
            int x = 8 + Items[i].first * 16;
            Canvas()->Pen()->SetColor(clGray);
            if (Items[i].first > 0) {
                Canvas()->MoveTo(x - 10, y + 8);
                Canvas()->LineTo(x - 2, y + 8);
            }
            Canvas()->Brush()->SetColor(i == 2 ? clHighlight : clWindow);
            Canvas()->Font()->SetColor(i == 2 ? clHighlightText : clWindowText);
            TSize s = Canvas()->TextExtent(Items[i].second);
            Canvas()->TextRect(TRect{x, y, x + s.cx + 4, y + 16}, x + 2, y + 1, Items[i].second);
            y += 18;
        }
        Canvas()->Font()->SetColor(clWindowText);
    }
};

// A grid of cells with a fixed header row and column.
class TDemoGrid : public TCustomControl {
    HOST_CLASS(TDemoGrid, TCustomControl)
public:
    explicit TDemoGrid(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clWindow); }

protected:
    void Paint() override {
        static const char* const kHead[] = {"", "Name", "City", "Orders"};
        static const char* const kRows[][3] = {{"Ada Lamb", "Bergen", "12"},    {"Ben Ortiz", "Lyon", "7"},
                                               {"Cleo Park", "Porto", "31"},   {"Dev Rao", "Turku", "4"},
                                               {"Eva Stone", "Graz", "18"},    {"Finn Hale", "Cork", "9"}};
        const int widths[] = {24, 110, 90, 60};
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(r);
        int y = 2;
        for (int row = 0; row <= 6; ++row) {
            int x = 2;
            for (int col = 0; col < 4; ++col) {
                TRect cell{x, y, x + widths[col], y + 20};
                bool fixed = row == 0 || col == 0;
                Canvas()->Brush()->SetColor(fixed ? clBtnFace : (row == 3 ? clHighlight : clWindow));
                Canvas()->FillRect(cell);
                if (fixed) {
                    TRect e = cell;
                    DrawEdge(Canvas()->Handle(), &e, BDR_RAISEDINNER, BF_RECT);
                } else {
                    Canvas()->Pen()->SetColor(clSilver);
                    Canvas()->MoveTo(cell.left, cell.bottom - 1);
                    Canvas()->LineTo(cell.right - 1, cell.bottom - 1);
                    Canvas()->LineTo(cell.right - 1, cell.top - 1);
                }
                Canvas()->Font()->SetColor(!fixed && row == 3 ? clHighlightText : clWindowText);
                std::string text = row == 0 ? kHead[col] : col == 0 ? std::to_string(row) : kRows[row - 1][col - 1];
                PaintCaption(Canvas(), TRect{cell.left + 4, cell.top, cell.right - 2, cell.bottom}, text,
                             DT_LEFT | DT_VCENTER);
                x += widths[col];
            }
            y += 20;
        }
        Canvas()->Font()->SetColor(clWindowText);
        TRect frame = r;
        DrawEdge(Canvas()->Handle(), &frame, EDGE_SUNKEN, BF_RECT);
    }
};

template <class T>
T* Add(TWinControl* Parent, TAlign Align, int W, int H, const std::string& Caption = "") {
    auto* c = new T(GetParentForm(Parent) != nullptr ? static_cast<TComponent*>(GetParentForm(Parent)) : Parent);
    c->SetBounds(1000, 1000, W, H);  // placed after the siblings of its alignment
    c->SetAlign(Align);
    c->SetCaption(Caption);
    c->SetParent(Parent);
    return c;
}

void RunWindows(ryxdemo::TTourContext& Ctx) {
    auto* form = new TForm(Application);
    form->SetCaption("Customers - nested aligned controls");
    form->SetBounds(40, 40, 680, 460);
    form->Font()->SetName("Arial");
    form->Font()->SetSize(9);

    auto* tools = Add<TDemoPanel>(form, alTop, 10, 32);
    tools->Edge = BDR_RAISEDINNER;
    for (const char* name : {"New", "Open", "Save", "Print"}) Add<TDemoButton>(tools, alLeft, 64, 10, name);
    auto* status = Add<TDemoPanel>(form, alBottom, 10, 22);
    status->Edge = 0;
    Add<TDemoPanel>(status, alLeft, 140, 10, "Ready")->Edge = BDR_SUNKENOUTER;
    auto* count = Add<TDemoPanel>(status, alClient, 10, 10, "6 records");
    count->Edge = BDR_SUNKENOUTER;
    count->Format = DT_LEFT | DT_VCENTER;

    auto* tree = Add<TDemoTree>(form, alLeft, 170, 10);
    tree->Items = {{0, "Sample database"}, {1, "Customers"}, {1, "Orders"}, {2, "Open orders"},
                   {2, "Shipped"}, {1, "Products"}, {1, "Suppliers"}, {0, "Reports"}, {1, "Monthly sales"}};
    auto* splitter = Add<TDemoPanel>(form, alLeft, 5, 10);
    splitter->Edge = 0;

    auto* client = Add<TDemoPanel>(form, alClient, 10, 10);
    client->Edge = 0;
    auto* header = Add<TDemoPanel>(client, alTop, 10, 28, "Customers");
    header->Font()->SetStyle({fsBold});
    header->Format = DT_LEFT | DT_VCENTER;
    auto* details = Add<TDemoPanel>(client, alRight, 150, 10);
    details->Edge = EDGE_ETCHED;
    auto* legend = Add<TDemoPanel>(details, alTop, 10, 24, "Legend");
    legend->Edge = 0;
    int y = 30;
    for (auto [color, text] : std::vector<std::pair<TColor, std::string>>{
             {clLime, "Active"}, {clYellow, "Waiting"}, {clRed, "Overdue"}, {clSilver, "Closed"}}) {
        auto* s = new TDemoSwatch(form);
        s->Fill = color;
        s->SetCaption(text);
        s->SetBounds(12, y, 120, 18);
        s->SetParent(details);
        y += 22;
    }
    auto* grid = Add<TDemoGrid>(client, alClient, 10, 10);
    grid->SetName("Grid");

    form->Show();
    UpdateAllWindows();
    auto file = Ctx.OutputFile("windows.png");
    if (!wintest::SaveWindowPng(form->Handle(), file.string())) throw EInvalidOperation("Cannot write windows.png");
    Ctx.Log("windows: form with " + std::to_string(form->ComponentCount()) + " components");
    delete form;
}

const ryxdemo::TTourStepRegistration reg(50, "windows",
                                         "a form of nested aligned panels and controls, painted and photographed",
                                         &RunWindows);

}  // namespace
