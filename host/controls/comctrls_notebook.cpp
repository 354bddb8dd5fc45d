// Notebooks: TNotebook with its TPage pages, and TTabbedNotebook with its TTabPage pages, each with a TStrings view of the page names.
#include <algorithm>

#include "host/controls/comctrls.h"
#include "host/controls/comctrls_internal.h"
#include "host/gdi/gdi.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace comctrls_internal {

// The page names of a notebook as a string list: each string is a page's caption
// and its object the page; inserting and deleting strings makes and frees pages.
template <class Book, class PageT>
class TPageNames : public TStrings {
public:
    explicit TPageNames(Book* Owner) : FBook(Owner) {}
    void Insert(int Index, const std::string& S) override {
        if (Index < 0 || Index > GetCount())
            throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
        FBook->AddPage(Index, S);
    }
    void Delete(int Index) override {
        Check(Index);
        FBook->DeletePage(Index);
    }
    void Clear() override {
        while (GetCount() > 0) FBook->DeletePage(GetCount() - 1);
    }
    void Put(int Index, const std::string& S) override {
        Check(Index);
        FBook->FPageList[static_cast<size_t>(Index)]->SetCaption(S);
        FBook->PagesRenamed();
    }
    void Move(int CurIndex, int NewIndex) override {
        Check(CurIndex);
        Check(NewIndex);
        auto& list = FBook->FPageList;
        PageT* p = list[static_cast<size_t>(CurIndex)];
        PageT* active = FBook->FPageIndex >= 0 ? list[static_cast<size_t>(FBook->FPageIndex)] : nullptr;
        list.erase(list.begin() + CurIndex);
        list.insert(list.begin() + NewIndex, p);
        if (active != nullptr)
            FBook->FPageIndex = static_cast<int>(std::find(list.begin(), list.end(), active) - list.begin());
        FBook->PagesRenamed();
    }

protected:
    std::string Get(int Index) const override {
        Check(Index);
        return FBook->FPageList[static_cast<size_t>(Index)]->Caption();
    }
    int GetCount() const override { return static_cast<int>(FBook->FPageList.size()); }
    TObject* GetObject(int Index) const override {
        Check(Index);
        return FBook->FPageList[static_cast<size_t>(Index)];
    }

public:
    // Page bookkeeping both notebooks share.
    static PageT* MakePage(Book* B, int Index, const std::string& Name) {
        auto* page = new PageT(B);
        try {
            page->SetCaption(Name);
            page->SetParent(B);
        } catch (...) {
            delete page;
            throw;
        }
        auto& list = B->FPageList;
        list.insert(list.begin() + Index, page);
        if (B->FPageIndex >= Index && B->FPageIndex >= 0 && list.size() > 1) ++B->FPageIndex;
        if (B->FPageIndex < 0) B->ShowPage(Index);
        return page;
    }
    static void FreePage(Book* B, int Index) {
        auto& list = B->FPageList;
        PageT* page = list[static_cast<size_t>(Index)];
        list.erase(list.begin() + Index);
        bool wasActive = Index == B->FPageIndex;
        if (Index < B->FPageIndex) --B->FPageIndex;
        delete page;
        if (wasActive) {
            B->FPageIndex = -1;
            if (!list.empty()) B->ShowPage(std::min(Index, static_cast<int>(list.size()) - 1));
        }
    }
    // Brings page Index to the front and hides the others.
    static void Show(Book* B, int Index) {
        B->FPageIndex = Index;
        auto& list = B->FPageList;
        if (Index >= 0 && Index < static_cast<int>(list.size())) {
            list[static_cast<size_t>(Index)]->BringToFront();
            list[static_cast<size_t>(Index)]->SetVisible(true);
        }
        for (size_t i = 0; i < list.size(); ++i)
            if (static_cast<int>(i) != Index) list[i]->SetVisible(false);
    }
    // Shows page Value; true when the page changed (a form being read only keeps it).
    static bool Select(Book* B, int Value) {
        if (B->ComponentState().Contains(csLoading)) {
            B->FPageIndex = Value;
            return false;
        }
        if (Value < 0 || Value >= static_cast<int>(B->FPageList.size()) || Value == B->FPageIndex) return false;
        B->ShowPage(Value);
        return true;
    }
    static int Find(const Book* B, const std::string& Name) {
        for (size_t i = 0; i < B->FPageList.size(); ++i)
            if (SameText(B->FPageList[i]->Caption(), Name)) return static_cast<int>(i);
        return -1;
    }
    static std::string Active(const Book* B) {
        int i = B->FPageIndex;
        return i >= 0 && i < static_cast<int>(B->FPageList.size()) ? B->FPageList[static_cast<size_t>(i)]->Caption()
                                                                    : std::string();
    }
    // Before a form file's pages are read: the ones made by the constructor go.
    static void Drop(Book* B) {
        while (!B->FPageList.empty()) FreePage(B, static_cast<int>(B->FPageList.size()) - 1);
        B->FPageIndex = -1;
    }
    // After reading: the page PageIndex named, or the first.
    static void ShowLoaded(Book* B) {
        int index = B->FPageIndex;
        int n = static_cast<int>(B->FPageList.size());
        if (index < 0 || index >= n) index = n > 0 ? 0 : -1;
        B->FPageIndex = -1;
        B->ShowPage(index);
    }
    static void ShowChild(Book* B, TControl* AControl) {
        for (size_t i = 0; i < B->FPageList.size(); ++i)
            if (B->FPageList[i] == AControl) B->SetPageIndex(static_cast<int>(i));
    }

private:
    Book* FBook;
    void Check(int Index) const {
        if (Index < 0 || Index >= GetCount())
            throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    }
};

}  // namespace comctrls_internal

using comctrls_internal::TPageNames;

// ---------------------------------------------------------------------------
// TPage
// ---------------------------------------------------------------------------

TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    SetAlign(alClient);
}

void TPage::ReadState(TReader* Reader) {
    if (auto* book = dynamic_cast<TNotebook*>(Reader->Parent)) {
        if (std::find(book->FPageList.begin(), book->FPageList.end(), this) == book->FPageList.end())
            book->FPageList.push_back(this);
    }
    TCustomControl::ReadState(Reader);
}

void TPage::Paint() {
    HDC dc = Canvas()->Handle();
    comctrls_internal::Fill(dc, ClientRect(), Color());
}

// ---------------------------------------------------------------------------
// TNotebook
// ---------------------------------------------------------------------------

using TNames = TPageNames<TNotebook, TPage>;

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner), FAccess(std::make_unique<TNames>(this)) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    SetBounds(0, 0, 150, 150);
    AddPage(0, "Default");
    ShowPage(0);
}

TNotebook::~TNotebook() = default;

TStrings* TNotebook::Pages() const { return FAccess.get(); }
void TNotebook::SetPages(TStrings* Value) { FAccess->Assign(Value); }

TPage* TNotebook::AddPage(int Index, const std::string& Name) { return TNames::MakePage(this, Index, Name); }
void TNotebook::DeletePage(int Index) { TNames::FreePage(this, Index); }
void TNotebook::PagesRenamed() { Invalidate(); }
void TNotebook::ShowPage(int Index) { TNames::Show(this, Index); }

void TNotebook::SetPageIndex(int Value) {
    if (TNames::Select(this, Value)) OnPageChanged(this);
}

std::string TNotebook::ActivePage() const { return TNames::Active(this); }

void TNotebook::SetActivePage(const std::string& Value) {
    int i = TNames::Find(this, Value);
    if (i >= 0) SetPageIndex(i);
}

void TNotebook::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TPage* p : std::vector<TPage*>(FPageList)) Proc(p);
}

void TNotebook::ReadState(TReader* Reader) {
    TNames::Drop(this);
    TCustomControl::ReadState(Reader);
}

void TNotebook::Loaded() {
    TCustomControl::Loaded();
    TNames::ShowLoaded(this);
}

void TNotebook::ShowControl(TControl* AControl) {
    TNames::ShowChild(this, AControl);
    TCustomControl::ShowControl(AControl);
}

// ---------------------------------------------------------------------------
// TTabPage
// ---------------------------------------------------------------------------

TTabPage::TTabPage(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    SetAlign(alClient);
}

void TTabPage::ReadState(TReader* Reader) {
    if (auto* book = dynamic_cast<TTabbedNotebook*>(Reader->Parent)) {
        if (std::find(book->FPageList.begin(), book->FPageList.end(), this) == book->FPageList.end())
            book->FPageList.push_back(this);
    }
    TWinControl::ReadState(Reader);
}

// ---------------------------------------------------------------------------
// TTabbedNotebook
// ---------------------------------------------------------------------------

using TTabNames = TPageNames<TTabbedNotebook, TTabPage>;

TTabbedNotebook::TTabbedNotebook(TComponent* AOwner)
    : TCustomTabControl(AOwner),
      FAccess(std::make_unique<TTabNames>(this)),
      FTabFont(std::make_unique<TFont>()) {
    // OnClick follows a change of page, not every click.
    FControlStyle.Exclude(csAcceptsControls);
    FControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 300, 250);
    FTabFont->Assign(Font());
    FTabFont->OnChange = TNotifyEvent(this, &TTabbedNotebook::TabFontChanged);
    SetTabsPerRowLayout(FTabsPerRow);
    AddPage(0, "Default");
    ShowPage(0);
}

TTabbedNotebook::~TTabbedNotebook() { FTabFont->OnChange = nullptr; }

TStrings* TTabbedNotebook::Pages() const { return FAccess.get(); }
void TTabbedNotebook::SetPages(TStrings* Value) { FAccess->Assign(Value); }

void TTabbedNotebook::SetTabFont(TFont* Value) { FTabFont->Assign(Value); }
void TTabbedNotebook::TabFontChanged(TObject*) { TabsChanged(); }

void TTabbedNotebook::SetTabsPerRow(int Value) {
    FTabsPerRow = std::max(1, Value);
    SetTabsPerRowLayout(FTabsPerRow);
}

int TTabbedNotebook::TabCount() const { return PageCount(); }
std::string TTabbedNotebook::TabCaption(int Index) const {
    return FPageList[static_cast<size_t>(Index)]->Caption();
}

TTabPage* TTabbedNotebook::AddPage(int Index, const std::string& Name) {
    TTabPage* page = TTabNames::MakePage(this, Index, Name);
    SetTabIndexQuiet(FPageIndex);
    TabsChanged();
    return page;
}

void TTabbedNotebook::DeletePage(int Index) {
    TTabNames::FreePage(this, Index);
    SetTabIndexQuiet(FPageIndex);
    TabsChanged();
}

void TTabbedNotebook::PagesRenamed() {
    SetTabIndexQuiet(FPageIndex);
    TabsChanged();
}

void TTabbedNotebook::ShowPage(int Index) {
    TTabNames::Show(this, Index);
    SetTabIndexQuiet(Index);
}

void TTabbedNotebook::SetPageIndex(int Value) { TTabNames::Select(this, Value); }

std::string TTabbedNotebook::ActivePage() const { return TTabNames::Active(this); }

void TTabbedNotebook::SetActivePage(const std::string& Value) {
    int i = GetIndexForPage(Value);
    if (i >= 0) SetPageIndex(i);
}

int TTabbedNotebook::GetIndexForPage(const std::string& Name) const { return TTabNames::Find(this, Name); }

bool TTabbedNotebook::CanChange() {
    bool allow = true;
    OnChange(this, PendingTab(), allow);
    return allow;
}

void TTabbedNotebook::Change() {
    ShowPage(TabIndex());
    Click();
}

void TTabbedNotebook::ShowControl(TControl* AControl) {
    TTabNames::ShowChild(this, AControl);
    TCustomTabControl::ShowControl(AControl);
}

void TTabbedNotebook::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TTabPage* p : std::vector<TTabPage*>(FPageList)) Proc(p);
}

void TTabbedNotebook::ReadState(TReader* Reader) {
    TTabNames::Drop(this);
    TCustomTabControl::ReadState(Reader);
}

void TTabbedNotebook::Loaded() {
    TCustomTabControl::Loaded();
    TTabNames::ShowLoaded(this);
    TabsChanged();
}

}  // namespace host
