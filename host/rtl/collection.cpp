// TCollection and TCollectionItem: item ownership, order, identifiers and change notices.
#include "host/rtl/collection.h"

#include <algorithm>

#include "host/rtl/exceptions.h"

namespace host {

TCollectionItem::TCollectionItem(TCollection* Collection) {
    // While the base constructor runs the object is not yet of its final class, so
    // the item-class check is left to SetCollection calls after construction.
    if (Collection != nullptr) Collection->InsertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection != nullptr) FCollection->RemoveItem(this);
    if (Value != nullptr) Value->InsertItem(this, true);
}

int TCollectionItem::Index() const {
    if (FCollection == nullptr) return -1;
    auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    int current = Index();
    if (current < 0 || current == Value) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size()))
        throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

std::string TCollectionItem::GetNamePath() const {
    if (FCollection == nullptr) return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection != nullptr && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

TCollection::TCollection(TClass ItemClass) : FItemClass(ItemClass) {
    if (ItemClass == nullptr || !ItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EInvalidOperation("A collection's item class must descend from TCollectionItem");
}

TCollection::~TCollection() {
    FUpdateCount = 1;  // no change notices while the items go
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemClass->Create<TCollectionItem>(this);
    Added(item);
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    try {
        while (!FItems.empty()) delete FItems.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TCollection>()) {
        auto* src = static_cast<TCollection*>(Source);
        if (src == this) return;
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* item : src->FItems) Add()->Assign(item);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

std::string TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (owner == nullptr) return ClassName();
    std::string path = owner->GetNamePath();
    if (path.empty()) return ClassName();
    // The property of the owner that holds this collection, found by looking.
    return path + "." + ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item, bool CheckClass) {
    if (CheckClass && !Item->InheritsFrom(FItemClass))
        throw EInvalidOperation("Invalid collection item: " + Item->ClassName() + " is not a " + FItemClass->Name);
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Deleting(Item);
    auto it = std::find(FItems.rbegin(), FItems.rend(), Item);
    if (it != FItems.rend()) FItems.erase(std::next(it).base());
    Item->FCollection = nullptr;
    Changed();
}

}  // namespace host
