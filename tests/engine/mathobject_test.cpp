// The Math object's random generator, which scripts cannot seed (its
// behaviour as scripts see it is in tests/scripts/math): the linear
// congruential sequence and its scaling, and a new seed from the clock for
// each Math object.
#include "engine/lib/mathobject.h"
#include "rtl/random.h"
#include "valuetest.h"

namespace {

TJValue random(TJObject* math, std::initializer_list<TJValue> values) {
    TJValueList args;
    for (const TJValue& v : values) args.Add(v);
    TJValue f, result;
    math->GetValue("random", false, f);
    CallNativeMethod(f.FuncValue.get(), values.size() ? &args : nullptr, result);
    return result;
}

}  // namespace

TEST(MathObject, RandomFollowsTheSeed) {
    FakeRuntime engine;
    TJMathObject* math = createObject<TJMathObject>(&engine, true, nullptr);
    // seed x 134775813 + 1, as a fraction of 2^32.
    RandSeed = 0;
    EXPECT_EQ(random(math, {}).DoubleValue, 1.0 / 4294967296.0);
    EXPECT_EQ(random(math, {}).DoubleValue, 134775814.0 / 4294967296.0);
    // From 2^32 - 1 the next seed is 2^32 - 134775812 = 4160191484, and
    // 4160191484 x 100 / 2^32 = 96.86.
    RandSeed = 0xFFFFFFFFu;
    TJValue r = random(math, {intValue(100)});
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, 96);
    RandSeed = 12345;
    createObject<TJMathObject>(&engine, true, nullptr);
    EXPECT_NE(RandSeed, 12345u);
}
