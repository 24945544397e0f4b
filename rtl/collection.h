// TCollection and TCollectionItem: an owned, ordered list of persistent items
// of one class, each knowing its collection, index and ID. The status panels,
// list columns and the like are collections; form streams write them as
// "< item ... end >" values and read them back through the item class's
// create function.
#pragma once

#include <vector>

#include "rtl/persistent.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting };

class TCollectionItem : public TPersistent {
    RTL_DECLARE_CLASS()
    // Joins the collection (when not nil) at its end, unannounced: items are
    // made by the collection's Add (or Insert), which announces them.
    explicit TCollectionItem(TCollection* collection);
    // Leaves its collection first.
    ~TCollectionItem() override;

    TCollection* Collection() const { return Collection_; }
    // Moves the item to the end of another collection (nil: none).
    void SetCollection(TCollection* collection);
    // The position in the collection; -1 without one.
    int Index() const;
    void SetIndex(int index);
    // Unique in its collection for the collection's lifetime.
    int ID() const { return ID_; }
    // What lists show for the item; the class name unless a class says more.
    virtual AnsiString DisplayName() const;

protected:
    // Tells the collection of a change: of this item, or of all of them.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* Collection_ = nullptr;
    int ID_ = 0;
};

// The create function of a collection item class.
struct TCollectionItemCreator : TCreator {
    TCollectionItem* (*Create)(TCollection* collection);
};
template <class T>
TCollectionItem* createCollectionItemOf(TCollection* collection) {
    return new T(collection);
}
template <class T>
inline constexpr TCollectionItemCreator collectionItemCreator{{}, &createCollectionItemOf<T>};

class TCollection : public TPersistent {
    RTL_DECLARE_CLASS()
    // itemClass: a TCollectionItem class with a create function.
    explicit TCollection(const TClassInfo* itemClass, TPersistent* owner = nullptr);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    int Count() const { return static_cast<int>(Items_.size()); }
    // Raises the list index error outside 0..Count-1.
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;
    const TClassInfo* ItemClass() const { return ItemClass_; }
    // The object the collection belongs to (a control), nil when none.
    TPersistent* Owner() const { return Owner_; }

    // Update brackets nest; Update runs once when the last one ends.
    void BeginUpdate() { ++UpdateCount_; }
    void EndUpdate();
    int UpdateCount() const { return UpdateCount_; }

    // Replaces the items by copies of the source collection's (each copied
    // with its Assign).
    void Assign(const TPersistent* source) override;

protected:
    // An item changed (nil: the whole collection), outside update brackets.
    virtual void Update(TCollectionItem* /*item*/) {}
    virtual void Notify(TCollectionItem* /*item*/, TCollectionNotification /*action*/) {}
    void Changed();

private:
    friend class TCollectionItem;
    // An item made by Add is announced (Notify, Update) once it is whole.
    void insertItem(TCollectionItem* item, bool announced);
    void announce(TCollectionItem* item);
    void removeItem(TCollectionItem* item);

    const TClassInfo* ItemClass_;
    TPersistent* Owner_;
    std::vector<TCollectionItem*> Items_;
    int NextID_ = 0;
    int UpdateCount_ = 0;
};
