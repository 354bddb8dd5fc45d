// Menu components: menu items and their tree, menu handles built from it, main and popup menus, shortcuts and the context-menu and menu-key hooks of controls.
#include "host/controls/menus.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "host/app/app.h"
#include "host/app/responders.h"
#include "host/controls/forms.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// Command numbers: unique among the live items of the process, as WM_COMMAND carries them.
std::set<WORD>& UsedCommands() {
    static std::set<WORD> used;
    return used;
}
WORD gNextCommand = 1;

WORD AllocCommand() {
    auto& used = UsedCommands();
    for (int tries = 0; tries < 0xFFFE; ++tries) {
        WORD c = gNextCommand;
        gNextCommand = gNextCommand >= 0xFFFE ? 1 : WORD(gNextCommand + 1);
        if (used.insert(c).second) return c;
    }
    throw EMenuError("Too many menu items");
}

void FreeCommand(WORD C) { UsedCommands().erase(C); }

bool SameCaption(const std::string& A, const std::string& B) {
    return SameText(StripHotkey(A), StripHotkey(B));
}

// The menu that a popup menu being shown belongs to, for the popup list window.
TPopupMenu* gActivePopup = nullptr;
HWND gPopupList = nullptr;

LRESULT PopupListProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TPopupMenu* menu = gActivePopup;
    if (menu != nullptr) {
        switch (Msg) {
        case WM_INITMENUPOPUP: menu->DispatchPopup(reinterpret_cast<HMENU>(WParam)); return 0;
        case WM_MENUSELECT: menu->MenuSelect(WParam, LParam); return 0;
        case WM_COMMAND:
            if (LParam == 0 && HIWORD(WParam) == 0) menu->DispatchCommand(LOWORD(WParam));
            return 0;
        default: break;
        }
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// A hidden window that owns the pop-up menus' tracking and hears their messages.
HWND PopupList() {
    if (IsWindow(gPopupList)) return gPopupList;
    const char* cls = "THostPopupList";
    WNDCLASSA wc;
    if (!GetClassInfoA(0, cls, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = &PopupListProc;
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
    }
    gPopupList = CreateWindowExA(WS_EX_TOOLWINDOW, cls, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, 0, nullptr);
    return gPopupList;
}

// The first visible item in the tree (depth first) whose caption matches.
TMenuItem* FindByCaption(TMenuItem* Root, const std::string& Caption) {
    for (int i = 0; i < Root->Count(); ++i) {
        TMenuItem* it = Root->Items(i);
        if (it->Visible() && !it->IsLine() && SameCaption(it->Caption(), Caption)) return it;
    }
    for (int i = 0; i < Root->Count(); ++i) {
        TMenuItem* it = Root->Items(i);
        if (it->Visible() && it->Count() > 0)
            if (TMenuItem* r = FindByCaption(it, Caption)) return r;
    }
    return nullptr;
}

TMenuItem* FindIn(TMenuItem* Root, uintptr_t Value, TFindItemKind Kind) {
    for (int i = 0; i < Root->Count(); ++i) {
        TMenuItem* it = Root->Items(i);
        bool hit = false;
        switch (Kind) {
        case fkCommand: hit = it->Command() == Value; break;
        case fkHandle: hit = it->Count() > 0 && reinterpret_cast<uintptr_t>(it->Handle()) == Value; break;
        case fkShortCut: hit = it->ShortCut() != 0 && it->ShortCut() == Value; break;
        }
        if (hit) return it;
        if (TMenuItem* r = FindIn(it, Value, Kind)) return r;
    }
    return nullptr;
}

bool gAltAlone = false;

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts and captions
// ---------------------------------------------------------------------------

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if ((Key & 0xFF00) != 0) return 0;
    TShortCut r = Key;
    if (Shift.Contains(ssShift)) r |= scShift;
    if (Shift.Contains(ssCtrl)) r |= scCtrl;
    if (Shift.Contains(ssAlt)) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift) {
    Key = Value & 0xFF;
    Shift = {};
    if (Value & scShift) Shift.Include(ssShift);
    if (Value & scCtrl) Shift.Include(ssCtrl);
    if (Value & scAlt) Shift.Include(ssAlt);
}

// ---------------------------------------------------------------------------
// TMenuActionLink
// ---------------------------------------------------------------------------

TMenuActionLink::TMenuActionLink(TMenuItem* AClient) : TActionLink(AClient) {}
TMenuItem* TMenuActionLink::Item() const { return static_cast<TMenuItem*>(FClient); }

namespace {
TCustomAction* CustomAction(TBasicAction* A) { return A != nullptr && A->Is<TCustomAction>() ? static_cast<TCustomAction*>(A) : nullptr; }
}  // namespace

namespace {
// True when the item's value still is the action's (Same compares them).
template <class F>
bool Linked(TBasicAction* A, F Same) {
    TCustomAction* a = CustomAction(A);
    return a != nullptr && Same(*a);
}
}  // namespace

bool TMenuActionLink::IsCaptionLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->Caption() == a.Caption(); });
}
bool TMenuActionLink::IsCheckedLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->Checked() == a.Checked(); });
}
bool TMenuActionLink::IsEnabledLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->Enabled() == a.Enabled(); });
}
bool TMenuActionLink::IsHelpContextLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->HelpContext() == a.HelpContext(); });
}
bool TMenuActionLink::IsHintLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->Hint() == a.Hint(); });
}
bool TMenuActionLink::IsVisibleLinked() const {
    return Linked(Action(), [&](TCustomAction& a) { return Item()->Visible() == a.Visible(); });
}
bool TMenuActionLink::IsOnExecuteLinked() const {
    return Action() != nullptr && Item()->OnClick == Action()->OnExecute;
}
void TMenuActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) Item()->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) Item()->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) Item()->SetEnabled(Value);
}
void TMenuActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked()) Item()->SetHelpContext(Value);
}
void TMenuActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) Item()->SetHint(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) Item()->SetVisible(Value);
}
void TMenuActionLink::SetOnExecute(const TNotifyEvent& Value) {
    if (IsOnExecuteLinked()) Item()->OnClick = Value;
}

// ---------------------------------------------------------------------------
// TMenuItem
// ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocCommand()) {}

TMenuItem::~TMenuItem() {
    FActionLink.reset();
    if (FParent != nullptr) FParent->Remove(this);
    while (!FItems.empty()) delete FItems.back();
    DestroyHandles();
    if (FGlyph != nullptr) DeleteObject(FGlyph);
    FreeCommand(FCommand);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
    return FItems[size_t(Index)];
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* it = this;
    while (it->FParent != nullptr) it = it->FParent;
    return it->FMenu;
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(std::initializer_list<TMenuItem*> AItems) {
    for (TMenuItem* it : AItems) Add(it);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item == nullptr) throw EMenuError("Cannot insert a nil menu item");
    if (Item->FParent != nullptr) throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
    for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
        if (p == Item) throw EMenuError("A menu item cannot contain itself");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FChecked && Item->FRadioItem) Item->TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* it = Items(Index);
    FItems.erase(FItems.begin() + Index);
    it->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i < 0) throw EMenuError("Menu item not found");
    Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    for (TMenuItem* it : FItems)
        if (SameCaption(it->FCaption, ACaption)) return it;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (FParent == nullptr) return;
    TMenuItem* p = FParent;
    int cur = MenuIndex();
    Value = std::clamp(Value, 0, p->Count() - 1);
    if (Value == cur) return;
    p->FItems.erase(p->FItems.begin() + cur);
    p->FItems.insert(p->FItems.begin() + Value, this);
    MenuChanged(true);
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (FShortCut == Value) return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(uint8_t Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (FParent == nullptr) return;
    for (TMenuItem* it : FParent->FItems)
        if (it != this && it->FRadioItem && it->FGroupIndex == FGroupIndex && it->FChecked) {
            it->FChecked = false;
            if (it->FActionLink && it->FActionLink->Action() != nullptr)
                if (auto* a = CustomAction(it->FActionLink->Action())) a->SetChecked(false);
        }
}

void TMenuItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    if (Value && FParent != nullptr)
        for (TMenuItem* it : FParent->FItems) it->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
    if (FBreak == Value) return;
    FBreak = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    if (Value == nullptr || Value->Empty()) {
        FBitmap.reset();
    } else {
        Bitmap()->Assign(Value);
    }
    MenuChanged(true);
}

HMENU TMenuItem::Handle() {
    if (FHandle == nullptr || !IsMenu(FHandle)) FHandle = CreatePopupMenu();
    return FHandle;
}

void TMenuItem::DestroyHandles() {
    if (FHandle != nullptr) {
        // Children keep their own submenus: take them out before the menu goes.
        while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
        DestroyMenu(FHandle);
        FHandle = nullptr;
    }
}

void TMenuItem::AppendTo(HMENU Menu, bool ARightToLeft) {
    (void)ARightToLeft;
    MENUITEMINFOA mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU | MIIM_BITMAP;
    mii.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (FRadioItem) mii.fType |= MFT_RADIOCHECK;
    if (FBreak == mbBreak) mii.fType |= MFT_MENUBREAK;
    if (FBreak == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
    mii.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
    mii.wID = FCommand;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    std::string text = FCaption;
    if (FShortCut != 0 && !IsLine()) text += "\t" + ShortCutToText(FShortCut);
    mii.dwTypeData = text.data();
    // The picture goes to the menu as a bitmap of its own: one that a canvas still
    // holds could not be drawn from.
    if (FGlyph != nullptr) {
        DeleteObject(FGlyph);
        FGlyph = nullptr;
    }
    TMenu* menu = GetParentMenu();
    if (menu != nullptr && menu->Images() != nullptr && FImageIndex >= 0 && FImageIndex < menu->Images()->Count()) {
        TCustomImageList* il = menu->Images();
        TBitmap glyph(il->Width(), il->Height());
        glyph.Canvas()->Brush()->SetColor(clMenu);
        glyph.Canvas()->FillRect(TRect{0, 0, il->Width(), il->Height()});
        il->Draw(glyph.Canvas(), 0, 0, FImageIndex, FEnabled);
        FGlyph = glyph.ReleaseHandle();
    } else if (FBitmap && !FBitmap->Empty()) {
        TBitmap glyph;
        glyph.Assign(FBitmap.get());
        FGlyph = glyph.ReleaseHandle();
    }
    mii.hbmpItem = FGlyph;
    if (!FItems.empty()) {
        HMENU sub = Handle();
        while (GetMenuItemCount(sub) > 0) RemoveMenu(sub, 0, MF_BYPOSITION);
        for (TMenuItem* it : FItems)
            if (it->FVisible) it->AppendTo(sub, ARightToLeft);
        mii.hSubMenu = sub;
    }
    InsertMenuItemA(Menu, UINT(GetMenuItemCount(Menu)), TRUE, &mii);
}

void TMenuItem::MenuChanged(bool Rebuild) {
    if (TMenu* m = GetParentMenu()) m->MenuChanged(this, Rebuild);
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
    if (Value == nullptr) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = TNotifyEvent(this, &TMenuItem::DoActionChange);
    ActionChange(Value, ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* a = Sender != nullptr && Sender->Is<TCustomAction>() ? static_cast<TCustomAction*>(Sender) : nullptr;
    if (a == nullptr) return;
    if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
    if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(a->HelpContext());
    if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
    if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
    if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
    if (!CheckDefaults || FVisible) SetVisible(a->Visible());
    if (!CheckDefaults || !OnClick.Assigned()) OnClick = a->OnExecute;
}

void TMenuItem::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    // A linked action runs unless the item's OnClick was changed away from it.
    if (FActionLink && FActionLink->Action() != nullptr && (!OnClick.Assigned() || FActionLink->IsOnExecuteLinked())) {
        FActionLink->Execute(this);
        return;
    }
    OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent == nullptr) return nullptr;
    if (FParent->FMenu != nullptr) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent != nullptr) FParent->Remove(this);
    if (Value == nullptr) return;
    if (Value->Is<TMenu>())
        static_cast<TMenu*>(Value)->Items()->Add(this);
    else if (Value->Is<TMenuItem>())
        static_cast<TMenuItem*>(Value)->Add(this);
    else
        throw EMenuError("A menu item's parent must be a menu or a menu item");
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TMenuItem* it : FItems)
        if (it->Owner() == Root) Proc(it);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
    if (Child != nullptr && Child->Is<TMenuItem>()) static_cast<TMenuItem*>(Child)->SetMenuIndex(Order);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && FActionLink && FActionLink->Action() == AComponent) FActionLink.reset();
}

bool TMenuItem::IsCaptionStored() const { return !FActionLink || !FActionLink->IsCaptionLinked(); }
bool TMenuItem::IsCheckedStored() const { return !FActionLink || !FActionLink->IsCheckedLinked(); }
bool TMenuItem::IsEnabledStored() const { return !FActionLink || !FActionLink->IsEnabledLinked(); }
bool TMenuItem::IsHintStored() const { return !FHint.empty() && (!FActionLink || !FActionLink->IsHintLinked()); }
bool TMenuItem::IsShortCutStored() const {
    auto* a = FActionLink ? CustomAction(FActionLink->Action()) : nullptr;
    return a == nullptr || a->ShortCut() != FShortCut;
}
bool TMenuItem::IsVisibleStored() const { return !FActionLink || !FActionLink->IsVisibleLinked(); }
bool TMenuItem::IsOnClickStored() const { return !FActionLink || !FActionLink->IsOnExecuteLinked(); }

// ---------------------------------------------------------------------------
// TMenu
// ---------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    FItems->FMenu = nullptr;  // the items go without telling this menu
    DestroyMenuHandle();
    FItems.reset();
}

void TMenu::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
    MenuChanged(nullptr, true);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (FOwnerDraw == Value) return;
    FOwnerDraw = Value;
    MenuChanged(nullptr, true);
}

HMENU TMenu::CreateMenuHandle() { return CreatePopupMenu(); }

HMENU TMenu::Handle() {
    if (FHandle == nullptr || !IsMenu(FHandle)) {
        FHandle = CreateMenuHandle();
        FDirty = true;
    }
    if (FDirty) {
        FDirty = false;
        // The handle stays the same across rebuilds, so a window or a running loop
        // that holds it sees the new items.
        while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
        for (int i = 0; i < FItems->Count(); ++i)
            if (FItems->Items(i)->Visible()) FItems->Items(i)->AppendTo(FHandle, false);
    }
    return FHandle;
}

void TMenu::DestroyMenuHandle() {
    if (FHandle != nullptr) {
        while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
        DestroyMenu(FHandle);
        FHandle = nullptr;
    }
}

void TMenu::SetWindowHandle(HWND Value) {
    HWND old = FWindowHandle;
    FWindowHandle = Value;
    // The window left behind loses the bar.
    if (old != nullptr && old != Value && IsWindow(old) && FHandle != nullptr && GetMenu(old) == FHandle)
        ::host::SetMenu(old, nullptr);
    MenuChanged(nullptr, false);
}

void TMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
    (void)Source;
    if (Rebuild) FDirty = true;
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    if (FHandle != nullptr && FDirty) Handle();
    OnChange(this);
}

TMenuItem* TMenu::FindItem(uintptr_t Value, TFindItemKind Kind) const { return FindIn(FItems.get(), Value, Kind); }

bool TMenu::IsShortCut(TWMKey& Message) {
    TShortCut sc = ShortCut(Message.CharCode(), KeyDataToShiftState(Message.KeyData()));
    if (sc == 0) return false;
    TMenuItem* item = FindItem(sc, fkShortCut);
    if (item == nullptr) return false;
    // Menus that open update their items in OnClick: give the parents the chance too.
    std::vector<TMenuItem*> chain;
    for (TMenuItem* p = item->Parent(); p != nullptr && p != FItems.get(); p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!(*it)->Enabled() || !(*it)->Visible()) return false;
        (*it)->InitiateAction();
    }
    item->InitiateAction();
    if (!item->Enabled() || !item->Visible()) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchCommand(WORD ACommand) {
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (item == nullptr) return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AMenuHandle) {
    if (AMenuHandle == nullptr) return false;
    if (AMenuHandle == FHandle) return true;
    TMenuItem* item = FindItem(reinterpret_cast<uintptr_t>(AMenuHandle), fkHandle);
    if (item == nullptr) return false;
    for (int i = 0; i < item->Count(); ++i) item->Items(i)->InitiateAction();
    item->Click();
    return true;
}

void TMenu::MenuSelect(WPARAM WParam, LPARAM LParam) {
    if (Application == nullptr) return;
    WORD flags = HIWORD(WParam);
    HMENU menu = reinterpret_cast<HMENU>(LParam);
    TMenuItem* item = nullptr;
    if (!(flags == 0xFFFF && menu == nullptr)) {
        if (flags & MF_POPUP)
            item = FindItem(reinterpret_cast<uintptr_t>(GetSubMenu(menu, LOWORD(WParam))), fkHandle);
        else
            item = FindItem(LOWORD(WParam), fkCommand);
    }
    Application->SetHint(item != nullptr ? GetLongHint(item->Hint()) : std::string());
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::SetChildOrder(TComponent* Child, int Order) { FItems->SetChildOrder(Child, Order); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        MenuChanged(nullptr, true);
    }
}

void TMenu::Loaded() {
    TComponent::Loaded();
    MenuChanged(nullptr, true);
}

// ---------------------------------------------------------------------------
// TMainMenu
// ---------------------------------------------------------------------------

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

void TMainMenu::MenuChanged(TMenuItem* Source, bool Rebuild) {
    TMenu::MenuChanged(Source, Rebuild);
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
    HWND w = WindowHandle();
    if (w == nullptr || !IsWindow(w)) return;
    HMENU h = Handle();
    if (GetMenu(w) != h)
        ::host::SetMenu(w, h);
    else
        DrawMenuBar(w);
}

// ---------------------------------------------------------------------------
// TPopupMenu
// ---------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    if (gActivePopup == this) gActivePopup = nullptr;
}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

HWND TPopupMenu::WindowHandle() const { return PopupList(); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    FPopupComponent = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) { OnPopup(Sender); }

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint{X, Y};
    DoPopup(this);
    for (int i = 0; i < Items()->Count(); ++i) Items()->Items(i)->InitiateAction();
    HMENU h = Handle();

    TDialogInfo info;
    info.Kind = dkPopupMenu;
    info.ClassName = ClassName();
    info.Name = Name();
    info.Object = this;
    for (int i = 0; i < Items()->Count(); ++i) {
        TMenuItem* it = Items()->Items(i);
        if (it->Visible() && !it->IsLine()) info.Buttons.push_back(it->Caption());
    }
    TMenuItem* chosen = nullptr;
    info.ClickButton = [&](const std::string& Caption) {
        TMenuItem* it = FindByCaption(Items(), Caption);
        if (it == nullptr) return false;
        chosen = it;
        return true;
    };
    info.CurrentResult = [&]() { return chosen != nullptr ? mrOk : mrNone; };
    info.DefaultResult = mrCancel;
    // Where the responder chose, its item is clicked once the popup is settled.
    if (RespondToDialog(info)) {
        if (chosen != nullptr && chosen->Enabled()) chosen->Click();
        return;
    }

    UINT flags = TPM_RETURNCMD;
    flags |= FAlignment == paRight ? TPM_RIGHTALIGN : FAlignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    flags |= FTrackButton == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
    TPopupMenu* previous = gActivePopup;
    gActivePopup = this;
    UINT cmd = UINT(TrackPopupMenu(h, flags, X, Y, 0, PopupList(), nullptr));
    gActivePopup = previous;
    DialogLoopFinished(info, cmd != 0 ? mrOk : mrCancel);
    if (cmd != 0) DispatchCommand(WORD(cmd));
}

// ---------------------------------------------------------------------------
// Helpers that build menus in code
// ---------------------------------------------------------------------------

namespace {
void NameIt(TComponent* C, const std::string& AName) {
    if (!AName.empty()) C->SetName(AName);
}
}  // namespace

TMainMenu* NewMenu(TComponent* Owner, const std::string& AName, std::initializer_list<TMenuItem*> Items) {
    auto* m = new TMainMenu(Owner);
    NameIt(m, AName);
    m->Items()->Add(Items);
    return m;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const std::string& AName, TPopupAlignment Alignment, bool AutoPopup,
                         std::initializer_list<TMenuItem*> Items) {
    auto* m = new TPopupMenu(Owner);
    NameIt(m, AName);
    m->SetAlignment(Alignment);
    m->SetAutoPopup(AutoPopup);
    m->Items()->Add(Items);
    return m;
}

TMenuItem* NewSubMenu(TComponent* Owner, const std::string& ACaption, int HelpContext, const std::string& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled) {
    auto* it = new TMenuItem(Owner);
    NameIt(it, AName);
    it->SetCaption(ACaption);
    it->SetHelpContext(HelpContext);
    it->SetEnabled(AEnabled);
    it->Add(Items);
    return it;
}

TMenuItem* NewItem(TComponent* Owner, const std::string& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int HelpContext, const std::string& AName) {
    auto* it = new TMenuItem(Owner);
    NameIt(it, AName);
    it->SetCaption(ACaption);
    it->SetShortCut(AShortCut);
    it->SetChecked(AChecked);
    it->SetEnabled(AEnabled);
    it->OnClick = AOnClick;
    it->SetHelpContext(HelpContext);
    return it;
}

TMenuItem* NewLine(TComponent* Owner) {
    auto* it = new TMenuItem(Owner);
    it->SetCaption("-");
    return it;
}

// ---------------------------------------------------------------------------
// Hooks of controls and forms
// ---------------------------------------------------------------------------

bool DoControlContextPopup(TControl* Control, TPoint MousePos) {
    if (Control == nullptr) return false;
    bool handled = false;
    Control->OnContextPopup(Control, MousePos, handled);
    if (handled) return true;
    TPopupMenu* pm = Control->PopupMenu();
    if (pm == nullptr || !pm->AutoPopup()) return false;
    TPoint p = MousePos;
    if (p.x == -1 && p.y == -1) p = TPoint{Control->Width() / 2, Control->Height() / 2};
    TPoint s = Control->ClientToScreen(p);
    pm->SetPopupComponent(Control);
    pm->Popup(s.x, s.y);
    return true;
}

bool IsMenuKey(TControl* Control, TWMKey& Message) {
    if (Control == nullptr || Control->ComponentState().Contains(csDesigning)) return false;
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (c->PopupMenu() != nullptr && c->PopupMenu()->IsShortCut(Message)) return true;
    TCustomForm* form = GetParentForm(Control);
    return form != nullptr && form->IsShortCut(Message);
}

void MenuBarKeyMessage(TWinControl* Control, const TMessage& Message) {
    WPARAM key = Message.WParam;
    bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
    // The context-menu key, or Shift+F10: the focused control's menu at its centre.
    if (down && (key == WPARAM(VK_APPS) || (key == WPARAM(VK_F10) && GetKeyState(VK_SHIFT) < 0))) {
        gAltAlone = false;
        if (Control->HandleAllocated())
            SendMessageA(Control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control->Handle()), LPARAM(-1));
        return;
    }
    switch (Message.Msg) {
    case WM_SYSKEYDOWN:
        if (key == WPARAM(VK_MENU)) {
            if (!(Message.LParam & (1 << 30))) gAltAlone = true;  // not a repeat
        } else {
            gAltAlone = false;
        }
        return;
    case WM_KEYDOWN: gAltAlone = false; return;
    case WM_SYSKEYUP:
    case WM_SYSCHAR: break;
    default: return;
    }
    if (!Control->HandleAllocated()) return;
    HWND top = GetAncestor(Control->Handle(), GA_ROOT);
    if (top == nullptr || GetMenu(top) == nullptr) return;
    if (Message.Msg == WM_SYSKEYUP) {
        bool enter = (key == WPARAM(VK_MENU) && gAltAlone) || (key == WPARAM(VK_F10) && GetKeyState(VK_SHIFT) >= 0);
        gAltAlone = false;
        if (enter) SendMessageA(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return;
    }
    // Alt with a letter: only when a title of the bar has it, so that other Alt keys
    // stay with the controls.
    char c = char(std::tolower(int(key & 0xFF)));
    HMENU bar = GetMenu(top);
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
        if (GetHotkey(GetMenuStringStr(bar, UINT(i), MF_BYPOSITION)) == c) {
            gAltAlone = false;
            SendMessageA(top, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(static_cast<unsigned char>(c)));
            return;
        }
}

const TTypeInfo* PopupMenuTypeInfo() { return detail::ClassTypeInfo(TPopupMenu::StaticClass()); }
const TTypeInfo* MainMenuTypeInfo() { return detail::ClassTypeInfo(TMainMenu::StaticClass()); }

void RegisterMenuClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TMenuItem::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
}

}  // namespace host
