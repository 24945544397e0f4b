// The StringBuffer object: construction, index access, the length and the
// byte methods. Positions are 0-based bytes, kept in 64 bits while they are
// computed so that no script number overflows them.
#include "stdlib/stringbuffer.h"

#include <algorithm>
#include <climits>

#include "engine/core/array.h"
#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "engine/support/mbstring.h"

namespace {

const TPropInfo stringBufferProperties[] = {
    StringProperty<&TJStringBufferObject::textProperty, &TJStringBufferObject::setTextProperty>("text"),
    IntegerProperty<&TJStringBufferObject::lengthProperty, &TJStringBufferObject::setLengthProperty>("length"),
};

[[noreturn]] void raiseBufferError(const char* message) { raiseScriptError("EStringError", message); }

int64_t argInteger(TJValueList* args, int index, int64_t absent) {
    return ArgCount(args) > index ? ValueToInteger(args->At(index)) : absent;
}

}  // namespace

const TClassInfo TJStringBufferObject::classInfo = makeClassInfo(
    "TJStringBufferObject", &TJObject::classInfo, stringBufferProperties, &scriptCreator<TJStringBufferObject>);

void CheckBufferLength(int64_t length) {
    if (length < 0 || length > static_cast<int64_t>(MaxStringSize))
        raiseScriptError("EStringError", "length error " + AnsiString(std::to_string(length)));
}

// ==== Construction and index access ====

TJStringBufferObject::TJStringBufferObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("StringBuffer");
    if (!HasArgs(args)) return;
    const TJValue& first = args->At(0);
    if (!IsNumberValue(first)) {
        Text_ = ValueToString(first);
        return;
    }
    int32_t length = ValueToInteger(first);
    CheckBufferLength(length);
    Text_ = AnsiString(static_cast<size_t>(length), static_cast<char>(HasTwoArgs(args) ? ValueToChar(args->At(1)) : 0));
}

// Bytes added by a longer length are 0, as the constructor's default fill.
void TJStringBufferObject::setLengthProperty(int32_t length) {
    CheckBufferLength(length);
    Text_.setLength(static_cast<size_t>(length));
}

bool TJStringBufferObject::byteIndex(const AnsiString& name, int32_t& index) const {
    if (!ReadDecimalIndex(name, index)) return false;
    int64_t at = index < 0 ? int64_t{index} + lengthProperty() : index;
    if (at < 0 || at >= lengthProperty()) raiseScriptError("EIndexError", name);
    index = static_cast<int32_t>(at);
    return true;
}

void TJStringBufferObject::GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args) {
    if (!keyError) {
        TJObject::GetValue(name, keyError, value, args);
        return;
    }
    int32_t index;
    if (!byteIndex(name, index)) raiseScriptError("EIndexError", name);
    MakeString(Text_.substr(static_cast<size_t>(index), 1), value);
}

// A write cannot tell b["name"] from b.name: a name that is not an integer
// is an ordinary member write.
void TJStringBufferObject::SetValue(const AnsiString& name, const TJValue& value, TJValueList* args) {
    int32_t index;
    if (byteIndex(name, index)) Text_.mutableData()[index] = static_cast<char>(ValueToChar(value));
    else TJObject::SetValue(name, value, args);
}

void TJStringBufferObject::GetItem(int32_t index, TJValue& value) {
    MakeString(index < 0 || index >= lengthProperty() ? AnsiString() : Text_.substr(static_cast<size_t>(index), 1),
               value);
}

// ==== Methods ====

namespace {

using Buffer = TJStringBufferObject;

// The bytes [start, end) of the text, both clamped to it.
AnsiString bytesBetween(const AnsiString& text, int64_t start, int64_t end) {
    int64_t length = static_cast<int64_t>(text.length());
    start = std::clamp<int64_t>(start, 0, length);
    end = std::clamp<int64_t>(end, start, length);
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

void removeBytes(AnsiString& text, int64_t start, int64_t end) {
    int64_t length = static_cast<int64_t>(text.length());
    if (start < 0 || end <= start || start >= length) return;
    text = bytesBetween(text, 0, start) + bytesBetween(text, end, length);
}

void insertBytes(AnsiString& text, int64_t at, const AnsiString& bytes) {
    int64_t length = static_cast<int64_t>(text.length());
    CheckBufferLength(length + static_cast<int64_t>(bytes.length()));
    at = std::clamp<int64_t>(at, 0, length);
    text = bytesBetween(text, 0, at) + bytes + bytesBetween(text, at, length);
}

void append(Buffer& self, TJValueList* args, TJValue&) {
    for (int i = 0; i < ArgCount(args); ++i) {
        AnsiString tail = ValueToString(args->At(i));
        CheckBufferLength(static_cast<int64_t>(self.Text().length()) + static_cast<int64_t>(tail.length()));
        self.Text() += tail;
    }
}

void charCodeAt(Buffer& self, TJValueList* args, TJValue& result) {
    int64_t at = argInteger(args, 0, -1);
    if (at >= 0 && at < self.lengthProperty()) MakeInteger(self.Text().byte(static_cast<size_t>(at)), result);
    else MakeNaN(result);
}

void deleteBytes(Buffer& self, TJValueList* args, TJValue&) {
    if (!HasArgs(args)) raiseBufferError("delete error");
    removeBytes(self.Text(), argInteger(args, 0, 0), argInteger(args, 1, INT_MAX));
}

void indexOf(Buffer& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        MakeInteger(-1, result);
        return;
    }
    int64_t start = std::min<int64_t>(argInteger(args, 1, 0) + 1, self.lengthProperty());
    MakeInteger(PosFrom(ValueToString(args->At(0)), self.Text(), static_cast<int>(std::max<int64_t>(start, 0))) - 1,
                result);
}

void insert(Buffer& self, TJValueList* args, TJValue&) {
    if (!HasTwoArgs(args)) raiseBufferError("insert error");
    insertBytes(self.Text(), ValueToInteger(args->At(0)), ValueToString(args->At(1)));
}

void lastIndexOf(Buffer& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        MakeInteger(-1, result);
        return;
    }
    int64_t start = HasTwoArgs(args) ? std::clamp<int64_t>(argInteger(args, 1, 0) + 1, 1, INT_MAX) : 0;
    MakeInteger(LastPosFrom(ValueToString(args->At(0)), self.Text(), static_cast<int>(start)) - 1, result);
}

void replace(Buffer& self, TJValueList* args, TJValue&) {
    if (!HasThreeArgs(args)) raiseBufferError("replace error");
    int64_t start = ValueToInteger(args->At(0));
    AnsiString bytes = ValueToString(args->At(2));
    removeBytes(self.Text(), start, ValueToInteger(args->At(1)));
    insertBytes(self.Text(), start, bytes);
}

// Negative positions count from the end; without an end, everything from start.
void slice(Buffer& self, TJValueList* args, TJValue& result) {
    Buffer* sliced = createObject<Buffer>(self.Runtime(), true, nullptr);
    MakeObject(sliced, result);
    if (!HasArgs(args)) return;
    int64_t length = self.lengthProperty();
    int64_t start = argInteger(args, 0, 0);
    if (start < 0) start += length;
    int64_t end = start + length;
    if (HasTwoArgs(args)) {
        end = argInteger(args, 1, 0);
        if (end < 0) end += length;
    }
    sliced->Text() = bytesBetween(self.Text(), start, end);
}

void substr(Buffer& self, TJValueList* args, TJValue& result) {
    int64_t start = std::max<int64_t>(argInteger(args, 0, 0), 0);
    int64_t count = std::max<int64_t>(argInteger(args, 1, INT_MAX), 0);
    MakeString(HasArgs(args) ? bytesBetween(self.Text(), start, start + count) : AnsiString(), result);
}

void substring(Buffer& self, TJValueList* args, TJValue& result) {
    int64_t a = std::max<int64_t>(argInteger(args, 0, 0), 0);
    int64_t b = std::max<int64_t>(argInteger(args, 1, INT_MAX), 0);
    MakeString(HasArgs(args) ? bytesBetween(self.Text(), std::min(a, b), std::max(a, b)) : AnsiString(), result);
}

void fill(Buffer& self, TJValueList* args, TJValue&) {
    if (self.Text().empty()) return;
    char code = static_cast<char>(HasArgs(args) ? ValueToChar(args->At(0)) : 0);
    std::fill_n(self.Text().mutableData(), self.Text().length(), code);
}

const TJMethod<Buffer> stringBufferMethods[] = {
    {"append", 0, &append, TJMethodResult::Self},
    {"charCodeAt", 0, &charCodeAt},
    {"delete", 0, &deleteBytes, TJMethodResult::Self},
    {"indexOf", 0, &indexOf},
    {"insert", 0, &insert, TJMethodResult::Self},
    {"lastIndexOf", 0, &lastIndexOf},
    {"replace", 0, &replace, TJMethodResult::Self},
    {"slice", 0, &slice},
    {"substr", 0, &substr},
    {"substring", 0, &substring},
    {"fill", 0, &fill, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJStringBufferObject::Methods() const {
    static const TJMethodTable table(stringBufferMethods, TJObject::Methods());
    return table;
}
