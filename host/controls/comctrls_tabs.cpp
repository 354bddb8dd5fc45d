// Tab controls: TCustomTabControl (layout, painting, mouse and keys), TTabSheet and TPageControl.
#include <algorithm>

#include "host/controls/comctrls.h"
#include "host/controls/comctrls_internal.h"
#include "host/gdi/gdi.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"

namespace host {

using namespace comctrls_internal;

namespace {
constexpr int kTabPadding = 6;     // text inset on each side of a tab
constexpr int kFrameInset = 4;     // pages sit this far inside the frame
constexpr int kRowGap = 2;         // room above the rows for the raised selected tab
}  // namespace

// ---------------------------------------------------------------------------
// TCustomTabControl: life and properties
// ---------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TCustomControl(AOwner), FTabs(std::make_unique<TStringList>()) {
    FControlStyle = TControlStyle{csAcceptsControls, csDoubleClicks, csClickEvents, csCaptureMouse};
    FColor = clBtnFace;
    Brush()->SetColor(clBtnFace);
    SetParentColorQuiet(false);
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
    FTabs->OnChange = TNotifyEvent(this, &TCustomTabControl::TabsListChanged);
}

TCustomTabControl::~TCustomTabControl() {
    FTabs->OnChange = nullptr;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
}

TStrings* TCustomTabControl::Tabs() const { return FTabs.get(); }
void TCustomTabControl::SetTabs(TStrings* Value) { FTabs->Assign(Value); }

void TCustomTabControl::TabsListChanged(TObject*) {
    int n = TabCount();
    if (FTabIndex >= n) FTabIndex = n - 1;
    if (FTabIndex < 0 && n > 0 && !ComponentState().Contains(csLoading)) FTabIndex = 0;
    TabsChanged();
}

void TCustomTabControl::TabsChanged() {
    FLayoutValid = false;
    if (FHotTab >= TabCount()) FHotTab = -1;
    Realign();
    Invalidate();
}

void TCustomTabControl::SetTabIndex(int Value) {
    if (Value < -1 || Value >= TabCount()) {
        // A form file may set the index before the tabs it refers to exist.
        if (ComponentState().Contains(csLoading)) FTabIndex = Value;
        return;
    }
    SetTabIndexQuiet(Value);
}

void TCustomTabControl::SetTabIndexQuiet(int Value) {
    if (FTabIndex == Value) return;
    FTabIndex = Value;
    FScrollToSelection = true;
    FLayoutValid = false;
    Realign();
    Invalidate();
}

void TCustomTabControl::SetMultiLine(bool Value) {
    if (FMultiLine == Value) return;
    FMultiLine = Value;
    TabsChanged();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (FTabPosition == Value) return;
    FTabPosition = Value;
    TabsChanged();
}

void TCustomTabControl::SetTabHeight(int Value) {
    if (Value < 0) throw ERangeError("Tab height " + std::to_string(Value) + " is negative");
    FTabHeight = Value;
    TabsChanged();
}

void TCustomTabControl::SetTabWidth(int Value) {
    if (Value < 0) throw ERangeError("Tab width " + std::to_string(Value) + " is negative");
    FTabWidth = Value;
    TabsChanged();
}

void TCustomTabControl::SetHotTrack(bool Value) {
    FHotTrack = Value;
    Invalidate();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr) FImages->FreeNotification(this);
    TabsChanged();
}

void TCustomTabControl::ImageListChange(TObject*) { TabsChanged(); }

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        TabsChanged();
    }
}

int TCustomTabControl::TabCount() const { return FTabs->Count(); }
std::string TCustomTabControl::TabCaption(int Index) const { return FTabs->Strings(Index); }

int TCustomTabControl::GetImageIndex(int TabIndex) {
    int index = TabIndex;
    OnGetImageIndex(this, TabIndex, index);
    return index;
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() { OnChange(this); }

bool TCustomTabControl::UserSelectTab(int Index) {
    if (Index < 0 || Index >= TabCount() || Index == FTabIndex) return false;
    FPendingTab = Index;
    bool allow = CanChange();
    FPendingTab = -1;
    if (!allow) return false;
    SetTabIndexQuiet(Index);
    Change();
    return true;
}

bool TCustomTabControl::SelectNextTab(bool GoForward) {
    int n = TabCount();
    if (n == 0) return false;
    int i = FTabIndex < 0 ? (GoForward ? n - 1 : 0) : FTabIndex;
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    return UserSelectTab(i);
}

void TCustomTabControl::SetTabsPerRowLayout(int PerRow) {
    FPerRow = std::max(0, PerRow);
    TabsChanged();
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

int TCustomTabControl::RowHeight() {
    if (FTabHeight > 0) return FTabHeight;
    int h = MeasureText(TabsFont(), "Ag").cy + 5;
    if (FImages != nullptr) h = std::max(h, FImages->Height() + 4);
    return h;
}

int TCustomTabControl::RowCount() {
    Layout();
    return FRows;
}

int TCustomTabControl::HeaderHeight() {
    Layout();
    if (TabCount() == 0) return 0;
    return Vertical() ? kRowGap + FColumnWidth : kRowGap + FRows * RowHeight();
}

TRect TCustomTabControl::FrameRect() {
    TRect r = ClientRect();
    int header = HeaderHeight();
    switch (FTabPosition) {
        case tpBottom: r.bottom -= header; break;
        case tpLeft: r.left += header; break;
        case tpRight: r.right -= header; break;
        default: r.top += header; break;
    }
    return r;
}

namespace {
// Room the scroll arrows of a single row take at its right end.
int ArrowSize(int RowH) { return std::max(8, RowH - 2); }
}  // namespace

void TCustomTabControl::Layout() {
    if (FLayoutValid) return;
    FLayoutValid = true;
    int n = TabCount();
    FLayout.assign(static_cast<size_t>(n), TTabInfo{});
    FRows = 1;
    if (n == 0) return;
    int rowH = RowHeight();
    int avail = std::max(1, ClientWidth() - 2 * kRowGap);
    std::vector<int> widths(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int w = FTabWidth;
        if (w <= 0) {
            w = MeasureText(TabsFont(), TabCaption(i)).cx + 2 * kTabPadding;
            if (FImages != nullptr && GetImageIndex(i) >= 0) w += FImages->Width() + 3;
        }
        widths[static_cast<size_t>(i)] = w;
    }
    if (Vertical()) {
        // One column of tabs down the side, as wide as the widest; tabs below the end
        // of the control are not shown.
        FColumnWidth = 0;
        for (int w : widths) FColumnWidth = std::max(FColumnWidth, w);
        int cw = ClientWidth(), ch = ClientHeight();
        int left = FTabPosition == tpLeft ? kRowGap : cw - kRowGap - FColumnWidth;
        int y = kRowGap;
        for (int i = 0; i < n; ++i) {
            TTabInfo& t = FLayout[static_cast<size_t>(i)];
            if (y + rowH > ch - kRowGap) {
                t.Row = -1;
                continue;
            }
            t.Row = 0;
            t.Rect = TRect{left, y, left + FColumnWidth, y + rowH};
            y += rowH;
        }
        return;
    }
    // Rows: a fixed number of tabs each, wrapped (MultiLine), or one row.
    std::vector<int> rowOf(static_cast<size_t>(n), 0);
    if (FPerRow > 0) {
        for (int i = 0; i < n; ++i) rowOf[static_cast<size_t>(i)] = i / FPerRow;
        FRows = (n + FPerRow - 1) / FPerRow;
    } else if (FMultiLine) {
        int x = 0, row = 0;
        for (int i = 0; i < n; ++i) {
            int w = widths[static_cast<size_t>(i)];
            if (x > 0 && x + w > avail) {
                ++row;
                x = 0;
            }
            rowOf[static_cast<size_t>(i)] = row;
            x += w;
        }
        FRows = row + 1;
    }
    // Horizontal positions within each row; rows of several fill the width.
    if (FPerRow > 0 || (FMultiLine && FRows > 1)) {
        for (int row = 0; row < FRows; ++row) {
            std::vector<int> members;
            int total = 0;
            for (int i = 0; i < n; ++i)
                if (rowOf[static_cast<size_t>(i)] == row) {
                    members.push_back(i);
                    total += widths[static_cast<size_t>(i)];
                }
            int count = static_cast<int>(members.size());
            int x = kRowGap;
            for (int k = 0; k < count; ++k) {
                int i = members[static_cast<size_t>(k)];
                int w;
                if (FPerRow > 0)
                    w = k == count - 1 && count == FPerRow ? avail + kRowGap - x : avail / FPerRow;
                else
                    w = widths[static_cast<size_t>(i)] + (avail - total) / count +
                        (k == count - 1 ? (avail - total) % count : 0);
                FLayout[static_cast<size_t>(i)].Rect = TRect{x, 0, x + w, rowH};
                x += w;
            }
        }
    } else {
        // One row; when it does not fit, it starts at FFirstTab and arrows scroll it.
        int total = 0;
        for (int w : widths) total += w;
        if (total <= avail) FFirstTab = 0;
        int limit = total <= avail ? avail : avail - 2 * ArrowSize(rowH);
        bool follow = FScrollToSelection && FTabIndex >= 0;
        if (follow && FTabIndex < FFirstTab) FFirstTab = FTabIndex;
        auto fits = [&](int first) {
            int x = 0;
            for (int i = first; i <= FTabIndex; ++i) x += widths[static_cast<size_t>(i)];
            return x <= limit;
        };
        while (follow && FTabIndex > FFirstTab && !fits(FFirstTab)) ++FFirstTab;
        FFirstTab = std::clamp(FFirstTab, 0, n - 1);
        int x = kRowGap;
        for (int i = 0; i < n; ++i) {
            int w = widths[static_cast<size_t>(i)];
            if (i < FFirstTab || x - kRowGap + w > limit) {
                FLayout[static_cast<size_t>(i)].Rect = TRect{0, 0, 0, 0};
                FLayout[static_cast<size_t>(i)].Row = -1;
                continue;
            }
            FLayout[static_cast<size_t>(i)].Rect = TRect{x, 0, x + w, rowH};
            x += w;
        }
    }
    // Rows, nearest the page first: the selected tab's row touches the page, the
    // others follow in turn.
    int selRow = FTabIndex >= 0 && FTabIndex < n ? rowOf[static_cast<size_t>(FTabIndex)] : 0;
    int h = Height();
    int frameTop = kRowGap + FRows * rowH;
    for (int i = 0; i < n; ++i) {
        TTabInfo& t = FLayout[static_cast<size_t>(i)];
        if (t.Row < 0) continue;
        int fromPage = (rowOf[static_cast<size_t>(i)] - selRow + FRows) % FRows;  // 0: touches the page
        t.Row = fromPage;
        int top;
        if (FTabPosition == tpBottom)
            top = h - frameTop + fromPage * rowH;
        else
            top = frameTop - (fromPage + 1) * rowH;
        t.Rect.top = top;
        t.Rect.bottom = top + rowH;
    }
}

TRect TCustomTabControl::TabRect(int Index) {
    Layout();
    if (Index < 0 || Index >= static_cast<int>(FLayout.size())) return TRect{0, 0, 0, 0};
    return FLayout[static_cast<size_t>(Index)].Rect;
}

TRect TCustomTabControl::DisplayRect() {
    TRect r = FrameRect();
    r.left += kFrameInset;
    r.top += kFrameInset;
    r.right -= kFrameInset;
    r.bottom -= kFrameInset;
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
    Rect = DisplayRect();
    TCustomControl::AdjustClientRect(Rect);
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    Layout();
    auto inside = [&](const TRect& r) { return X >= r.left && X < r.right && Y >= r.top && Y < r.bottom; };
    if (FTabIndex >= 0 && FTabIndex < static_cast<int>(FLayout.size())) {
        TRect r = FLayout[static_cast<size_t>(FTabIndex)].Rect;
        if (r.right > r.left) {
            if (Vertical()) {
                r.top -= 2;
                r.bottom += 2;
                if (FTabPosition == tpLeft) r.left -= 2;
                else r.right += 2;
            } else {
                r.left -= 2;
                r.right += 2;
                if (FTabPosition == tpBottom) r.bottom += 2;
                else r.top -= 2;
            }
            if (inside(r)) return FTabIndex;
        }
    }
    for (size_t i = 0; i < FLayout.size(); ++i)
        if (FLayout[i].Rect.right > FLayout[i].Rect.left && inside(FLayout[i].Rect)) return static_cast<int>(i);
    return -1;
}

void TCustomTabControl::Resize() {
    FLayoutValid = false;
    TCustomControl::Resize();
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TCustomTabControl::DrawTab(int Index, bool Selected) {
    TRect r = FLayout[static_cast<size_t>(Index)].Rect;
    if (r.right <= r.left) return;
    HDC dc = Canvas()->Handle();
    TRect text = r;
    bool bottom = FTabPosition == tpBottom;
    if (Vertical()) {
        DrawSideTab(dc, r, text, Selected);
    } else {
    if (Selected) {
        r.left -= 2;
        r.right += 2;
        if (bottom) {
            r.top -= 2;  // over the frame's bottom edge
            r.bottom += 2;
        } else {
            r.top -= 2;
            r.bottom += 2;  // over the frame's top edge
        }
    }
    Fill(dc, r, Color());
    int l = r.left, t = r.top, rt = r.right - 1, b = r.bottom - 1;
    if (!bottom) {
        if (Selected) b = r.bottom - 1;
        Line(dc, l, b, l, t + 2, clBtnHighlight);
        Line(dc, l + 1, t + 1, l + 1, t + 1, clBtnHighlight);
        Line(dc, l + 2, t, rt - 2, t, clBtnHighlight);
        Line(dc, rt - 1, t + 1, rt - 1, t + 1, cl3DDkShadow);
        Line(dc, rt, t + 2, rt, b, cl3DDkShadow);
        Line(dc, rt - 1, t + 2, rt - 1, b, clBtnShadow);
    } else {
        Line(dc, l, t, l, b - 2, clBtnHighlight);
        Line(dc, l + 1, b - 1, l + 1, b - 1, cl3DDkShadow);
        Line(dc, l + 2, b, rt - 2, b, cl3DDkShadow);
        Line(dc, l + 2, b - 1, rt - 2, b - 1, clBtnShadow);
        Line(dc, rt - 1, b - 1, rt - 1, b - 1, cl3DDkShadow);
        Line(dc, rt, t, rt, b - 2, cl3DDkShadow);
        Line(dc, rt - 1, t, rt - 1, b - 2, clBtnShadow);
    }
    // Image and caption, centred; the selected tab's contents ride up with it.
    if (Selected) OffsetRect(&text, 0, bottom ? 1 : -1);
    }
    std::string caption = TabCaption(Index);
    int image = FImages != nullptr ? GetImageIndex(Index) : -1;
    TSize ext = MeasureText(TabsFont(), caption);
    int contentW = ext.cx + (image >= 0 ? FImages->Width() + 3 : 0);
    int x = text.left + std::max(kTabPadding / 2, (text.right - text.left - contentW) / 2);
    if (image >= 0) {
        FImages->Draw(Canvas(), x, text.top + (text.bottom - text.top - FImages->Height()) / 2, image, Enabled());
        x += FImages->Width() + 3;
    }
    TRect tr{x, text.top, text.right - 1, text.bottom};
    TColor color = FHotTrack && Index == FHotTab && !Selected ? clHighlight : clBtnText;
    DrawLabel(dc, TabsFont(), caption, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, Enabled(), color);
    if (Selected && Focused()) {
        TRect fr{x - 2, text.top + 2, std::min(x + ext.cx + 2, text.right - 2), text.bottom - 2};
        if (fr.right > fr.left) DrawFocusRect(dc, &fr);
    }
}

// A tab of tpLeft/tpRight: open towards the frame, the selected one 2 pixels larger
// and over the frame's edge; its contents move out with it.
void TCustomTabControl::DrawSideTab(HDC DC, TRect R, TRect& Text, bool Selected) {
    bool left = FTabPosition == tpLeft;
    if (Selected) {
        InflateRect(&R, 2, 2);
        OffsetRect(&Text, left ? -1 : 1, 0);
    }
    Fill(DC, R, Color());
    int l = R.left, t = R.top, rt = R.right - 1, b = R.bottom - 1;
    if (left) {
        Line(DC, l + 2, t, rt, t, clBtnHighlight);
        Line(DC, l + 1, t + 1, l + 1, t + 1, clBtnHighlight);
        Line(DC, l, t + 2, l, b - 2, clBtnHighlight);
        Line(DC, l + 1, b - 1, l + 1, b - 1, cl3DDkShadow);
        Line(DC, l + 2, b, rt, b, cl3DDkShadow);
        Line(DC, l + 2, b - 1, rt, b - 1, clBtnShadow);
    } else {
        Line(DC, l, t, rt - 2, t, clBtnHighlight);
        Line(DC, rt - 1, t + 1, rt - 1, t + 1, cl3DDkShadow);
        Line(DC, rt, t + 2, rt, b - 2, cl3DDkShadow);
        Line(DC, rt - 1, t + 2, rt - 1, b - 2, clBtnShadow);
        Line(DC, rt - 1, b - 1, rt - 1, b - 1, cl3DDkShadow);
        Line(DC, l, b, rt - 2, b, cl3DDkShadow);
        Line(DC, l, b - 1, rt - 2, b - 1, clBtnShadow);
    }
}

void TCustomTabControl::Paint() {
    Layout();
    HDC dc = Canvas()->Handle();
    TRect client = ClientRect();
    Fill(dc, client, Color());
    int header = HeaderHeight();
    TRect frame = FrameRect();
    DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT | BF_SOFT);
    int n = TabCount();
    // Rows far from the page first, so nearer rows overlap them; the selected tab last.
    for (int row = FRows - 1; row >= 0; --row)
        for (int i = 0; i < n; ++i)
            if (i != FTabIndex && FLayout[static_cast<size_t>(i)].Row == row) DrawTab(i, false);
    if (FTabIndex >= 0 && FTabIndex < n) DrawTab(FTabIndex, true);
    // Scroll arrows of a single row that does not fit.
    if (!FMultiLine && FPerRow == 0 && n > 0 && !Vertical()) {
        bool hidden = FFirstTab > 0 || FLayout.back().Rect.right <= FLayout.back().Rect.left;
        if (hidden) {
            int a = ArrowSize(RowHeight());
            int top = FTabPosition == tpBottom ? client.bottom - header + kRowGap : header - a - 1;
            TRect left{client.right - 2 * a - 2, top, client.right - a - 2, top + a};
            TRect right{client.right - a - 2, top, client.right - 2, top + a};
            Fill(dc, TRect{left.left - 2, top, client.right, top + a}, Color());
            DrawFrameControl(dc, &left, DFC_SCROLL, DFCS_SCROLLLEFT | (FFirstTab == 0 ? DFCS_INACTIVE : 0));
            bool more = FLayout.back().Rect.right <= FLayout.back().Rect.left;
            DrawFrameControl(dc, &right, DFC_SCROLL, DFCS_SCROLLRIGHT | (more ? 0 : DFCS_INACTIVE));
        }
    }
}

// ---------------------------------------------------------------------------
// Mouse and keys
// ---------------------------------------------------------------------------

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        Layout();
        int n = TabCount();
        bool scrolled = false;
        if (!FMultiLine && FPerRow == 0 && n > 0 && !Vertical() &&
            (FFirstTab > 0 || FLayout.back().Rect.right <= FLayout.back().Rect.left)) {
            int a = ArrowSize(RowHeight());
            int header = HeaderHeight();
            TRect client = ClientRect();
            int top = FTabPosition == tpBottom ? client.bottom - header + kRowGap : header - a - 1;
            if (Y >= top && Y < top + a && X >= client.right - 2 * a - 2 && X < client.right - 2) {
                scrolled = true;
                if (X < client.right - a - 2) {
                    if (FFirstTab > 0) --FFirstTab;
                } else if (FLayout.back().Rect.right <= FLayout.back().Rect.left) {
                    ++FFirstTab;
                }
                FScrollToSelection = false;
                FLayoutValid = false;
                Invalidate();
            }
        }
        if (!scrolled) {
            int i = IndexOfTabAt(X, Y);
            if (i >= 0) {
                if (CanFocus() && !Focused()) SetFocus();
                UserSelectTab(i);
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTabControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FHotTrack) {
        int i = IndexOfTabAt(X, Y);
        if (i != FHotTab) {
            FHotTab = i;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomTabControl::CMMouseLeave(TMessage& Message) {
    if (FHotTab != -1) {
        FHotTab = -1;
        Invalidate();
    }
    Inherited(Message);
}

void TCustomTabControl::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TCustomTabControl::WMKeyDown(TWMKey& Message) {
    WORD key = Message.CharCode();
    if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && GetKeyState(VK_CONTROL) >= 0) {
        // Let OnKeyDown see the key first, as for any control.
        if (DoKeyDown(Message)) return;
        bool forward = key == VK_RIGHT || key == VK_DOWN;
        int n = TabCount();
        if (n > 0) {
            int i = FTabIndex < 0 ? 0 : FTabIndex + (forward ? 1 : -1);
            if (i >= 0 && i < n) UserSelectTab(i);
        }
        Message.Result = 0;
        return;
    }
    Inherited(Message);
}

void TCustomTabControl::CMDialogKey(TWMKey& Message) {
    if (Message.CharCode() == VK_TAB && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
        TWinControl* focus = FindControl(GetFocus());
        if (focus != nullptr && (focus == this || ContainsControl(focus))) {
            SelectNextTab(GetKeyState(VK_SHIFT) >= 0);
            Message.Result = 1;
            return;
        }
    }
    Inherited(Message);
}

void TCustomTabControl::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    TabsChanged();
}

void TCustomTabControl::WMSetFocus(TWMSetFocus& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomTabControl::WMKillFocus(TWMSetFocus& Message) {
    Inherited(Message);
    Invalidate();
}

// ---------------------------------------------------------------------------
// TTabSheet
// ---------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
    if (FPageControl != nullptr) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (FPageControl == Value) return;
    SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) {
        TWinControl::SetParent(AParent);
        return;
    }
    TPageControl* old = FPageControl;
    if (old != nullptr) old->RemovePage(this);
    FPageControl = nullptr;
    TWinControl::SetParent(AParent);
    if (auto* pc = dynamic_cast<TPageControl*>(AParent)) {
        FPageControl = pc;
        pc->InsertPage(this);
    }
}

int TTabSheet::PageIndex() const {
    if (FPageControl == nullptr) return -1;
    auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (FPageControl != nullptr) FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
    if (FPageControl == nullptr || !FTabVisible) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    if (FPageControl != nullptr) FPageControl->UpdateTab(this);
}

void TTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (FPageControl != nullptr) FPageControl->UpdateTab(this);
}

void TTabSheet::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    if (FPageControl != nullptr) FPageControl->UpdateTab(this);
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
    Inherited(Message);
    if (ComponentState().Contains(csDestroying)) return;
    if (Showing())
        OnShow(this);
    else
        OnHide(this);
}

// ---------------------------------------------------------------------------
// TPageControl
// ---------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    // Sheets owned elsewhere outlive the control: let them go quietly.
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FPages[static_cast<size_t>(Index)];
}

int TPageControl::ActivePageIndex() const {
    if (FActivePage == nullptr) return -1;
    return FActivePage->PageIndex();
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page != nullptr && Page->FPageControl != this) return;
    ChangeActivePage(Page);
}

int TPageControl::TabCount() const {
    int n = 0;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible) ++n;
    return n;
}

TTabSheet* TPageControl::SheetOfTab(int Index) const {
    if (Index < 0) return nullptr;
    for (TTabSheet* p : FPages)
        if (p->FTabVisible && Index-- == 0) return p;
    return nullptr;
}

std::string TPageControl::TabCaption(int Index) const {
    TTabSheet* p = SheetOfTab(Index);
    return p != nullptr ? p->Caption() : std::string();
}

int TPageControl::GetImageIndex(int TabIndex) {
    TTabSheet* p = SheetOfTab(TabIndex);
    int index = p != nullptr ? p->FImageIndex : TabIndex;
    OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
    if (FActivePage == Page) {
        UpdateActivePage();
        return;
    }
    TCustomForm* form = GetParentForm();
    bool focusInside = form != nullptr && FActivePage != nullptr && form->ActiveControl() != nullptr &&
                       FActivePage->ContainsControl(form->ActiveControl());
    TTabSheet* old = FActivePage;
    FActivePage = Page;
    if (Page != nullptr) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    if (old != nullptr) old->SetVisible(false);
    UpdateActivePage();
    // The focus left with the old sheet: give it to the new one, or to the tabs.
    if (focusInside && form != nullptr) {
        TWinControl* next = Page != nullptr ? Page->FindNextControl(nullptr, true, true, false) : nullptr;
        if (next != nullptr && next->CanFocus())
            next->SetFocus();
        else if (CanFocus())
            SetFocus();
    }
}

void TPageControl::UpdateActivePage() {
    SetTabIndexQuiet(FActivePage != nullptr ? FActivePage->TabIndex() : -1);
    for (TTabSheet* p : FPages)
        if (p != FActivePage && p->Visible()) p->SetVisible(false);
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    TabsChanged();
    if (FActivePage == nullptr && !ComponentState().Contains(csLoading) &&
        !Page->ComponentState().Contains(csLoading))
        ChangeActivePage(Page);
    else
        UpdateActivePage();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    TTabSheet* next = nullptr;
    if (Page == FActivePage && !ComponentState().Contains(csDestroying)) {
        next = FindNextPage(Page, true, true);
        if (next == Page) next = nullptr;
    }
    FPages.erase(std::find(FPages.begin(), FPages.end(), Page));
    if (Page == FActivePage) {
        FActivePage = nullptr;
        if (!ComponentState().Contains(csDestroying)) ChangeActivePage(next);
    }
    if (!ComponentState().Contains(csDestroying)) {
        UpdateActivePage();
        TabsChanged();
    }
}

void TPageControl::MovePage(TTabSheet* Page, int NewIndex) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    NewIndex = std::clamp(NewIndex, 0, PageCount() - 1);
    FPages.erase(it);
    FPages.insert(FPages.begin() + NewIndex, Page);
    UpdateActivePage();
    TabsChanged();
}

void TPageControl::UpdateTab(TTabSheet*) {
    UpdateActivePage();
    TabsChanged();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    int n = PageCount();
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (FPages[static_cast<size_t>(i)] == CurPage) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    do {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = FPages[static_cast<size_t>(i)];
        if (!CheckTabVisible || p->FTabVisible) return p;
    } while (i != start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (page == nullptr || page == FActivePage || !CanChange()) return;
    ChangeActivePage(page);
    TCustomTabControl::Change();
}

void TPageControl::Change() {
    if (TTabSheet* p = SheetOfTab(TabIndex())) ChangeActivePage(p);
    TCustomTabControl::Change();
}

void TPageControl::ShowControl(TControl* AControl) {
    if (auto* sheet = dynamic_cast<TTabSheet*>(AControl); sheet != nullptr && sheet->FPageControl == this)
        SetActivePage(sheet);
    TCustomTabControl::ShowControl(AControl);
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TTabSheet* p : std::vector<TTabSheet*>(FPages))
        if (Root == nullptr || p->Owner() == Root) Proc(p);
    // Anything else placed on the control (not a sheet) follows.
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (dynamic_cast<TTabSheet*>(c) == nullptr && (Root == nullptr || c->Owner() == Root)) Proc(c);
    }
}

void TPageControl::SetChildOrder(TComponent* Child, int Order) {
    if (auto* sheet = dynamic_cast<TTabSheet*>(Child); sheet != nullptr && sheet->FPageControl == this)
        MovePage(sheet, Order);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    UpdateActivePage();
    if (FActivePage != nullptr) FActivePage->SetVisible(true);
    TabsChanged();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTabControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActivePage) FActivePage = nullptr;
}

}  // namespace host
