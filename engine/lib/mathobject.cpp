// The Math object: its constants and numeric functions. Arguments convert
// with the value conversions, except that the infinities and NaN keep their
// meaning; a result that is not finite is the NaN or infinity value, never a
// double holding one.
#include "engine/lib/mathobject.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "rtl/numtext.h"
#include "rtl/random.h"

namespace {

const TPropInfo mathProperties[] = {
    FloatProperty<&TJMathObject::E>("E"),           FloatProperty<&TJMathObject::LN10>("LN10"),
    FloatProperty<&TJMathObject::LN2>("LN2"),       FloatProperty<&TJMathObject::LOG10E>("LOG10E"),
    FloatProperty<&TJMathObject::LOG2E>("LOG2E"),   FloatProperty<&TJMathObject::PI>("PI"),
    FloatProperty<&TJMathObject::SQRT1_2>("SQRT1_2"), FloatProperty<&TJMathObject::SQRT2>("SQRT2"),
};

// ==== Arguments and results ====

// A value as a number; the infinity and NaN values stay what they are.
double numberOf(const TJValue& v) {
    switch (v.ValueType) {
    case vtInfinity: return v.Negative ? -HUGE_VAL : HUGE_VAL;
    case vtNaN: return NAN;
    default: return ValueToDouble(v);
    }
}

// A number for max and min: a numeric value or an infinity.
bool isNumberLike(const TJValue& v) { return IsNumericValue(v) || v.ValueType == vtInfinity; }

void makeNumber(double d, TJValue& result) {
    if (std::isnan(d)) MakeNaN(result);
    else if (std::isinf(d)) MakeInfinity(d < 0, result);
    else MakeDouble(d, result);
}

// A whole number as an integer when it fits, else as a number.
void makeWhole(double d, TJValue& result) {
    if (d >= INT32_MIN && d <= INT32_MAX) MakeInteger(static_cast<int32_t>(d), result);
    else makeNumber(d, result);
}

// The functions of one argument that give a double.
template <double (*F)(double)>
void unaryFunction(TJMathObject&, TJValueList* args, TJValue& result) {
    makeNumber(F(numberOf(args->At(0))), result);
}

// The rounding functions, whose result is whole.
template <double (*F)(double)>
void wholeFunction(TJMathObject&, TJValueList* args, TJValue& result) {
    makeWhole(F(numberOf(args->At(0))), result);
}

double expOf(double x) { return std::exp(x); }
double logOf(double x) { return std::log(x); }
double sqrtOf(double x) { return std::sqrt(x); }
double ceilOf(double x) { return std::ceil(x); }
double floorOf(double x) { return std::floor(x); }
double roundOf(double x) { return std::isfinite(x) ? roundHalfEven(x) : x; }
double sinOf(double x) { return std::sin(x); }
double cosOf(double x) { return std::cos(x); }
double tanOf(double x) { return std::tan(x); }
double asinOf(double x) { return std::asin(x); }
double acosOf(double x) { return std::acos(x); }
double atanOf(double x) { return std::atan(x); }

// ==== Native functions ====

// A double stays a double; anything else is taken as an integer.
void mathAbs(TJMathObject&, TJValueList* args, TJValue& result) {
    const TJValue& x = args->At(0);
    if (x.ValueType == vtDouble || x.ValueType == vtInfinity || x.ValueType == vtNaN) {
        makeNumber(std::fabs(numberOf(x)), result);
        return;
    }
    int32_t i = ValueToInteger(x);
    if (i == INT32_MIN) MakeDouble(2147483648.0, result);
    else MakeInteger(std::abs(i), result);
}

void mathAtan2(TJMathObject&, TJValueList* args, TJValue& result) {
    makeNumber(std::atan2(numberOf(args->At(0)), numberOf(args->At(1))), result);
}

// max and min: the scan starts from the first argument and stops with NaN at
// the first argument that is not a number.
template <bool Greatest>
void extremum(TJMathObject&, TJValueList* args, TJValue& result) {
    int count = ArgCount(args);
    if (count == 0) {
        MakeInfinity(Greatest, result);
        return;
    }
    double current = 0;
    for (int i = 0; i < count; ++i) {
        const TJValue& arg = args->At(i);
        if (!isNumberLike(arg)) {
            MakeNaN(result);
            return;
        }
        double x = numberOf(arg);
        if (i == 0 || (Greatest ? x > current : !(current <= x))) current = x;
    }
    makeNumber(current, result);
}

void mathPow(TJMathObject&, TJValueList* args, TJValue& result) {
    makeNumber(MathPower(numberOf(args->At(0)), numberOf(args->At(1))), result);
}

void mathRandom(TJMathObject&, TJValueList* args, TJValue& result) {
    if (HasArgs(args)) MakeInteger(RandomInt(ValueToInteger(args->At(0))), result);
    else MakeDouble(RandomDouble(), result);
}

const TJMethod<TJMathObject> mathMethods[] = {
    {"abs", 1, &mathAbs},
    {"exp", 1, &unaryFunction<expOf>},
    {"log", 1, &unaryFunction<logOf>},
    {"sqrt", 1, &unaryFunction<sqrtOf>},
    {"ceil", 1, &wholeFunction<ceilOf>},
    {"floor", 1, &wholeFunction<floorOf>},
    {"round", 1, &wholeFunction<roundOf>},
    {"sin", 1, &unaryFunction<sinOf>},
    {"cos", 1, &unaryFunction<cosOf>},
    {"tan", 1, &unaryFunction<tanOf>},
    {"asin", 1, &unaryFunction<asinOf>},
    {"acos", 1, &unaryFunction<acosOf>},
    {"atan", 1, &unaryFunction<atanOf>},
    {"atan2", 2, &mathAtan2},
    {"max", 0, &extremum<true>},
    {"min", 0, &extremum<false>},
    {"pow", 2, &mathPow},
    {"random", 0, &mathRandom},
};

}  // namespace

const TClassInfo TJMathObject::classInfo =
    makeClassInfo("TJMathObject", &TJObject::classInfo, mathProperties, &scriptCreator<TJMathObject>);

TJMathObject::TJMathObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Math");
    Randomize();
}

void RegisterMathObject(TJRuntime* runtime) { runtime->RegisterScriptClass("Math", &TJMathObject::classInfo); }

const TJMethodTable& TJMathObject::Methods() const {
    static const TJMethodTable table(mathMethods, TJObject::Methods());
    return table;
}

double TJMathObject::E() const { return static_cast<double>(std::exp(1.0L)); }
double TJMathObject::LN10() const { return static_cast<double>(std::log(10.0L)); }
double TJMathObject::LN2() const { return static_cast<double>(std::log(2.0L)); }
double TJMathObject::LOG10E() const { return static_cast<double>(1.0L / std::log(10.0L)); }
double TJMathObject::LOG2E() const { return static_cast<double>(1.0L / std::log(2.0L)); }

// ==== Power ====

double MathPower(double base, double exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    double magnitude = std::fabs(exponent);
    if (magnitude <= 2147483647.0 && magnitude == std::trunc(magnitude)) {
        // Square-and-multiply: about 31 steps for any whole exponent.
        auto n = static_cast<uint32_t>(magnitude);
        double power = 1, square = base;
        while (true) {
            if (n & 1) power *= square;
            n >>= 1;
            if (n == 0) break;
            square *= square;
        }
        return exponent < 0 ? 1 / power : power;
    }
    return std::pow(base, exponent);
}
