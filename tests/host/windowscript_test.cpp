// A widget window made by a host script, seen from inside: the window's own
// menu entries keep calling the window once the bridge has wrapped its named
// components (with a menu-item wrapper that hooks clicks, as the bridge's
// will), and a label made on the window has the window as its parent (an
// edit its satellite window).
#include <gtest/gtest.h>

#include "bridge/caster.h"
#include "bridge/component.h"
#include "engine/orovod.h"
#include "host/script/hostclasses.h"
#include "host/window/skinform.h"
#include "rtl/numtext.h"
#include "ui/menus.h"

namespace {

// A menu-item wrapper that claims the click, made by the caster while a
// test wants it.
class TClickingItemWrapper : public TJVCLComponent {
    RTL_DECLARE_CLASS()
    using TJVCLComponent::TJVCLComponent;
    TJHookList Hooks() const override {
        static const TJHook rows[] = {On<"OnClick", TNotifyEvent>()};
        static const TJHookPart parts[] = {rows};
        return parts;
    }
};
const TClassInfo TClickingItemWrapper::classInfo =
    makeClassInfo("TClickingItemWrapper", &TJVCLComponent::classInfo, &scriptCreator<TClickingItemWrapper>);

bool wrapMenuItems = false;

TJVCLPersistent* menuItemCaster(TPersistent* object, TJRuntime* runtime) {
    if (!wrapMenuItems || !object->InheritsFrom(&TMenuItem::classInfo)) return nullptr;
    return static_cast<TJVCLPersistent*>(CreateScriptInstance(&TClickingItemWrapper::classInfo, runtime, true, nullptr));
}

TEST(WindowScript, TheWindowsMenuStillCallsTheWindowAndALabelsParentIsTheWindow) {
    static const int casterAdded = VCLCaster().AddCaster(&menuItemCaster);
    (void)casterAdded;
    wrapMenuItems = true;
    InstallGUIBridge();
    {
        DIZI component;
        ImportHostClasses(component);
        // An edit sits on a satellite window of its own: that is its parent.
        ASSERT_TRUE(component.Compile("var w = new window(true), same = new label(w).parent === w,"
                                      "    e = new edit(w), satellite = (e.parent === w) + ' ' + e.parent;"));
        component.RunNoArgs();
        TJValue w, same, satellite;
        ASSERT_TRUE(component.Engine().FindGlobalValue("w", w));
        ASSERT_TRUE(component.Engine().FindGlobalValue("same", same));
        ASSERT_TRUE(component.Engine().FindGlobalValue("satellite", satellite));
        EXPECT_TRUE(ValueToBool(same));
        EXPECT_EQ(ValueToString(satellite), "false [object VCLForm]");
        auto* window = static_cast<TSkinForm*>(WrapperOfValue(w)->VCL());
        EXPECT_TRUE(Cast(window->NSnap, &component.Engine())->InheritsFrom(&TClickingItemWrapper::classInfo));
        std::vector<AnsiString> names = {"NSnap", "NTopMost"};
        for (int percent = 10; percent <= 100; percent += 10) names.push_back("NT" + intToText(percent));
        for (const AnsiString& name : names) {
            auto* item = static_cast<TMenuItem*>(window->FindComponent(name));
            ASSERT_NE(item, nullptr) << name.c_str();
            EXPECT_EQ(item->OnClick.Data, window) << name.c_str();
        }
        window->NSnap->Click();
        window->NTopMost->Click();
        static_cast<TMenuItem*>(window->FindComponent("NT50"))->Click();
        EXPECT_TRUE(window->NSnap->Checked());
        EXPECT_TRUE(window->NTopMost->Checked());
        EXPECT_EQ(window->Transparency(), 127);
    }
    wrapMenuItems = false;
}

}  // namespace
