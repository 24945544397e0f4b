// The host's element classes as scripts see them, made by a script as a
// widget makes them: the names each lists (getProperties without a window's
// named components, getEvents).
#include <gtest/gtest.h>

#include "bridge/caster.h"
#include "bridge/component.h"
#include "engine/lib/vclpersistent.h"
#include "engine/orovod.h"
#include "host/script/hostclasses.h"

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
         "autoSize,background,colorAlpha,ComponentCount,ComponentIndex,ControlCount,fontCharset,fontColor,fontDialog,"
         "fontName,fontSize,fontStyle,handle,Height,Left,main,Owner,parent,ParentFont,ParentWindow,popupMenu,Showing,"
         "Tag,tile,toolTip,Top,transparency,transparentColor,VCLclassName,Visible,VisibleDockClientCount,Width",
         "onClick,onClose,onDblClick,onKeyDown,onKeyUp,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,onMouseUp,"
         "onMouseWheel,onSettingChanged,onSettingChanging,onDragDropText,onDragDropFiles"},
        {"label(w)",
         "align,autoEllipsis,AutoSize,ComponentCount,ComponentIndex,fontCharset,fontColor,fontName,fontSize,fontStyle,"
         "height,left,Owner,parent,parentFont,Tag,text,toolTip,top,transparency,VCLclassName,Visible,width,WordWrap",
         "onClick,onDblClick,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,onMouseUp"},
        {"image(w)",
         "autoSize,ComponentCount,ComponentIndex,height,left,Owner,Parent,src,Stretch,Tag,toolTip,top,transparency,"
         "transparentObject,VCLclassName,Visible,width",
         "onClick,onDblClick,onMouseDown,onMouseEnter,onMouseLeave,onMouseMove,onMouseUp"},
        {"edit(w)",
         "align,canUndo,ComponentCount,ComponentIndex,ControlCount,fontCharset,fontColor,fontName,fontSize,fontStyle,"
         "handle,Height,left,modified,multiline,Owner,Parent,ParentFont,ParentWindow,selLength,selStart,selText,"
         "Showing,Tag,text,toolTip,Top,transparency,VCLclassName,Visible,VisibleDockClientCount,Width,WordWrap",
         "onChange,onClick,onDblClick,onEnter,onExit,onKeyDown,onKeyUp,onMouseDown,onMouseEnter,onMouseLeave,"
         "onMouseMove,onMouseUp,onDragDropText,onDragDropFiles"},
        // A web view hooks nothing; its browser publishes no events.
        {"web(w)", "ComponentCount,ComponentIndex,Height,Left,Owner,scrollBar,src,Tag,top,transparency,VCLclassName,Visible,width",
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

}  // namespace
