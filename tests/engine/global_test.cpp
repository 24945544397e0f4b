// The Global object from C++ (its behaviour as scripts see it is in
// tests/scripts/global): its wiring to an engine's streams, the hooks for
// output, the main form and the input dialogs, and a Global object without
// an engine.
#include <vector>

#include "engine/lib/appmessage.h"
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
    TJValue call(const char* name, std::initializer_list<TJValue> values = {}) {
        TJValueList args;
        for (const TJValue& v : values) args.Add(v);
        TJValue f, result;
        global->GetValue(name, false, f);
        EXPECT_EQ(f.ValueType, vtFunction) << name;
        CallNativeMethod(f.FuncValue.get(), values.size() ? &args : nullptr, result);
        return result;
    }
    TJValue property(const char* name) {
        TJValue v;
        global->GetValue(name, false, v);
        return v;
    }

    FakeRuntime engine;
    TJGlobalObject* global = nullptr;
    std::vector<AnsiString> writes;
};

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

HWND fakeMainForm() { return reinterpret_cast<HWND>(0x1234); }

}  // namespace

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

TEST_F(GlobalFixture, MainFormHandleThroughItsHook) {
    EXPECT_EQ(ValueToInteger(property("mainFormHandle")), 0);
    JGlobalHooks.MainFormHandle = fakeMainForm;
    EXPECT_EQ(ValueToInteger(property("mainFormHandle")), 0x1234);
}

// The arrays are the object's own: clearing the engine's objects leaves them.
TEST_F(GlobalFixture, ArraysSurviveTheEngineClearingItsObjects) {
    global->Arguments()->Items().AddString("a");
    engine.factory.Clear();
    EXPECT_EQ(global->Arguments()->GetLength(), 1);
    global->Clear();
    EXPECT_EQ(property("print").ValueType, vtFunction);
}

TEST_F(GlobalFixture, OutputWithoutHookIsDropped) {
    global->SetOutputHook(TJOutputHook());
    TJValue r = call("println", {textValue("lost")});
    EXPECT_EQ(ValueToString(r), "lost");
    EXPECT_TRUE(writes.empty());
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

