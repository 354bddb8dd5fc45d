// The tree view: TTreeNode, TTreeNodes, TCustomTreeView and TTreeView, painted and driven by this library itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/forms.h"
#include "host/graphics/imglist.h"

namespace host {

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;
class TStream;
class TTreeEditor;

HOST_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert);
HOST_ENUM(TSortType, stNone, stData, stText, stBoth);
HOST_ENUM(THitTest, htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
          htOnStateIcon, htToLeft, htToRight);
using THitTests = TSet<THitTest>;

using TTVChangingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVChangedEvent = TEvent<TObject*, TTreeNode*>;
using TTVExpandingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVCollapsingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVExpandedEvent = TEvent<TObject*, TTreeNode*>;
using TTVEditingEvent = TEvent<TObject*, TTreeNode*, bool&>;
using TTVEditedEvent = TEvent<TObject*, TTreeNode*, std::string&>;
using TTVCompareEvent = TEvent<TObject*, TTreeNode*, TTreeNode*, int, int&>;
// A sort order for CustomSort: negative when Node1 goes first.
using TTVCompare = int (*)(TTreeNode* Node1, TTreeNode* Node2, intptr_t Data);

// One node of a tree: its text, data, images, and children (which it owns).
class TTreeNode : public TPersistent {
    HOST_CLASS(TTreeNode, TPersistent)
public:
    explicit TTreeNode(TTreeNodes* AOwner);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);

    // --- the tree around it ---
    // 0 for a top-level node.
    int Level() const;
    // nullptr for a top-level node.
    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(FChildren.size()); }
    // Child Index; raises EListError for a bad index.
    TTreeNode* Item(int Index) const;
    // The position among its siblings.
    int Index() const;
    // The position in the whole tree in depth-first order.
    int AbsoluteIndex() const;
    int IndexOf(const TTreeNode* Value) const;
    bool IsFirstNode() const { return Parent() == nullptr && Index() == 0; }
    // True when the node has children or was told it has (a button shows before the
    // children are made, so that OnExpanding can add them).
    bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
    void SetHasChildren(bool Value);
    TTreeNode* getFirstChild() const;
    TTreeNode* getLastChild() const;
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    TTreeNode* GetFirstChild() const { return getFirstChild(); }
    TTreeNode* GetLastChild() const { return getLastChild(); }
    TTreeNode* GetNextSibling() const { return getNextSibling(); }
    TTreeNode* GetPrevSibling() const { return getPrevSibling(); }
    // Depth-first neighbours, whether visible or not.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The neighbours among the rows that show (ancestors expanded).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    // True when every ancestor is expanded.
    bool IsVisible() const;
    bool HasAsParent(const TTreeNode* Value) const;

    // --- expansion ---
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    // Expands (asking OnExpanding) and, with Recurse, every descendant.
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    // Whether the tree would let it expand (CanExpand / OnExpanding), without expanding.
    bool CanExpand() const;
    // Expands the ancestors and scrolls the node into view.
    void MakeVisible();

    // --- state ---
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    bool Deleting() const { return FDeleting; }
    // Starts editing the label (false when the tree refused). EndEdit finishes it.
    bool EditText();
    void EndEdit(bool Cancel);
    // The node's row (TextOnly: its label) in the tree's client coordinates; an
    // empty rectangle when the node does not show.
    TRect DisplayRect(bool TextOnly) const;

    // --- changes ---
    // Moves the node (with its children) relative to Destination.
    void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
    void Delete();
    void DeleteChildren();
    // Sorts the children by text (or OnCompare), with Recurse their children too.
    bool AlphaSort(bool Recurse = false);
    bool CustomSort(TTVCompare SortProc, intptr_t Data, bool Recurse = false);
    void Assign(TPersistent* Source) override;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNodes* FOwner;
    TTreeNode* FParentNode = nullptr;  // the hidden root for top-level nodes
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    std::string FText;
    void* FData = nullptr;
    int FImageIndex = -1, FSelectedIndex = -1, FStateIndex = -1, FOverlayIndex = -1;
    bool FHasChildren = false;
    bool FExpanded = false;
    bool FDeleting = false;
    mutable int FTextWidth = -1;  // cached label width, -1 when unknown

    std::unique_ptr<TTreeNode> Detach();
    void Changed();
};

// The nodes of a tree view, as one list in depth-first order.
class TTreeNodes : public TPersistent {
    HOST_CLASS(TTreeNodes, TPersistent)
public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // All nodes, depth first.
    int Count() const;
    // Node Index in depth-first order; raises EListError for a bad index.
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const;

    // Top-level node last / first, or as a sibling of Node (nullptr: top level).
    TTreeNode* Add(TTreeNode* Node, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Node, const std::string& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Node, const std::string& S);
    TTreeNode* AddObjectFirst(TTreeNode* Node, const std::string& S, void* Ptr);
    // A child of Node (nullptr: a top-level node), last or first.
    TTreeNode* AddChild(TTreeNode* Node, const std::string& S);
    TTreeNode* AddChildObject(TTreeNode* Node, const std::string& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Node, const std::string& S);
    TTreeNode* AddChildObjectFirst(TTreeNode* Node, const std::string& S, void* Ptr);
    // Before Node (nullptr: last top-level node).
    TTreeNode* Insert(TTreeNode* Node, const std::string& S);
    TTreeNode* InsertObject(TTreeNode* Node, const std::string& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }
    void Assign(TPersistent* Source) override;

    // The "Data" stream: for each node its indexes, child count and text.
    void DefineProperties(TFiler* Filer) override;
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TCustomTreeView* FOwner;
    std::unique_ptr<TTreeNode> FRoot;  // hidden: its children are the top-level nodes
    int FUpdateCount = 0;
    mutable std::vector<TTreeNode*> FList;  // depth-first cache
    mutable bool FListValid = false;

    TTreeNode* InternalAdd(TTreeNode* Parent, int Position, const std::string& S, void* Ptr);
    TTreeNode* ParentOf(TTreeNode* Node) const;
    void BuildList() const;
    void TreeChanged();
};

// The tree view: expandable rows with dotted lines, +/- buttons, images, label
// editing, keyboard navigation and scroll bars.
class TCustomTreeView : public TCustomControl {
    HOST_CLASS(TCustomTreeView, TCustomControl)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FNodes.get(); }
    void SetItems(TTreeNodes* Value);
    TTreeNode* Selected() const { return FSelected; }
    // Selects Node (nullptr: none), asking OnChanging first.
    void SetSelected(TTreeNode* Value);
    // The first row shown.
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The height of one row in pixels.
    int ItemHeight() const;

    bool AlphaSort();
    bool CustomSort(TTVCompare SortProc, intptr_t Data);
    void FullExpand();
    void FullCollapse();
    TTreeNode* GetNodeAt(int X, int Y) const;
    THitTests GetHitTestInfoAt(int X, int Y) const;
    bool IsEditing() const { return FEditNode != nullptr; }
    // The inner edit while a label is edited (nullptr otherwise).
    TWinControl* EditControl() const;

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVCompareEvent OnCompare;

protected:
    // The framework's overridable steps, each firing its event.
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual void Delete(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    virtual void Edit(TTreeNode* Node, std::string& S);
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);
    virtual int CompareNodes(TTreeNode* Node1, TTreeNode* Node2);

    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void Resize() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    friend class TTreeEditor;
    std::unique_ptr<TTreeNodes> FNodes;
    TTreeNode* FSelected = nullptr;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    std::unique_ptr<TChangeLink> FImageLink, FStateLink;
    int FIndent = 19;
    bool FShowLines = true, FShowRoot = true, FShowButtons = true, FHideSelection = true;
    bool FReadOnly = false, FRowSelect = false, FAutoExpand = false, FRightClickSelect = false;
    TSortType FSortType = stNone;
    TBorderStyle FBorderStyle = bsSingle;
    int FTopIndex = 0;   // the first row shown
    int FLeftPos = 0;    // horizontal scroll, pixels
    mutable int FItemHeight = 0;  // the row height once measured (0: not yet)
    mutable std::vector<TTreeNode*> FRows;  // the rows that show, top first
    mutable bool FRowsValid = false;
    bool FInScrollUpdate = false;
    bool FClearing = false;
    TTreeNode* FEditNode = nullptr;
    TTreeNode* FEditPending = nullptr;  // a click on the selected label starts editing later
    TTreeEditor* FEditor = nullptr;     // owned as a component of the tree

    const std::vector<TTreeNode*>& Rows() const;
    int RowOf(const TTreeNode* Node) const;
    int VisibleRowCount() const;
    int NodeX(const TTreeNode* Node) const;  // where the node's icons/label start
    int LabelWidth(const TTreeNode* Node) const;
    int ImageWidth() const;
    int StateImageWidth() const;
    TRect LabelRect(const TTreeNode* Node, int Row) const;
    void NodesChanged();
    void NodeDeleting(TTreeNode* Node);
    void ScrollTo(int TopIndex);
    void EnsureRowVisible(int Row);
    void UpdateScrollBars();
    void SelectRow(int Row);
    bool DoExpand(TTreeNode* Node, bool Recurse);
    bool DoCollapse(TTreeNode* Node, bool Recurse);
    void Toggle(TTreeNode* Node);
    bool StartEdit(TTreeNode* Node);
    void FinishEdit(bool Cancel);
    void ImageListChange(TObject* Sender);
    void SortChildren(TTreeNode* Parent, bool Recurse, TTVCompare Proc, intptr_t Data);
    void PlaceSorted(TTreeNode* Node);
    void DrawRow(TTreeNode* Node, int Row);

    void WMGetDlgCode(TMessage& Message);
    void WMVScroll(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMTimer(TMessage& Message);
    void WMLButtonDblClk(TWMMouse& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    HOST_MESSAGES(on(WM_GETDLGCODE, &TCustomTreeView::WMGetDlgCode), on(WM_VSCROLL, &TCustomTreeView::WMVScroll),
                  on(WM_HSCROLL, &TCustomTreeView::WMHScroll), on(WM_MOUSEWHEEL, &TCustomTreeView::WMMouseWheel),
                  on(WM_TIMER, &TCustomTreeView::WMTimer), on(WM_LBUTTONDBLCLK, &TCustomTreeView::WMLButtonDblClk), on(WM_SETFOCUS, &TCustomTreeView::WMSetFocus),
                  on(WM_KILLFOCUS, &TCustomTreeView::WMKillFocus),
                  on(CM_FONTCHANGED, &TCustomTreeView::CMFontChanged))
};

class TTreeView : public TCustomTreeView {
    HOST_CLASS(TTreeView, TCustomTreeView)
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}

private:
    HOST_PUBLISHED(prop("AutoExpand", &TTreeView::AutoExpand, &TTreeView::SetAutoExpand).def(false),
                   prop("BorderStyle", &TTreeView::BorderStyle, &TTreeView::SetBorderStyle).def(bsSingle),
                   prop("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection).def(true),
                   prop("Images", &TTreeView::Images, &TTreeView::SetImages),
                   prop("Indent", &TTreeView::Indent, &TTreeView::SetIndent).def(19),
                   prop("Items", &TTreeView::Items, &TTreeView::SetItems),
                   prop("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly).def(false),
                   prop("RightClickSelect", &TTreeView::RightClickSelect, &TTreeView::SetRightClickSelect)
                       .def(false),
                   prop("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect).def(false),
                   prop("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons).def(true),
                   prop("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines).def(true),
                   prop("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot).def(true),
                   prop("SortType", &TTreeView::SortType, &TTreeView::SetSortType).def(stNone),
                   prop("StateImages", &TTreeView::StateImages, &TTreeView::SetStateImages),
                   prop("OnChange", &TTreeView::OnChange, &TTreeView::OnChange),
                   prop("OnChanging", &TTreeView::OnChanging, &TTreeView::OnChanging),
                   prop("OnCollapsed", &TTreeView::OnCollapsed, &TTreeView::OnCollapsed),
                   prop("OnCollapsing", &TTreeView::OnCollapsing, &TTreeView::OnCollapsing),
                   prop("OnCompare", &TTreeView::OnCompare, &TTreeView::OnCompare),
                   prop("OnDeletion", &TTreeView::OnDeletion, &TTreeView::OnDeletion),
                   prop("OnEdited", &TTreeView::OnEdited, &TTreeView::OnEdited),
                   prop("OnEditing", &TTreeView::OnEditing, &TTreeView::OnEditing),
                   prop("OnExpanded", &TTreeView::OnExpanded, &TTreeView::OnExpanded),
                   prop("OnExpanding", &TTreeView::OnExpanding, &TTreeView::OnExpanding),
                   prop("OnGetImageIndex", &TTreeView::OnGetImageIndex, &TTreeView::OnGetImageIndex),
                   prop("OnGetSelectedIndex", &TTreeView::OnGetSelectedIndex, &TTreeView::OnGetSelectedIndex))
};

// Registers TTreeView and TAnimate for form files (once).
void RegisterTreeViewClasses();

}  // namespace host
