// The RegExp object: construction from a pattern or a literal, the match
// statics and hooks, exec, test, replace (template or script function) and
// split, and the hooks through which the evaluator boxes and tests literals.
#include "engine/lib/regexpobject.h"

#include <stdexcept>

#include "engine/core/array.h"
#include "engine/core/runtime.h"
#include "engine/core/errors.h"
#include "engine/core/hooks.h"
#include "engine/core/valuelist.h"

namespace {

// The class name every object of the class shares (a copy takes no memory).
const AnsiString regExpClassName("RegExp");

const TPropInfo regExpProperties[] = {
    BoolProperty<&TJRegExpObject::globalProperty, &TJRegExpObject::setGlobalProperty>("global"),
    BoolProperty<&TJRegExpObject::ignoreCaseProperty, &TJRegExpObject::setIgnoreCaseProperty>("ignoreCase"),
    BoolProperty<&TJRegExpObject::multilineProperty, &TJRegExpObject::setMultilineProperty>("multiline"),
    StringProperty<&TJRegExpObject::sourceProperty, &TJRegExpObject::setSourceProperty>("source"),
    StringProperty<&TJRegExpObject::inputProperty, &TJRegExpObject::setInputProperty>("input"),
    IntegerProperty<&TJRegExpObject::indexProperty>("index"),
    IntegerProperty<&TJRegExpObject::lastIndexProperty>("lastIndex"),
    StringProperty<&TJRegExpObject::lastMatchProperty>("lastMatch"),
    StringProperty<&TJRegExpObject::lastParenProperty>("lastParen"),
    StringProperty<&TJRegExpObject::leftContextProperty>("leftContext"),
    StringProperty<&TJRegExpObject::rightContextProperty>("rightContext"),
};

// The statics always hold the numbered members for 0 to 9.
constexpr int staticMembers = 10;
// The limit of a split without one.
constexpr int32_t noSplitLimit = 2147483646;

AnsiString numberedName(size_t n) { return "$" + AnsiString(std::to_string(n)); }

TJRegExpObject* asRegExp(TJObject* object) { return static_cast<TJRegExpObject*>(object); }

}  // namespace

const TClassInfo TJRegExpObject::classInfo =
    makeClassInfo("TJRegExpObject", &TJObject::classInfo, regExpProperties, &scriptCreator<TJRegExpObject>);

// The value conversions know RegExp objects by this class record from here on.
void RegisterRegExpClass(TJRuntime* runtime) {
    JModuleHooks.RegExpObject = &TJRegExpObject::classInfo;
    runtime->RegisterScriptClass("RegExp", &TJRegExpObject::classInfo);
    JEngineHooks.LoadRegExpLiteral = [](TJObject* regExp, const TJValue& literal) {
        asRegExp(regExp)->LoadLiteral(literal);
    };
}

// ==== Construction ====

TJRegExpObject::TJRegExpObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName(regExpClassName);
    ClearStatics();
    if (!HasArgs(args)) return;
    const TJValue& first = args->At(0);
    if (IsRegExpValue(&first)) {
        LoadLiteral(first);
        return;
    }
    // The wrapper compiles on first use: an unusable pattern simply never matches.
    RegExp_.SetSource(ValueToString(first));
    if (HasTwoArgs(args)) SetFlagText(ValueToString(&args->At(1)));
}

TJRegExpObject::~TJRegExpObject() { disconnect(); }

// A registered RegExp object reports its matches to the runtime's statics.
void TJRegExpObject::AfterRegistration() {
    TJObject* statics = Runtime()->RegExpStatics();
    if (statics && statics->InheritsFrom(&TJRegExpObject::classInfo)) ConnectToStatics(asRegExp(statics));
}

void TJRegExpObject::LoadLiteral(const TJValue& literal) {
    std::string_view flags = literal.regExpFlags();
    RegExp_.SetSource(literal.StrValue);
    RegExp_.SetMultiLine(flags.find('m') != std::string_view::npos);
    RegExp_.SetGlobal(flags.find('g') != std::string_view::npos);
    RegExp_.SetIgnoreCase(flags.find('i') != std::string_view::npos);
}

void TJRegExpObject::SetFlagText(const AnsiString& flags) {
    if (flags.length() > 3) return;
    RegExp_.SetIgnoreCase(flags.find('i') != std::string_view::npos);
    RegExp_.SetGlobal(flags.find('g') != std::string_view::npos);
    RegExp_.SetMultiLine(flags.find('m') != std::string_view::npos);
}

// ==== Statics and hooks ====

void TJRegExpObject::ClearStatics() {
    TJValue empty;
    MakeString(AnsiString(), empty);
    for (int n = 0; n < staticMembers; ++n) PutMember(numberedName(n), empty);
    RegExp_.ClearMatch();
}

void TJRegExpObject::RecordStatics() {
    const TJRegExpTexts& groups = RegExp_.Groups();
    TJValue text;
    for (size_t n = 0; n < groups.size(); ++n) {
        MakeString(groups[n], text);
        PutMember(numberedName(n), text);
    }
}

void TJRegExpObject::Clear() {
    TJObject::Clear();
    ClearStatics();
}

void TJRegExpObject::ConnectToStatics(TJRegExpObject* statics) {
    disconnect();
    if (!statics || statics == this) return;
    Statics_ = statics;
    AddFreeNotify(statics);
    BeforeMatch = TJRegExpEvent::bind<&TJRegExpObject::onBeforeMatch>(statics);
    AfterMatch = TJRegExpEvent::bind<&TJRegExpObject::onAfterMatch>(statics);
    InputQuery = TJRegExpInputEvent::bind<&TJRegExpObject::onInputQuery>(statics);
}

void TJRegExpObject::disconnect() {
    BeforeMatch = TJRegExpEvent();
    AfterMatch = TJRegExpEvent();
    InputQuery = TJRegExpInputEvent();
    if (TJRegExpObject* statics = Statics_) {
        Statics_ = nullptr;
        statics->RemoveFreeNotify(this);
        RemoveFreeNotify(statics);
    }
}

void TJRegExpObject::FreeNotify(TJNotify* peer) {
    TJObject::FreeNotify(peer);
    if (peer == Statics_) {
        Statics_ = nullptr;
        disconnect();
    }
}

// The hooks run on the statics object, given the object that matches.
void TJRegExpObject::onBeforeMatch(TJRegExpObject*) { ClearStatics(); }
void TJRegExpObject::onAfterMatch(TJRegExpObject* regExp) { Assign(regExp); }
void TJRegExpObject::onInputQuery(TJRegExpObject*, AnsiString& text) { text = RegExp_.Input(); }

void TJRegExpObject::Assign(const TPersistent* source) {
    if (!source || !source->InheritsFrom(&TJRegExpObject::classInfo)) {
        TJObject::Assign(source);
        return;
    }
    RegExp_.Assign(static_cast<const TJRegExpObject*>(source)->RegExp_);
    RecordStatics();
}

AnsiString TJRegExpObject::ToString(const TJValue*) {
    AnsiString text = "/" + RegExp_.Source() + "/";
    if (RegExp_.IgnoreCase()) text += 'i';
    if (RegExp_.Global()) text += 'g';
    if (RegExp_.MultiLine()) text += 'm';
    return text;
}

// ==== Operations ====

TJArrayObject* TJRegExpObject::newArray(const TJRegExpTexts& texts) {
    TJArrayObject* array = createObject<TJArrayObject>(Runtime(), true, nullptr);
    array->Items().Reserve(texts.size());
    for (const AnsiString& text : texts) array->Items().AddString(text);
    return array;
}

TJArrayObject* TJRegExpObject::ExecText(const AnsiString& text) {
    ClearStatics();
    BeforeMatch(this);
    TJRegExpTexts matches;
    if (!RegExp_.Exec(text, &matches)) return nullptr;
    TJArrayObject* array = newArray(matches);
    RecordStatics();
    AfterMatch(this);
    return array;
}

bool TJRegExpObject::TestText(const AnsiString& text) {
    ClearStatics();
    BeforeMatch(this);
    bool matched = RegExp_.Test(text);
    RecordStatics();
    AfterMatch(this);
    return matched;
}

// The result is bounded by MaxStringSize: a longer one is an "EStringError".
AnsiString TJRegExpObject::ReplaceMatches(const AnsiString& text, const TJValue* replacement) try {
    if (!replacement || replacement->ValueType == vtString) {
        return replaceByTemplate(text, replacement ? replacement->StrValue : AnsiString());
    }
    TestText(text);
    if (!IsFunctionValue(*replacement) || !Runtime()) {
        return RegExp_.Replace(text, ValueToString(replacement), nullptr, MaxStringSize);
    }
    // The function is kept for the run of the replace only (the previous one
    // comes back, which is none outside a replace called from a replacement).
    struct Keep {
        IJFunctionPtr& slot;
        IJFunctionPtr previous;
        ~Keep() { slot = std::move(previous); }
    } keep{ReplaceFunction_, ReplaceFunction_};
    ReplaceFunction_ = replacement->FuncValue;
    return RegExp_.Replace(
        text, AnsiString(), [this](TJRegExp& regExp, const AnsiString&) { return callReplaceFunction(regExp); },
        MaxStringSize);
} catch (const std::length_error&) {
    RaiseStringTooLong();
}

// A template text runs no script, and the replace visits the matches a test
// visits and leaves the same last match: one pass serves both. A result found
// too long part way lets the test run on its own, so the statics are as ever.
AnsiString TJRegExpObject::replaceByTemplate(const AnsiString& text, const AnsiString& templ) {
    ClearStatics();
    BeforeMatch(this);
    AnsiString replaced;
    try {
        replaced = RegExp_.Replace(text, templ, nullptr, MaxStringSize);
    } catch (const std::length_error&) {
        TestText(text);
        throw;
    }
    RecordStatics();
    AfterMatch(this);
    return replaced;
}

// Calls the replacement function with the match, its groups, its index and the
// whole text; its result as text replaces the match.
AnsiString TJRegExpObject::callReplaceFunction(const TJRegExp& regExp) {
    IJFunctionPtr function = ReplaceFunction_;
    std::unique_ptr<TJValueList> nested;
    TJValueList* list;
    if (CallbackArgsBusy_) {
        nested = std::make_unique<TJValueList>();
        list = nested.get();
    } else {
        if (!CallbackArgs_) CallbackArgs_ = std::make_unique<TJValueList>();
        list = CallbackArgs_.get();
    }
    struct Busy {
        bool& flag;
        bool was;
        ~Busy() { flag = was; }
    } busy{CallbackArgsBusy_, CallbackArgsBusy_};
    CallbackArgsBusy_ = true;
    list->Clear();
    for (const AnsiString& group : regExp.Groups()) list->AddString(group);
    list->AddInteger(regExp.Index());
    list->AddString(regExp.Input());
    TJValue result;
    Runtime()->CallFunctionValue(function, list, result, this);
    return ValueToString(result);
}

TJArrayObject* TJRegExpObject::SplitText(const AnsiString& text, int32_t limit) {
    TJRegExpTexts pieces;
    RegExp_.Split(text, pieces, limit < 0 ? noSplitLimit : limit);
    return newArray(pieces);
}

// ==== Methods ====

namespace {

void exec(TJRegExpObject& self, TJValueList* args, TJValue& result) {
    MakeNull(result);
    AnsiString text;
    if (HasArgs(args)) text = ValueToString(&args->At(0));
    else self.InputQuery(&self, text);
    if (TJArrayObject* array = self.ExecText(text)) MakeObject(array, result);
}

void test(TJRegExpObject& self, TJValueList* args, TJValue& result) {
    MakeBool(HasArgs(args) && self.TestText(ValueToString(&args->At(0))), result);
}

void replace(TJRegExpObject& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        MakeString(AnsiString(), result);
        return;
    }
    MakeString(self.ReplaceMatches(ValueToString(&args->At(0)), HasTwoArgs(args) ? &args->At(1) : nullptr), result);
}

void split(TJRegExpObject& self, TJValueList* args, TJValue& result) {
    if (!HasArgs(args)) {
        MakeObject(createObject<TJArrayObject>(self.Runtime(), true, nullptr), result);
        return;
    }
    int32_t limit = HasTwoArgs(args) ? ValueToInteger(&args->At(1)) : -1;
    MakeObject(self.SplitText(ValueToString(&args->At(0)), limit), result);
}

// Without arguments, exec reads the statics' input, replace gives the empty
// text and split an empty Array.
const TJMethod<TJRegExpObject> regExpMethods[] = {
    {"exec", 0, &exec},
    {"test", 0, &test},
    {"replace", 0, &replace},
    {"split", 0, &split},
};

}  // namespace

const TJMethodTable& TJRegExpObject::Methods() const {
    static const TJMethodTable table(regExpMethods, TJObject::Methods());
    return table;
}
