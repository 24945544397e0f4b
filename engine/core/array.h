// TJArrayObject: the script class "Array" - a growable list of values with
// index access, the `length` property and the Array methods. Made by
// `new Array(...)`, array literals and many library methods; the base of the
// WScript argument arrays and the host's drive list.
#pragma once

#include "engine/core/object.h"
#include "engine/core/valuelist.h"

// A name that reads as a decimal integer (optional "-", digits, 32 bits);
// index access of the Array and String objects.
bool ReadDecimalIndex(const AnsiString& name, int32_t& index);

class TJArrayObject : public TJObject {
    RTL_DECLARE_CLASS()
    // One number argument gives that many undefined elements; otherwise the
    // arguments are the elements.
    TJArrayObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJArrayObject() override;

    // The elements.
    TJValueList& Items() { return Items_; }
    // Appends a copy of the value; returns its index.
    int Add(const TJValue& value) { return Items_.Add(value); }

    // Index access: a decimal integer name reads (growing the array) or
    // writes an element; any other name is an ordinary member.
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    void GetIndexValue(int32_t index, TJValue& value) override;
    void SetIndexValue(int32_t index, const TJValue& value) override;
    // Removes the members added by the script, then every element.
    void Clear() override;
    AnsiString ToString(const TJValue* arg = nullptr) override;
    TJValue ValueOf() override;
    bool IsArrayLike() override { return true; }
    int32_t GetLength() override { return Items_.Count(); }
    void GetItem(int32_t index, TJValue& value) override;

    // The `length` property.
    int32_t lengthProperty() const { return Items_.Count(); }
    void setLengthProperty(int32_t length) { Items_.SetCount(length); }

    // The elements joined by the separator, undefined and null as empty text.
    AnsiString Join(const AnsiString& separator);
    // Sorts the elements by their integer values, or by a script comparator
    // (anything else raises "ETypeError").
    void Sort(const TJValue* comparator);

    const TJMethodTable& Methods() const override;
    // Whether a native method is push, which the evaluator runs with one
    // argument in place (no argument list).
    static bool IsPush(const TJMethodTable::Entry* method);

protected:
    // A name that is no index reads as any object's member does (the class
    // publishes only `length`).
    bool CachesReadsOf(const AnsiString& name) const override;

protected:
    // Only decimal index names read otherwise, and no method has one.
    bool BindsMethodsOnRead() const override;

private:
    static int compareNumbers(void* context, void* a, void* b);
    static int compareByScript(void* context, void* a, void* b);

    TJValueList Items_;
};
