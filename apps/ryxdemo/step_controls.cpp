// Tour step "controls": a form with one of each standard control, its open combo drop-down, its settings in an ini file and the registry, and a printed page.
#include <cstdlib>
#include <string>

#include "host/app/app.h"
#include "host/app/inifiles.h"
#include "host/app/printers.h"
#include "host/app/registry.h"
#include "host/controls/animate.h"
#include "host/controls/buttons.h"
#include "host/controls/comctrls.h"
#include "host/controls/edits.h"
#include "host/controls/extctrls.h"
#include "host/controls/forms.h"
#include "host/controls/grids.h"
#include "host/controls/lists.h"
#include "host/controls/menus.h"
#include "host/controls/treeview.h"
#include "host/gdi/gdi.h"
#include "host/graphics/graphics.h"
#include "host/os/winreg.h"
#include "host/windows/wintest.h"
#include "tour.h"

namespace {

using namespace host;

template <class T>
T* Put(TWinControl* Parent, int Left, int Top, int Width, int Height) {
    auto* c = new T(GetParentForm(Parent));  // the form owns every control
    c->SetBounds(Left, Top, Width, Height);
    c->SetParent(Parent);
    return c;
}

template <class T>
T* Labelled(TForm* Form, const char* Caption, int Top) {
    auto* label = Put<TLabel>(Form, 8, Top + 3, 58, 13);
    label->SetCaption(Caption);
    auto* c = Put<T>(Form, 70, Top, 160, 21);
    label->SetFocusControl(c);
    return c;
}

void BuildLeftColumn(TForm* Form) {
    Labelled<TEdit>(Form, "&Name:", 8)->SetText("Ann Example");
    auto* pwd = Labelled<TEdit>(Form, "Pass&word:", 36);
    pwd->SetPasswordChar('*');
    pwd->SetText("secret");
    Labelled<TMaskEdit>(Form, "&Phone:", 64)->SetEditMask("!(999) 000-0000;1;_");
    auto* memo = Put<TMemo>(Form, 8, 94, 222, 80);
    memo->SetScrollBars(ssVertical);
    for (int i = 1; i <= 8; ++i) memo->Lines()->Add("Memo line " + std::to_string(i));
    auto* check = Put<TCheckBox>(Form, 8, 182, 110, 17);
    check->SetCaption("&Remember");
    check->SetChecked(true);
    auto* radio = Put<TRadioButton>(Form, 120, 182, 110, 17);
    radio->SetCaption("R&adio");
    radio->SetChecked(true);
    auto* group = Put<TRadioGroup>(Form, 8, 204, 222, 64);
    group->SetCaption("&Size");
    for (const char* s : {"Small", "Medium", "Large"}) group->Items()->Add(s);
    group->SetColumns(2);
    group->SetItemIndex(1);
    auto* box = Put<TGroupBox>(Form, 8, 274, 222, 56);
    box->SetCaption("Buttons");
    Put<TButton>(box, 10, 20, 75, 25)->SetCaption("A&pply");
    Put<TBitBtn>(box, 92, 20, 75, 25)->SetKind(bkOK);
    auto* speed = Put<TSpeedButton>(box, 176, 21, 23, 22);
    speed->SetGroupIndex(1);
    speed->SetDown(true);
    Put<TProgressBar>(Form, 8, 338, 222, 16)->SetPosition(60);
    Put<TScrollBar>(Form, 8, 360, 222, 17)->SetPosition(30);
}

void BuildMiddleColumn(TForm* Form, TComboBox*& Combo) {
    auto* list = Put<TListBox>(Form, 240, 8, 150, 90);
    for (const char* s : {"Apples", "Bananas", "Cherries", "Dates", "Elderberries", "Figs", "Grapes"})
        list->Items()->Add(s);
    list->SetItemIndex(2);
    Combo = Put<TComboBox>(Form, 240, 104, 150, 21);
    Combo->SetStyle(csDropDownList);
    for (const char* s : {"Active", "Waiting", "Overdue", "Closed"}) Combo->Items()->Add(s);
    Combo->SetItemIndex(0);
    auto* tree = Put<TTreeView>(Form, 240, 132, 150, 150);
    TTreeNode* cust = tree->Items()->Add(nullptr, "Customers");
    for (int i = 1; i <= 3; ++i)
        tree->Items()->AddChild(tree->Items()->AddChild(cust, "Customer " + std::to_string(i)), "Orders");
    tree->Items()->Add(nullptr, "Products")->SetHasChildren(true);
    cust->Expand(false);
    cust->getFirstChild()->SetSelected(true);
    auto* anim = Put<TAnimate>(Form, 240, 290, 80, 48);
    anim->SetCommonAVI(aviCopyFiles);
    anim->SetActive(true);
    auto* shape = Put<TShape>(Form, 330, 290, 60, 48);
    shape->SetShape(stEllipse);
    shape->Brush()->SetColor(clYellow);
    auto* image = Put<TImage>(Form, 240, 344, 60, 34);
    image->SetStretch(true);
    image->Canvas()->Brush()->SetColor(clNavy);
    image->Canvas()->FillRect(TRect{0, 0, 60, 34});
    image->Canvas()->Brush()->SetColor(clTeal);
    image->Canvas()->Ellipse(12, 4, 48, 30);
    auto* panel = Put<TPanel>(Form, 310, 344, 80, 34);
    panel->SetBevelInner(bvLowered);
    panel->SetCaption("Panel");
    panel->SetHint("A panel|Shows its hint in the status bar");
    panel->SetShowHint(true);
}

void BuildRightColumn(TForm* Form) {
    auto* pages = Put<TPageControl>(Form, 400, 8, 370, 150);
    TTabSheet* first = nullptr;
    for (const char* c : {"Customers", "Orders", "Options"}) {
        auto* s = new TTabSheet(Form);
        s->SetCaption(c);
        s->SetPageControl(pages);
        if (first == nullptr) first = s;
    }
    pages->SetActivePage(first);
    auto* view = Put<TListView>(first, 4, 4, 354, 112);
    view->SetViewStyle(vsReport);
    for (auto [caption, width] : {std::pair{"Name", 120}, {"City", 120}, {"Balance", 90}}) {
        TListColumn* col = view->Columns()->Add();
        col->SetCaption(caption);
        col->SetWidth(width);
    }
    for (auto [name, city, balance] : {std::tuple{"Ada", "London", "12.50"}, {"Linus", "Helsinki", "7.00"},
                                       {"Grace", "Arlington", "31.25"}}) {
        TListItem* item = view->Items()->Add();
        item->SetCaption(name);
        item->SubItems()->Add(city);
        item->SubItems()->Add(balance);
    }
    auto* header = new THeaderControl(Form);
    header->SetAlign(alNone);  // placed by hand, not along the top
    header->SetBounds(400, 166, 370, 17);
    header->SetParent(Form);
    for (const char* t : {"Name", "Size", "Type"}) {
        auto* s = header->Sections()->Add();
        s->SetText(t);
        s->SetWidth(110);
    }
    auto* grid = Put<TStringGrid>(Form, 400, 190, 370, 110);
    grid->SetColCount(4);
    grid->SetRowCount(6);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing, goTabs, goColSizing});
    grid->Rows(0)->SetCommaText(",Name,City,Balance");
    grid->Rows(1)->SetCommaText("1,Ada,London,12.50");
    grid->Rows(2)->SetCommaText("2,Linus,Helsinki,7.00");
    grid->Rows(3)->SetCommaText("3,Grace,Arlington,31.25");
    grid->SetColWidths(0, 24);
    auto* tabs = Put<TTabControl>(Form, 400, 308, 370, 70);
    tabs->Tabs()->SetCommaText("All,Open,Shipped,Closed");
}

TMainMenu* BuildMenu(TForm* Form) {
    return NewMenu(Form, "MainMenu",
                   {NewSubMenu(Form, "&File", 0, "FileMenu",
                               {NewItem(Form, "&Open...", ShortCut('O', {ssCtrl}), false, true, nullptr, 0, "OpenItem"),
                                NewItem(Form, "&Save", ShortCut('S', {ssCtrl}), false, true, nullptr, 0, "SaveItem"),
                                NewLine(Form), NewItem(Form, "E&xit", 0, false, true, nullptr, 0, "ExitItem")}),
                    NewSubMenu(Form, "&Edit", 0, "EditMenu",
                               {NewItem(Form, "Cu&t", ShortCut('X', {ssCtrl}), false, true, nullptr, 0, "CutItem"),
                                NewItem(Form, "&Copy", ShortCut('C', {ssCtrl}), false, true, nullptr, 0, "CopyItem"),
                                NewItem(Form, "&Paste", ShortCut('V', {ssCtrl}), false, true, nullptr, 0, "PasteItem")}),
                    NewSubMenu(Form, "&View", 0, "ViewMenu",
                               {NewItem(Form, "&Status bar", 0, true, true, nullptr, 0, "StatusItem")})});
}

// The form's place in an ini file and the registry, and the form printed on a page.
void KeepSettings(ryxdemo::TTourContext& Ctx, TForm* Form) {
    TIniFile ini(Ctx.OutputFile("controls.ini").string());
    ini.WriteInteger("Controls form", "Left", Form->Left());
    ini.WriteInteger("Controls form", "Top", Form->Top());
    ini.WriteInteger("Controls form", "Width", Form->Width());
    ini.WriteBool("Controls form", "Visible", true);

    regstore::SetFileName(Ctx.OutputFile("registry.txt").string());
    {
        TRegIniFile reg("Software\\Ryx\\Demo");
        reg.WriteInteger("Controls form", "Left", Form->Left());
        reg.WriteString("Controls form", "Caption", Form->Caption());
    }
    regstore::SetFileName("");

    const std::string dir = Ctx.OutputFile("print/.keep").parent_path().string();
    ::setenv("RYX_PRINT_DIR", dir.c_str(), 1);
    TPrinter printer;
    printer.SetResolution(96);
    printer.SetTitle("controls");
    printer.BeginDoc();
    printer.Canvas()->Font()->SetSize(14);
    printer.Canvas()->TextOut(48, 40, "The controls form, printed");
    Form->PaintTo(printer.Canvas(), 48, 80);
    printer.EndDoc();
    ::unsetenv("RYX_PRINT_DIR");
    for (const std::string& page : printer.PageFiles()) Ctx.Log("controls: printed " + page);
}

void RunControls(ryxdemo::TTourContext& Ctx) {
    auto* form = new TForm(Application);
    form->SetName("ControlsForm");
    form->SetCaption("Standard controls");
    form->SetBounds(20, 20, 790, 470);
    form->SetMenu(BuildMenu(form));
    TComboBox* combo = nullptr;
    BuildLeftColumn(form);
    BuildMiddleColumn(form, combo);
    BuildRightColumn(form);
    auto* status = new TStatusBar(form);
    status->SetParent(form);
    status->SetAutoHint(true);
    status->Panels()->Add()->SetText("Ready");
    status->Panels()->Add()->SetText("4 customers");
    status->Panels()->Items(0)->SetWidth(200);

    form->Show();
    UpdateAllWindows();
    auto file = Ctx.OutputFile("controls.png");
    if (!wintest::SaveWindowPng(form->Handle(), file.string())) throw EInvalidOperation("Cannot write controls.png");
    combo->SetDroppedDown(true);
    UpdateAllWindows();
    auto dropped = Ctx.OutputFile("controls_dropdown.png");
    if (!wintest::SaveDesktopPng(dropped.string())) throw EInvalidOperation("Cannot write controls_dropdown.png");
    combo->SetDroppedDown(false);
    KeepSettings(Ctx, form);
    Ctx.Log("controls: form with " + std::to_string(form->ComponentCount()) + " components");
    delete form;
}

const ryxdemo::TTourStepRegistration reg(55, "controls",
                                         "one of each standard control on a form, its settings in an ini file and "
                                         "the registry, and a printed page",
                                         &RunControls);

}  // namespace
