// The script value list: copies of values in a sortable list, object values
// counted and linked, index errors raised as script errors, and the bound on
// how far a list may grow.
#include "engine/core/valuelist.h"

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "rtl/numtext.h"

void raiseIndexError(long long index) { raiseScriptError("EIndexError", intToText(index)); }

TJValueList::TJValueList() : links_(&Notify) {
    Notify.OnFreeNotify = TJFreeNotifyEvent::bind<&TJValueList::ObjectFreed>(this);
}

TJValueList::~TJValueList() {
    try {
        Clear();
    } catch (...) {
        // Releasing values cannot fail in a way a destructor could report.
    }
}

void TJValueList::checkIndex(int index, int limit) const {
    if (index < 0 || index >= limit) raiseIndexError(index);
}

// The list's side of storing a value: link an object, and count it when asked.
void TJValueList::adopt(const TJValue& value, bool takeReference) {
    if (!IsObjectValue(&value)) return;
    if (takeReference) value.ObjValue->IncRef();
    links_.link(value.ObjValue);
}

// The list's side of a value leaving: unlink and release an object.
void TJValueList::release(TJValue& value) {
    if (!IsObjectValue(&value)) return;
    TJObject* object = value.ObjValue;
    MakeUndefined(value);
    links_.unlink(object);
    object->DecRef();
}

int TJValueList::Add(const TJValue& value, bool takeReference) {
    if (Count() >= MaxCount) raiseIndexError(Count());
    adopt(value, takeReference);
    return Entries_.Add(new TJValue(value));
}

int TJValueList::AddBool(bool b) { TJValue v; MakeBool(b, v); return Add(v); }
int TJValueList::AddInteger(int32_t i) { TJValue v; MakeInteger(i, v); return Add(v); }
int TJValueList::AddDouble(double d) { TJValue v; MakeDouble(d, v); return Add(v); }
int TJValueList::AddString(const AnsiString& s) { TJValue v; MakeString(s, v); return Add(v); }

int TJValueList::AddObject(TJObject* object, bool takeReference) {
    TJValue v;
    MakeObject(object, v);
    return Add(v, takeReference);
}

void TJValueList::Insert(int index, const TJValue& value) {
    checkIndex(index, Count() + 1);
    if (Count() >= MaxCount) raiseIndexError(Count());
    adopt(value, true);
    Entries_.Insert(index, new TJValue(value));
}

void TJValueList::GetItem(int index, TJValue& value) const { value = At(index); }

const TJValue& TJValueList::At(int index) const {
    checkIndex(index, Count());
    return *entry(index);
}

void TJValueList::SetItem(int index, const TJValue& value) {
    checkIndex(index, Count());
    adopt(value, true);
    TJValue* slot = entry(index);
    TJValue old = *slot;
    *slot = value;
    release(old);
}

void TJValueList::Delete(int index) {
    checkIndex(index, Count());
    TJValue* slot = entry(index);
    Entries_.Delete(index);
    release(*slot);
    delete slot;
}

void TJValueList::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

void TJValueList::SetCount(int count) {
    if (count < 0 || count > MaxCount) raiseIndexError(count);
    while (Count() > count) Delete(Count() - 1);
    while (Count() < count) Entries_.Add(new TJValue());
}

void TJValueList::CopyFrom(const TJValueList* other) {
    if (other == this) return;
    Clear();
    if (!other) return;
    for (int i = 0; i < other->Count(); ++i) Add(*other->entry(i));
}

void TJValueList::Sort(TListSortCompare compare, void* context) { Entries_.Sort(compare, context); }

void TJValueList::ObjectFreed(TJNotify*, TJNotify* freed) {
    links_.forget(freed);
    for (int i = 0; i < Count(); ++i) {
        TJValue* v = entry(i);
        if (v->ValueType == vtObject && v->ObjValue == freed) MakeUndefined(*v);
    }
}
