// List boxes, combo boxes with their drop-down list, list views (report and icon) and scroll bars.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"
#include "host/controls/edits.h"
#include "host/controls/forms.h"
#include "host/controls/treeview.h"  // TSortType, shared with the tree view
#include "host/db/alignment.h"
#include "host/graphics/imglist.h"
#include "host/rtl/collection.h"
#include "host/rtl/lists.h"

namespace host {

// ---------------------------------------------------------------------------
// Shared types
// ---------------------------------------------------------------------------

HOST_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable);
HOST_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable);
HOST_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit);
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
HOST_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll);

// Control, item index, item rectangle (client coordinates), state.
using TDrawItemEvent = TEvent<TWinControl*, int, const TRect&, TOwnerDrawState>;
// Control, item index, height (in: the default, out: the item's height).
using TMeasureItemEvent = TEvent<TWinControl*, int, int&>;
// Sender, scroll code, position (the handler may change it).
using TScrollEvent = TEvent<TObject*, TScrollCode, int&>;

// The framework's list-box and combo-box messages that callers may send.
inline constexpr UINT LB_GETCOUNT = 0x018B, LB_GETCURSEL = 0x0188, LB_SETCURSEL = 0x0186, LB_GETTOPINDEX = 0x018E,
                      LB_SETTOPINDEX = 0x0197, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_SETCURSEL = 0x014E,
                      CB_SHOWDROPDOWN = 0x014F, CB_GETDROPPEDSTATE = 0x0157;

class TCustomComboBox;
class TComboEdit;

// ---------------------------------------------------------------------------
// TCustomListBox / TListBox
// ---------------------------------------------------------------------------

// A list of strings (with objects) in a sunken box, one item per row (or in Columns
// side by side), with a vertical window scroll bar when the items do not fit. The user
// selects with the mouse (drag extends in ExtendedSelect mode, Ctrl toggles, Shift
// extends from the anchor) and the keyboard (arrows, Home/End, PageUp/PageDown, a letter
// jumps to the next item starting with it); each change by the user fires OnClick,
// changes in code do not. Sorted lists keep their items in case-insensitive order.
// Owner-drawn styles call OnDrawItem for each row (and OnMeasureItem for each row's
// height with lbOwnerDrawVariable).
class TCustomListBox : public TWinControl {
    HOST_CLASS(TCustomListBox, TWinControl)
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const;
    void SetItems(TStrings* Value);
    int ItemIndex() const;
    // -1 clears the selection; out of range raises EListError. Fires no OnClick.
    void SetItemIndex(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // 0 means the font's height plus 2 (set by the first paint or a font change).
    int ItemHeight() const;
    void SetItemHeight(int Value);
    // The height set in code or a form file (0: from the font).
    int StoredItemHeight() const { return FItemHeight; }
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The item at a client point; with Existing false a point below the last item gives Count.
    int ItemAtPos(TPoint Pos, bool Existing) const;
    // The client rectangle of an item (empty when it is not in view).
    TRect ItemRect(int Index) const;
    void Clear();
    // The item with the focus rectangle.
    int ItemFocused() const { return FFocusIndex; }
    // Rows that fit into the client area (at least 1).
    int VisibleRows() const;
    TCanvas* Canvas() const { return FCanvas.get(); }

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void Loaded() override;
    // Paints one item (owner-drawn styles call OnDrawItem instead).
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    // A user's change of the selection: OnClick.
    virtual void SelectionChangedByUser();
    // Moves the focus (and, in single or plain selection, the selection) to Index as the
    // keyboard and mouse do; Shift/Ctrl as for a click.
    void UserSelect(int Index, TShiftState Shift, bool FromMouse);
    void ScrollInView(int Index);
    void UpdateScrollBar();
    int RowHeight(int Index) const;
    bool HotTrack = false;  // the drop-down list follows the mouse without a button

private:
    friend class TCustomComboBox;
    std::unique_ptr<TStringList> FItems;
    std::vector<bool> FSel;
    std::unique_ptr<TCanvas> FCanvas;
    int FItemIndex = -1, FFocusIndex = -1, FAnchor = -1, FTopIndex = 0;
    int FItemHeight = 0, FColumns = 0;
    bool FMultiSelect = false, FExtendedSelect = true, FSorted = false, FIntegralHeight = false;
    TListBoxStyle FStyle = lbStandard;
    TBorderStyle FBorderStyle = bsSingle;
    bool FMouseSelecting = false, FChangedWhileMouse = false, FCtrlToggle = false;
    char FLastChar = 0;
    DWORD FLastCharTick = 0;
    std::vector<bool> FDragBase;

    void ItemsChanged(TObject* Sender);
    int FontRowHeight() const;
    void SetSelectionRange(int From, int To, bool Keep);

    void WMGetDlgCode(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMSetFocusLB(TMessage& Message);
    void WMKillFocusLB(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void LBMessage(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomListBox::WMGetDlgCode), on(WM_VSCROLL, &TCustomListBox::WMVScroll),
                  on(WM_HSCROLL, &TCustomListBox::WMHScroll), on(WM_SETFOCUS, &TCustomListBox::WMSetFocusLB),
                  on(WM_KILLFOCUS, &TCustomListBox::WMKillFocusLB),
                  on(WM_MOUSEWHEEL, &TCustomListBox::WMMouseWheel),
                  on(CM_FONTCHANGED, &TCustomListBox::CMFontChanged), on(LB_GETCOUNT, &TCustomListBox::LBMessage),
                  on(LB_GETCURSEL, &TCustomListBox::LBMessage), on(LB_SETCURSEL, &TCustomListBox::LBMessage),
                  on(LB_GETTOPINDEX, &TCustomListBox::LBMessage), on(LB_SETTOPINDEX, &TCustomListBox::LBMessage))
};

class TListBox : public TCustomListBox {
    HOST_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

private:
    HOST_PUBLISHED(prop("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle).def(bsSingle),
                   prop("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).def(0),
                   prop("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect)
                       .def(true),
                   prop("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight)
                       .def(false),
                   prop("ItemHeight", &TCustomListBox::StoredItemHeight, &TCustomListBox::SetItemHeight).def(0),
                   prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems),
                   prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).def(false),
                   prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).def(false),
                   prop("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).def(lbStandard),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// ---------------------------------------------------------------------------
// TCustomComboBox / TComboBox
// ---------------------------------------------------------------------------

// The drop-down part of a combo box: a list box in a top-level pop-up window (not
// activated, topmost) that follows the mouse and reports a click on an item to its combo.
class TComboDropDown : public TCustomListBox {
    HOST_CLASS(TComboDropDown, TCustomListBox)
public:
    TComboDropDown(TComponent* AOwner, TCustomComboBox* Combo);

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void MeasureItem(int Index, int& Height) override;
    void SelectionChangedByUser() override {}

private:
    TCustomComboBox* FCombo;
};

// A combo box: an edit field (csDropDown, csSimple) or a static field (csDropDownList and
// the owner-drawn styles) with a drop-down button, and a list of items shown in a pop-up
// window below it (above when it does not fit on the screen), or always below the field
// with csSimple. Choosing an item with the mouse or the arrow keys sets Text and
// ItemIndex and fires OnChange then OnClick (and OnSelect); typing into the edit field
// fires OnChange. Setting ItemIndex or Text in code fires no event. Alt+Down and F4 open
// and close the list; Esc closes it, Enter closes it choosing the item under the mouse or
// keyboard; a press outside closes it (OnCloseUp).
class TCustomComboBox : public TWinControl {
    HOST_CLASS(TCustomComboBox, TWinControl)
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* Items() const;
    void SetItems(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    // -1 clears (and empties Text); out of range raises EListError. Fires no event.
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value < 1 ? 1 : Value; }
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int StoredItemHeight() const { return FItemHeight; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    std::string Text() const { return GetText(); }
    // Sets the edit text (csDropDownList: selects the matching item, or none).
    void SetText(const std::string& Value);
    // The selection of the edit part (csDropDown, csSimple); the list styles have none.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    // The pop-up list while dropped down (nullptr otherwise).
    TCustomListBox* DropDownList() const;
    void Clear();
    TCanvas* Canvas() const { return FCanvas.get(); }
    // The inner edit control of csDropDown and csSimple (nullptr for the other styles):
    // caret, selection, clipboard and undo are its own; keys reach the combo first.
    TCustomEdit* EditControl() const;

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelect;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void Loaded() override;
    void SetTextInternal(const std::string& Value) override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    bool HasEdit() const { return FStyle == csDropDown || FStyle == csSimple; }
    // The field's rectangle (csSimple: the top part) and the button's.
    TRect FieldRect() const;
    TRect ButtonRect() const;

private:
    friend class TComboDropDown;
    friend class TComboEdit;
    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TComboDropDown* FList = nullptr;      // the drop-down pop-up (owned by this combo)
    TCustomListBox* FSimpleList = nullptr;  // the always visible list of csSimple
    TComboEdit* FEdit = nullptr;            // the edit part of csDropDown and csSimple (a child)
    TComboBoxStyle FStyle = csDropDown;
    int FItemIndex = -1, FDropDownCount = 8, FItemHeight = 0, FMaxLength = 0;
    bool FSorted = false, FDropped = false, FButtonDown = false, FInCloseUp = false;
    TEditCharCase FCharCase = ecNormal;
    char FLastChar = 0;

    void ItemsChanged(TObject* Sender);
    void ChooseByUser(int Index);
    void CloseList(bool Choose);
    void TypeChar(char Key);
    // Shows Value in the edit part without an event, selecting all of it or nothing.
    void SetEditText(const std::string& Value, bool SelectAllText);
    // A person changed the edit part's text.
    void EditTextChanged();
    void UpdateEditControl();
    int FontRowHeight() const;
    std::string ApplyCase(const std::string& S) const;
    void SimpleListClick(TObject* Sender);
    void UpdateSimpleList();

    void WMGetDlgCode(TMessage& Message);
    void WMKillFocusCB(TMessage& Message);
    void WMSetFocusCB(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMEnabledChangedCB(TMessage& Message);
    void CMColorChangedCB(TMessage& Message);
    void CBMessage(TMessage& Message);
    // WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR and WM_UNDO go to the edit part.
    void WMEditCommand(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomComboBox::WMGetDlgCode),
                  on(WM_KILLFOCUS, &TCustomComboBox::WMKillFocusCB), on(WM_SETFOCUS, &TCustomComboBox::WMSetFocusCB),
                  on(WM_CANCELMODE, &TCustomComboBox::WMCancelMode),
                  on(CM_ENABLEDCHANGED, &TCustomComboBox::CMEnabledChangedCB),
                  on(CM_COLORCHANGED, &TCustomComboBox::CMColorChangedCB), on(WM_CUT, &TCustomComboBox::WMEditCommand),
                  on(WM_COPY, &TCustomComboBox::WMEditCommand), on(WM_PASTE, &TCustomComboBox::WMEditCommand),
                  on(WM_CLEAR, &TCustomComboBox::WMEditCommand), on(WM_UNDO, &TCustomComboBox::WMEditCommand),
                  on(CM_FONTCHANGED, &TCustomComboBox::CMFontChanged), on(CB_GETCOUNT, &TCustomComboBox::CBMessage),
                  on(CB_GETCURSEL, &TCustomComboBox::CBMessage), on(CB_SETCURSEL, &TCustomComboBox::CBMessage),
                  on(CB_SHOWDROPDOWN, &TCustomComboBox::CBMessage),
                  on(CB_GETDROPPEDSTATE, &TCustomComboBox::CBMessage))
};

class TComboBox : public TCustomComboBox {
    HOST_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

private:
    HOST_PUBLISHED(prop("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).def(ecNormal),
                   prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
                       .def(8),
                   prop("ItemHeight", &TCustomComboBox::StoredItemHeight, &TCustomComboBox::SetItemHeight).def(0),
                   prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems),
                   prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).def(0),
                   prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).def(false),
                   prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).def(csDropDown),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText).def(std::string()),
                   prop("ItemIndex", &TCustomComboBox::ItemIndex, &TComboBox::SetStreamedItemIndex).def(-1))
    // Form files list ItemIndex after Items; an index beyond them is ignored.
    void SetStreamedItemIndex(int Value);
};

// ---------------------------------------------------------------------------
// TScrollBar
// ---------------------------------------------------------------------------

// A scroll bar control: arrows (SmallChange), page areas (LargeChange), a thumb whose
// length follows PageSize (a square thumb with PageSize 0) that the mouse drags (OnScroll
// scTrack on each move, scPosition at the end). Every user action fires OnScroll (which
// may change the new position) then, when the position changed, OnChange; setting
// Position in code fires OnChange only. Arrow keys, PageUp/PageDown, Home/End work while
// it has the focus.
class TScrollBar : public TWinControl {
    HOST_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* AOwner);
    ~TScrollBar() override;

    TScrollBarKind Kind() const { return FKind; }
    // Swaps width and height, as the framework does, when not loading.
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value) { FSmallChange = Value; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value) { FLargeChange = Value; }
    int PageSize() const { return FPageSize; }
    // Raises EInvalidOperation when beyond Max - Min + 1.
    void SetPageSize(int Value);
    // Max below Min raises EInvalidOperation "Scroll bar property out of range"; Position
    // is clamped to Min..Max - PageSize + 1 (Max with PageSize 0).
    void SetParams(int APosition, int AMin, int AMax);

    void KeyDown(WORD& Key, TShiftState Shift) override;

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void Change();
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

private:
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FSmallChange = 1, FLargeChange = 1, FPageSize = 0;
    enum class THit { None, LineUp, LineDown, PageUp, PageDown, Thumb } FHit = THit::None;
    int FDragOffset = 0, FTrackPos = 0;
    bool FPressedInside = false;
    UINT_PTR FTimer = 0;

    // Arrow size, track start/length, thumb start/length along the bar.
    struct TGeometry {
        int Arrow, TrackStart, TrackLen, ThumbStart, ThumbLen;
    };
    TGeometry Geometry() const;
    THit HitTest(int X, int Y) const;
    void DoScroll(TScrollCode Code, int NewPos);
    void RepeatHit();
    int MaxPosition() const;

    void WMGetDlgCode(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TScrollBar::WMGetDlgCode), on(WM_TIMER, &TScrollBar::WMTimer),
                  on(WM_CANCELMODE, &TScrollBar::WMCancelMode))
    HOST_PUBLISHED(prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).def(sbHorizontal),
                   prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).def(1),
                   prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).def(100),
                   prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).def(0),
                   prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).def(0),
                   prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).def(0),
                   prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).def(1),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true))
};

// ---------------------------------------------------------------------------
// TListView (report and icon layouts)
// ---------------------------------------------------------------------------

HOST_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport);
HOST_ENUM(TItemChange, ctText, ctImage, ctState);

class TListView;
class TListItems;
class TListViewEditor;

class TListColumn : public TCollectionItem {
    HOST_CLASS(TListColumn, TCollectionItem)
public:
    explicit TListColumn(TCollection* Collection);
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

private:
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    HOST_PUBLISHED(prop("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment).def(taLeftJustify),
                   prop("Caption", &TListColumn::Caption, &TListColumn::SetCaption).def(std::string()),
                   prop("Width", &TListColumn::Width, &TListColumn::SetWidth).def(50))
};

class TListColumns : public TCollection {
    HOST_CLASS(TListColumns, TCollection)
public:
    explicit TListColumns(TListView* Owner);
    TListColumn* Add();
    TListColumn* Items(int Index) const;
    TListView* Owner() const { return FOwner; }

protected:
    void Update(TCollectionItem* Item) override;
    TPersistent* GetOwner() const override;

private:
    TListView* FOwner;
};

// One row (report) or icon of a list view.
class TListItem : public TPersistent {
    HOST_CLASS(TListItem, TPersistent)
public:
    explicit TListItem(TListItems* Owner);
    ~TListItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TStrings* SubItems() const { return FSubItems.get(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    int Index() const;
    TListItems* Owner() const { return FOwner; }
    TListView* ListView() const;
    void Delete();
    void MakeVisible(bool PartialOK);
    TRect DisplayRect() const;
    // Starts editing the caption in place (false when the view is read-only or OnEditing refuses).
    bool EditCaption();
    // Ends an edit of this item's caption without keeping the typed text.
    void CancelEdit();

private:
    friend class TListItems;
    friend class TListView;
    TListItems* FOwner;
    std::string FCaption;
    std::unique_ptr<TStringList> FSubItems;
    int FImageIndex = -1;
    void* FData = nullptr;
    bool FSelected = false;
    void SubItemsChanged(TObject* Sender);
};

class TListItems : public TPersistent {
    HOST_CLASS(TListItems, TPersistent)
public:
    explicit TListItems(TListView* Owner);
    ~TListItems() override;

    TListItem* Add();
    TListItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError out of range.
    TListItem* Item(int Index) const;
    int IndexOf(const TListItem* Value) const;
    void BeginUpdate();
    void EndUpdate();
    TListView* Owner() const { return FOwner; }
    void Assign(TPersistent* Source) override;

protected:
    TPersistent* GetOwner() const override;
    void DefineProperties(TFiler* Filer) override;

private:
    friend class TListView;
    friend class TListItem;
    TListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
    int FUpdateCount = 0;
    void ReadData(TReader* Reader);
    void WriteData(TWriter* Writer);
};

using TLVChangeEvent = TEvent<TObject*, TListItem*, TItemChange>;
using TLVSelectItemEvent = TEvent<TObject*, TListItem*, bool>;
using TLVColumnClickEvent = TEvent<TObject*, TListColumn*>;
// Sender, Item1, Item2, Data, Compare (out: <0, 0, >0).
using TLVCompareEvent = TEvent<TObject*, TListItem*, TListItem*, int, int&>;
using TLVCompare = int (*)(TListItem* Item1, TListItem* Item2, int Data);
// Sender, item, AllowEdit (in: true; out: false refuses the edit).
using TLVEditingEvent = TEvent<TObject*, TListItem*, bool&>;
// Sender, item, the typed text (the handler may change it; it becomes the caption).
using TLVEditedEvent = TEvent<TObject*, TListItem*, std::string&>;

// A list of items with an optional image each: in vsReport one row per item with the
// caption and SubItems under column headings (clicking a heading fires OnColumnClick);
// in vsIcon large images on a grid with the caption below; vsSmallIcon and vsList lay out
// small images with the caption beside them. Selection by mouse (Ctrl/Shift with
// MultiSelect) and keyboard; OnSelectItem for each item whose selection changes, OnChange
// for changes of an item's text, image or state; a window scroll bar when the items do
// not fit (and, in vsReport, a horizontal one when the columns are wider than the view).
// Unless ReadOnly, a click on the caption of the item already selected (after the double-
// click time) or F2 edits the caption in place: Enter or leaving keeps it (OnEdited),
// Escape drops it. Dragging a heading's right edge sizes its column; a double click on
// the edge fits the column to its widest text (OnColumnResize after either).
class TListView : public TWinControl {
    HOST_CLASS(TListView, TWinControl)
public:
    explicit TListView(TComponent* AOwner);
    ~TListView() override;

    TListColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TListColumns* Value);
    TListItems* Items() const { return FItems.get(); }
    void SetItems(TListItems* Value);
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value);
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value);
    // The first selected item (nullptr when none); setting selects only that item.
    TListItem* Selected() const;
    void SetSelected(TListItem* Value);
    TListItem* ItemFocused() const { return FFocused; }
    void SetItemFocused(TListItem* Value);
    int SelCount() const;
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    int TopIndex() const { return FTopIndex; }
    // The horizontal scroll offset of vsReport, in pixels.
    int ScrollLeft() const { return FScrollX; }
    // True while a caption is edited in place; the editor (nullptr when none was made).
    bool IsEditing() const;
    TCustomEdit* EditControl() const;
    TListItem* GetItemAt(int X, int Y) const;
    bool AlphaSort();
    bool CustomSort(TLVCompare SortProc, int Data);
    void Scroll(int DX, int DY);
    TCanvas* Canvas() const { return FCanvas.get(); }

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TLVChangeEvent OnChange;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TLVColumnClickEvent OnColumnResize;
    TLVCompareEvent OnCompare;
    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(HDC DC) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void Loaded() override;
    virtual bool CanEdit(TListItem* Item);
    virtual void Edit(TListItem* Item, std::string& Text);

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;
    friend class TListViewEditor;
    TListViewEditor* FEditor = nullptr;  // the in-place caption editor (a hidden child between edits)
    TListItem* FEditItem = nullptr;
    TListItem* FClickEditItem = nullptr;  // a click on the selected caption waits for the timer
    int FScrollX = 0;
    int FSizingColumn = -1, FSizingStartX = 0, FSizingStartWidth = 0;
    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TCustomImageList* FLargeImages = nullptr;
    TCustomImageList* FSmallImages = nullptr;
    TListItem* FFocused = nullptr;
    int FAnchor = -1, FTopIndex = 0;
    TViewStyle FViewStyle = vsIcon;
    TSortType FSortType = stNone;
    bool FMultiSelect = false, FReadOnly = false, FRowSelect = false, FGridLines = false,
         FShowColumnHeaders = true;

    int RowHeight() const;
    int HeaderHeight() const;
    // Icon-layout cell size and cells per row.
    TSize CellSize() const;
    int CellsPerRow() const;
    int VisibleCount() const;
    int ItemCountInView() const;
    TRect ItemRectAt(int Index) const;
    int IndexAt(int X, int Y) const;
    void ItemChanged(TListItem* Item, TItemChange Change);
    void ItemSelectChanged(TListItem* Item, bool Value);
    void ItemRemoving(TListItem* Item);
    void SelectByUser(int Index, TShiftState Shift);
    void MakeIndexVisible(int Index);
    void UpdateScrollBar();
    void SortItems(TLVCompare Proc, int Data, bool UseEvent);
    int ColumnsWidth() const;
    // The column whose right edge (in the heading row) is near X, or -1.
    int DividerAt(int X) const;
    void AutoSizeColumn(int Index);
    TRect CaptionRect(int Index) const;
    void EndEdit(bool Keep);

    void WMGetDlgCode(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TListView::WMGetDlgCode), on(WM_VSCROLL, &TListView::WMVScroll),
                  on(WM_HSCROLL, &TListView::WMHScroll), on(WM_TIMER, &TListView::WMTimer),
                  on(WM_SETCURSOR, &TListView::WMSetCursor))
    HOST_PUBLISHED(prop("Columns", &TListView::Columns, &TListView::SetColumns),
                   prop("GridLines", &TListView::GridLines, &TListView::SetGridLines).def(false),
                   prop("Items", &TListView::Items, &TListView::SetItems),
                   prop("LargeImages", &TListView::LargeImages, &TListView::SetLargeImages),
                   prop("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect).def(false),
                   prop("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly).def(false),
                   prop("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect).def(false),
                   prop("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders)
                       .def(true),
                   prop("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages),
                   prop("SortType", &TListView::SortType, &TListView::SetSortType).def(stNone),
                   prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).def(true),
                   prop("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle).def(vsIcon))
};

// Registers every class of this unit for form files (once).
void RegisterListClasses();

}  // namespace host
