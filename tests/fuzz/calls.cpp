// Generated built-in calls: the surface read from a new engine (each class's
// instance, the singletons and the objects their properties hold) and the
// script text that calls it.
#include "calls.h"

#include <algorithm>

#include "engine/core/factory.h"
#include "engine/core/object.h"
#include "engine/orovod.h"
#include "inputs.h"

namespace {

// Modal dialogs and forms ("execute", "showModal") wait for the user too.
const char* const WaitingBuiltins[] = {"alert", "confirm", "msgBox", "Echo", "prompt", "textArea", "sleep", "Sleep",
                                       "eventLoop", "execute", "showModal"};

// Odd values as script text; the prelude defines u (undefined) and nothing.
// Counts just past the largest array are refused at once: an array of the
// largest count takes seconds to fill under Wine and would pass for a hang.
const std::vector<std::string> OddValues = {
    "u", "null", "NaN", "0", "-1", "-2147483648", "2147483647", "4294967296", "16777217", "-16777217", "1e308",
    "-1e308", "1/0", "-1/0", "0.5", "true", "\"\"", "\"abc\"", "\"%s%d%n%999999999d\"",
    "String.fromCharCode(0x81)", "\"a\" + String.fromCharCode(0xFC)", "String.fromCharCode(0x855C)",
    "String.fromCharCode(0)", "{}", "{length: -1}", "[]", "[1, [2], {a: u}]", "new Object()", "nothing",
    "function(a) { return a; }", "/a*/g", "this"};
const char Prelude[] = "function nothing() {}\r\nvar u = nothing();\r\n";

std::string oddArguments(Random& random) {
    std::string text;
    for (size_t n = random.below(5); n > 0; --n) text += random.pick(OddValues) + (n > 1 ? ", " : "");
    return text;
}

// The methods and properties of an object that scripts reach by the owner text.
template <class Add>
void listMembers(TJObject* object, Add add) {
    std::vector<AnsiString> methods;
    object->GetMethodList(methods);
    for (const AnsiString& name : methods) add(name.str(), false);
    for (const AnsiString& name : object->PropertyNames()) add(name.str(), true);
}

}  // namespace

bool callsWaitingBuiltin(std::string_view text) {
    return std::any_of(std::begin(WaitingBuiltins), std::end(WaitingBuiltins),
                       [&](const char* name) { return text.find(name) != std::string_view::npos; });
}

BuiltinCalls::BuiltinCalls() {
    DIZI component;
    TJEngine& engine = component.Engine();
    auto membersOf = [&](TJObject* object, const std::string& owner, bool constructed) {
        listMembers(object, [&](const std::string& name, bool property) {
            if (!callsWaitingBuiltin(name)) members_.push_back({owner, name, property, constructed});
        });
    };
    // Singletons, and the objects their properties hold (WScript.StdOut).
    std::vector<std::pair<TJObject*, std::string>> singletons = {
        {engine.GlobalObject(), "Global"}, {engine.RegExpStatics(), "RegExp"}, {engine.WScriptObject(), "WScript"}};
    TJObjectFactory* factory = engine.GetFactory();
    std::vector<TJObject*> instances;
    for (const AnsiString& name : factory->GetClassNames()) {
        TJObject* object = nullptr;
        try {
            object = CreateScriptInstance(factory->LookupClass(name), &engine, false, nullptr);
        } catch (...) {
            continue;  // a class whose constructor needs arguments is reached through new only
        }
        if (!object) continue;
        object->IncRef();
        instances.push_back(object);
        membersOf(object, name.str(), true);
        if (factory->LookupClass(name)->HasGlobalInstance() && name != "Global" && name != "RegExp")
            singletons.emplace_back(object, name.str());
    }
    for (const auto& [object, owner] : singletons) {
        membersOf(object, owner, false);
        for (const AnsiString& property : object->PropertyNames()) {
            TJValue value;
            object->GetValue(property, false, value);
            if (IsObjectValue(value)) membersOf(value.ObjValue, owner + "." + property.str(), false);
        }
    }
    for (TJObject* object : instances) object->DecRef();
}

std::string BuiltinCalls::script(size_t n, Random& random) const {
    std::string text = Prelude;
    for (size_t i = 0; i < CallsPerScript && !members_.empty(); ++i) {
        const Member& member = members_[(n * CallsPerScript + i) % members_.size()];
        std::string owner = member.constructed ? "new " + member.owner + "(" + oddArguments(random) + ")" : member.owner;
        std::string use = member.property ? " = " + random.pick(OddValues) : "(" + oddArguments(random) + ")";
        text += "try { " + owner + "." + member.name + use + "; } catch (e) {}\r\n";
    }
    return text;
}
