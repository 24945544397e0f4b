// TCollection and TCollectionItem: items made through the item class's create
// function, kept in order, freed with their collection.
#include "rtl/collection.h"

#include <algorithm>

#include "rtl/exceptions.h"

const TClassInfo TCollectionItem::classInfo = makeClassInfo("TCollectionItem", &TPersistent::classInfo);
const TClassInfo TCollection::classInfo = makeClassInfo("TCollection", &TPersistent::classInfo);

// ==== TCollectionItem ====

// The item joins quietly: the class deriving from it is not made yet, so an
// Update now would read an item without its fields. Add announces it whole.
TCollectionItem::TCollectionItem(TCollection* collection) {
    if (collection) collection->insertItem(this, false);
}

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == Collection_) return;
    if (Collection_) Collection_->removeItem(this);
    if (collection) collection->insertItem(this, true);
}

int TCollectionItem::Index() const {
    if (!Collection_) return -1;
    const auto& items = Collection_->Items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
    int current = Index();
    if (current < 0 || index == current) return;
    auto& items = Collection_->Items_;
    if (index < 0 || index >= static_cast<int>(items.size())) raiseListIndexError(index);
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    Changed(true);
}

AnsiString TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::Changed(bool allItems) {
    if (!Collection_ || Collection_->UpdateCount_ > 0) return;
    Collection_->Update(allItems ? nullptr : this);
}

// ==== TCollection ====

TCollection::TCollection(const TClassInfo* itemClass, TPersistent* owner) : ItemClass_(itemClass), Owner_(owner) {}

// Each item leaves the list as it goes; the last first.
TCollection::~TCollection() {
    UpdateCount_ = 1;
    while (!Items_.empty()) delete Items_.back();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) raiseListIndexError(index);
    return Items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
    if (!ItemClass_->Create || !ItemClass_->InheritsFrom(&TCollectionItem::classInfo))
        throw EConvertError(AnsiString("Cannot create an instance of ") + ItemClass_->ClassName);
    TCollectionItem* item = static_cast<const TCollectionItemCreator*>(ItemClass_->Create)->Create(this);
    announce(item);
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count()) raiseListIndexError(index);
    BeginUpdate();
    TCollectionItem* item;
    try {
        item = Add();
        item->SetIndex(index);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    if (Items_.empty()) return;
    BeginUpdate();
    while (!Items_.empty()) delete Items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (TCollectionItem* item : Items_)
        if (item->ID_ == id) return item;
    return nullptr;
}

void TCollection::EndUpdate() {
    if (UpdateCount_ > 0 && --UpdateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (UpdateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&TCollection::classInfo)) return TPersistent::Assign(source);
    const auto* other = static_cast<const TCollection*>(source);
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->Items_) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::insertItem(TCollectionItem* item, bool announced) {
    Items_.push_back(item);
    item->Collection_ = this;
    item->ID_ = NextID_++;
    if (announced) announce(item);
}

void TCollection::announce(TCollectionItem* item) {
    Notify(item, cnAdded);
    Changed();
}

void TCollection::removeItem(TCollectionItem* item) {
    Notify(item, cnExtracting);
    Items_.erase(std::find(Items_.begin(), Items_.end(), item));
    item->Collection_ = nullptr;
    Changed();
}
