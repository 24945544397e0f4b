// The table of the host's script classes. A class still to be built has no
// record yet and is left out: a script naming it fails as for any unknown class.
#include "host/script/hostclasses.h"

#include <iterator>

#include "host/script/editweb.h"
#include "host/script/labelimage.h"
#include "host/script/settingobject.h"
#include "host/script/systemobject.h"
#include "host/script/timermenuwidget.h"
#include "host/script/windowobject.h"

namespace {

struct THostClass {
    const char* scriptName;
    const TClassInfo* cls;
};

const THostClass kHostClasses[] = {
    {"window", &TJVCLExForm::classInfo}, {"label", &TJVCLExLabel::classInfo}, {"image", &TJVCLExImage::classInfo},
    {"setting", &TJSettingObject::classInfo}, {"timer", &TJVCLExTimer::classInfo}, {"system", &TSystemObject::classInfo},
    {"edit", &TJVCLExMemo::classInfo}, {"web", &TJVCLExWeb::classInfo}, {"widget", &TWidgetObject::classInfo}, {"menuItem", &TJVCLExMenuItem::classInfo},
};

}  // namespace

void ImportHostClasses(TROrovod& engine) {
    for (const THostClass& hostClass : kHostClasses)
        if (hostClass.cls) engine.ImportObject(hostClass.scriptName, hostClass.cls);
}

void FireWidgetUnload(TROrovod& engine) {
    TJEngine& script = engine.Engine();
    TJValue widget, handler, result;
    // A widget that set no onUnload is unloaded silently: the name is not read.
    if (!script.FindGlobalValue("widget", widget) || !IsObjectValue(widget) || !widget.ObjValue->HasKey("onUnload"))
        return;
    script.GetMemberValue(widget, "onUnload", handler, false);
    if (IsFunctionValue(handler)) script.CallFunction(handler, nullptr, result, widget.ObjValue);
}
