// TCollection and TCollectionItem: owned lists of items of one class, streamed in form files.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "host/rtl/persistent.h"

namespace host {

class TCollection;

class TCollectionItem : public TPersistent {
    HOST_CLASS(TCollectionItem, TPersistent)
public:
    // Items are constructed with their collection, through class references too.
    using HostCreateArgs = std::tuple<TCollection*>;

    explicit TCollectionItem(TCollection* Collection);
    // Leaves the collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item into another collection (or out of any, with nullptr).
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string& Value);
    std::string GetNamePath() const override;

protected:
    // Tells the collection that this item (or, with AllItems, every item) changed.
    void Changed(bool AllItems);
    TPersistent* GetOwner() const override;

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    HOST_CLASS(TCollection, TPersistent)
public:
    // A collection of items of ItemClass (a descendant of TCollectionItem).
    explicit TCollection(TClass ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // Copies another collection item by item (each item's Assign does the work).
    void Assign(TPersistent* Source) override;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TCollectionItem* FindItemID(int ID) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    TClass ItemClass() const { return FItemClass; }
    // Raises EListError for an index out of range.
    TCollectionItem* Items(int Index) const;
    void SetItem(int Index, TCollectionItem* Value);
    std::string GetNamePath() const override;

protected:
    // Called with the item that changed, or nullptr when all did; not while updating.
    virtual void Update(TCollectionItem* Item);
    virtual void Added(TCollectionItem* Item) { (void)Item; }
    virtual void Deleting(TCollectionItem* Item) { (void)Item; }
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item, bool CheckClass);
    void RemoveItem(TCollectionItem* Item);

    TClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection that names its owner (for name paths and the form designer).
class TOwnedCollection : public TCollection {
    HOST_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}

protected:
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

}  // namespace host
