// TJMathObject: the script class "Math" - the numeric functions (abs ... random)
// and the read-only constants E ... SQRT2. It holds no state; every engine has
// one ready-made global instance. RegisterMathObject registers the class with
// an engine (engine/lib/builtins.cpp calls it).
#pragma once

#include "engine/core/object.h"

class TJMathObject : public TJObject {
    RTL_DECLARE_CLASS()
    // Seeds the run time's random generator from the clock.
    TJMathObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The published constants; the logarithmic ones are computed in extended
    // precision on each read.
    double E() const;
    double LN10() const;
    double LN2() const;
    double LOG10E() const;
    double LOG2E() const;
    double PI() const { return 3.141592653589793; }
    double SQRT1_2() const { return 0.7071067811865476; }
    double SQRT2() const { return 1.4142135623730951; }

    const TJMethodTable& Methods() const override;
};

// base raised to exponent: whole exponents by square-and-multiply, others
// through the logarithm; NaN where the power has no real value.
double MathPower(double base, double exponent);

// Registers the class "Math" with the engine.
void RegisterMathObject(TJRuntime* runtime);
