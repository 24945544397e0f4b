// The host's element classes as scripts see them, made by a script as a
// widget makes them: the names each lists (getProperties without a window's
// named components, getEvents), the hook rows against the classes they hook,
// and a handler another party set on a window, which the window's wrapper
// leaves in place.
#include <gtest/gtest.h>

#include "bridge/caster.h"
#include "bridge/component.h"
#include "bridge/vclpersistent.h"
#include "engine/orovod.h"
#include "host/script/hostclasses.h"
#include "host/script/windowobject.h"
#include "host/window/skinform.h"

namespace {

struct SurfaceTest : ::testing::Test {
    bool installed = (InstallGUIBridge(), true);
    DIZI component;
    TJEngine& engine = component.Engine();

    SurfaceTest() { ImportHostClasses(component); }

    // The element the script made under the name.
    TJVCLComponent* made(const AnsiString& script, const char* name) {
        EXPECT_TRUE(component.Compile(script));
        component.RunNoArgs();
        TJValue value;
        EXPECT_TRUE(engine.FindGlobalValue(name, value));
        TJVCLPersistent* wrapper = WrapperOfValue(value);
        return wrapper && wrapper->InheritsFrom(&TJVCLComponent::classInfo) ? static_cast<TJVCLComponent*>(wrapper)
                                                                            : nullptr;
    }
};

AnsiString joined(const std::vector<AnsiString>& names) {
    AnsiString text;
    for (const AnsiString& name : names) text += (text.empty() ? "" : ",") + name;
    return text;
}

TEST_F(SurfaceTest, EachElementListsItsNamesAndEvents) {
    const struct {
        const char* made;
        const char* properties;
        const char* events;
    } cases[] = {
        {"window(true)",
         "acceptDrop,autoSize,background,colorAlpha,ComponentCount,ComponentIndex,ControlCount,fontCharset,fontColor,fontDialog,"
         "fontName,fontSize,fontStyle,handle,Height,Left,main,Owner,parent,ParentFont,ParentWindow,popupMenu,Showing,"
         "Tag,tile,toolTip,Top,transparency,transparentColor,VCLclassName,Visible,VisibleDockClientCount,Width",
         "onClick,onClose,onDblClick,onFontChanged,onKeyDown,onKeyUp,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,"
         "onMouseUp,onMouseWheel,onSettingChanged,onSettingChanging,onDragDropText,onDragDropFiles"},
        {"label(w)",
         "align,autoEllipsis,AutoSize,ComponentCount,ComponentIndex,fontCharset,fontColor,fontName,fontSize,fontStyle,"
         "height,left,Owner,parent,parentFont,Tag,text,toolTip,top,transparency,VCLclassName,Visible,width,WordWrap",
         "onClick,onDblClick,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,onMouseUp"},
        {"image(w)",
         "autoSize,ComponentCount,ComponentIndex,height,left,Owner,parent,src,Stretch,Tag,toolTip,top,transparency,"
         "transparentObject,VCLclassName,Visible,width",
         "onClick,onDblClick,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,onMouseUp"},
        {"edit(w)",
         "acceptDrop,align,canUndo,ComponentCount,ComponentIndex,ControlCount,fontCharset,fontColor,fontName,fontSize,fontStyle,"
         "handle,height,left,modified,multiline,Owner,parent,ParentFont,ParentWindow,selLength,selStart,selText,"
         "Showing,Tag,text,toolTip,top,transparency,VCLclassName,visible,VisibleDockClientCount,width,WordWrap",
         "onChange,onClick,onDblClick,onEnter,onExit,onKeyDown,onKeyUp,onMouseDown,onMouseEnter,onMouseLeave,"
         "onMouseMove,onMouseUp,onDragDropText,onDragDropFiles"},
        // A web view hooks nothing; its browser publishes no events.
        {"web(w)", "ComponentCount,ComponentIndex,height,left,Owner,scrollBar,src,Tag,top,transparency,VCLclassName,visible,width",
         ""},
        {"timer()", "ComponentCount,ComponentIndex,Interval,Owner,Tag,VCLclassName", "onTimer"},
        {"menuItem(w)", "ComponentCount,ComponentIndex,Enabled,Owner,parent,Tag,text,VCLclassName,Visible", "onClick"},
    };
    for (const auto& c : cases) {
        AnsiString script = AnsiString("var w = new window(true), e = new ") + c.made + ";";
        TJVCLComponent* element = made(script, "e");
        ASSERT_NE(element, nullptr) << c.made;
        EXPECT_EQ(joined(element->PropertyNames()), c.properties) << c.made;
        std::vector<AnsiString> events;
        element->GetEventList(events);
        EXPECT_EQ(joined(events), c.events) << c.made;
    }
}

TEST_F(SurfaceTest, EveryHookedEventIsPublishedWithItsSignature) {
    const char* const elements[] = {"window(true)", "label(w)", "image(w)", "edit(w)", "web(w)", "timer()", "menuItem(w)"};
    for (const char* element : elements) {
        TJVCLComponent* wrapper = made(AnsiString("var w = new window(true), e = new ") + element + ";", "e");
        ASSERT_NE(wrapper, nullptr) << element;
        for (TJHookPart part : wrapper->Hooks())
            for (const TJHook& row : part) EXPECT_TRUE(IsHookable(wrapper->VCLClass(), row)) << element << " " << row.Property;
    }
}

struct Closes {
    int count = 0;
    void close(TObject*, TCloseAction&) { ++count; }
};

TEST_F(SurfaceTest, AnotherPartysHandlerSurvivesTheWindowsHooks) {
    TSkinForm* form = new TSkinForm(nullptr);
    Closes closes;
    form->OnClose = TCloseEvent::bind<&Closes::close>(&closes);
    const TMethod theirs = form->OnClose;
    auto* window = createObject<TJVCLBaseExForm>(&engine, true, nullptr);
    ASSERT_TRUE(window->AttachVCL(form, false));
    EXPECT_EQ(TMethod(form->OnClose), theirs);
    EXPECT_TRUE(IsBridgeCode(form->OnMouseDown));
    window->DetachVCL();
    EXPECT_EQ(TMethod(form->OnClose), theirs);
    EXPECT_TRUE(form->OnMouseDown.isNil());
    form->Free();
}

}  // namespace
