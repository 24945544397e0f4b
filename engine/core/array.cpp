// The Array object: construction from `new Array(...)`, index access that
// grows the array, the `length` property, joining, sorting by numbers or by a
// script comparator called through the runtime, and the other Array methods.
#include "engine/core/array.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <string_view>

#include "engine/core/runtime.h"
#include "engine/core/errors.h"

namespace {

// The class name every object of the class shares (a copy takes no memory).
const AnsiString arrayClassName("Array");

const TPropInfo arrayProperties[] = {
    IntegerProperty<&TJArrayObject::lengthProperty, &TJArrayObject::setLengthProperty>("length"),
};

// Arrays nested in themselves deeper than this are a cycle.
constexpr int maxJoinDepth = 256;
int joinDepth = 0;

[[noreturn]] void raiseUnnamedIndexError() { raiseScriptError("EIndexError", AnsiString()); }

}  // namespace

bool ReadDecimalIndex(const AnsiString& name, int32_t& index) {
    std::string_view s = name.view();
    size_t i = 0;
    bool negative = !s.empty() && s[0] == '-';
    if (negative) i = 1;
    if (i >= s.size()) return false;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
        if (value > 2147483648LL) return false;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return false;
    index = static_cast<int32_t>(value);
    return true;
}

const TClassInfo TJArrayObject::classInfo =
    makeClassInfo("TJArrayObject", &TJObject::classInfo, arrayProperties, &scriptCreator<TJArrayObject>);

// ==== Construction ====

TJArrayObject::TJArrayObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName(arrayClassName);
    if (ArgCount(args) == 1 && IsNumberValue(&args->At(0))) {
        Items_.SetCount(ValueToInteger(&args->At(0)));
    } else if (args) {
        Items_.CopyFrom(args);
    }
}

TJArrayObject::~TJArrayObject() {
    try {
        Items_.Clear();
    } catch (...) {
        // Releasing elements cannot fail in a way a destructor could report.
    }
}

// ==== Index access and conversions ====

bool TJArrayObject::BindsMethodsOnRead() const { return ClassType() == &classInfo; }

void TJArrayObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    int32_t index;
    if (ReadDecimalIndex(name, index)) GetIndexValue(index, value);
    else TJObject::GetValue(name, keyError, value, args);
}

void TJArrayObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (ReadDecimalIndex(name, index)) SetIndexValue(index, value);
    else TJObject::SetValue(name, value, args);
}

void TJArrayObject::GetIndexValue(int32_t index, TJValue& value) {
    if (index < 0 || index >= TJValueList::MaxCount) raiseIndexError(index);
    if (Items_.Count() <= index) Items_.SetCount(index + 1);
    Items_.GetItem(index, value);
}

void TJArrayObject::SetIndexValue(int32_t index, const TJValue& value) {
    if (index < 0 || index >= TJValueList::MaxCount) raiseIndexError(index);
    if (Items_.Count() <= index) Items_.SetCount(index + 1);
    Items_.SetItem(index, value);
}

void TJArrayObject::Clear() {
    TJObject::Clear();
    Items_.Clear();
}

void TJArrayObject::GetItem(int32_t index, TJValue& value) {
    if (index >= 0 && index < Items_.Count()) Items_.GetItem(index, value);
    else MakeUndefined(value);
}

AnsiString TJArrayObject::Join(const AnsiString& separator) {
    if (joinDepth >= maxJoinDepth) raiseScriptError("ETypeError", "array nested in itself");
    ++joinDepth;
    struct Leave { ~Leave() { --joinDepth; } } leave;
    AnsiString text;
    for (int i = 0; i < Items_.Count(); ++i) {
        const TJValue& item = Items_.At(i);
        AnsiString part = IsUndefinedOrNull(item) ? AnsiString() : ValueToString(&item);
        size_t gap = i > 0 ? separator.length() : 0;
        CheckStringSize(static_cast<uint64_t>(text.length()) + gap + part.length());
        if (gap) text += separator;
        text += part;
    }
    return text;
}

AnsiString TJArrayObject::ToString(const TJValue*) { return Join(","); }

TJValue TJArrayObject::ValueOf() {
    TJValue value;
    MakeString(Join(","), value);
    return value;
}

// ==== Sorting ====

int TJArrayObject::compareNumbers(void*, void* a, void* b) {
    int32_t x = ValueToInteger(static_cast<TJValue*>(a));
    int32_t y = ValueToInteger(static_cast<TJValue*>(b));
    return x < y ? -1 : x > y ? 1 : 0;
}

namespace {
// A sort's script comparator, kept alive for the sort, and its `this`; the
// two values of a comparison and its result, kept for the next one.
struct TJScriptOrder {
    TJArrayObject* Array;
    IJFunctionPtr Comparator;
    TJValue Pair[2];
    TJValue Result;
};
}  // namespace

int TJArrayObject::compareByScript(void* context, void* a, void* b) {
    auto* order = static_cast<TJScriptOrder*>(context);
    order->Pair[0] = *static_cast<TJValue*>(a);
    order->Pair[1] = *static_cast<TJValue*>(b);
    order->Array->Runtime()->CallFunctionWith(order->Comparator, order->Pair, 2, order->Result, order->Array);
    return ValueToInteger(order->Result);
}

void TJArrayObject::Sort(const TJValue* comparator) {
    // The elements are sorted apart from the array, so a comparator that
    // changes the array cannot upset the sort; the sorted values replace it.
    TJValueList sorted;
    sorted.CopyFrom(&Items_);
    if (!comparator) {
        sorted.Sort(&compareNumbers, this);
    } else {
        if (!IsScriptFunctionValue(comparator) || !Runtime()) raiseScriptError("ETypeError", "sort compare function error");
        TJScriptOrder order{this, comparator->FuncValue, {}, {}};
        sorted.Sort(&compareByScript, &order);
    }
    Items_.CopyFrom(&sorted);
}

// ==== Methods ====

namespace {

TJArrayObject* newArray(TJArrayObject& self) { return createObject<TJArrayObject>(self.Runtime(), true, nullptr); }

void sort(TJArrayObject& self, TJValueList* args, TJValue& result) {
    self.Sort(HasArgs(args) ? &args->At(0) : nullptr);
    MakeObject(&self, result);
}

void deleteItem(TJArrayObject& self, TJValueList* args, TJValue& result) {
    int32_t index = ValueToInteger(&args->At(0));
    if (index < 0 || index >= self.Items().Count()) raiseUnnamedIndexError();
    self.Items().Delete(index);
    MakeObject(&self, result);
}

void clear(TJArrayObject& self, TJValueList*, TJValue& result) {
    self.Clear();
    MakeObject(&self, result);
}

void add(TJArrayObject& self, TJValueList* args, TJValue& result) {
    for (int i = 0; i < ArgCount(args); ++i) MakeInteger(self.Items().Add(args->At(i)), result);
}

void concat(TJArrayObject& self, TJValueList* args, TJValue& result) {
    TJArrayObject* joined = newArray(self);
    MakeObject(joined, result);
    joined->Items().CopyFrom(&self.Items());
    for (int i = 0; i < args->Count(); ++i) {
        const TJValue& arg = args->At(i);
        if (!IsArrayLikeValue(&arg)) {
            joined->Items().Add(arg);
            continue;
        }
        TJObject* source = arg.ObjValue;
        int32_t length = source->GetLength();
        for (int32_t k = 0; k < length; ++k) {
            TJValue item;
            source->GetItem(k, item);
            joined->Items().Add(item);
        }
    }
}

void join(TJArrayObject& self, TJValueList* args, TJValue& result) {
    MakeString(self.Join(HasArgs(args) ? ValueToString(&args->At(0)) : AnsiString(",")), result);
}

void pop(TJArrayObject& self, TJValueList*, TJValue& result) {
    TJValueList& items = self.Items();
    if (items.Count() > 0) items.Take(items.Count() - 1, result);
}

void push(TJArrayObject& self, TJValueList* args, TJValue& result) {
    for (int i = 0; i < ArgCount(args); ++i) self.Items().Add(args->At(i));
    MakeInteger(self.Items().Count(), result);
}

void reverse(TJArrayObject& self, TJValueList*, TJValue& result) {
    self.Items().Reverse();
    MakeObject(&self, result);
}

void shift(TJArrayObject& self, TJValueList*, TJValue& result) {
    if (self.Items().Count() > 0) self.Items().Take(0, result);
}

void slice(TJArrayObject& self, TJValueList* args, TJValue& result) {
    TJValueList& items = self.Items();
    int32_t count = items.Count();
    int32_t start = HasArgs(args) ? ValueToInteger(&args->At(0)) : 0;
    int32_t end = HasTwoArgs(args) ? ValueToInteger(&args->At(1)) : INT_MAX;
    if (start < 0) start += count;
    if (end < 0) end += count;
    TJArrayObject* part = newArray(self);
    MakeObject(part, result);
    for (int32_t i = start; i < end && i >= 0 && i < count; ++i) part->Items().Add(items.At(i));
}

void splice(TJArrayObject& self, TJValueList* args, TJValue& result) {
    TJValueList& items = self.Items();
    int32_t start = ValueToInteger(&args->At(0));
    int32_t count = ValueToInteger(&args->At(1));
    if (start < 0) start += items.Count();
    TJArrayObject* removed = newArray(self);
    MakeObject(removed, result);
    // The elements go from the last down to start: an index outside the array
    // stops the removal there with an index error.
    int64_t last = static_cast<int64_t>(start) + count - 1;
    if (last >= start) {
        if (last < 0 || last >= items.Count()) raiseUnnamedIndexError();
        int first = std::max(start, 0);
        items.MoveTo(first, static_cast<int>(last) - first + 1, removed->Items());
        if (start < 0) raiseUnnamedIndexError();
    }
    for (int i = args->Count() - 1; i >= 2; --i) {
        if (start < 0 || start > items.Count()) raiseUnnamedIndexError();
        items.Insert(start, args->At(i));
    }
}

void unshift(TJArrayObject& self, TJValueList* args, TJValue& result) {
    for (int i = ArgCount(args) - 1; i >= 0; --i) self.Items().Insert(0, args->At(i));
    MakeObject(&self, result);
}

void assign(TJArrayObject& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args) || !IsArrayLikeValue(&args->At(0))) raiseScriptError("ETypeError", "array assign error");
    TJObject* source = args->At(0).ObjValue;
    TJValueList copy;  // read first: the source may be this array
    int32_t length = source->GetLength();
    for (int32_t i = 0; i < length; ++i) {
        TJValue item;
        source->GetItem(i, item);
        copy.Add(item);
    }
    self.Clear();
    self.Items().CopyFrom(&copy);
    MakeObject(&self, result);
}

// "toString" is the inherited method (ToString joins the elements).
const TJMethod<TJArrayObject> arrayMethods[] = {
    {"delete", 1, &deleteItem},
    {"clear", 0, &clear},
    {"add", 0, &add},
    {"sort", 0, &sort},
    {"concat", 1, &concat},
    {"join", 0, &join},
    {"pop", 0, &pop},
    {"push", 0, &push},
    {"reverse", 0, &reverse},
    {"shift", 0, &shift},
    {"slice", 0, &slice},
    {"splice", 2, &splice},
    {"unshift", 0, &unshift},
    {"assign", 0, &assign},
};

}  // namespace

const TJMethodTable& TJArrayObject::Methods() const {
    static const TJMethodTable table(arrayMethods, TJObject::Methods());
    return table;
}

bool TJArrayObject::IsPush(const TJMethodTable::Entry* method) {
    static const auto* const push = std::find_if(std::begin(arrayMethods), std::end(arrayMethods),
                                                 [](const auto& row) { return std::string_view(row.Name) == "push"; });
    return method && method->Row == push;
}

bool TJArrayObject::CachesReadsOf(const AnsiString& name) const {
    int32_t index;
    return ClassType() == &classInfo && !ReadDecimalIndex(name, index);
}
