// The tree view: nodes and their list, expansion, selection, sorting, streaming, hit testing, input, label editing and painting.
#include "host/controls/treeview.h"

#include <algorithm>
#include <cstring>

#include "host/controls/animate.h"
#include "host/controls/controls_internal.h"
#include "host/gdi/gdi.h"
#include "host/graphics/imglist.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

constexpr UINT_PTR EditTimerId = 1;

int CompareTextI(const std::string& A, const std::string& B) {
    size_t n = std::min(A.size(), B.size());
    for (size_t i = 0; i < n; ++i) {
        int a = static_cast<unsigned char>(A[i]), b = static_cast<unsigned char>(B[i]);
        if (a >= 'a' && a <= 'z') a -= 32;
        if (b >= 'a' && b <= 'z') b -= 32;
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

COLORREF Ref(TColor C) { return static_cast<COLORREF>(ColorToRGB(C)); }

}  // namespace

// ---------------------------------------------------------------------------
// The inner edit of label editing: one line, caret, Enter accepts, Escape cancels
// ---------------------------------------------------------------------------

class TTreeEditor : public TCustomControl {
    HOST_CLASS(TTreeEditor, TCustomControl)
public:
    TTreeEditor(TCustomTreeView* ATree) : TCustomControl(ATree), FTree(ATree) {
        SetVisible(false);
        SetParentColorQuiet(false);
        FColor = clWindow;
        SetTabStop(true);
    }
    std::string Value;
    size_t Caret = 0;
    bool AllSelected = false;

    void Start(const std::string& S) {
        Value = S;
        Caret = S.size();
        AllSelected = true;
        Invalidate();
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Font()->Assign(FTree->Font());
        c->Brush()->SetColor(clWindow);
        c->Pen()->SetColor(clWindowFrame);
        c->Rectangle(0, 0, Width(), Height());
        int th = c->TextHeight("Wg");
        int ty = (Height() - th) / 2;
        if (AllSelected && !Value.empty()) {
            TRect r{2, ty, 2 + c->TextWidth(Value), ty + th};
            c->Brush()->SetColor(clHighlight);
            c->FillRect(r);
            c->Font()->SetColor(clHighlightText);
        }
        c->Brush()->SetStyle(bsClear);
        c->TextOut(2, ty, Value);
        int cx = 2 + c->TextWidth(Value.substr(0, Caret));
        c->Pen()->SetColor(clWindowText);
        c->MoveTo(cx, ty);
        c->LineTo(cx, ty + th);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TCustomControl::KeyDown(Key, Shift);
        switch (Key) {
            case VK_RETURN: FTree->FinishEdit(false); break;
            case VK_ESCAPE: FTree->FinishEdit(true); break;
            case VK_LEFT: MoveCaret(-1); break;
            case VK_RIGHT: MoveCaret(1); break;
            case VK_HOME: Caret = 0, AllSelected = false; break;
            case VK_END: Caret = Value.size(), AllSelected = false; break;
            case VK_DELETE:
                if (AllSelected) {
                    Value.clear(), Caret = 0, AllSelected = false;
                } else if (Caret < Value.size()) {
                    Value.erase(Caret, CharLen(Caret));
                }
                break;
            default: return;
        }
        Key = 0;
        Invalidate();
    }
    void KeyPress(char& Key) override {
        TCustomControl::KeyPress(Key);
        unsigned char k = static_cast<unsigned char>(Key);
        if (k == 8) {
            if (AllSelected) {
                Value.clear(), Caret = 0;
            } else if (Caret > 0) {
                size_t p = Caret - 1;
                while (p > 0 && (static_cast<unsigned char>(Value[p]) & 0xC0) == 0x80) --p;
                Value.erase(p, Caret - p);
                Caret = p;
            }
        } else if (k >= 32) {
            if (AllSelected) Value.clear(), Caret = 0;
            Value.insert(Caret, 1, Key);
            ++Caret;
        } else {
            return;
        }
        AllSelected = false;
        Key = 0;
        Invalidate();
    }

private:
    TCustomTreeView* FTree;
    size_t CharLen(size_t At) const {
        size_t n = 1;
        while (At + n < Value.size() && (static_cast<unsigned char>(Value[At + n]) & 0xC0) == 0x80) ++n;
        return n;
    }
    void MoveCaret(int Dir) {
        AllSelected = false;
        if (Dir < 0 && Caret > 0) {
            --Caret;
            while (Caret > 0 && (static_cast<unsigned char>(Value[Caret]) & 0xC0) == 0x80) --Caret;
        } else if (Dir > 0 && Caret < Value.size()) {
            Caret += CharLen(Caret);
        }
    }
    void WMGetDlgCode(TMessage& M) { M.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void WMKillFocus(TMessage& M) {
        Inherited(M);
        if (FTree->FEditNode != nullptr) FTree->FinishEdit(false);
    }
    HOST_MESSAGES(on(WM_GETDLGCODE, &TTreeEditor::WMGetDlgCode), on(WM_KILLFOCUS, &TTreeEditor::WMKillFocus))
};

// ---------------------------------------------------------------------------
// TTreeNode
// ---------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}
TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TTreeNode::Changed() {
    if (FOwner) FOwner->TreeChanged();
}

void TTreeNode::SetText(const std::string& Value) {
    FText = Value;
    FTextWidth = -1;
    TCustomTreeView* tv = TreeView();
    if (tv && FParentNode && (tv->FSortType == stText || tv->FSortType == stBoth)) tv->PlaceSorted(this);
    Changed();
}

void TTreeNode::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}
void TTreeNode::SetSelectedIndex(int Value) {
    if (FSelectedIndex == Value) return;
    FSelectedIndex = Value;
    Changed();
}
void TTreeNode::SetStateIndex(int Value) {
    if (FStateIndex == Value) return;
    FStateIndex = Value;
    Changed();
}
void TTreeNode::SetOverlayIndex(int Value) {
    if (FOverlayIndex == Value) return;
    FOverlayIndex = Value;
    Changed();
}

int TTreeNode::Level() const {
    int level = -1;
    for (const TTreeNode* p = FParentNode; p != nullptr; p = p->FParentNode) ++level;
    return level;
}

TTreeNode* TTreeNode::Parent() const {
    if (FParentNode == nullptr || FParentNode->FParentNode == nullptr) return nullptr;  // the hidden root
    return FParentNode;
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FChildren[static_cast<size_t>(Index)].get();
}

int TTreeNode::IndexOf(const TTreeNode* Value) const {
    for (size_t i = 0; i < FChildren.size(); ++i)
        if (FChildren[i].get() == Value) return static_cast<int>(i);
    return -1;
}

int TTreeNode::Index() const { return FParentNode ? FParentNode->IndexOf(this) : -1; }

int TTreeNode::AbsoluteIndex() const {
    if (!FOwner) return -1;
    FOwner->BuildList();
    auto it = std::find(FOwner->FList.begin(), FOwner->FList.end(), this);
    return it == FOwner->FList.end() ? -1 : static_cast<int>(it - FOwner->FList.begin());
}

void TTreeNode::SetHasChildren(bool Value) {
    if (FHasChildren == Value) return;
    FHasChildren = Value;
    if (!Value && FChildren.empty()) FExpanded = false;
    Changed();
}

TTreeNode* TTreeNode::getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
TTreeNode* TTreeNode::getLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }

TTreeNode* TTreeNode::getNextSibling() const {
    if (!FParentNode) return nullptr;
    int i = Index();
    return i + 1 < FParentNode->Count() ? FParentNode->FChildren[static_cast<size_t>(i + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    if (!FParentNode) return nullptr;
    int i = Index();
    return i > 0 ? FParentNode->FChildren[static_cast<size_t>(i - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front().get();
    for (const TTreeNode* n = this; n != nullptr; n = n->Parent())
        if (TTreeNode* s = n->getNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* p = getPrevSibling();
    if (!p) return Parent();
    while (!p->FChildren.empty()) p = p->FChildren.back().get();
    return p;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    TCustomTreeView* tv = TreeView();
    int r = tv ? tv->RowOf(this) : -1;
    if (r < 0 || r + 1 >= static_cast<int>(tv->Rows().size())) return nullptr;
    return tv->Rows()[static_cast<size_t>(r + 1)];
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    TCustomTreeView* tv = TreeView();
    int r = tv ? tv->RowOf(this) : -1;
    return r > 0 ? tv->Rows()[static_cast<size_t>(r - 1)] : nullptr;
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (!p->FExpanded) return false;
    return true;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    if (!Value) return false;
    for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (p == Value) return true;
    return false;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
    if (TCustomTreeView* tv = TreeView()) tv->DoExpand(this, Recurse);
}

void TTreeNode::Collapse(bool Recurse) {
    if (TCustomTreeView* tv = TreeView()) tv->DoCollapse(this, Recurse);
}

bool TTreeNode::CanExpand() const {
    TCustomTreeView* tv = TreeView();
    return tv && HasChildren() && tv->CanExpand(const_cast<TTreeNode*>(this));
}

void TTreeNode::MakeVisible() {
    TCustomTreeView* tv = TreeView();
    if (!tv) return;
    std::vector<TTreeNode*> chain;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (!(*it)->FExpanded) tv->DoExpand(*it, false);
    int r = tv->RowOf(this);
    if (r >= 0) tv->EnsureRowVisible(r);
}

bool TTreeNode::Selected() const { return TreeView() && TreeView()->FSelected == this; }

void TTreeNode::SetSelected(bool Value) {
    TCustomTreeView* tv = TreeView();
    if (!tv) return;
    if (Value)
        tv->SetSelected(this);
    else if (tv->FSelected == this)
        tv->SetSelected(nullptr);
}

bool TTreeNode::Focused() const { return Selected(); }
void TTreeNode::SetFocused(bool Value) { SetSelected(Value); }

bool TTreeNode::EditText() {
    TCustomTreeView* tv = TreeView();
    return tv && tv->StartEdit(this);
}

void TTreeNode::EndEdit(bool Cancel) {
    TCustomTreeView* tv = TreeView();
    if (tv && tv->FEditNode == this) tv->FinishEdit(Cancel);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TCustomTreeView* tv = TreeView();
    int r = tv ? tv->RowOf(this) : -1;
    if (r < 0) return TRect{0, 0, 0, 0};
    if (TextOnly) return tv->LabelRect(this, r);
    int h = tv->ItemHeight();
    int y = (r - tv->FTopIndex) * h;
    return TRect{0, y, tv->ClientWidth(), y + h};
}

std::unique_ptr<TTreeNode> TTreeNode::Detach() {
    TTreeNode* parent = FParentNode;
    int i = Index();
    std::unique_ptr<TTreeNode> self = std::move(parent->FChildren[static_cast<size_t>(i)]);
    parent->FChildren.erase(parent->FChildren.begin() + i);
    FParentNode = nullptr;
    return self;
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
    if (!FOwner || !FParentNode) return;
    TTreeNode* root = FOwner->FRoot.get();
    if (Destination && Destination->FOwner != FOwner)
        throw ETreeViewError("Cannot move a node to another tree view");
    TTreeNode* destParent = Destination ? Destination->FParentNode : root;
    TTreeNode* target = (Mode == naAddChild || Mode == naAddChildFirst) ? (Destination ? Destination : root) : destParent;
    if (target == this || (target != root && target->HasAsParent(this)))
        throw ETreeViewError("Cannot move a node into itself or one of its descendants");
    if (Mode == naInsert && Destination == this) return;
    std::unique_ptr<TTreeNode> self = Detach();
    size_t pos = target->FChildren.size();
    if (Mode == naAddFirst || Mode == naAddChildFirst) pos = 0;
    if (Mode == naInsert && Destination) pos = static_cast<size_t>(Destination->Index());
    target->FChildren.insert(target->FChildren.begin() + static_cast<ptrdiff_t>(pos), std::move(self));
    FParentNode = target;
    TCustomTreeView* tv = TreeView();
    if (tv && (tv->FSortType == stText || tv->FSortType == stBoth)) tv->PlaceSorted(this);
    Changed();
}

void TTreeNode::Delete() {
    if (FOwner) FOwner->Delete(this);
}

void TTreeNode::DeleteChildren() {
    if (!FOwner) return;
    TCustomTreeView* tv = TreeView();
    // A selection among the children moves to this node first.
    if (tv && tv->FSelected && tv->FSelected->HasAsParent(this)) {
        tv->FSelected = this;
        tv->Change(this);
    }
    FOwner->BeginUpdate();
    while (!FChildren.empty()) FOwner->Delete(FChildren.front().get());
    FHasChildren = false;
    FExpanded = false;
    FOwner->EndUpdate();
}

bool TTreeNode::AlphaSort(bool Recurse) { return CustomSort(nullptr, 0, Recurse); }

bool TTreeNode::CustomSort(TTVCompare SortProc, intptr_t Data, bool Recurse) {
    TCustomTreeView* tv = TreeView();
    if (!tv) return false;
    tv->SortChildren(this, Recurse, SortProc, Data);
    return true;
}

void TTreeNode::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTreeNode*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FText = src->FText;
    FTextWidth = -1;
    FData = src->FData;
    FImageIndex = src->FImageIndex;
    FSelectedIndex = src->FSelectedIndex;
    FStateIndex = src->FStateIndex;
    FOverlayIndex = src->FOverlayIndex;
    FHasChildren = src->FHasChildren;
    for (const auto& c : src->FChildren) {
        TTreeNode* n = FOwner->InternalAdd(this, Count(), c->FText, c->FData);
        n->Assign(c.get());
    }
    Changed();
}

// ---------------------------------------------------------------------------
// TTreeNodes
// ---------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner), FRoot(std::make_unique<TTreeNode>(this)) {}
TTreeNodes::~TTreeNodes() = default;

void TTreeNodes::BuildList() const {
    if (FListValid) return;
    FList.clear();
    for (TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext()) FList.push_back(n);
    FListValid = true;
}

int TTreeNodes::Count() const {
    BuildList();
    return static_cast<int>(FList.size());
}

TTreeNode* TTreeNodes::Item(int Index) const {
    BuildList();
    if (Index < 0 || Index >= static_cast<int>(FList.size()))
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FList[static_cast<size_t>(Index)];
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoot->getFirstChild(); }

void TTreeNodes::TreeChanged() {
    FListValid = false;
    if (FOwner) FOwner->NodesChanged();
}

TTreeNode* TTreeNodes::ParentOf(TTreeNode* Node) const {
    if (!Node) return FRoot.get();
    if (Node->FOwner != this) throw ETreeViewError("The node belongs to another tree view");
    return Node->FParentNode;
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Position, const std::string& S, void* Ptr) {
    auto node = std::make_unique<TTreeNode>(this);
    TTreeNode* n = node.get();
    n->FText = S;
    n->FData = Ptr;
    n->FParentNode = Parent;
    Position = std::clamp(Position, 0, Parent->Count());
    Parent->FChildren.insert(Parent->FChildren.begin() + Position, std::move(node));
    if (FOwner && (FOwner->FSortType == stText || FOwner->FSortType == stBoth)) FOwner->PlaceSorted(n);
    TreeChanged();
    return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Node, const std::string& S) { return AddObject(Node, S, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* Node, const std::string& S, void* Ptr) {
    TTreeNode* p = ParentOf(Node);
    return InternalAdd(p, p->Count(), S, Ptr);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* Node, const std::string& S) { return AddObjectFirst(Node, S, nullptr); }
TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Node, const std::string& S, void* Ptr) {
    return InternalAdd(ParentOf(Node), 0, S, Ptr);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* Node, const std::string& S) { return AddChildObject(Node, S, nullptr); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Node, const std::string& S, void* Ptr) {
    if (Node && Node->FOwner != this) throw ETreeViewError("The node belongs to another tree view");
    TTreeNode* p = Node ? Node : FRoot.get();
    return InternalAdd(p, p->Count(), S, Ptr);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Node, const std::string& S) {
    return AddChildObjectFirst(Node, S, nullptr);
}
TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Node, const std::string& S, void* Ptr) {
    if (Node && Node->FOwner != this) throw ETreeViewError("The node belongs to another tree view");
    return InternalAdd(Node ? Node : FRoot.get(), 0, S, Ptr);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* Node, const std::string& S) { return InsertObject(Node, S, nullptr); }
TTreeNode* TTreeNodes::InsertObject(TTreeNode* Node, const std::string& S, void* Ptr) {
    TTreeNode* p = ParentOf(Node);
    return InternalAdd(p, Node ? Node->Index() : p->Count(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FOwner != this || Node == FRoot.get() || Node->FDeleting || !Node->FParentNode) return;
    // A selection inside the subtree is taken to the node itself, so that it moves
    // once, to a neighbour that stays, when the node goes.
    if (FOwner && FOwner->FSelected && FOwner->FSelected->HasAsParent(Node)) {
        bool inner = false;
        for (TTreeNode* p = Node->Parent(); p && !inner; p = p->Parent()) inner = p->FDeleting;
        if (!inner) FOwner->FSelected = Node;
    }
    Node->FDeleting = true;
    BeginUpdate();
    // Children go first, in order, each announced before it goes.
    while (!Node->FChildren.empty()) Delete(Node->FChildren.front().get());
    if (FOwner) FOwner->NodeDeleting(Node);
    TTreeNode* parent = Node->FParentNode;
    std::unique_ptr<TTreeNode> gone = Node->Detach();
    if (parent != FRoot.get() && parent->FChildren.empty() && !parent->FHasChildren) parent->FExpanded = false;
    gone.reset();
    FListValid = false;
    EndUpdate();
}

void TTreeNodes::Clear() {
    if (FRoot->FChildren.empty()) return;
    BeginUpdate();
    bool wasClearing = FOwner ? FOwner->FClearing : false;
    if (FOwner) {
        FOwner->FClearing = true;
        FOwner->FSelected = nullptr;
    }
    while (!FRoot->FChildren.empty()) Delete(FRoot->FChildren.front().get());
    if (FOwner) FOwner->FClearing = wasClearing;
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) TreeChanged();
}

void TTreeNodes::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TTreeNodes*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    BeginUpdate();
    Clear();
    for (const auto& c : src->FRoot->FChildren) {
        TTreeNode* n = InternalAdd(FRoot.get(), FRoot->Count(), c->FText, c->FData);
        n->Assign(c.get());
    }
    EndUpdate();
}

// The "Data" stream: the top-level count (int32), then each node depth first as
// ImageIndex, SelectedIndex, StateIndex, OverlayIndex, a data slot (always 0) and its
// child count (int32 each), then its text: a length byte and the bytes, or for texts of
// 255 bytes and more the byte 255, an int32 length and the bytes.
void TTreeNodes::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    Filer->DefineBinaryProperty("Data", TStreamProc(this, &TTreeNodes::ReadData),
                                TStreamProc(this, &TTreeNodes::WriteData), Count() > 0);
}

namespace {

void PutI32(std::string& B, int32_t V) {
    for (int i = 0; i < 4; ++i) B += static_cast<char>((static_cast<uint32_t>(V) >> (8 * i)) & 0xFF);
}

void WriteNode(std::string& B, const TTreeNode* N) {
    PutI32(B, N->ImageIndex());
    PutI32(B, N->SelectedIndex());
    PutI32(B, N->StateIndex());
    PutI32(B, N->OverlayIndex());
    PutI32(B, 0);
    PutI32(B, N->Count());
    const std::string& t = N->Text();
    if (t.size() < 255) {
        B += static_cast<char>(t.size());
    } else {
        B += static_cast<char>(255);
        PutI32(B, static_cast<int32_t>(t.size()));
    }
    B += t;
    for (int i = 0; i < N->Count(); ++i) WriteNode(B, N->Item(i));
}

struct TNodeInfo {
    int32_t Image = -1, Selected = -1, State = -1, Overlay = -1;
    std::string Text;
    std::vector<TNodeInfo> Children;
};

class TNodeParser {
public:
    explicit TNodeParser(const std::string& B) : FB(B) {}
    int32_t I32() {
        Need(4);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(FB[FPos + i])) << (8 * i);
        FPos += 4;
        return static_cast<int32_t>(v);
    }
    // Count nodes follow: each takes at least 25 bytes, so a count the data cannot
    // hold is refused before anything is allocated.
    int32_t NodeCount() {
        int32_t n = I32();
        if (n < 0 || static_cast<uint64_t>(n) * 25 > FB.size() - FPos)
            throw EReadError(Format("Tree view data: bad node count %d", {n}));
        return n;
    }
    void Node(TNodeInfo& N, int Depth) {
        if (Depth > 500) throw EReadError("Tree view data: nodes nested too deeply");
        N.Image = I32();
        N.Selected = I32();
        N.State = I32();
        N.Overlay = I32();
        I32();
        int32_t count = I32();
        Need(1);
        size_t len = static_cast<unsigned char>(FB[FPos++]);
        if (len == 255) {
            int32_t l = I32();
            if (l < 0) throw EReadError("Tree view data: bad text length");
            len = static_cast<size_t>(l);
        }
        Need(len);
        N.Text = FB.substr(FPos, len);
        FPos += len;
        if (count < 0 || static_cast<uint64_t>(count) * 25 > FB.size() - FPos)
            throw EReadError(Format("Tree view data: bad child count %d", {count}));
        N.Children.resize(static_cast<size_t>(count));
        for (auto& c : N.Children) Node(c, Depth + 1);
    }
    bool AtEnd() const { return FPos == FB.size(); }

private:
    const std::string& FB;
    size_t FPos = 0;
    void Need(size_t N) {
        if (N > FB.size() - FPos) throw EReadError("Tree view data: unexpected end of data");
    }
};

void BuildNodes(TTreeNodes* Nodes, TTreeNode* Parent, const std::vector<TNodeInfo>& Infos) {
    for (const auto& info : Infos) {
        TTreeNode* n = Nodes->AddChild(Parent, info.Text);
        n->SetImageIndex(info.Image);
        n->SetSelectedIndex(info.Selected);
        n->SetStateIndex(info.State);
        n->SetOverlayIndex(info.Overlay);
        BuildNodes(Nodes, n, info.Children);
    }
}

}  // namespace

void TTreeNodes::ReadData(TStream* Stream) {
    int64_t size = Stream->Size() - Stream->Position();
    if (size < 0 || size > (int64_t(1) << 30)) throw EReadError("Tree view data: bad size");
    std::string bytes(static_cast<size_t>(size), '\0');
    Stream->ReadBuffer(bytes.data(), size);
    // Parsed whole first, so that bad data leaves the nodes as they were.
    TNodeParser parser(bytes);
    std::vector<TNodeInfo> roots(static_cast<size_t>(parser.NodeCount()));
    for (auto& r : roots) parser.Node(r, 0);
    BeginUpdate();
    Clear();
    BuildNodes(this, nullptr, roots);
    EndUpdate();
}

void TTreeNodes::WriteData(TStream* Stream) {
    std::string b;
    PutI32(b, FRoot->Count());
    for (const auto& c : FRoot->FChildren) WriteNode(b, c.get());
    Stream->WriteBuffer(b.data(), static_cast<int64_t>(b.size()));
}

// ---------------------------------------------------------------------------
// TCustomTreeView: structure, selection, expansion
// ---------------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner),
      FNodes(std::make_unique<TTreeNodes>(this)),
      FImageLink(std::make_unique<TChangeLink>()),
      FStateLink(std::make_unique<TChangeLink>()) {
    SetBounds(Left(), Top(), 121, 97);
    SetParentColorQuiet(false);
    FColor = clWindow;
    SetTabStop(true);
    FControlStyle.Exclude(csSetCaption);
    FImageLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
    FStateLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImageListChange);
}

TCustomTreeView::~TCustomTreeView() {
    // Every node is announced (OnDeletion) before it goes, so that data kept in
    // nodes can be freed.
    FEditNode = nullptr;
    FNodes->BeginUpdate();
    FNodes->Clear();
    if (FImages) FImages->UnRegisterChanges(FImageLink.get());
    if (FStateImages) FStateImages->UnRegisterChanges(FStateLink.get());
}

void TCustomTreeView::SetItems(TTreeNodes* Value) { FNodes->Assign(Value); }

const std::vector<TTreeNode*>& TCustomTreeView::Rows() const {
    if (!FRowsValid) {
        FRows.clear();
        // Depth first, entering only expanded nodes.
        std::vector<TTreeNode*> stack;
        const auto& roots = FNodes->FRoot->FChildren;
        for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.push_back(it->get());
        while (!stack.empty()) {
            TTreeNode* n = stack.back();
            stack.pop_back();
            FRows.push_back(n);
            if (n->FExpanded)
                for (auto it = n->FChildren.rbegin(); it != n->FChildren.rend(); ++it) stack.push_back(it->get());
        }
        FRowsValid = true;
    }
    return FRows;
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const {
    if (!Node || !Node->IsVisible()) return -1;
    const auto& rows = Rows();
    auto it = std::find(rows.begin(), rows.end(), Node);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

void TCustomTreeView::NodesChanged() {
    FRowsValid = false;
    if (FNodes->Updating() || ComponentState().Contains(csDestroying)) return;
    UpdateScrollBars();
    if (FEditNode) {
        int r = RowOf(FEditNode);
        if (r < 0) FinishEdit(true);
    }
    Invalidate();
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
    if (FEditNode == Node) FinishEdit(true);
    if (FEditPending == Node) FEditPending = nullptr;
    Delete(Node);
    if (FSelected == Node) {
        // The selection moves to a neighbour that stays: the next sibling, the
        // previous one, or the parent.
        TTreeNode* next = nullptr;
        if (!FClearing) {
            for (TTreeNode* s = Node->getNextSibling(); s && !next; s = s->getNextSibling())
                if (!s->FDeleting) next = s;
            for (TTreeNode* s = Node->getPrevSibling(); s && !next; s = s->getPrevSibling())
                if (!s->FDeleting) next = s;
            for (TTreeNode* p = Node->Parent(); p && !next; p = p->Parent())
                if (!p->FDeleting) next = p;
        }
        FSelected = next;
        if (!FClearing && !ComponentState().Contains(csDestroying)) Change(next);
    }
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    if (Value == FSelected) return;
    if (Value && Value->FOwner != FNodes.get()) throw ETreeViewError("The node belongs to another tree view");
    if (!CanChange(Value)) return;
    FSelected = Value;
    FEditPending = nullptr;
    if (Value) Value->MakeVisible();
    Invalidate();
    Change(Value);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { OnChange(this, Node); }

void TCustomTreeView::Delete(TTreeNode* Node) { OnDeletion(this, Node); }

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) { OnExpanded(this, Node); }

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool allow = true;
    OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) { OnCollapsed(this, Node); }

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
    bool allow = true;
    OnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string& S) { OnEdited(this, Node, S); }
void TCustomTreeView::GetImageIndex(TTreeNode* Node) { OnGetImageIndex(this, Node); }
void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) { OnGetSelectedIndex(this, Node); }

bool TCustomTreeView::DoExpand(TTreeNode* Node, bool Recurse) {
    if (!Node || Node->FOwner != FNodes.get()) return false;
    if (!Node->FExpanded && Node->HasChildren()) {
        if (!CanExpand(Node)) return false;
        // A node told it has children that still has none after OnExpanding loses
        // its button.
        if (Node->FChildren.empty()) {
            Node->FHasChildren = false;
            NodesChanged();
            return false;
        }
        Node->FExpanded = true;
        NodesChanged();
        Expand(Node);
    }
    if (Recurse) {
        std::vector<TTreeNode*> kids;
        for (auto& c : Node->FChildren) kids.push_back(c.get());
        for (TTreeNode* c : kids) DoExpand(c, true);
    }
    return Node->FExpanded;
}

bool TCustomTreeView::DoCollapse(TTreeNode* Node, bool Recurse) {
    if (!Node || Node->FOwner != FNodes.get()) return false;
    if (Node->FExpanded) {
        if (!CanCollapse(Node)) return false;
        Node->FExpanded = false;
        NodesChanged();
        // A selection that no longer shows moves to the collapsed node.
        if (FSelected && FSelected->HasAsParent(Node)) SetSelected(Node);
        Collapse(Node);
    }
    if (Recurse)
        for (auto& c : Node->FChildren) DoCollapse(c.get(), true);
    return true;
}

void TCustomTreeView::Toggle(TTreeNode* Node) {
    if (Node->FExpanded)
        DoCollapse(Node, false);
    else
        DoExpand(Node, false);
}

void TCustomTreeView::FullExpand() {
    FNodes->BeginUpdate();
    std::vector<TTreeNode*> roots;
    for (auto& c : FNodes->FRoot->FChildren) roots.push_back(c.get());
    for (TTreeNode* n : roots) DoExpand(n, true);
    FNodes->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
    FNodes->BeginUpdate();
    for (auto& c : FNodes->FRoot->FChildren) DoCollapse(c.get(), true);
    FNodes->EndUpdate();
}

// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

int TCustomTreeView::CompareNodes(TTreeNode* Node1, TTreeNode* Node2) {
    if (OnCompare.Assigned() && FSortType != stText) {
        int result = 0;
        OnCompare(this, Node1, Node2, 0, result);
        return result;
    }
    return CompareTextI(Node1->FText, Node2->FText);
}

void TCustomTreeView::SortChildren(TTreeNode* Parent, bool Recurse, TTVCompare Proc, intptr_t Data) {
    auto& kids = Parent->FChildren;
    std::stable_sort(kids.begin(), kids.end(), [&](const auto& a, const auto& b) {
        return (Proc ? Proc(a.get(), b.get(), Data) : CompareNodes(a.get(), b.get())) < 0;
    });
    if (Recurse)
        for (auto& c : kids) SortChildren(c.get(), true, Proc, Data);
    FNodes->TreeChanged();
}

void TCustomTreeView::PlaceSorted(TTreeNode* Node) {
    TTreeNode* parent = Node->FParentNode;
    std::unique_ptr<TTreeNode> self = Node->Detach();
    auto& kids = parent->FChildren;
    auto at = std::upper_bound(kids.begin(), kids.end(), Node,
                               [&](TTreeNode* n, const auto& k) { return CompareNodes(n, k.get()) < 0; });
    kids.insert(at, std::move(self));
    Node->FParentNode = parent;
}

bool TCustomTreeView::AlphaSort() { return CustomSort(nullptr, 0); }

bool TCustomTreeView::CustomSort(TTVCompare SortProc, intptr_t Data) {
    SortChildren(FNodes->FRoot.get(), true, SortProc, Data);
    return true;
}

void TCustomTreeView::SetSortType(TSortType Value) {
    if (FSortType == Value) return;
    FSortType = Value;
    if (Value != stNone && !ComponentState().Contains(csLoading)) AlphaSort();
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TCustomTreeView::ImageListChange(TObject*) {
    FItemHeight = 0;
    NodesChanged();
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) FImages->UnRegisterChanges(FImageLink.get());
    FImages = Value;
    FItemHeight = 0;
    if (FImages) {
        FImages->RegisterChanges(FImageLink.get());
        FImages->FreeNotification(this);
    }
    NodesChanged();
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
    if (FStateImages == Value) return;
    if (FStateImages) FStateImages->UnRegisterChanges(FStateLink.get());
    FStateImages = Value;
    FItemHeight = 0;
    if (FStateImages) {
        FStateImages->RegisterChanges(FStateLink.get());
        FStateImages->FreeNotification(this);
    }
    NodesChanged();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages || AComponent == FStateImages) FItemHeight = 0;
    if (AComponent == FImages) {
        FImages = nullptr;
        NodesChanged();
    }
    if (AComponent == FStateImages) {
        FStateImages = nullptr;
        NodesChanged();
    }
}

void TCustomTreeView::SetIndent(int Value) {
    Value = std::clamp(Value, 0, 1000);
    if (FIndent == Value) return;
    FIndent = Value;
    NodesChanged();
}

#define HOST_TREE_FLAG_SETTER(Name, Field)          \
    void TCustomTreeView::Set##Name(bool Value) {   \
        if (Field == Value) return;                 \
        Field = Value;                              \
        NodesChanged();                             \
    }
HOST_TREE_FLAG_SETTER(ShowLines, FShowLines)
HOST_TREE_FLAG_SETTER(ShowRoot, FShowRoot)
HOST_TREE_FLAG_SETTER(ShowButtons, FShowButtons)
HOST_TREE_FLAG_SETTER(HideSelection, FHideSelection)
HOST_TREE_FLAG_SETTER(RowSelect, FRowSelect)
#undef HOST_TREE_FLAG_SETTER

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) controls_internal::AddSingleBorder(Params, Ctl3D());
}

void TCustomTreeView::Loaded() {
    TCustomControl::Loaded();
    if (FSortType != stNone) AlphaSort();
    NodesChanged();
}

void TCustomTreeView::Resize() {
    TCustomControl::Resize();
    UpdateScrollBars();
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    FItemHeight = 0;
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext()) n->FTextWidth = -1;
    NodesChanged();
}

// ---------------------------------------------------------------------------
// Geometry and hit testing
// ---------------------------------------------------------------------------

int TCustomTreeView::ItemHeight() const {
    if (FItemHeight > 0) return FItemHeight;
    int text;
    auto* self = const_cast<TCustomTreeView*>(this);
    if (HandleAllocated()) {
        self->Canvas()->Font()->Assign(Font());
        text = self->Canvas()->TextHeight("Wg");
    } else {
        text = std::abs(Font()->Height()) + 3;
    }
    int images = std::max(FImages ? FImages->Height() : 0, FStateImages ? FStateImages->Height() : 0);
    int h = std::max(text, images) + 2;
    if (HandleAllocated()) FItemHeight = h;  // measured with the real font: kept until the font or images change
    return h;
}

int TCustomTreeView::ImageWidth() const { return FImages ? FImages->Width() + 2 : 0; }
int TCustomTreeView::StateImageWidth() const { return FStateImages ? FStateImages->Width() + 2 : 0; }

int TCustomTreeView::NodeX(const TTreeNode* Node) const {
    return (Node->Level() + (FShowRoot ? 1 : 0)) * FIndent + 2 - FLeftPos;
}

int TCustomTreeView::LabelWidth(const TTreeNode* Node) const {
    if (Node->FTextWidth < 0) {
        if (!HandleAllocated()) return static_cast<int>(Node->FText.size()) * 6 + 4;
        auto* self = const_cast<TCustomTreeView*>(this);
        self->Canvas()->Font()->Assign(Font());
        Node->FTextWidth = self->Canvas()->TextWidth(Node->FText);
    }
    return Node->FTextWidth + 4;
}

TRect TCustomTreeView::LabelRect(const TTreeNode* Node, int Row) const {
    int h = ItemHeight();
    int y = (Row - FTopIndex) * h;
    int x = NodeX(Node) + ImageWidth() + (FStateImages && Node->FStateIndex >= 0 ? StateImageWidth() : 0);
    return TRect{x, y, x + LabelWidth(Node), y + h};
}

int TCustomTreeView::VisibleRowCount() const { return std::max(1, ClientHeight() / std::max(1, ItemHeight())); }

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight()) return nullptr;
    const auto& rows = Rows();
    size_t r = static_cast<size_t>(FTopIndex + Y / std::max(1, ItemHeight()));
    return r < rows.size() ? rows[r] : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) const {
    THitTests result;
    if (X < 0) result.Include(htToLeft);
    if (X >= ClientWidth()) result.Include(htToRight);
    if (Y < 0) result.Include(htAbove);
    if (Y >= ClientHeight()) result.Include(htBelow);
    if (!result.Empty()) return result;
    TTreeNode* node = GetNodeAt(X, Y);
    if (!node) return THitTests{htNowhere};
    int x0 = NodeX(node);
    bool button = FShowButtons && node->HasChildren() && (node->Level() > 0 || FShowRoot);
    if (X < x0 - FIndent) return THitTests{htOnIndent};
    if (X < x0) return THitTests{button ? htOnButton : htOnIndent};
    int x = x0;
    if (FStateImages && node->FStateIndex >= 0) {
        if (X < x + StateImageWidth()) return THitTests{htOnItem, htOnStateIcon};
        x += StateImageWidth();
    }
    if (FImages) {
        if (X < x + ImageWidth()) return THitTests{htOnItem, htOnIcon};
        x += ImageWidth();
    }
    if (X < x + LabelWidth(node)) return THitTests{htOnItem, htOnLabel};
    return THitTests{htOnRight};
}

TTreeNode* TCustomTreeView::TopItem() const {
    const auto& rows = Rows();
    return FTopIndex < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(FTopIndex)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    int r = RowOf(Value);
    if (r >= 0) ScrollTo(r);
}

// ---------------------------------------------------------------------------
// Scrolling
// ---------------------------------------------------------------------------

void TCustomTreeView::UpdateScrollBars() {
    if (!HandleAllocated() || FInScrollUpdate || FNodes->Updating()) return;
    FInScrollUpdate = true;
    // Twice: showing one bar narrows the client area and may call for the other.
    for (int pass = 0; pass < 2; ++pass) {
        const auto& rows = Rows();
        int n = static_cast<int>(rows.size());
        int vis = VisibleRowCount();
        FTopIndex = std::clamp(FTopIndex, 0, std::max(0, n - vis));
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMin = 0;
        si.nMax = std::max(0, n - 1);
        si.nPage = static_cast<UINT>(vis);
        si.nPos = FTopIndex;
        SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
        int widest = 0;
        for (TTreeNode* node : rows) {
            int right = NodeX(node) + FLeftPos + ImageWidth() + LabelWidth(node) +
                        (FStateImages && node->FStateIndex >= 0 ? StateImageWidth() : 0);
            widest = std::max(widest, right);
        }
        int cw = std::max(1, ClientWidth());
        FLeftPos = std::clamp(FLeftPos, 0, std::max(0, widest - cw));
        si.nMax = std::max(0, widest - 1);
        si.nPage = static_cast<UINT>(cw);
        si.nPos = FLeftPos;
        SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
    }
    FInScrollUpdate = false;
}

void TCustomTreeView::ScrollTo(int TopIndex) {
    int n = static_cast<int>(Rows().size());
    TopIndex = std::clamp(TopIndex, 0, std::max(0, n - VisibleRowCount()));
    if (TopIndex == FTopIndex) return;
    FTopIndex = TopIndex;
    if (FEditNode) FinishEdit(false);
    UpdateScrollBars();
    Invalidate();
}

void TCustomTreeView::EnsureRowVisible(int Row) {
    int vis = VisibleRowCount();
    if (Row < FTopIndex)
        ScrollTo(Row);
    else if (Row >= FTopIndex + vis)
        ScrollTo(Row - vis + 1);
}


void TCustomTreeView::WMVScroll(TMessage& Message) {
    int n = static_cast<int>(Rows().size());
    ScrollTo(controls_internal::ScrollTarget(Message, Handle(), SB_VERT, FTopIndex, 1, std::max(1, VisibleRowCount() - 1), n));
    Message.Result = 0;
}

void TCustomTreeView::WMHScroll(TMessage& Message) {
    int pos = controls_internal::ScrollTarget(Message, Handle(), SB_HORZ, FLeftPos, 8, std::max(8, ClientWidth() - 8), 1 << 20);
    int old = FLeftPos;
    FLeftPos = std::max(0, pos);
    UpdateScrollBars();
    if (FLeftPos != old) {
        if (FEditNode) FinishEdit(false);
        Invalidate();
    }
    Message.Result = 0;
}

void TCustomTreeView::WMMouseWheel(TMessage& Message) {
    int delta = static_cast<int16_t>(HIWORD(Message.WParam));
    ScrollTo(FTopIndex - delta * 3 / 120);
    Message.Result = 1;
}

// ---------------------------------------------------------------------------
// Input
// ---------------------------------------------------------------------------

void TCustomTreeView::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomTreeView::WMSetFocus(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomTreeView::WMKillFocus(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TCustomTreeView::SelectRow(int Row) {
    const auto& rows = Rows();
    if (rows.empty()) return;
    TTreeNode* node = rows[static_cast<size_t>(std::clamp(Row, 0, static_cast<int>(rows.size()) - 1))];
    SetSelected(node);
    if (FSelected == node) {
        EnsureRowVisible(RowOf(node));
        if (FAutoExpand && node->HasChildren()) DoExpand(node, false);
    }
}

void TCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    int n = static_cast<int>(Rows().size());
    int cur = RowOf(FSelected);
    int page = std::max(1, VisibleRowCount() - 1);
    TTreeNode* sel = FSelected;
    switch (Key) {
        case VK_UP: SelectRow(cur < 0 ? 0 : cur - 1); break;
        case VK_DOWN: SelectRow(cur < 0 ? 0 : cur + 1); break;
        case VK_HOME: SelectRow(0); break;
        case VK_END: SelectRow(n - 1); break;
        case VK_PRIOR: SelectRow(cur < 0 ? 0 : cur - page); break;
        case VK_NEXT: SelectRow(cur < 0 ? 0 : cur + page); break;
        case VK_LEFT:
            if (sel && sel->FExpanded)
                DoCollapse(sel, false);
            else if (sel && sel->Parent())
                SetSelected(sel->Parent());
            break;
        case VK_RIGHT:
            if (sel && !sel->FExpanded && sel->HasChildren())
                DoExpand(sel, false);
            else if (sel && sel->FExpanded && sel->getFirstChild())
                SetSelected(sel->getFirstChild());
            break;
        case VK_ADD:
            if (sel) DoExpand(sel, false);
            break;
        case VK_SUBTRACT:
            if (sel) DoCollapse(sel, false);
            break;
        case VK_MULTIPLY:
            if (sel) DoExpand(sel, true);
            break;
        case VK_F2:
            if (sel) StartEdit(sel);
            break;
        default: return;
    }
    Key = 0;
}

void TCustomTreeView::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    TTreeNode* sel = FSelected;
    switch (Key) {
        case '+':
            if (sel) DoExpand(sel, false);
            break;
        case '-':
            if (sel) DoCollapse(sel, false);
            break;
        case '*':
            if (sel) DoExpand(sel, true);
            break;
        default: {
            // A letter selects the next row whose text starts with it.
            unsigned char k = static_cast<unsigned char>(Key);
            if (k <= 32) return;
            const auto& rows = Rows();
            int n = static_cast<int>(rows.size());
            int cur = RowOf(sel);
            std::string prefix(1, Key);
            for (int i = 1; i <= n; ++i) {
                TTreeNode* cand = rows[static_cast<size_t>((cur + i + n) % n)];
                if (CompareTextI(cand->FText.substr(0, 1), prefix) == 0) {
                    SetSelected(cand);
                    break;
                }
            }
            break;
        }
    }
    Key = 0;
}

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!Focused() && CanFocus()) SetFocus();
    if (FEditNode) FinishEdit(false);
    THitTests hit = GetHitTestInfoAt(X, Y);
    TTreeNode* node = GetNodeAt(X, Y);
    bool onItem = node && (hit.Contains(htOnItem) || (FRowSelect && !hit.Contains(htOnButton)));
    if (Shift.Contains(ssDouble)) {
        // The toggle of a double click happened before OnDblClick (WMLButtonDblClk).
        FEditPending = nullptr;
        if (HandleAllocated()) KillTimer(Handle(), EditTimerId);
    } else if (Button == mbLeft) {
        if (node && hit.Contains(htOnButton)) {
            Toggle(node);
        } else if (onItem) {
            bool wasSelected = node == FSelected;
            SetSelected(node);
            if (wasSelected && hit.Contains(htOnLabel) && !FReadOnly) {
                FEditPending = node;
                SetTimer(Handle(), EditTimerId, GetDoubleClickTime(), nullptr);
            }
        }
    } else if (Button == mbRight && FRightClickSelect && node) {
        SetSelected(node);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTreeView::WMLButtonDblClk(TWMMouse& Message) {
    // A double click on an item or its button toggles it first, as the control
    // itself does, and only then comes OnDblClick, so that a DblClick override that
    // expands a node is not undone.
    int x = Message.XPos(), y = Message.YPos();
    THitTests hit = GetHitTestInfoAt(x, y);
    TTreeNode* node = GetNodeAt(x, y);
    bool onItem = node && (hit.Contains(htOnItem) || (FRowSelect && !hit.Contains(htOnButton)));
    if (node && (onItem || hit.Contains(htOnButton))) {
        if (onItem) SetSelected(node);
        Toggle(node);
    }
    Inherited(Message);
}

void TCustomTreeView::WMTimer(TMessage& Message) {
    if (Message.WParam != EditTimerId) {
        Inherited(Message);
        return;
    }
    KillTimer(Handle(), EditTimerId);
    TTreeNode* node = FEditPending;
    FEditPending = nullptr;
    if (node && node == FSelected) StartEdit(node);
}

// ---------------------------------------------------------------------------
// Label editing
// ---------------------------------------------------------------------------

TWinControl* TCustomTreeView::EditControl() const { return FEditNode ? FEditor : nullptr; }

bool TCustomTreeView::StartEdit(TTreeNode* Node) {
    if (!Node || FReadOnly || Node->FOwner != FNodes.get()) return false;
    if (FEditNode) FinishEdit(false);
    if (!CanEdit(Node)) return false;
    Node->MakeVisible();
    int row = RowOf(Node);
    if (row < 0) return false;
    if (!FEditor) {
        FEditor = new TTreeEditor(this);  // owned by the tree as its component
        FEditor->SetParent(this);
    }
    TRect r = LabelRect(Node, row);
    int w = std::max<int>(r.right - r.left + 16, 60);
    w = std::min(w, std::max(20, ClientWidth() - static_cast<int>(r.left)));
    FEditor->SetBounds(r.left, r.top, w, r.bottom - r.top);
    FEditor->Start(Node->FText);
    FEditNode = Node;
    FEditor->Show();
    if (CanFocus()) FEditor->SetFocus();
    return true;
}

void TCustomTreeView::FinishEdit(bool Cancel) {
    if (!FEditNode) return;
    TTreeNode* node = FEditNode;
    FEditNode = nullptr;
    std::string text = FEditor->Value;
    bool hadFocus = FEditor->Focused();
    FEditor->Hide();
    if (!Cancel) {
        Edit(node, text);
        node->SetText(text);
    }
    if (hadFocus && CanFocus()) SetFocus();
    Invalidate();
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

namespace {
void DottedV(HDC Dc, int X, int Y0, int Y1, COLORREF C) {
    for (int y = Y0; y < Y1; ++y)
        if (((X + y) & 1) == 0) SetPixel(Dc, X, y, C);
}
void DottedH(HDC Dc, int X0, int X1, int Y, COLORREF C) {
    for (int x = X0; x < X1; ++x)
        if (((x + Y) & 1) == 0) SetPixel(Dc, x, Y, C);
}
}  // namespace

void TCustomTreeView::DrawRow(TTreeNode* Node, int Row) {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    const int h = ItemHeight();
    const int y = (Row - FTopIndex) * h;
    const int mid = y + h / 2;
    const int level = Node->Level();
    const int sr = FShowRoot ? 1 : 0;
    const int x0 = NodeX(Node);
    auto column = [&](int Level) { return (Level + sr) * FIndent + 2 - FLeftPos - FIndent / 2 - 1; };
    bool selected = Node == FSelected;
    bool focused = Focused() || (FEditor && FEditor->Focused());
    bool highlight = selected && (focused || !FHideSelection);

    if (highlight && FRowSelect) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(focused ? clHighlight : clBtnFace);
        c->FillRect(TRect{0, y, ClientWidth(), y + h});
    }
    if (FShowLines) {
        COLORREF line = Ref(clGrayText);
        int k = level - 1;
        for (TTreeNode* p = Node->Parent(); p != nullptr; p = p->Parent(), --k)
            if (k + sr >= 1 && p->getNextSibling()) DottedV(dc, column(k), y, y + h, line);
        if (level + sr >= 1) {
            int cx = column(level);
            DottedH(dc, cx, x0, mid, line);
            bool above = Node->getPrevSibling() || Node->Parent();
            if (above) DottedV(dc, cx, y, mid, line);
            if (Node->getNextSibling()) DottedV(dc, cx, mid, y + h, line);
            if (!above && Node->getNextSibling()) DottedV(dc, cx, mid, mid + 1, line);
        }
    }
    if (FShowButtons && Node->HasChildren() && level + sr >= 1) {
        int cx = column(level);
        TRect box{cx - 4, mid - 4, cx + 5, mid + 5};
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWindow);
        c->FillRect(box);
        c->Brush()->SetColor(clGrayText);
        c->FrameRect(box);
        COLORREF sign = Ref(clWindowText);
        for (int x = cx - 2; x <= cx + 2; ++x) SetPixel(dc, x, mid, sign);
        if (!Node->FExpanded)
            for (int yy = mid - 2; yy <= mid + 2; ++yy) SetPixel(dc, cx, yy, sign);
    }
    int x = x0;
    if (FStateImages && Node->FStateIndex >= 0) {
        FStateImages->Draw(c, x + 1, y + (h - FStateImages->Height()) / 2, Node->FStateIndex);
        x += StateImageWidth();
    }
    if (FImages) {
        GetImageIndex(Node);
        if (selected) GetSelectedIndex(Node);
        int index = selected ? Node->FSelectedIndex : Node->FImageIndex;
        int iy = y + (h - FImages->Height()) / 2;
        if (index >= 0) {
            if (Node->FOverlayIndex >= 0)
                FImages->DrawOverlay(c, x + 1, iy, index, Node->FOverlayIndex);
            else
                FImages->Draw(c, x + 1, iy, index);
        }
        x += ImageWidth();
    }
    TRect label{x, y, x + LabelWidth(Node), y + h};
    c->Font()->Assign(Font());
    if (highlight) {
        if (!FRowSelect) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(focused ? clHighlight : clBtnFace);
            c->FillRect(label);
        }
        c->Font()->SetColor(focused ? clHighlightText : clWindowText);
    }
    c->Brush()->SetStyle(bsClear);
    c->TextOut(label.left + 2, y + (h - c->TextHeight("Wg")) / 2, Node->FText);
    if (selected && Focused()) {
        TRect fr = FRowSelect ? TRect{0, y, ClientWidth(), y + h} : label;
        DrawFocusRect(dc, &fr);
    }
}

void TCustomTreeView::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    const auto& rows = Rows();
    int h = std::max(1, ItemHeight());
    int last = std::min<int>(static_cast<int>(rows.size()), FTopIndex + ClientHeight() / h + 1);
    std::vector<TTreeNode*> shown(rows.begin() + std::min<size_t>(rows.size(), static_cast<size_t>(FTopIndex)),
                                  rows.begin() + std::max(FTopIndex, last));
    for (size_t i = 0; i < shown.size(); ++i) DrawRow(shown[i], FTopIndex + static_cast<int>(i));
}

// ---------------------------------------------------------------------------

void RegisterTreeViewClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TTreeView::StaticClass(), TAnimate::StaticClass()});
}

}  // namespace host
