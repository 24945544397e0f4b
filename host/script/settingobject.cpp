// The setting script class: construction, the stored value and the window it
// registers with.
#include "host/script/settingobject.h"

#include "bridge/caster.h"
#include "engine/core/errors.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "host/script/elementbase.h"
#include "host/window/skinform.h"
#include "host/window/widgethost.h"

// Hears the window's free for its setting.
class TJSettingObject::WindowLink : public TComponent {
    RTL_DECLARE_CLASS()
    explicit WindowLink(TJSettingObject* setting) : TComponent(nullptr), Setting_(setting) {}

protected:
    ~WindowLink() override = default;
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == Setting_->Window_) Setting_->Window_ = nullptr;
    }

private:
    TJSettingObject* Setting_;
};

namespace {

const char kSection[] = "Settings";

const TPropInfo settingProperties[] = {
    StringProperty<&TJSettingObject::StoredValue, &TJSettingObject::SetStoredValue>("value"),
    StringProperty<&TJSettingObject::DefaultValue, &TJSettingObject::DefaultValue>("defaultValue"),
    StringProperty<&TJSettingObject::SettingValue, &TJSettingObject::SettingValue>("settingValue"),
    ClassProperty<&TJSettingObject::Parent, &TJSettingObject::SetParent>("parent", &TJObject::classInfo),
};

[[noreturn]] void createError() { raiseScriptError("ESettingError", "setting create error"); }

}  // namespace

const TClassInfo TJSettingObject::WindowLink::classInfo =
    makeClassInfo("TJSettingObject::WindowLink", &TComponent::classInfo);
const TClassInfo TJSettingObject::classInfo = makeClassInfo("TJSettingObject", &TJObject::classInfo, settingProperties,
                                                            &scriptCreator<TJSettingObject>, TGlobalInstance::No);

void TJSettingObject::LinkFree::operator()(WindowLink* link) const { link->Free(); }

TJSettingObject::TJSettingObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Link_(new WindowLink(this)) {
    SetClassName("Setting");
}

TJSettingObject::~TJSettingObject() { unregister(); }

void TJSettingObject::Construct(TJValueList* args) {
    TJObject::Construct(args);
    if (!HasTwoArgs(args)) createError();
    TSkinForm* window = IsObjectValue(args->At(0)) ? linkedOf<TSkinForm>(args->At(0).ObjValue) : nullptr;
    TWidgetHost* host = WidgetHost();
    Setting_ = host ? host->WidgetSetting(Runtime()->GetScriptFileName()) : nullptr;
    if (!Setting_) createError();
    Key_ = ValueToString(&args->At(1));
    if (ArgCount(args) >= 3) DefaultValue = ValueToString(&args->At(2));
    if (window) registerWith(window);
}

AnsiString TJSettingObject::StoredValue() const { return Setting_->ReadValue(kSection, Key_, DefaultValue); }

void TJSettingObject::SetStoredValue(const AnsiString& value) { Setting_->WriteValue(kSection, Key_, value); }

TSettingData TJSettingObject::SettingData() {
    TSettingData data;
    data.key = Key();
    data.value = StoredValue();
    std::vector<AnsiString> names;
    GetMemberNames(names, static_cast<TJValueTypes>(~0u), 0);
    AnsiString* texts[] = {&data.type, &data.description, &data.option, &data.category, &data.directory, &data.filter};
    const char* textNames[] = {"type", "description", "option", "category", "directory", "filter"};
    for (const AnsiString& name : names) {
        TJValue member;
        for (size_t i = 0; i < std::size(textNames); ++i)
            if (name == textNames[i]) {
                GetValue(name, false, member);
                *texts[i] = ValueToString(&member);
            }
        if (name == "multiple" || name == "multiline") {
            GetValue(name, false, member);
            (name == "multiple" ? data.multiple : data.multiline) = ValueToBool(&member);
        }
    }
    return data;
}

TObject* TJSettingObject::Parent() const { return Window_ ? Cast(Window_, Runtime()) : nullptr; }

void TJSettingObject::SetParent(TObject* parent) {
    TSkinForm* window = linkedOf<TSkinForm>(parent);
    unregister();
    if (window) registerWith(window);
}

void TJSettingObject::registerWith(TSkinForm* window) {
    Window_ = window;
    window->FreeNotification(Link_.get());
    window->AddSettingItem(this);
}

void TJSettingObject::unregister() {
    if (!Window_) return;
    Window_->RemoveFreeNotification(Link_.get());
    Window_->RemoveSettingItems(this);
    Window_ = nullptr;
}
