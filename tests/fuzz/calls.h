// Generated scripts that call every built-in with odd arguments: the methods
// and properties of every registered class and of the singletons, read from
// an engine, each called or assigned with values such as undefined, null,
// NaN, negative and huge numbers, objects, functions, empty texts and lone
// lead bytes, each call in its own try.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class Random;

// Whether the text names a built-in that waits for the user or the clock
// (dialogs, sleep, the event loop): no fuzz input calls those.
bool callsWaitingBuiltin(std::string_view text);

class BuiltinCalls {
public:
    // Reads the surface from a new engine.
    BuiltinCalls();

    // Script number n calls the n-th group of built-ins in turn, so that a
    // run of size() / CallsPerScript scripts reaches every one.
    std::string script(size_t n, Random& random) const;
    size_t size() const { return members_.size(); }

    static constexpr size_t CallsPerScript = 8;

private:
    struct Member {
        std::string owner;  // a singleton's script expression, or a class name
        std::string name;
        bool property;      // assigned, not called
        bool constructed;   // the owner is a new object of the class, made with odd arguments
    };
    std::vector<Member> members_;
};
