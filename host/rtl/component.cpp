// TPersistent and TComponent: assignment, ownership, names, notices and states.
#include "host/rtl/component.h"

#include <algorithm>
#include <map>

#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/sysutils.h"

namespace host {

// ---- TPersistent ----

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
    std::string source = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + source + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler*) {}

std::string TPersistent::GetNamePath() const {
    std::string result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        std::string s = owner->GetNamePath();
        if (!s.empty()) result = s + "." + result;
    }
    return result;
}

// ---- TComponent ----

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// A polynomial hash of the folded name. Forms name their components in series
// (Button1, Button2, ...), and this hash gives such names neighbouring slots, so
// filling and searching a large index stays within a few cache lines.
size_t NameHash(const std::string& s) {
    size_t h = 0;
    for (char c : s) h = h * 31 + static_cast<uint8_t>(LowerAscii(c));
    return h;
}

// Owners with fewer components than this search their list; larger ones keep an index.
constexpr size_t kNameIndexThreshold = 16;
}  // namespace

// The names of an owner's components: an open-addressing table of component
// pointers with their name's case-insensitive hash, at most half full. It stores no
// strings, so that large forms stay compact in memory; names are compared only when
// the hashes agree.
struct TComponentNameIndex {
    struct TSlot {
        size_t hash = 0;
        TComponent* comp = nullptr;  // nullptr: empty; Tombstone(): deleted
    };
    std::vector<TSlot> slots;
    size_t used = 0;  // live entries plus tombstones

    static TComponent* Tombstone() { return reinterpret_cast<TComponent*>(uintptr_t(1)); }

    TComponent* Find(const std::string& name) const {
        if (slots.empty()) return nullptr;
        size_t mask = slots.size() - 1, h = NameHash(name);
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            const TSlot& s = slots[i];
            if (s.comp == nullptr) return nullptr;
            if (s.hash == h && s.comp != Tombstone() && SameText(s.comp->Name(), name)) return s.comp;
        }
    }
    void Add(TComponent* c) { Insert(NameHash(c->Name()), c); }
    void Insert(size_t h, TComponent* c) {
        if ((used + 1) * 2 > slots.size()) Grow();
        size_t mask = slots.size() - 1;
        size_t i = h & mask;
        while (slots[i].comp != nullptr && slots[i].comp != Tombstone()) i = (i + 1) & mask;
        if (slots[i].comp == nullptr) ++used;
        slots[i] = TSlot{h, c};
    }
    void Erase(TComponent* c) {
        if (slots.empty()) return;
        size_t mask = slots.size() - 1, h = NameHash(c->Name());
        for (size_t i = h & mask; slots[i].comp != nullptr; i = (i + 1) & mask)
            if (slots[i].comp == c) {
                slots[i].comp = Tombstone();
                return;
            }
    }
    void Grow() {
        std::vector<TSlot> old;
        old.swap(slots);
        slots.assign(old.empty() ? 64 : old.size() * 2, TSlot{});
        used = 0;
        for (const TSlot& s : old)
            if (s.comp != nullptr && s.comp != Tombstone()) Insert(s.hash, s.comp);
    }
};

bool IsValidComponentName(const std::string& Ident) {
    if (Ident.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(Ident[0])) return false;
    for (char c : Ident)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Tell every component that asked; each forgets this one.
    while (FFreeNotifies && !FFreeNotifies->empty()) {
        TComponent* other = FFreeNotifies->back();
        FFreeNotifies->pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    if (FComponentState.Contains(csFixups)) RemoveFixupReferences(this, "");
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (FOwner == nullptr) return;
    auto& list = FOwner->FComponents;
    int current = ComponentIndex();
    if (current < 0) return;
    int count = static_cast<int>(list.size());
    if (Value < 0) Value = 0;
    if (Value >= count) Value = count - 1;
    if (Value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidComponentName(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    ChangeName(NewName);
}

void TComponent::ChangeName(const std::string& NewName) {
    if (FOwner != nullptr) FOwner->UnindexName(this);
    FName = NewName;
    if (FOwner != nullptr) FOwner->IndexName(this);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
    if (AComponent == nullptr || NewName.empty()) return;
    if (SameText(CurName, NewName)) return;
    if (TComponent* other = FindComponent(NewName); other != nullptr && other != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    if (FNameIndex) return FNameIndex->Find(AName);
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::IndexName(TComponent* AComponent) {
    if (!FNameIndex) {
        if (FComponents.size() < kNameIndexThreshold) return;
        FNameIndex = std::make_unique<TComponentNameIndex>();
        for (TComponent* c : FComponents)
            if (!c->FName.empty()) FNameIndex->Add(c);
        return;
    }
    if (!AComponent->FName.empty()) FNameIndex->Add(AComponent);
}

void TComponent::UnindexName(TComponent* AComponent) {
    if (FNameIndex && !AComponent->FName.empty()) FNameIndex->Erase(AComponent);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    AComponent->ValidateContainer(this);
    ValidateRename(AComponent, "", AComponent->FName);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    IndexName(AComponent);
}

void TComponent::Remove(TComponent* AComponent) {
    UnindexName(AComponent);
    // Components usually leave from the end (DestroyComponents), so search backwards.
    auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    // Every owned component goes: drop the name index at once instead of entry by entry.
    FNameIndex.reset();
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        Remove(instance);
        delete instance;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    if (!FFreeNotifies) FFreeNotifies = std::make_unique<std::vector<TComponent*>>();
    if (std::find(FFreeNotifies->begin(), FFreeNotifies->end(), AComponent) == FFreeNotifies->end()) {
        FFreeNotifies->push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    if (FFreeNotifies)
        FFreeNotifies->erase(std::remove(FFreeNotifies->begin(), FFreeNotifies->end(), AComponent),
                             FFreeNotifies->end());
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation != opRemove || AComponent == nullptr) return;
    RemoveFreeNotification(AComponent);
    // A component may destroy others while being told: walk a copy.
    if (FComponents.empty()) return;
    std::vector<TComponent*> owned(FComponents);
    for (TComponent* c : owned)
        if (std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end()) c->Notification(AComponent, Operation);
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::SetAncestor(bool Value) {
    if (Value)
        FComponentState.Include(csAncestor);
    else
        FComponentState.Exclude(csAncestor);
    for (TComponent* c : FComponents) c->SetAncestor(Value);
}

void TComponent::SetInline(bool Value) {
    if (Value)
        FComponentState.Include(csInline);
    else
        FComponentState.Exclude(csInline);
}

std::string TComponent::GetNamePath() const { return FName; }

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TComponent::WriteState(TWriter* Writer) { Writer->WriteData(this); }

// ---- global component finders ----

namespace {
std::map<int, TFindGlobalComponent>& Finders() {
    static std::map<int, TFindGlobalComponent> finders;
    return finders;
}
}  // namespace

int RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
    static int next = 0;
    Finders().emplace(++next, std::move(Proc));
    return next;
}

void UnregisterFindGlobalComponentProc(int Cookie) { Finders().erase(Cookie); }

TComponent* FindGlobalComponent(const std::string& Name) {
    for (auto& [cookie, fn] : Finders())
        if (TComponent* c = fn(Name)) return c;
    return nullptr;
}

}  // namespace host
