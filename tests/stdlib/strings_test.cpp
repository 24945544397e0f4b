// What scripts cannot reach: the StringBuffer kind test of the value
// conversions, and a line list lent to a Strings wrapper and taken back.
#include "stdlib/stringbuffer.h"
#include "stdlib/strings.h"
#include "stdlib/systemlibrary.h"
#include "tests/engine/valuetest.h"

namespace {

// An object held for the test's length.
template <class T>
struct Held {
    Held() : object(createObject<T>(nullptr, false, nullptr)) { object->IncRef(); }
    ~Held() { object->DecRef(); }
    T* object;
};

// Known once the system library has registered.
TEST(StringBufferValue, IsKnownByItsClass) {
    FakeRuntime runtime;
    RegisterExtObjects(runtime);
    Held<TJStringBufferObject> buffer;
    buffer.object->Text() = "bytes";
    Held<TJStringsObject> list;
    TJValue value = objectValue(buffer.object);
    EXPECT_TRUE(IsStringBufferValue(&value));
    EXPECT_TRUE(IsStringValue(value));
    EXPECT_EQ(ValueToString(value), "bytes");
    for (const TJValue& other : {textValue("bytes"), objectValue(list.object), nullValue(), intValue(5)})
        EXPECT_FALSE(IsStringBufferValue(&other)) << ValueTypeName(other).c_str();
}

TJValue call(TJObject* object, const char* name) {
    TJValue function, result;
    object->GetValue(name, false, function);
    CallNativeMethod(function.FuncValue.get(), nullptr, result);
    return result;
}

TEST(LentLines, TakenBackLeaveEveryAccessAnError) {
    TStringList lines;
    Held<TJBaseStringsObject> wrapper;
    wrapper.object->SetStrings(&lines);
    call(wrapper.object, "add");
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(wrapper.object->GetLength(), 1);

    wrapper.object->SetStrings(nullptr);
    EXPECT_EQ(lines.Count(), 1);
    for (const char* method : {"add", "insert", "delete", "clear", "indexOf", "saveToFile", "loadFromFile", "assign",
                               "addStrings", "toString"})
        EXPECT_SCRIPT_ERROR(call(wrapper.object, method), "EStringsError", "strings is null");
    for (const char* property : {"text", "commaText", "length", "count"}) {
        TJValue value;
        EXPECT_SCRIPT_ERROR(wrapper.object->GetValue(property, false, value), "EStringsError", "strings is null");
    }
    TJValue line;
    EXPECT_SCRIPT_ERROR(wrapper.object->GetValue("0", true, line), "EStringsError", "strings is null");
    EXPECT_SCRIPT_ERROR(wrapper.object->GetLength(), "EStringsError", "strings is null");
}

}  // namespace
