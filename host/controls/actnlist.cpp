// Actions, action lists and action links: execution through the list and the application, updates, and property propagation to clients.
#include "host/controls/actnlist.h"

#include <algorithm>

#include "host/app/app.h"
#include "host/controls/controls.h"
#include "host/os/keyboard.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

// ---------------------------------------------------------------------------
// TBasicActionLink
// ---------------------------------------------------------------------------

TBasicActionLink::TBasicActionLink(TObject* AClient) : FClient(AClient) {}

TBasicActionLink::~TBasicActionLink() {
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction != nullptr) FAction->UnRegisterChanges(this);
    FAction = Value;
    if (Value != nullptr) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* Target) {
    if (FAction == nullptr) return false;
    FAction->SetActionComponent(Target);
    bool r = false;
    try {
        r = FAction->Execute();
    } catch (...) {
        if (FAction != nullptr) FAction->SetActionComponent(nullptr);
        throw;
    }
    if (FAction != nullptr) FAction->SetActionComponent(nullptr);
    return r;
}

bool TBasicActionLink::Update() { return FAction != nullptr && FAction->Update(); }

void TBasicActionLink::Change() { OnChange(FAction); }

// ---------------------------------------------------------------------------
// TBasicAction
// ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    // Clients forget the action (their links stay, without an action).
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->FAction = nullptr;
    FClients.clear();
}

bool TBasicAction::Execute() {
    if (!OnExecute.Assigned()) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate.Assigned()) return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetActionComponent(TComponent* Value) {
    if (FActionComponent == Value) return;
    if (FActionComponent != nullptr) FActionComponent->RemoveFreeNotification(this);
    FActionComponent = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TBasicAction::Change() {
    OnChange(this);
    for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Value), FClients.end());
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ---------------------------------------------------------------------------
// TContainedAction
// ---------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value) {
    if (FActionList == Value) return;
    if (FActionList != nullptr) FActionList->RemoveAction(this);
    if (Value != nullptr) Value->AddAction(this);
}

int TContainedAction::Index() const {
    if (FActionList == nullptr) return -1;
    auto& l = FActionList->FActions;
    return static_cast<int>(std::find(l.begin(), l.end(), this) - l.begin());
}

void TContainedAction::SetIndex(int Value) {
    if (FActionList == nullptr) return;
    auto& l = FActionList->FActions;
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end()) return;
    l.erase(it);
    Value = std::clamp(Value, 0, static_cast<int>(l.size()));
    l.insert(l.begin() + Value, this);
}

void TContainedAction::SetCategory(const std::string& Value) {
    if (FCategory == Value) return;
    FCategory = Value;
    if (FActionList != nullptr) FActionList->Change();
}

TComponent* TContainedAction::GetParentComponent() const { return FActionList; }

void TContainedAction::SetParentComponent(TComponent* Value) {
    if (Value != nullptr && Value->Is<TCustomActionList>()) SetActionList(static_cast<TCustomActionList*>(Value));
}

// The list sees the action first, then the application, then the action's own handler.
bool TContainedAction::Execute() {
    if (FActionList != nullptr && FActionList->ExecuteAction(this)) return true;
    if (Application != nullptr && Application->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (FActionList != nullptr && FActionList->UpdateAction(this)) return true;
    if (Application != nullptr && Application->UpdateAction(this)) return true;
    return TBasicAction::Update();
}

// ---------------------------------------------------------------------------
// TCustomAction
// ---------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

template <class V>
void TCustomAction::Set(V& Field, const V& Value) {
    if (Field == Value) return;
    Field = Value;
    Change();
}

void TCustomAction::SetCaption(const std::string& Value) { Set(FCaption, Value); }
void TCustomAction::SetChecked(bool Value) { Set(FChecked, Value); }
void TCustomAction::SetEnabled(bool Value) { Set(FEnabled, Value); }
void TCustomAction::SetHelpContext(int Value) { Set(FHelpContext, Value); }
void TCustomAction::SetHint(const std::string& Value) { Set(FHint, Value); }
void TCustomAction::SetImageIndex(int Value) { Set(FImageIndex, Value); }
void TCustomAction::SetShortCut(TShortCut Value) { Set(FShortCut, Value); }
void TCustomAction::SetVisible(bool Value) { Set(FVisible, Value); }

bool TCustomAction::Execute() {
    // A disabled action does nothing; its Update runs first as the framework does.
    Update();
    if (!FEnabled) return false;
    return TContainedAction::Execute();
}

bool TCustomAction::Update() {
    bool handled = TContainedAction::Update();
    if (!handled && FDisableIfNoHandler) {
        bool hasHandler = OnExecute.Assigned() || (ActionList() != nullptr && ActionList()->OnExecute.Assigned());
        if (!hasHandler) SetEnabled(false);
    }
    return handled;
}

TAction::TAction(TComponent* AOwner) : TCustomAction(AOwner) {}

// ---------------------------------------------------------------------------
// TCustomActionList
// ---------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->FActionList = nullptr;
    FActions.clear();
}

TContainedAction* TCustomActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FActions[Index];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
    FActions.push_back(Action);
    Action->FActionList = this;
    Action->FreeNotification(this);
    Change();
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
    auto it = std::find(FActions.begin(), FActions.end(), Action);
    if (it == FActions.end()) return;
    FActions.erase(it);
    Action->FActionList = nullptr;
    Change();
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    auto it = std::find(FActions.begin(), FActions.end(), AComponent);
    if (it != FActions.end()) {
        (*it)->FActionList = nullptr;
        FActions.erase(it);
    }
}

void TCustomActionList::Change() { OnChange(this); }

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
    bool handled = false;
    OnExecute(Action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
    bool handled = false;
    OnUpdate(Action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TShortCut Key) {
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        if (!a->Is<TCustomAction>()) continue;
        auto* ca = static_cast<TCustomAction*>(a);
        if (ca->ShortCut() == Key && Key != 0) {
            ca->Update();
            if (ca->Enabled()) {
                ca->Execute();
                return true;
            }
        }
    }
    return false;
}

void TCustomActionList::SetImages(TComponent* Value) {
    if (FImages == Value) return;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TContainedAction* a : FActions)
        if (a->Owner() == Root) Proc(a);
}

void TCustomActionList::SetChildOrder(TComponent* Child, int Order) {
    auto it = std::find(FActions.begin(), FActions.end(), Child);
    if (it != FActions.end()) (*it)->SetIndex(Order);
}

// ---------------------------------------------------------------------------
// Action links of controls
// ---------------------------------------------------------------------------

namespace {
TCustomAction* CustomActionOf(const TBasicActionLink* Link) {
    TBasicAction* a = Link->Action();
    return a != nullptr && a->Is<TCustomAction>() ? static_cast<TCustomAction*>(a) : nullptr;
}
}  // namespace

bool TActionLink::IsCaptionLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsCheckedLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsEnabledLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsHelpContextLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsHintLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsVisibleLinked() const { return CustomActionOf(this) != nullptr; }
bool TActionLink::IsOnExecuteLinked() const { return Action() != nullptr; }

TControlActionLink::TControlActionLink(TControl* AClient) : TActionLink(AClient) {}

TControl* TControlActionLink::Control() const { return static_cast<TControl*>(FClient); }

bool TControlActionLink::IsCaptionLinked() const {
    TCustomAction* a = CustomActionOf(this);
    return a != nullptr && Control()->Caption() == a->Caption();
}
bool TControlActionLink::IsEnabledLinked() const {
    TCustomAction* a = CustomActionOf(this);
    return a != nullptr && Control()->Enabled() == a->Enabled();
}
bool TControlActionLink::IsHelpContextLinked() const {
    TCustomAction* a = CustomActionOf(this);
    return a != nullptr && Control()->HelpContext() == a->HelpContext();
}
bool TControlActionLink::IsHintLinked() const {
    TCustomAction* a = CustomActionOf(this);
    return a != nullptr && Control()->Hint() == a->Hint();
}
bool TControlActionLink::IsVisibleLinked() const {
    TCustomAction* a = CustomActionOf(this);
    return a != nullptr && Control()->Visible() == a->Visible();
}
bool TControlActionLink::IsOnExecuteLinked() const {
    return Action() != nullptr && Control()->OnClick == Action()->OnExecute;
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) Control()->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) Control()->SetEnabled(Value);
}
void TControlActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked()) Control()->SetHelpContext(Value);
}
void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) Control()->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) Control()->SetVisible(Value);
}
void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
    if (IsOnExecuteLinked()) Control()->OnClick = Value;
}

// ---------------------------------------------------------------------------
// Shortcuts
// ---------------------------------------------------------------------------

TShortCut ShortCut(uint16_t Key, bool Shift, bool Ctrl, bool Alt) {
    if ((Key & 0xFF00) != 0) return 0;
    TShortCut s = Key;
    if (Shift) s |= scShift;
    if (Ctrl) s |= scCtrl;
    if (Alt) s |= scAlt;
    return s;
}

namespace {
std::string KeyName(int Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z')) return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F1 + 23) return "F" + IntToStr(Key - VK_F1 + 1);
    switch (Key) {
        case VK_BACK: return "BkSp";
        case VK_TAB: return "Tab";
        case VK_RETURN: return "Enter";
        case VK_ESCAPE: return "Esc";
        case VK_SPACE: return "Space";
        case VK_PRIOR: return "PgUp";
        case VK_NEXT: return "PgDn";
        case VK_END: return "End";
        case VK_HOME: return "Home";
        case VK_LEFT: return "Left";
        case VK_UP: return "Up";
        case VK_RIGHT: return "Right";
        case VK_DOWN: return "Down";
        case VK_INSERT: return "Ins";
        case VK_DELETE: return "Del";
        default: return std::string();
    }
}
}  // namespace

std::string ShortCutToText(TShortCut S) {
    std::string name = KeyName(S & 0xFF);
    if (name.empty()) return std::string();
    std::string r;
    if (S & scShift) r += "Shift+";
    if (S & scCtrl) r += "Ctrl+";
    if (S & scAlt) r += "Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string rest = Text;
    TShortCut mods = 0;
    for (;;) {
        if (rest.size() > 6 && SameText(rest.substr(0, 6), "Shift+")) {
            mods |= scShift;
            rest = rest.substr(6);
        } else if (rest.size() > 5 && SameText(rest.substr(0, 5), "Ctrl+")) {
            mods |= scCtrl;
            rest = rest.substr(5);
        } else if (rest.size() > 4 && SameText(rest.substr(0, 4), "Alt+")) {
            mods |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    if (rest.empty()) return 0;
    for (int k = 8; k < 256; ++k)
        if (SameText(KeyName(k), rest)) return static_cast<TShortCut>(k | mods);
    return 0;
}

}  // namespace host
