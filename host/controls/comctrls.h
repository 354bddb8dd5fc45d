// Tab controls, page controls and notebooks, the status bar, the header control, the progress bar and the scroll box.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"
#include "host/controls/forms.h"
#include "host/db/alignment.h"
#include "host/graphics/imglist.h"
#include "host/rtl/collection.h"
#include "host/rtl/lists.h"

namespace host {

namespace comctrls_internal {
template <class Book, class PageT>
class TPageNames;
}

HOST_ENUM(TTabPosition, tpTop, tpBottom, tpLeft, tpRight);
HOST_ENUM(TStatusPanelStyle, psText, psOwnerDraw);
HOST_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised);
HOST_ENUM(THeaderSectionStyle, hsText, hsOwnerDraw);
HOST_ENUM(TSectionTrackState, tsTrackBegin, tsTrackMove, tsTrackEnd);
HOST_ENUM(TProgressBarOrientation, pbHorizontal, pbVertical);

// OnChanging: clear AllowChange to keep the current tab.
using TTabChangingEvent = TEvent<TObject*, bool&>;
// Asks for the image of a tab (TabIndex) in the tab control's Images.
using TTabGetImageEvent = TEvent<TObject*, int, int&>;
// A tabbed notebook's OnChange: NewTab is the page about to be shown.
using TPageChangeEvent = TEvent<TObject*, int, bool&>;

// ---------------------------------------------------------------------------
// Tab controls
// ---------------------------------------------------------------------------

// A row (or, with MultiLine, rows) of tabs over a raised frame. The selected tab is
// raised by 2 pixels and joined to the frame. Clicking a tab, the arrow keys while
// focused, and Ctrl+Tab / Ctrl+Shift+Tab anywhere inside select another tab: OnChanging
// may refuse, OnChange follows. Setting TabIndex in code fires neither.
class TCustomTabControl : public TCustomControl {
    HOST_CLASS(TCustomTabControl, TCustomControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    TStrings* Tabs() const;
    void SetTabs(TStrings* Value);
    // The selected tab (-1: none).
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    // tpTop and tpBottom lay the tabs out in rows; tpLeft and tpRight stack them in one
    // column beside the frame (captions horizontal, the column as wide as the widest).
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    // 0: the height follows the font (and images); 0 width: each tab fits its text.
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // The tab under the mouse is painted in clHighlight text.
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // The client area less the tabs and the frame: where the pages go.
    virtual TRect DisplayRect();
    // The tab at client point (X, Y), or -1.
    int IndexOfTabAt(int X, int Y);
    // The rectangle of a tab in client coordinates (as painted, unselected); empty
    // when the tab is scrolled out of a single row.
    TRect TabRect(int Index);
    // The number of tab rows.
    int RowCount();
    // Selects the next (or previous) tab as a click would (OnChanging, OnChange),
    // wrapping round; true when the selection changed.
    bool SelectNextTab(bool GoForward);

    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabGetImageEvent OnGetImageIndex;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void AdjustClientRect(TRect& Rect) override;
    void CreateParams(TCreateParams& Params) override;
    // Asked before the selection moves; OnChanging by default.
    virtual bool CanChange();
    // After the selection moved by the user; OnChange by default.
    virtual void Change();
    // The image of a tab: OnGetImageIndex, else the tab's index.
    virtual int GetImageIndex(int TabIndex);
    // The captions of the tabs shown (a page control shows its visible sheets).
    virtual int TabCount() const;
    virtual std::string TabCaption(int Index) const;
    // The tabs changed: lay them out again and repaint.
    void TabsChanged();
    // Moves the selection as a user does: CanChange, then the move, then Change.
    bool UserSelectTab(int Index);
    // Sets the selection without events.
    void SetTabIndexQuiet(int Value);
    // Lays out the tabs in rows of at most PerRow (0: as many as fit).
    void SetTabsPerRowLayout(int PerRow);
    // The tab a user's change is about to select (while CanChange runs).
    int PendingTab() const { return FPendingTab; }
    // The font the tabs are painted and measured in.
    virtual TFont* TabsFont() { return Font(); }

private:
    struct TTabInfo {
        TRect Rect;
        int Row = 0;
    };
    std::unique_ptr<TStringList> FTabs;
    int FTabIndex = -1;
    bool FMultiLine = false;
    TTabPosition FTabPosition = tpTop;
    int FTabHeight = 0;
    int FTabWidth = 0;
    bool FHotTrack = false;
    TCustomImageList* FImages = nullptr;
    int FHotTab = -1;
    int FPendingTab = -1;
    int FFirstTab = 0;  // the first tab shown in a single row that does not fit
    bool FScrollToSelection = true;  // the next layout brings the selected tab into the row
    int FPerRow = 0;
    int FRows = 1;
    bool FLayoutValid = false;
    std::vector<TTabInfo> FLayout;

    int FColumnWidth = 0;  // the tab column of tpLeft and tpRight

    bool Vertical() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }
    int RowHeight();
    // The room the tabs take beside the frame: rows (tpTop, tpBottom) or the column.
    int HeaderHeight();
    // The client area less the tabs: the raised frame.
    TRect FrameRect();
    void Layout();
    void DrawTab(int Index, bool Selected);
    void DrawSideTab(HDC DC, TRect R, TRect& Text, bool Selected);
    void TabsListChanged(TObject* Sender);
    void ImageListChange(TObject* Sender);
    void WMGetDlgCode(TMessage& Message);
    void CMDialogKey(TWMKey& Message);
    void CMFontChanged(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void WMKeyDown(TWMKey& Message);
    void WMSetFocus(TWMSetFocus& Message);
    void WMKillFocus(TWMSetFocus& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomTabControl::WMGetDlgCode), on(CM_DIALOGKEY, &TCustomTabControl::CMDialogKey),
                  on(CM_FONTCHANGED, &TCustomTabControl::CMFontChanged),
                  on(CM_MOUSELEAVE, &TCustomTabControl::CMMouseLeave), on(WM_KEYDOWN, &TCustomTabControl::WMKeyDown),
                  on(WM_SETFOCUS, &TCustomTabControl::WMSetFocus), on(WM_KILLFOCUS, &TCustomTabControl::WMKillFocus))
    HOST_PUBLISHED(prop("HotTrack", &TCustomTabControl::HotTrack, &TCustomTabControl::SetHotTrack).def(false),
                   prop("Images", &TCustomTabControl::Images, &TCustomTabControl::SetImages),
                   prop("MultiLine", &TCustomTabControl::MultiLine, &TCustomTabControl::SetMultiLine).def(false),
                   prop("TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight).def(0),
                   prop("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition).def(tpTop),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth).def(0),
                   prop("OnChange", &TCustomTabControl::OnChange, &TCustomTabControl::OnChange),
                   prop("OnChanging", &TCustomTabControl::OnChanging, &TCustomTabControl::OnChanging))
};

// A tab control with its own list of tab captions; the application shows what the
// selected tab stands for.
class TTabControl : public TCustomTabControl {
    HOST_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

private:
    HOST_PUBLISHED(prop("Tabs", &TCustomTabControl::Tabs, &TCustomTabControl::SetTabs),
                   prop("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex).def(-1),
                   prop("OnGetImageIndex", &TCustomTabControl::OnGetImageIndex, &TCustomTabControl::OnGetImageIndex))
};

// ---------------------------------------------------------------------------
// Page controls
// ---------------------------------------------------------------------------

class TPageControl;

// One page of a page control: a child of it that fills its display area. Setting
// PageControl (or the parent, as reading a form file does) puts it into the control.
class TTabSheet : public TWinControl {
    HOST_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The position among the control's sheets (-1 outside one).
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The index of the sheet's tab among the shown ones (-1 when its tab is hidden).
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void SetParent(TWinControl* AParent) override;

    TNotifyEvent OnHide;
    TNotifyEvent OnShow;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = 0;
    int PageIndexForStream() const { return PageIndex(); }
    bool IsPageIndexStored() const { return false; }
    void CMTextChanged(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    HOST_MESSAGES(on(CM_TEXTCHANGED, &TTabSheet::CMTextChanged), on(CM_SHOWINGCHANGED, &TTabSheet::CMShowingChanged))
    HOST_PUBLISHED(prop("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex).def(0),
                   prop("PageIndex", &TTabSheet::PageIndexForStream, &TTabSheet::SetPageIndex)
                       .stored(&TTabSheet::IsPageIndexStored),
                   prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).def(true),
                   prop("OnHide", &TTabSheet::OnHide, &TTabSheet::OnHide),
                   prop("OnShow", &TTabSheet::OnShow, &TTabSheet::OnShow))
};

// Tab sheets with one tab each; only the active sheet is visible. The sheets are the
// control's children in form files and ActivePage a reference to one of them.
class TPageControl : public TCustomTabControl {
    HOST_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    // Raises EListError for an index out of range.
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows Page (nullptr: none) and hides the one before; no events.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The sheet after (or before) CurPage, wrapping round; with CheckTabVisible only
    // sheets whose tab shows. nullptr when there is none.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    // Moves to the next (or previous) sheet as a click on its tab would.
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Child, int Order) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Change() override;
    int GetImageIndex(int TabIndex) override;
    int TabCount() const override;
    std::string TabCaption(int Index) const override;
    void ShowControl(TControl* AControl) override;

private:
    friend class TTabSheet;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;

    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    void UpdateTab(TTabSheet* Page);
    void UpdateActivePage();
    // The sheet of visible tab Index (nullptr when none).
    TTabSheet* SheetOfTab(int Index) const;
    void ChangeActivePage(TTabSheet* Page);
    TTabSheet* ActivePageForStream() const { return FActivePage; }
    void SetActivePageForStream(TTabSheet* Value) { SetActivePage(Value); }
    HOST_PUBLISHED(prop("ActivePage", &TPageControl::ActivePageForStream, &TPageControl::SetActivePageForStream))
};

// ---------------------------------------------------------------------------
// Notebooks
// ---------------------------------------------------------------------------

class TNotebook;

// One page of a notebook: a child that fills it; Caption is its name.
class TPage : public TCustomControl {
    HOST_CLASS(TPage, TCustomControl)
public:
    explicit TPage(TComponent* AOwner);
    void ReadState(TReader* Reader) override;

protected:
    void Paint() override;
};

// Pages stacked on each other, one visible at a time. Pages lists their names (adding
// a string adds a page); PageIndex and ActivePage (by name) choose the one shown.
class TNotebook : public TCustomControl {
    HOST_CLASS(TNotebook, TCustomControl)
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;

    TStrings* Pages() const;
    void SetPages(TStrings* Value);
    int PageIndex() const { return FPageIndex; }
    // Out-of-range values are ignored; fires OnPageChanged when the page changes.
    void SetPageIndex(int Value);
    std::string ActivePage() const;
    // Shows the page of that name (case-insensitive); an unknown name does nothing.
    void SetActivePage(const std::string& Value);
    int PageCount() const { return static_cast<int>(FPageList.size()); }
    TPage* PageObjects(int Index) const { return FPageList.at(static_cast<size_t>(Index)); }

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return this; }
    void ReadState(TReader* Reader) override;
    void Loaded() override;

    TNotifyEvent OnPageChanged;

protected:
    void ShowControl(TControl* AControl) override;

private:
    friend class comctrls_internal::TPageNames<TNotebook, TPage>;
    friend class TPage;
    std::unique_ptr<TStrings> FAccess;
    std::vector<TPage*> FPageList;
    int FPageIndex = -1;

    TPage* AddPage(int Index, const std::string& Name);
    void DeletePage(int Index);
    void ShowPage(int Index);
    void PagesRenamed();
    int PageIndexForStream() const { return FPageIndex; }
    HOST_PUBLISHED(prop("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage).stored(false),
                   prop("PageIndex", &TNotebook::PageIndexForStream, &TNotebook::SetPageIndex).def(0),
                   prop("Pages", &TNotebook::Pages, &TNotebook::SetPages).stored(false),
                   prop("OnPageChanged", &TNotebook::OnPageChanged, &TNotebook::OnPageChanged))
};

class TTabbedNotebook;

// One page of a tabbed notebook; Caption is its tab's text.
class TTabPage : public TWinControl {
    HOST_CLASS(TTabPage, TWinControl)
public:
    explicit TTabPage(TComponent* AOwner);
    void ReadState(TReader* Reader) override;
};

// Tabs over pages: a tab per page name in Pages, TabsPerRow tabs to a row, the
// pages (TTabPage children) filling the area below. OnChange may refuse a new page;
// OnClick follows every change made by the user.
class TTabbedNotebook : public TCustomTabControl {
    HOST_CLASS(TTabbedNotebook, TCustomTabControl)
public:
    explicit TTabbedNotebook(TComponent* AOwner);
    ~TTabbedNotebook() override;

    TStrings* Pages() const;
    void SetPages(TStrings* Value);
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    std::string ActivePage() const;
    void SetActivePage(const std::string& Value);
    int PageCount() const { return static_cast<int>(FPageList.size()); }
    TTabPage* PageObjects(int Index) const { return FPageList.at(static_cast<size_t>(Index)); }
    TFont* TabFont() const { return FTabFont.get(); }
    void SetTabFont(TFont* Value);
    int TabsPerRow() const { return FTabsPerRow; }
    // At least 1.
    void SetTabsPerRow(int Value);
    // The index of the page named Name (case-insensitive), or -1.
    int GetIndexForPage(const std::string& Name) const;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TComponent* GetChildOwner() override { return this; }
    void ReadState(TReader* Reader) override;
    void Loaded() override;

    // OnClick (TControl's) fires after a user's change; OnChange (this one) before it.
    TPageChangeEvent OnChange;

protected:
    bool CanChange() override;
    void Change() override;
    int TabCount() const override;
    std::string TabCaption(int Index) const override;
    void ShowControl(TControl* AControl) override;
    TFont* TabsFont() override { return FTabFont.get(); }

private:
    friend class comctrls_internal::TPageNames<TTabbedNotebook, TTabPage>;
    friend class TTabPage;
    std::unique_ptr<TStrings> FAccess;
    std::vector<TTabPage*> FPageList;
    std::unique_ptr<TFont> FTabFont;
    int FPageIndex = -1;
    int FTabsPerRow = 3;

    TTabPage* AddPage(int Index, const std::string& Name);
    void DeletePage(int Index);
    void ShowPage(int Index);
    void PagesRenamed();
    void TabFontChanged(TObject* Sender);
    int PageIndexForStream() const { return FPageIndex; }
    HOST_PUBLISHED(prop("ActivePage", &TTabbedNotebook::ActivePage, &TTabbedNotebook::SetActivePage).stored(false),
                   prop("PageIndex", &TTabbedNotebook::PageIndexForStream, &TTabbedNotebook::SetPageIndex).def(0),
                   prop("Pages", &TTabbedNotebook::Pages, &TTabbedNotebook::SetPages).stored(false),
                   prop("TabFont", &TTabbedNotebook::TabFont, &TTabbedNotebook::SetTabFont),
                   prop("TabsPerRow", &TTabbedNotebook::TabsPerRow, &TTabbedNotebook::SetTabsPerRow).def(3),
                   prop("OnChange", &TTabbedNotebook::OnChange, &TTabbedNotebook::OnChange))
};

// ---------------------------------------------------------------------------
// Status bar
// ---------------------------------------------------------------------------

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    HOST_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* Collection);
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

private:
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
    std::string FText;
    int FWidth = 50;
    HOST_PUBLISHED(prop("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).def(taLeftJustify),
                   prop("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).def(pbLowered),
                   prop("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).def(psText),
                   prop("Text", &TStatusPanel::Text, &TStatusPanel::SetText).def(std::string()),
                   prop("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth))
};

class TStatusPanels : public TCollection {
    HOST_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    TStatusPanel* Add();
    TStatusPanel* Items(int Index) const;
    TStatusBar* StatusBar() const { return FStatusBar; }

protected:
    void Update(TCollectionItem* Item) override;
    TPersistent* GetOwner() const override;

private:
    TStatusBar* FStatusBar;
};

using TDrawPanelEvent = TEvent<TStatusBar*, TStatusPanel*, const TRect&>;

// Panels of text along the bottom of a form (Align alBottom): each panel Width pixels
// wide, the last one taking the rest; with SimplePanel one text across the bar. The
// size grip sits at the right end while the form can be resized.
class TStatusBar : public TCustomControl {
    HOST_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    void SetPanels(TStatusPanels* Value);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // Shows the application's hints in the bar (see ShowHintInStatusBars).
    bool AutoHint() const { return FAutoHint; }
    void SetAutoHint(bool Value);
    // The rectangle of panel Index in client coordinates (inside its bevel).
    TRect PanelRect(int Index);
    // Shows a hint as the framework's status bar does with AutoHint: the text as a
    // simple panel, or the panels again for an empty hint. False when AutoHint is off.
    bool DoHint(const std::string& Hint);

    TDrawPanelEvent OnDrawPanel;
    TNotifyEvent OnHint;

protected:
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
    friend class TStatusPanels;
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    bool FAutoHint = false;
    bool ShowsGrip() const;
    // The size grip sizes the form: it answers HTBOTTOMRIGHT and starts the form's sizing.
    void WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    HOST_MESSAGES(on(WM_NCHITTEST, &TStatusBar::WMNCHitTest), on(WM_NCLBUTTONDOWN, &TStatusBar::WMNCLButtonDown))
    HOST_PUBLISHED(prop("Align", &TControl::Align, &TControl::SetAlign).def(alBottom),
                   prop("AutoHint", &TStatusBar::AutoHint, &TStatusBar::SetAutoHint).def(false),
                   prop("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels),
                   prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).def(false),
                   prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText).def(std::string()),
                   prop("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).def(true),
                   prop("OnDrawPanel", &TStatusBar::OnDrawPanel, &TStatusBar::OnDrawPanel),
                   prop("OnHint", &TStatusBar::OnHint, &TStatusBar::OnHint))
};

// Gives Hint to every status bar with AutoHint on a showing form; true when one took
// it. The application calls it when the hint changes and no OnHint is assigned.
bool ShowHintInStatusBars(const std::string& Hint);

// ---------------------------------------------------------------------------
// Header control
// ---------------------------------------------------------------------------

class THeaderControl;

class THeaderSection : public TCollectionItem {
    HOST_CLASS(THeaderSection, TCollectionItem)
public:
    explicit THeaderSection(TCollection* Collection);
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowClick() const { return FAllowClick; }
    void SetAllowClick(bool Value) { FAllowClick = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    THeaderSectionStyle Style() const { return FStyle; }
    void SetStyle(THeaderSectionStyle Value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    // Kept within MinWidth..MaxWidth.
    void SetWidth(int Value);
    // The left and right edges in the header's client coordinates.
    int Left() const;
    int Right() const { return Left() + FWidth; }

private:
    TAlignment FAlignment = taLeftJustify;
    bool FAllowClick = true;
    int FImageIndex = -1;
    int FMaxWidth = 10000;
    int FMinWidth = 0;
    THeaderSectionStyle FStyle = hsText;
    std::string FText;
    int FWidth = 50;
    HOST_PUBLISHED(prop("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment).def(taLeftJustify),
                   prop("AllowClick", &THeaderSection::AllowClick, &THeaderSection::SetAllowClick).def(true),
                   prop("ImageIndex", &THeaderSection::ImageIndex, &THeaderSection::SetImageIndex).def(-1),
                   prop("MaxWidth", &THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth).def(10000),
                   prop("MinWidth", &THeaderSection::MinWidth, &THeaderSection::SetMinWidth).def(0),
                   prop("Style", &THeaderSection::Style, &THeaderSection::SetStyle).def(hsText),
                   prop("Text", &THeaderSection::Text, &THeaderSection::SetText).def(std::string()),
                   prop("Width", &THeaderSection::Width, &THeaderSection::SetWidth))
};

class THeaderSections : public TCollection {
    HOST_CLASS(THeaderSections, TCollection)
public:
    explicit THeaderSections(THeaderControl* HeaderControl);
    THeaderSection* Add();
    THeaderSection* Items(int Index) const;
    THeaderControl* HeaderControl() const { return FHeaderControl; }

protected:
    void Update(TCollectionItem* Item) override;
    TPersistent* GetOwner() const override;

private:
    THeaderControl* FHeaderControl;
};

using TSectionNotifyEvent = TEvent<THeaderControl*, THeaderSection*>;
using TSectionTrackEvent = TEvent<THeaderControl*, THeaderSection*, int, TSectionTrackState>;
using TDrawSectionEvent = TEvent<THeaderControl*, THeaderSection*, const TRect&, bool>;
// Sender, the dragged section, the section it is dropped on, AllowDrag (out: false keeps the order).
using TSectionDragEvent = TEvent<TObject*, THeaderSection*, THeaderSection*, bool&>;

// Column headings in raised sections along the top (Align alTop). Dragging the
// divider at a section's right edge resizes it (OnSectionTrack while dragging with
// the width, which the handler may change; OnSectionResize at the end); clicking a
// section with AllowClick shows it pushed and fires OnSectionClick on release. With
// DragReorder, a section dragged sideways (more than a few pixels) and dropped on
// another moves to that one's place (OnSectionDrag may refuse; OnSectionEndDrag after
// every drag).
class THeaderControl : public TCustomControl {
    HOST_CLASS(THeaderControl, TCustomControl)
public:
    explicit THeaderControl(TComponent* AOwner);
    ~THeaderControl() override;

    THeaderSections* Sections() const { return FSections.get(); }
    void SetSections(THeaderSections* Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    // The section under client X (-1: none) and whether X is on a divider (the 4
    // pixels round a section's right edge; then the section is the one left of it).
    int SectionAt(int X, bool* OnDivider = nullptr) const;
    // The section shown pushed now (-1: none).
    int PressedSection() const { return FPressed; }
    bool DragReorder() const { return FDragReorder; }
    void SetDragReorder(bool Value) { FDragReorder = Value; }
    // The section being dragged to a new place (-1: none).
    int DraggedSection() const { return FDragging ? FDownSection : -1; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

    TDrawSectionEvent OnDrawSection;
    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;
    TSectionTrackEvent OnSectionTrack;
    TSectionDragEvent OnSectionDrag;
    TNotifyEvent OnSectionEndDrag;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void DrawSection(THeaderSection* Section, const TRect& Rect, bool Pressed);
    virtual void SectionClick(THeaderSection* Section);
    virtual void SectionResize(THeaderSection* Section);
    virtual void SectionTrack(THeaderSection* Section, int& Width, TSectionTrackState State);

private:
    friend class THeaderSections;
    std::unique_ptr<THeaderSections> FSections;
    bool FHotTrack = false;
    TCustomImageList* FImages = nullptr;
    int FTracking = -1;     // the section whose divider is dragged
    int FTrackOffset = 0;   // mouse X minus the section's right edge at the press
    int FPressed = -1;      // the section pushed by a press
    int FDownSection = -1;  // the section the press began on
    bool FDragReorder = false;
    bool FDragging = false;  // the pressed section is being dragged to a new place
    int FDownX = 0;          // where the press began
    int FDropX = 0;          // where a drag would drop now (a marker is painted there)
    void EndSectionDrag(int X);
    void WMSetCursor(TWMSetCursor& Message);
    void WMCancelMode(TMessage& Message);
    HOST_MESSAGES(on(WM_SETCURSOR, &THeaderControl::WMSetCursor), on(WM_CANCELMODE, &THeaderControl::WMCancelMode))
    HOST_PUBLISHED(prop("Align", &TControl::Align, &TControl::SetAlign).def(alTop),
                   prop("DragReorder", &THeaderControl::DragReorder, &THeaderControl::SetDragReorder).def(false),
                   prop("HotTrack", &THeaderControl::HotTrack, &THeaderControl::SetHotTrack).def(false),
                   prop("Images", &THeaderControl::Images, &THeaderControl::SetImages),
                   prop("Sections", &THeaderControl::Sections, &THeaderControl::SetSections),
                   prop("OnDrawSection", &THeaderControl::OnDrawSection, &THeaderControl::OnDrawSection),
                   prop("OnSectionClick", &THeaderControl::OnSectionClick, &THeaderControl::OnSectionClick),
                   prop("OnSectionDrag", &THeaderControl::OnSectionDrag, &THeaderControl::OnSectionDrag),
                   prop("OnSectionEndDrag", &THeaderControl::OnSectionEndDrag, &THeaderControl::OnSectionEndDrag),
                   prop("OnSectionResize", &THeaderControl::OnSectionResize, &THeaderControl::OnSectionResize),
                   prop("OnSectionTrack", &THeaderControl::OnSectionTrack, &THeaderControl::OnSectionTrack))
};

// ---------------------------------------------------------------------------
// Progress bar
// ---------------------------------------------------------------------------

// Progress from Min to Max in a sunken frame: blocks in clHighlight (one smooth bar
// with Smooth), left to right or, vertical, bottom to top.
class TProgressBar : public TWinControl {
    HOST_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    // Min must stay below Max (EInvalidOperation otherwise, outside form reading);
    // Position is pulled into the new range.
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const { return FPosition; }
    // Clamped to Min..Max.
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    // Swaps Width and Height when the orientation changes (outside form reading).
    void SetOrientation(TProgressBarOrientation Value);
    // Position += Step; past Max it wraps round to start again from Min.
    void StepIt();
    // Position += Delta, clamped to Min..Max.
    void StepBy(int Delta);

    void Loaded() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
    void SetRange(int NewMin, int NewMax);
    void WMEraseBkgnd(TWMEraseBkgnd& Message);
    HOST_MESSAGES(on(WM_ERASEBKGND, &TProgressBar::WMEraseBkgnd))
    HOST_PUBLISHED(prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).def(0),
                   prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).def(100),
                   prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).def(pbHorizontal),
                   prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).def(0),
                   prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).def(false),
                   prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).def(10))
};

// ---------------------------------------------------------------------------
// Scroll box
// ---------------------------------------------------------------------------

// A scrolling container with a sunken border (bsSingle) that scrolls automatically
// to keep its children reachable.
class TScrollBox : public TScrollingWinControl {
    HOST_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsNone or bsSingle.
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
    void CMCtl3DChanged(TMessage& Message);
    HOST_MESSAGES(on(CM_CTL3DCHANGED, &TScrollBox::CMCtl3DChanged))
    HOST_PUBLISHED(prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).def(true),
                   prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).def(bsSingle))
};

// Registers every class of this header for form files (once).
void RegisterComCtrlClasses();

}  // namespace host
