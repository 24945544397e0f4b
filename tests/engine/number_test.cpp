// The Number object's lifetime rule (its behaviour as scripts see it is in
// tests/scripts/number): a Number object argument hands over its value, not
// itself, so the argument keeps only its holder's reference.
#include "engine/lib/number.h"
#include "valuetest.h"

TEST(NumberObject, CopiesTheValueOfAnotherNumberObject) {
    FakeRuntime engine;
    auto number = [&](const TJValue& value) {
        TJValueList args;
        args.Add(value);
        return createObject<TJNumberObject>(&engine, true, &args);
    };
    TJNumberObject* first = number(doubleValue(7.25));
    first->IncRef();  // as a variable holds it
    TJNumberObject* second = number(objectValue(first));
    EXPECT_EQ(second->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(second->NumberValue().DoubleValue, 7.25);
    EXPECT_EQ(first->RefCount(), 1);
    second->SetNumberValue(objectValue(first));
    EXPECT_EQ(second->NumberValue().ValueType, vtDouble);
    EXPECT_EQ(first->RefCount(), 1);
    first->DecRef();
}
