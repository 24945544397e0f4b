// TJHash: the name-to-value table of script members and scope variables. An
// object value stored in it is counted and linked for free notification; when
// such an object is freed elsewhere, the values that referred to it read
// undefined. Used by TJObject (members), the scope tables and the factory.
#pragma once

#include <cstring>
#include <vector>

#include "engine/support/hashtable.h"
#include "engine/core/notify.h"
#include "engine/core/value.h"

class TJHash : public TCustomHashTable {
public:
    // Names are compared with regard to case.
    explicit TJHash(int bucketCount);
    ~TJHash() override;

    // Stores a copy under the name, replacing any value there; a new object
    // is counted and linked before the old value is released. Returns the
    // stored value (valid until the table's items change).
    TJValue* SetValue(const AnsiString& name, const TJValue& value);
    // Replaces a value stored in this table (one FindValue or SetValue gave)
    // the way SetValue replaces it.
    void Replace(TJValue& stored, const TJValue& value) {
        // Neither holds anything counted (the kinds tell: builders clear the
        // other fields): only the kind and the number change.
        if (holdsNothing(stored) && holdsNothing(value)) {
            stored.ValueType = value.ValueType;
            std::memcpy(&stored.EventValue, &value.EventValue, sizeof stored.EventValue);
            return;
        }
        replaceHeld(stored, value);
    }
    // Copies the value; false (and undefined) when absent.
    bool GetValue(const AnsiString& name, TJValue& value) const;
    // The stored value itself, nil when absent (valid until the table changes).
    const TJValue* FindValue(const AnsiString& name) const;
    TJValue* FindValue(const AnsiString& name);
    // The same for a name whose HashOf is known.
    TJValue* FindValue(const AnsiString& name, unsigned hash);
    // The names whose kind is in include, or (include empty) not in exclude.
    void GetKeys(std::vector<AnsiString>& list, TJValueTypes include, TJValueTypes exclude);
    // Releases every value as Clear would, in its order, but keeps the names
    // with undefined values: for a table about to take the same names again.
    void ReleaseValues();
    // Removes the members chosen the same way (both empty: every member).
    void RemoveByKind(TJValueTypes include, TJValueTypes exclude);
    // Every stored value, in key-list order (valid until the table changes).
    std::vector<const TJValue*> Values() const;
    // Visits every name and its stored value, in the order Clear disposes of
    // them; the visit must not add or remove items.
    template <class Visit>
    void ForEachValue(Visit visit) const {
        forEachItemLastFirst([&visit](THashItem& item) { visit(item.Key, static_cast<Item&>(item).Value); });
    }

    TJNotifyLink Notify;

protected:
    void DoFreeItem(THashItem& item) override;

private:
    struct Item : THashItem {
        Item(const AnsiString& key, const TJValue& value) : THashItem(key), Value(value) {}
        TJValue Value;
    };
    // Numbers, booleans, undefined and null.
    static bool holdsNothing(const TJValue& v) {
        return v.ValueType <= vtDouble || v.ValueType == vtBool || v.ValueType == vtInfinity || v.ValueType == vtNaN;
    }
    void replaceHeld(TJValue& stored, const TJValue& value);
    // The table's side of a value leaving: an object unlinked and released.
    void releaseValue(TJValue& value);
    void ObjectFreed(TJNotify* sender, TJNotify* freed);
    static bool chosen(TJValueType kind, TJValueTypes include, TJValueTypes exclude);

    TJObjectLinks links_;
};
