// What scripts cannot reach of the GUI wrappers: attaching and detaching
// objects directly, as leaf wrappers and the host do; handlers that others
// set, also when an action takes the click; the hook tables against the
// classes they hook; events that only the platform raises.
#include <gtest/gtest.h>

#include "bridge/caster.h"
#include "bridge/controls.h"
#include "bridge/forms.h"
#include "bridge/stdctrls.h"
#include "engine/core/errors.h"
#include "engine/orovod.h"
#include "tests/support/tempfiles.h"
#include "ui/image.h"
#include "ui/stdctrls.h"

namespace {

struct WrapperTest : ::testing::Test {
    // The bridge plugged in, as every program does before its first engine.
    bool installed = (InstallGUIBridge(), true);
    DIZI component;
    TJEngine& engine = component.Engine();
    TJVCLComponent* wrapper = createObject<TJVCLComponent>(&engine, true, nullptr);
};

TEST_F(WrapperTest, AnUnsuitableObjectLeavesTheWrapperEmpty) {
    TFont font;
    EXPECT_FALSE(wrapper->AttachVCL(&font, false));
    EXPECT_FALSE(wrapper->HasVCL());
    EXPECT_FALSE(wrapper->HasKey("Name"));
}

TEST_F(WrapperTest, DetachForgetsTheNamesAndFreesAnOwnedObject) {
    TJValue value;
    auto* owned = new TButton(nullptr);
    ASSERT_TRUE(wrapper->AttachVCL(owned, true));
    EXPECT_EQ(owned->ScriptWrapper(), wrapper);
    EXPECT_TRUE(wrapper->GetValueImpl("caption", value, nullptr));
    wrapper->DetachVCL();
    EXPECT_FALSE(wrapper->GetValueImpl("Caption", value, nullptr));
    EXPECT_THROW(wrapper->CheckVCL(nullptr, 0), EJThrow);
}

TEST_F(WrapperTest, AttachingAnotherObjectLetsTheFirstGo) {
    TButton* first = new TButton(nullptr);
    TButton* second = new TButton(nullptr);
    first->SetTag(5);
    ASSERT_TRUE(wrapper->AttachVCL(first, false));
    ASSERT_TRUE(wrapper->AttachVCL(second, false));
    EXPECT_EQ(first->ScriptWrapper(), nullptr);
    EXPECT_EQ(first->Tag(), 5);
    EXPECT_EQ(Cast(second, &engine), wrapper);
    first->Free();
    second->Free();
    EXPECT_FALSE(wrapper->HasVCL());
}

struct Clicks {
    int count = 0;
    void click(TObject*) { ++count; }
};

TEST_F(WrapperTest, AnotherPartysHandlerSurvivesAttachAndDetach) {
    TForm* form = new TForm(nullptr);
    Clicks clicks;
    form->OnClick = TNotifyEvent::bind<&Clicks::click>(&clicks);
    const TMethod theirs = form->OnClick;
    auto* formWrapper = createObject<TJVCLBaseForm>(&engine, true, nullptr);
    ASSERT_TRUE(formWrapper->AttachVCL(form, false));
    EXPECT_EQ(TMethod(form->OnClick), theirs);
    EXPECT_TRUE(IsBridgeCode(form->OnDblClick));
    formWrapper->DetachVCL();
    EXPECT_EQ(TMethod(form->OnClick), theirs);
    EXPECT_TRUE(form->OnDblClick.isNil());
    form->Click();
    EXPECT_EQ(clicks.count, 1);
    form->Free();
}

// An action and a button that takes one, as the action wrappers will bring
// them; the action rule knows actions by their class name.
class TTestAction : public TComponent {
    RTL_DECLARE_CLASS()
    using TComponent::TComponent;
};
const TClassInfo TTestAction::classInfo = makeClassInfo("TBasicAction", &TComponent::classInfo);

class TActionButton : public TButton {
    RTL_DECLARE_CLASS()
    using TButton::TButton;
    TTestAction* Action() const { return Action_; }
    void SetAction(TTestAction* action) { Action_ = action; }

private:
    TTestAction* Action_ = nullptr;
};
const TPropInfo actionButtonProperties[] = {
    ClassProperty<&TActionButton::Action, &TActionButton::SetAction>("Action", &TTestAction::classInfo)};
const TClassInfo TActionButton::classInfo =
    makeClassInfo("TActionButton", &TButton::classInfo, actionButtonProperties);

TEST_F(WrapperTest, AnActionTakesOverOnlyTheBridgesOwnClick) {
    auto* action = new TTestAction(nullptr);
    ASSERT_TRUE(wrapper->AttachVCL(action, true));
    TJValue actionValue, null;
    MakeObject(wrapper, actionValue);
    MakeNull(null);
    Clicks clicks;
    const TMethod theirs = TNotifyEvent::bind<&Clicks::click>(&clicks);
    for (bool setFromCpp : {true, false}) {
        auto* button = new TActionButton(nullptr);
        if (setFromCpp) button->OnClick = theirs;
        auto* buttonWrapper = createObject<TJVCLBaseButton>(&engine, true, nullptr);
        ASSERT_TRUE(buttonWrapper->AttachVCL(button, true));
        buttonWrapper->SetActionWrapper(actionValue);
        EXPECT_EQ(button->Action(), action);
        if (setFromCpp) EXPECT_EQ(TMethod(button->OnClick), theirs);
        else EXPECT_TRUE(button->OnClick.isNil());
        buttonWrapper->SetActionWrapper(null);
        EXPECT_EQ(button->Action(), nullptr);
        if (setFromCpp) EXPECT_EQ(TMethod(button->OnClick), theirs);
        else EXPECT_TRUE(IsBridgeCode(button->OnClick));
        buttonWrapper->DetachVCL();
    }
}

// A picture's progress comes only from loading it: the percentage is a
// number (a byte, which no set is taken for) and the rectangle a Rect.
TEST_F(WrapperTest, AnImagesProgressReachesItsHandler) {
    ASSERT_TRUE(component.Compile("var seen = '', image = new VCLImage();"
                                  "image.onProgress = function (s, stage, percent, redraw, r, message) {"
                                  "  seen += [s === image, stage, percent, redraw, r.right, r.bottom, message] + ';';"
                                  "};"));
    component.RunNoArgs();
    TJValue image, seen;
    ASSERT_TRUE(engine.FindGlobalValue("image", image));
    auto* control = static_cast<TImage*>(WrapperOfValue(image)->VCL());
    control->Picture()->LoadFromFile(testPath("../ui/pictures/rgba.png"));
    ASSERT_TRUE(engine.FindGlobalValue("seen", seen));
    EXPECT_EQ(ValueToString(seen), "true,psStarting,0,false,0,0,;true,psEnding,100,true,2,2,;");
}

TEST_F(WrapperTest, EveryHookedEventIsPublishedWithItsSignature) {
    for (const TClassInfo* cls : WrapperClasses()) {
        if (!cls->InheritsFrom(&TJVCLComponent::classInfo)) continue;
        auto* wrapper = static_cast<TJVCLComponent*>(CreateScriptInstance(cls, &engine, true, nullptr));
        for (TJHookPart part : wrapper->Hooks())
            for (const TJHook& row : part)
                EXPECT_TRUE(IsHookable(wrapper->VCLClass(), row)) << cls->ClassName << " " << row.Property;
    }
    const struct {
        TJHook row;
        bool hookable;
    } cases[] = {
        {On<"OnClick", TNotifyEvent>(), true},
        {On<"OnClick", TMouseEvent>(), false},      // another signature
        {On<"OnNothing", TNotifyEvent>(), false},   // not published
        {On<"OnMouseDown", TMouseEvent>(), true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsHookable(&TForm::classInfo, c.row), c.hookable) << c.row.Property;
}

}  // namespace
