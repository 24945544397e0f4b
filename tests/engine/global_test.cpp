// The Global object called from C++: output and input through its hooks,
// number tests and conversions, formatting and its errors, evaluation and the
// event-loop state, the published properties, the dialogs through their hooks
// and the message boxes, whose buttons a timer presses from the test side.
#include <cmath>
#include <vector>

#include "engine/support/appmessage.h"
#include "engine/core/array.h"
#include "engine/core/hooks.h"
#include "engine/eval/engine.h"
#include "engine/lib/builtins.h"
#include "engine/lib/global.h"
#include "rtl/numtext.h"
#include "valuetest.h"

namespace {

// A Global object of a stand-in engine with its output and input captured.
class GlobalFixture : public ::testing::Test {
protected:
    void SetUp() override {
        global = createObject<TJGlobalObject>(&engine, false, nullptr);
        global->IncRef();
        global->SetOutputHook(TJOutputHook::bind<&GlobalFixture::write>(this));
    }
    void TearDown() override {
        global->DecRef();
        JGlobalHooks = TJGlobalHooks();
    }

    void write(TObject* sender, const AnsiString& text) {
        EXPECT_EQ(sender, global);
        writes.push_back(text);
    }
    void read(TObject*, AnsiString& text, bool line, int32_t count, bool& success) {
        readLine = line;
        readCount = count;
        text = input;
        success = inputOk;
    }
    void attachInput() { global->SetInputHook(TJInputHook::bind<&GlobalFixture::read>(this)); }

    TJValue call(const char* name, std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        return callWith(name, values.size() ? &args : nullptr);
    }
    TJValue callWith(const char* name, TJValueList* args) {
        TJValue f, result;
        global->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        CallNativeMethod(f.FuncValue.get(), args, result);
        return result;
    }
    TJValue property(const char* name) {
        TJValue v;
        global->GetValue(name, false, v);
        return v;
    }
    AnsiString output() const {
        AnsiString all;
        for (const AnsiString& text : writes) all += text;
        return all;
    }

    FakeRuntime engine;
    TJGlobalObject* global = nullptr;
    std::vector<AnsiString> writes;
    AnsiString input;
    bool inputOk = true;
    bool readLine = false;
    int32_t readCount = 0;
};

// ---- Pressing message-box buttons from the test side ----

// What the box showed, and the button to press in it.
struct BoxPress {
    explicit BoxPress(int pressed = IDOK) : button(pressed) {}
    int button;
    AnsiString caption;
    AnsiString text;
    bool seen = false;
};
BoxPress* pendingPress = nullptr;

BOOL CALLBACK findBox(HWND window, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (AnsiString(cls) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

AnsiString windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Polled by a thread timer, which the message box's own loop dispatches.
void CALLBACK pressButton(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    if (!box || !pendingPress) return;
    KillTimer(nullptr, timer);
    pendingPress->seen = true;
    pendingPress->caption = windowText(box);
    pendingPress->text = windowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(pendingPress->button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, pendingPress->button)));
}

// Arms the timer that presses the button of the next message box.
void pressNextBox(BoxPress& press) {
    pendingPress = &press;
    SetTimer(nullptr, 0, 20, pressButton);
}

std::vector<AnsiString> promptCall;
bool promptOk = false;

bool fakePrompt(const AnsiString& text, const AnsiString& defaultText, uint8_t passwordChar, const AnsiString& caption,
                int clientWidth, AnsiString& result) {
    promptCall = {text, defaultText, intToText(passwordChar), caption, intToText(clientWidth)};
    result = "typed";
    return promptOk;
}

bool fakeTextArea(const AnsiString& text, const AnsiString& defaultText, const AnsiString& caption, int clientWidth,
                  int clientHeight, AnsiString& result) {
    promptCall = {text, defaultText, caption, intToText(clientWidth), intToText(clientHeight)};
    result = "line1\r\nline2";
    return promptOk;
}

bool isNaN(const TJValue& v) { return IsNaNValue(&v); }

HWND fakeMainForm() { return reinterpret_cast<HWND>(0x1234); }

}  // namespace

// ==== Surface ====

TEST_F(GlobalFixture, IsTheClassGlobal) { EXPECT_EQ(global->ScriptClassName(), "Global"); }

TEST(Global, EveryEngineHasOneWiredToItsStreams) {
    TJEngine engine(&RegisterBuiltins);
    ASSERT_EQ(engine.GetFactory()->LookupClass("Global"), &TJGlobalObject::classInfo);
    TJObject* global = engine.GlobalObject();
    ASSERT_TRUE(global->InheritsFrom(&TJGlobalObject::classInfo));
    EXPECT_EQ(global->ScriptClassName(), "Global");
    EXPECT_TRUE(global->HasGlobalInstance());

    struct Streams {
        AnsiString out;
        void write(const AnsiString& text) { out += text; }
        void read(AnsiString& text, bool& success, int32_t count, bool line) {
            text = line ? "a line" : intToText(count);
            success = true;
        }
    } streams;
    auto* object = static_cast<TJGlobalObject*>(global);
    object->Print("dropped");  // no host hook yet
    engine.StdoutHook = TJTextHook::bind<&Streams::write>(&streams);
    engine.StdinHook = TJReadHook::bind<&Streams::read>(&streams);
    object->PrintLine("shown");
    EXPECT_EQ(streams.out, "shown\r\n");
    EXPECT_EQ(object->Read(-1, true), "a line");
    EXPECT_EQ(object->Read(5, false), "5");
}

TEST_F(GlobalFixture, EngineIdentity) {
    EXPECT_EQ(ValueToString(call("scriptEngine")), "DAZiduva");
    TJValue build = call("scriptEngineBuildVersion");
    EXPECT_EQ(build.ValueType, vtInteger);
    EXPECT_EQ(build.IntegerValue, 42);
    TJValue major = call("scriptEngineMajorVersion");
    EXPECT_EQ(major.ValueType, vtInteger);
    EXPECT_EQ(major.IntegerValue, 0);
    TJValue minor = call("scriptEngineMinorVersion");
    EXPECT_EQ(minor.ValueType, vtDouble);
    EXPECT_EQ(minor.DoubleValue, 3.9);
    EXPECT_EQ(ValueToString(call("scriptEngineVersion")), "0.3.9");
    // The test program is a console program.
    TJValue console = call("isConsole");
    EXPECT_EQ(console.ValueType, vtBool);
    EXPECT_TRUE(console.BooleanValue);
}

// ==== Published properties ====

TEST_F(GlobalFixture, PublishedState) {
    TJValue args = property("arguments");
    ASSERT_TRUE(IsObjectValue(args));
    EXPECT_EQ(args.ObjValue, global->Arguments());
    EXPECT_EQ(args.ObjValue->ScriptClassName(), "Array");
    TJValue finalizer = property("finalizer");
    ASSERT_TRUE(IsObjectValue(finalizer));
    EXPECT_EQ(finalizer.ObjValue, global->Finalizer());
    EXPECT_NE(finalizer.ObjValue, args.ObjValue);
    EXPECT_EQ(ValueToString(property("platform")), "nt");
    EXPECT_EQ(ValueToInteger(property("mainFormHandle")), 0);
    JGlobalHooks.MainFormHandle = fakeMainForm;
    EXPECT_EQ(ValueToInteger(property("mainFormHandle")), 0x1234);
    EXPECT_EQ(property("applicationHandle").ValueType, vtInteger);
    // Read-only: a script write makes a member, the property stays.
    TJValue one = intValue(1);
    global->SetValue("platform", one);
    EXPECT_EQ(ValueToString(property("platform")), "nt");
}

TEST_F(GlobalFixture, EventLoopAndTerminateSwitchTerminated) {
    EXPECT_TRUE(global->Terminated());
    TJValue r = call("eventLoop");
    EXPECT_TRUE(IsUndefinedValue(r));
    EXPECT_FALSE(global->Terminated());
    TJValue terminated = property("terminated");
    EXPECT_EQ(terminated.ValueType, vtBool);
    EXPECT_FALSE(terminated.BooleanValue);
    call("terminate");
    EXPECT_TRUE(global->Terminated());
    EXPECT_TRUE(ValueToBool(property("terminated")));
}

// The arrays are the object's own: clearing the engine's objects leaves them.
TEST_F(GlobalFixture, ArraysSurviveTheEngineClearingItsObjects) {
    global->Arguments()->Items().AddString("a");
    engine.factory.Clear();
    EXPECT_EQ(global->Arguments()->GetLength(), 1);
    global->Clear();
    EXPECT_EQ(property("print").ValueType, vtFunction);
}

// ==== Output ====

TEST_F(GlobalFixture, PrintWritesTextsWithoutSeparators) {
    TJValue r = call("print", {intValue(1), intValue(2)});
    EXPECT_EQ(output(), "12");
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, 2);
    writes.clear();
    r = call("write", {textValue("a"), nullValue(), boolValue(true), doubleValue(0.5)});
    EXPECT_EQ(output(), "anulltrue0.5");
    EXPECT_EQ(r.ValueType, vtDouble);
    writes.clear();
    r = call("print");
    EXPECT_TRUE(writes.empty());
    EXPECT_TRUE(IsUndefinedValue(r));
}

TEST_F(GlobalFixture, PrintlnEndsWithALineBreak) {
    TJValue r = call("println");
    EXPECT_TRUE(writes.empty());
    EXPECT_TRUE(IsUndefinedValue(r));
    r = call("println", {textValue("x"), intValue(3)});
    EXPECT_EQ(output(), "x3\r\n");
    EXPECT_EQ(ValueToInteger(r), 3);
    writes.clear();
    call("writeln", {textValue("")});
    EXPECT_EQ(output(), "\r\n");
    writes.clear();
    global->PrintLine("status");
    EXPECT_EQ(output(), "status\r\n");
}

TEST_F(GlobalFixture, OutputWithoutHookIsDropped) {
    global->SetOutputHook(TJOutputHook());
    TJValue r = call("println", {textValue("lost")});
    EXPECT_EQ(ValueToString(r), "lost");
    EXPECT_TRUE(writes.empty());
}

// ==== Input ====

TEST_F(GlobalFixture, ReadingWithoutInputFails) {
    EXPECT_SCRIPT_ERROR(call("read"), "EFileError", "read error: STDIN");
    EXPECT_SCRIPT_ERROR(call("readln"), "EFileError", "read error: STDIN");
    attachInput();
    inputOk = false;
    EXPECT_SCRIPT_ERROR(call("readln"), "EFileError", "read error: STDIN");
}

TEST_F(GlobalFixture, ReadAsksForCountAndKeepsThatManyCharacters) {
    attachInput();
    input = "hello";
    EXPECT_EQ(ValueToString(call("read", {intValue(3)})), "hel");
    EXPECT_EQ(readCount, 3);
    EXPECT_FALSE(readLine);
    EXPECT_EQ(ValueToString(call("read")), "hello");
    EXPECT_EQ(readCount, -1);
    EXPECT_EQ(ValueToString(call("read", {intValue(0)})), "");
    // A double-byte character counts as one.
    input = "\x82\xa0\x82\xa2\x82\xa4";
    EXPECT_EQ(ValueToString(call("read", {intValue(2)})), "\x82\xa0\x82\xa2");
    input = "line";
    EXPECT_EQ(ValueToString(call("readln")), "line");
    EXPECT_TRUE(readLine);
    EXPECT_EQ(readCount, -1);
}

// ==== Numbers ====

TEST_F(GlobalFixture, ParseInt) {
    EXPECT_TRUE(isNaN(call("parseInt", {textValue("12abc")})));
    TJValue r = call("parseInt", {doubleValue(2.5)});
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, 2);
    EXPECT_EQ(call("parseInt", {doubleValue(3.5)}).IntegerValue, 4);
    r = call("parseInt", {textValue("3.7")});
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, 0);
    EXPECT_EQ(call("parseInt", {textValue(" 42 ")}).IntegerValue, 42);
    EXPECT_EQ(call("parseInt", {textValue("0x1F")}).IntegerValue, 31);
    EXPECT_EQ(call("parseInt", {boolValue(true)}).IntegerValue, 1);
    EXPECT_TRUE(isNaN(call("parseInt", {nullValue()})));
    EXPECT_TRUE(isNaN(call("parseInt", {infinityValue(false)})));
    EXPECT_TRUE(IsUndefinedValue(call("parseInt")));
}

TEST_F(GlobalFixture, ParseFloat) {
    TJValue r = call("parseFloat", {textValue("1.25")});
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, 1.25);
    r = call("parseFloat", {intValue(7)});
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, 7.0);
    EXPECT_EQ(call("parseFloat", {textValue("1e3")}).DoubleValue, 1000.0);
    EXPECT_TRUE(isNaN(call("parseFloat", {textValue("1.5kg")})));
    EXPECT_TRUE(isNaN(call("parseFloat", {undefinedValue()})));
    EXPECT_TRUE(isNaN(call("parseFloat", {nanValue()})));
    EXPECT_TRUE(IsUndefinedValue(call("parseFloat")));
}

TEST_F(GlobalFixture, IsNaNAndIsFinite) {
    TJValue r = call("isNaN", {textValue("abc")});
    EXPECT_EQ(r.ValueType, vtBool);
    EXPECT_FALSE(r.BooleanValue);
    EXPECT_TRUE(call("isNaN", {nanValue()}).BooleanValue);
    EXPECT_FALSE(call("isNaN", {doubleValue(1.5)}).BooleanValue);
    EXPECT_TRUE(IsUndefinedValue(call("isNaN")));

    EXPECT_TRUE(call("isFinite", {textValue("10")}).BooleanValue);
    EXPECT_TRUE(call("isFinite", {doubleValue(1e300)}).BooleanValue);
    EXPECT_FALSE(call("isFinite", {textValue("ten")}).BooleanValue);
    EXPECT_FALSE(call("isFinite", {infinityValue(true)}).BooleanValue);
    EXPECT_FALSE(call("isFinite", {nanValue()}).BooleanValue);
    r = call("isFinite");
    EXPECT_EQ(r.ValueType, vtBool);
    EXPECT_FALSE(r.BooleanValue);
}

TEST_F(GlobalFixture, KindTestsAndClassNames) {
    EXPECT_TRUE(call("isNull", {nullValue()}).BooleanValue);
    EXPECT_FALSE(call("isNull", {undefinedValue()}).BooleanValue);
    EXPECT_FALSE(call("isNull").BooleanValue);
    EXPECT_EQ(call("isNull").ValueType, vtBool);
    EXPECT_TRUE(call("isUndefined", {undefinedValue()}).BooleanValue);
    EXPECT_FALSE(call("isUndefined", {nullValue()}).BooleanValue);
    EXPECT_FALSE(call("isUndefined").BooleanValue);
    EXPECT_EQ(call("isUndefined").ValueType, vtBool);

    EXPECT_EQ(ValueToString(call("nameOf", {objectValue(global->Arguments())})), "Array");
    EXPECT_EQ(ValueToString(call("nameOf", {objectValue(global)})), "Global");
    EXPECT_TRUE(IsNullValue(call("nameOf", {textValue("Array")})));
    EXPECT_TRUE(IsNullValue(call("nameOf")));
}

// ==== Texts ====

TEST_F(GlobalFixture, PercentCoding) {
    EXPECT_EQ(ValueToString(call("escape", {textValue("a b&c")})), "a+b%26c");
    EXPECT_EQ(ValueToString(call("encodeURIComponent", {textValue("a b&c")})), "a%20b%26c");
    EXPECT_EQ(ValueToString(call("encodeURI", {textValue("a b/c?d")})), "a%20b/c?d");
    EXPECT_EQ(ValueToString(call("escape", {textValue("\x82\xa0")})), "%82%a0");
    EXPECT_EQ(ValueToString(call("unescape", {textValue("a+b%21")})), "a b!");
    EXPECT_EQ(ValueToString(call("unescape", {textValue("a+b")})), "a+b");
    EXPECT_EQ(ValueToString(call("decodeURI", {textValue("a+b%21")})), "a+b!");
    EXPECT_EQ(ValueToString(call("decodeURIComponent", {textValue("%82%a0")})), "\x82\xa0");
    for (const char* name : {"escape", "unescape", "decodeURI", "decodeURIComponent", "encodeURI", "encodeURIComponent"})
        EXPECT_TRUE(IsUndefinedValue(call(name))) << name;
}

TEST_F(GlobalFixture, FormatTakesIntegersFloatsAndTexts) {
    EXPECT_EQ(ValueToString(call("format", {textValue("%s-%d-%f"), textValue("a"), intValue(5), doubleValue(1.5)})),
              "a-5-1.50");
    EXPECT_EQ(ValueToString(call("sprintf", {textValue("[%5s|%-3d]"), boolValue(true), intValue(7)})), "[ true|7  ]");
    // Anything but an integer or a double is its text.
    EXPECT_EQ(ValueToString(call("format", {textValue("%s %s"), nullValue(), nanValue()})), "null NaN");
    EXPECT_EQ(ValueToString(call("format", {textValue("100%%")})), "100%");
    EXPECT_TRUE(IsUndefinedValue(call("format")));
    EXPECT_TRUE(IsUndefinedValue(call("sprintf")));
}

TEST_F(GlobalFixture, FormatMismatchesRaiseConvertErrors) {
    EXPECT_SCRIPT_ERROR(call("format", {textValue("%d"), doubleValue(3.5)}), "EConvertError",
                        "Format '%d' invalid or incompatible with argument");
    EXPECT_SCRIPT_ERROR(call("format", {textValue("%s"), intValue(1)}), "EConvertError",
                        "Format '%s' invalid or incompatible with argument");
    EXPECT_SCRIPT_ERROR(call("sprintf", {textValue("%d %d"), intValue(1)}), "EConvertError",
                        "No argument for format '%d %d'");
    EXPECT_SCRIPT_ERROR(call("printf", {textValue("%f"), textValue("x")}), "EConvertError",
                        "Format '%f' invalid or incompatible with argument");
    EXPECT_TRUE(writes.empty());
}

TEST_F(GlobalFixture, PrintfWritesTheFormattedText) {
    TJValue r = call("printf", {textValue("%d+%d"), intValue(1), intValue(2)});
    EXPECT_EQ(output(), "1+2");
    EXPECT_EQ(ValueToString(r), "1+2");
    writes.clear();
    r = call("printfln", {textValue("%.3d"), intValue(7)});
    EXPECT_EQ(output(), "007\r\n");
    EXPECT_EQ(ValueToString(r), "007");
    writes.clear();
    EXPECT_TRUE(IsUndefinedValue(call("printf")));
    EXPECT_TRUE(IsUndefinedValue(call("printfln")));
    EXPECT_TRUE(writes.empty());
}

TEST_F(GlobalFixture, FormatFloat) {
    EXPECT_EQ(ValueToString(call("formatFloat", {textValue("0.00"), doubleValue(3.14159)})), "3.14");
    EXPECT_EQ(ValueToString(call("formatFloat", {textValue("#,##0"), intValue(1234567)})), "1,234,567");
    EXPECT_EQ(ValueToString(call("formatFloat", {textValue("0.0"), textValue("2.25")})), "2.3");
    EXPECT_TRUE(IsUndefinedValue(call("formatFloat", {textValue("0.00")})));
    try {
        call("formatFloat", {textValue("0.0'abc"), intValue(1)});
        ADD_FAILURE() << "no error for an unterminated quote";
    } catch (const EJThrow& e) {
        EXPECT_EQ(e.ErrorName, "EConvertError");
        EXPECT_FALSE(e.message().empty());
    }
}

// ==== Engine ====

TEST(Global, EvalReadsTheTextAsOneExpression) {
    TJEngine engine(&RegisterBuiltins);
    auto* global = static_cast<TJGlobalObject*>(engine.GlobalObject());
    TJValueList args;
    args.AddString("(1 + 2) * 4");
    TJValue f, r;
    global->GetValue("eval", false, f);
    CallNativeMethod(f.FuncValue.get(), &args, r);
    EXPECT_EQ(r.ValueType, vtDouble);
    EXPECT_EQ(r.DoubleValue, 12.0);
    CallNativeMethod(f.FuncValue.get(), nullptr, r);
    EXPECT_TRUE(IsUndefinedValue(r));
}

TEST(Global, WithoutEngineEvalAndDoEventsDoNothing) {
    TJGlobalObject* global = createObject<TJGlobalObject>(nullptr, false, nullptr);
    global->IncRef();
    TJValueList args;
    args.AddString("1");
    TJValue f, r;
    global->GetValue("eval", false, f);
    CallNativeMethod(f.FuncValue.get(), &args, r);
    EXPECT_TRUE(IsUndefinedValue(r));
    global->GetValue("doEvents", false, f);
    CallNativeMethod(f.FuncValue.get(), nullptr, r);
    EXPECT_EQ(r.ValueType, vtBool);
    EXPECT_FALSE(r.BooleanValue);
    global->DecRef();
}

// Outside a run the engine's event loop has nothing to do.
TEST_F(GlobalFixture, DoEventsOutsideARunIsFalse) {
    TJValue r = call("doEvents");
    EXPECT_EQ(r.ValueType, vtBool);
    EXPECT_FALSE(r.BooleanValue);
}

TEST_F(GlobalFixture, ExitRaisesItsCode) {
    auto exitCode = [&](std::initializer_list<TJValue> values) {
        try {
            call("exit", values);
        } catch (const EJExit& e) {
            return e.ExitCode;
        }
        ADD_FAILURE() << "exit did not raise";
        return -999;
    };
    EXPECT_EQ(exitCode({intValue(3)}), 3);
    EXPECT_EQ(exitCode({}), 0);
    EXPECT_EQ(exitCode({textValue("7")}), 7);
    EXPECT_EQ(exitCode({doubleValue(-1.5)}), -2);
}

TEST_F(GlobalFixture, SleepGivesTheGlobalObject) {
    TJValue r = call("sleep", {intValue(1)});
    EXPECT_EQ(r.ObjValue, global);
    // Only yields: no argument, or a negative time.
    EXPECT_EQ(call("sleep").ObjValue, global);
    EXPECT_EQ(call("sleep", {intValue(-5)}).ObjValue, global);
}

// ==== Dialogs ====

TEST_F(GlobalFixture, PromptThroughTheDialogHook) {
    EXPECT_TRUE(IsNullValue(call("prompt", {textValue("Name?")})));  // no dialog module: as cancelled
    JGlobalHooks.PromptDialog = fakePrompt;
    promptCall.clear();
    EXPECT_TRUE(IsUndefinedValue(call("prompt")));
    EXPECT_TRUE(promptCall.empty());

    promptOk = true;
    TJValue r = call("prompt", {textValue("Name?")});
    EXPECT_EQ(ValueToString(r), "typed");
    EXPECT_EQ(promptCall, (std::vector<AnsiString>{"Name?", "", "0", GetAppTitle(), "0"}));

    promptOk = false;
    r = call("prompt", {textValue("Pass?"), textValue("def"), textValue("*x"), textValue("Cap"), intValue(50)});
    EXPECT_TRUE(IsNullValue(r));
    EXPECT_EQ(promptCall, (std::vector<AnsiString>{"Pass?", "def", "42", "Cap", "200"}));

    call("prompt", {textValue("t"), textValue(""), intValue(0), textValue(""), intValue(640)});
    EXPECT_EQ(promptCall[3], GetAppTitle());
    EXPECT_EQ(promptCall[4], "640");
    call("prompt", {textValue("t"), textValue(""), intValue(0), textValue(""), intValue(-3)});
    EXPECT_EQ(promptCall[4], "0");
}

TEST_F(GlobalFixture, TextAreaThroughTheDialogHook) {
    EXPECT_TRUE(IsNullValue(call("textArea", {textValue("Notes")})));
    JGlobalHooks.TextAreaDialog = fakeTextArea;
    EXPECT_TRUE(IsUndefinedValue(call("textArea")));
    promptOk = true;
    TJValue r = call("textArea", {textValue("Notes"), textValue("first"), textValue("Cap"), intValue(-1), intValue(100)});
    EXPECT_EQ(ValueToString(r), "line1\r\nline2");
    EXPECT_EQ(promptCall, (std::vector<AnsiString>{"Notes", "first", "Cap", "0", "200"}));
    promptOk = false;
    EXPECT_TRUE(IsNullValue(call("textArea", {textValue("Notes")})));
    EXPECT_EQ(promptCall[2], GetAppTitle());
}

// ==== Message boxes ====

TEST_F(GlobalFixture, ConfirmAnsweredWithOkOrCancel) {
    BoxPress ok;
    pressNextBox(ok);
    TJValue r = call("confirm", {textValue("Go on?"), textValue("Question")});
    ASSERT_TRUE(ok.seen);
    EXPECT_EQ(r.ValueType, vtBool);
    EXPECT_TRUE(r.BooleanValue);
    EXPECT_EQ(ok.caption, "Question");
    EXPECT_EQ(ok.text, "Go on?");

    BoxPress cancel{IDCANCEL};
    pressNextBox(cancel);
    r = call("confirm", {textValue("Really?")});
    ASSERT_TRUE(cancel.seen);
    EXPECT_FALSE(r.BooleanValue);
    EXPECT_EQ(cancel.caption, GetAppTitle());

    EXPECT_TRUE(IsUndefinedValue(call("confirm")));
}

TEST_F(GlobalFixture, AlertAndMsgBox) {
    BoxPress ok;
    pressNextBox(ok);
    TJValue r = call("alert", {textValue("Look")});
    ASSERT_TRUE(ok.seen);
    EXPECT_EQ(r.ObjValue, global);
    EXPECT_EQ(ok.text, "Look");
    EXPECT_EQ(ok.caption, GetAppTitle());

    BoxPress no{IDNO};
    pressNextBox(no);
    r = call("msgBox", {textValue("Save?"), intValue(MB_YESNO), textValue("Editor")});
    ASSERT_TRUE(no.seen);
    EXPECT_EQ(r.ValueType, vtInteger);
    EXPECT_EQ(r.IntegerValue, IDNO);
    EXPECT_EQ(no.caption, "Editor");

    BoxPress plain;
    pressNextBox(plain);
    r = call("msgBox", {textValue("Done")});
    ASSERT_TRUE(plain.seen);
    EXPECT_EQ(r.IntegerValue, IDOK);
}
