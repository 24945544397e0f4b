// TJRegExpObject: the script class "RegExp" - one regular expression (the
// TJRegExp wrapper) with its flags, the state of its last match, the numbered
// members "$0", "$1", ... and the methods exec, test, replace and split. Each
// engine keeps one unregistered instance as its statics, which every other
// RegExp object of the engine updates through its match hooks. The String
// object and the evaluator's boxing and switch statement use this class.
#pragma once

#include <memory>

#include "engine/core/object.h"
#include "engine/support/regexp.h"

class TJArrayObject;
class TJRuntime;
class TJRegExpObject;

// Called with the RegExp object that matches.
using TJRegExpEvent = TEvent<void(TJRegExpObject* regExp)>;
// Supplies the text that exec matches when it is given none.
using TJRegExpInputEvent = TEvent<void(TJRegExpObject* regExp, AnsiString& text)>;

// Registers the class "RegExp" with the engine (one of its built-in classes)
// and the engine hooks that wire new RegExp objects to the engine's statics
// and load the `switch` statement's literal cases.
void RegisterRegExpClass(TJRuntime* runtime);

class TJRegExpObject : public TJObject {
    RTL_DECLARE_CLASS()
    // No arguments: empty source, no flags. A regular-expression literal:
    // its pattern and flags. Otherwise the first argument's text is the source
    // and the second argument's text the flag letters.
    TJRegExpObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJRegExpObject() override;

    TJRegExp& RegExp() { return RegExp_; }

    // ---- Match hooks (set by the engine; empty otherwise) ----
    TJRegExpEvent BeforeMatch;
    TJRegExpEvent AfterMatch;
    TJRegExpInputEvent InputQuery;
    // Points the three hooks at the statics object: before a match its statics
    // are cleared, after it the match is copied into it, and its input is the
    // text of an exec without argument. The hooks are dropped when the statics
    // object is freed.
    void ConnectToStatics(TJRegExpObject* statics);

    // ---- Operations (the script methods without their argument lists) ----
    // The pattern and flags of a regular-expression literal value.
    void LoadLiteral(const TJValue& literal);
    // A flag text of at most 3 letters sets ignoreCase, global and multiline
    // by whether it holds "i", "g" and "m"; a longer one changes nothing.
    void SetFlagText(const AnsiString& flags);
    // A new Array of the match texts (every match when global), nil when none.
    TJArrayObject* ExecText(const AnsiString& text);
    bool TestText(const AnsiString& text);
    // The text with its matches replaced: a script function is called per
    // match, any other replacement is a template text (nil: the empty text).
    AnsiString ReplaceMatches(const AnsiString& text, const TJValue* replacement);
    // A new Array of at most limit pieces (negative: 2147483646).
    TJArrayObject* SplitText(const AnsiString& text, int32_t limit);

    // The numbered members "$0" to "$9" emptied and the match state cleared.
    void ClearStatics();
    // The members "$0", "$1", ... set from the last match and its groups.
    void RecordStatics();

    // ---- Object model ----
    void Clear() override;
    // "/" + source + "/" and the flag letters i, g, m that are set.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    // From another RegExp object: its source, flags and match state, then the
    // statics are recorded.
    void Assign(const TPersistent* source) override;
    void FreeNotify(TJNotify* peer) override;
    const TJMethodTable& Methods() const override;

    // ---- Published properties ----
    bool globalProperty() const { return RegExp_.Global(); }
    void setGlobalProperty(bool on) { RegExp_.SetGlobal(on); }
    bool ignoreCaseProperty() const { return RegExp_.IgnoreCase(); }
    void setIgnoreCaseProperty(bool on) { RegExp_.SetIgnoreCase(on); }
    bool multilineProperty() const { return RegExp_.MultiLine(); }
    void setMultilineProperty(bool on) { RegExp_.SetMultiLine(on); }
    AnsiString sourceProperty() const { return RegExp_.Source(); }
    void setSourceProperty(AnsiString source) { RegExp_.SetSource(source); }
    AnsiString inputProperty() const { return RegExp_.Input(); }
    void setInputProperty(AnsiString text) { RegExp_.SetInput(text); }
    int32_t indexProperty() const { return RegExp_.Index(); }
    int32_t lastIndexProperty() const { return RegExp_.LastIndex(); }
    AnsiString lastMatchProperty() const { return RegExp_.LastMatch(); }
    AnsiString lastParenProperty() const { return RegExp_.LastParen(); }
    AnsiString leftContextProperty() const { return RegExp_.LeftContext(); }
    AnsiString rightContextProperty() const { return RegExp_.RightContext(); }

protected:
    // Links the object to its runtime's statics.
    void AfterRegistration() override;

private:

    void disconnect();
    void onBeforeMatch(TJRegExpObject* regExp);
    void onAfterMatch(TJRegExpObject* regExp);
    void onInputQuery(TJRegExpObject* regExp, AnsiString& text);
    AnsiString replaceByTemplate(const AnsiString& text, const AnsiString& templ);
    AnsiString callReplaceFunction(const TJRegExp& regExp);
    TJArrayObject* newArray(const TJRegExpTexts& texts);

    TJRegExp RegExp_;
    IJFunctionPtr ReplaceFunction_;                // the script function during a replace
    std::unique_ptr<TJValueList> CallbackArgs_;    // its arguments, made on first use
    bool CallbackArgsBusy_ = false;                // a replace inside a replace makes its own list
    TJRegExpObject* Statics_ = nullptr;            // the object the hooks point at
};
