// What scripts cannot reach of the GUI wrappers: attaching and detaching
// objects directly, as leaf wrappers and the host do.
#include <gtest/gtest.h>

#include "bridge/caster.h"
#include "bridge/controls.h"
#include "engine/core/errors.h"
#include "engine/orovod.h"
#include "ui/stdctrls.h"

namespace {

struct WrapperTest : ::testing::Test {
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

}  // namespace
