// The member and variable table: values stored as copies, object values
// counted and linked, freed objects turned into undefined, and the kind
// filters of the key list and removal.
#include "engine/core/jhash.h"

#include "engine/core/object.h"

TJHash::TJHash(int bucketCount) : TCustomHashTable(bucketCount, false), links_(&Notify) {
    Notify.OnFreeNotify = TJFreeNotifyEvent::bind<&TJHash::ObjectFreed>(this);
}

TJHash::~TJHash() {
    try {
        Clear();
    } catch (...) {
        // Releasing members cannot fail in a way a destructor could report.
    }
}

TJValue* TJHash::SetValue(const AnsiString& name, const TJValue& value) {
    auto* item = static_cast<Item*>(lookup(name));
    if (!item || OnFreeItem) {
        if (IsObjectValue(value)) {
            value.ObjValue->IncRef();
            links_.link(value.ObjValue);
        }
        return &static_cast<Item*>(StoreItem(std::make_unique<Item>(name, value)))->Value;
    }
    // A name already held keeps its item (unless a handler is to see the
    // replaced one).
    Replace(item->Value, value);
    return &item->Value;
}

// The old value goes as a replaced item's would, after the new one is in
// place (the value may be the old one).
void TJHash::replaceHeld(TJValue& stored, const TJValue& value) {
    if (IsObjectValue(value)) {
        value.ObjValue->IncRef();
        links_.link(value.ObjValue);
    }
    // An old value holding at most a text (its kind tells: builders clear the
    // other fields) releases nothing that could reach back into the table: it
    // is overwritten.
    if (stored.ValueType != vtObject && stored.ValueType != vtFunction && stored.ValueType != vtDispatch) {
        stored = value;
        return;
    }
    TJValue old = stored;
    stored = value;
    releaseValue(old);
}

const TJValue* TJHash::FindValue(const AnsiString& name) const {
    auto* item = static_cast<Item*>(lookup(name));
    return item ? &item->Value : nullptr;
}

TJValue* TJHash::FindValue(const AnsiString& name) {
    auto* item = static_cast<Item*>(lookup(name));
    return item ? &item->Value : nullptr;
}

TJValue* TJHash::FindValue(const AnsiString& name, unsigned hash) {
    auto* item = static_cast<Item*>(lookupHashed(name, hash));
    return item ? &item->Value : nullptr;
}

bool TJHash::GetValue(const AnsiString& name, TJValue& value) const {
    if (const TJValue* found = FindValue(name)) {
        value = *found;
        return true;
    }
    MakeUndefined(value);
    return false;
}

void TJHash::DoFreeItem(THashItem& item) {
    TCustomHashTable::DoFreeItem(item);
    releaseValue(static_cast<Item&>(item).Value);
}

void TJHash::ReleaseValues() {
    if (OnFreeItem) {  // its handler is to see the items go
        Clear();
        return;
    }
    forEachItemLastFirst([this](THashItem& item) {
        TJValue& value = static_cast<Item&>(item).Value;
        releaseValue(value);
        MakeUndefined(value);
    });
}

void TJHash::releaseValue(TJValue& value) {
    if (!IsObjectValue(value)) return;
    TJObject* object = value.ObjValue;
    MakeUndefined(value);
    links_.unlink(object);
    object->DecRef();
}

void TJHash::ObjectFreed(TJNotify*, TJNotify* freed) {
    for (THashItem* item : items()) {
        TJValue& value = static_cast<Item*>(item)->Value;
        if (value.ValueType == vtObject && value.ObjValue == freed) MakeUndefined(value);
    }
}

bool TJHash::chosen(TJValueType kind, TJValueTypes include, TJValueTypes exclude) {
    if (include) return (include & kindSet(kind)) != 0;
    return (exclude & kindSet(kind)) == 0;
}

void TJHash::GetKeys(std::vector<AnsiString>& list, TJValueTypes include, TJValueTypes exclude) {
    list.clear();
    for (THashItem* item : items())
        if (chosen(static_cast<Item*>(item)->Value.ValueType, include, exclude)) list.push_back(item->Key);
}

void TJHash::RemoveByKind(TJValueTypes include, TJValueTypes exclude) {
    std::vector<AnsiString> names;
    GetKeys(names, include, exclude);
    for (const AnsiString& name : names) Remove(name);
}

std::vector<const TJValue*> TJHash::Values() const {
    std::vector<const TJValue*> result;
    for (THashItem* item : items()) result.push_back(&static_cast<Item*>(item)->Value);
    return result;
}
