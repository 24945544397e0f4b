// The CheckListBox script type: its items and states, the three methods and
// the registration in the library slot of every engine component.
#include "bridge/checklistbox.h"

#include "bridge/scriptdialogs.h"
#include "engine/core/errors.h"
#include "engine/core/runtime.h"
#include "engine/core/valuelist.h"
#include "engine/lib/appmessage.h"
#include "stdlib/strings.h"

namespace {

const TPropInfo checkListBoxProperties[] = {
    ClassProperty<&TJCheckListBox::itemsProperty>("items", &TJStringsObject::classInfo),
    IntegerProperty<&TJCheckListBox::countProperty>("count"),
    IntegerProperty<&TJCheckListBox::indexProperty>("index"),
};

}  // namespace

const TClassInfo TJCheckListBox::classInfo =
    makeClassInfo("TJCheckListBox", &TJObject::classInfo, checkListBoxProperties, &scriptCreator<TJCheckListBox>);

void RegisterCheckListBoxType(TJRuntime& runtime) {
    runtime.RegisterScriptClass("CheckListBox", &TJCheckListBox::classInfo);
}

// The items live by their count alone (outside the runtime's object list,
// which frees in its own order); a script may hold them longer than this
// object, so the notification goes before the reference does.
TJCheckListBox::TJCheckListBox(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args), Items_(createObject<TJStringsObject>(runtime, false, nullptr)) {
    SetClassName("CheckListBox");
    Items_->IncRef();
    Items_->GetStringList().OnChange = TStringsEvent::bind<&TJCheckListBox::itemsChanged>(this);
}

TJCheckListBox::~TJCheckListBox() {
    Items_->GetStringList().OnChange = {};
    Items_->DecRef();
}

void TJCheckListBox::itemsChanged(TStrings*) {
    Checked_.resize(static_cast<size_t>(Items_->GetStringList().Count()), false);
}

TJObject* TJCheckListBox::itemsProperty() const { return Items_; }

int32_t TJCheckListBox::countProperty() const { return Items_->GetStringList().Count(); }

bool TJCheckListBox::GetChecked(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= Checked_.size())
        raiseScriptError("EIndexError", "CheckListBox.getChecked Index Error");
    return Checked_[static_cast<size_t>(index)];
}

void TJCheckListBox::SetChecked(int32_t index, bool checked) {
    if (index < 0 || static_cast<size_t>(index) >= Checked_.size())
        raiseScriptError("EIndexError", "CheckListBox.setChecked Index Error");
    Checked_[static_cast<size_t>(index)] = checked;
}

// A handler running while the dialog is open may drop the script's last
// reference: the object is held until the call is done (and then left to
// its holders, as a new object is).
bool TJCheckListBox::Execute(const AnsiString& caption, const AnsiString& text, int32_t itemIndex, int32_t width,
                             int32_t height) {
    IncRef();
    struct Release {
        TJObject* object;
        ~Release() { object->ReleaseToHolder(); }
    } release{this};
    int index = itemIndex;
    bool ok = CheckListDialog(caption.empty() ? GetAppTitle() : caption, text, Items_->GetStringList(), Checked_, index,
                              width, height);
    Index_ = index;
    return ok;
}

// ==== Methods ====

namespace {

void getChecked(TJCheckListBox& self, TJValueList* args, TJValue& result) {
    MakeBool(HasArgs(args) && self.GetChecked(ValueToInteger(args->At(0))), result);
}

void setChecked(TJCheckListBox& self, TJValueList* args, TJValue&) {
    self.SetChecked(ValueToInteger(args->At(0)), ValueToBool(args->At(1)));
}

// Arguments by position, each optional: caption, text, itemIndex, width,
// height.
void execute(TJCheckListBox& self, TJValueList* args, TJValue& result) {
    AnsiString texts[2];
    int32_t numbers[3] = {0, 0, 0};
    for (int i = 0; i < ArgCount(args) && i < 5; ++i) {
        if (i < 2) texts[i] = ValueToString(args->At(i));
        else numbers[i - 2] = ValueToInteger(args->At(i));
    }
    MakeBool(self.Execute(texts[0], texts[1], numbers[0], numbers[1], numbers[2]), result);
}

const TJMethod<TJCheckListBox> checkListBoxMethods[] = {
    {"getChecked", 0, &getChecked},
    {"setChecked", 2, &setChecked, TJMethodResult::Self},
    {"execute", 0, &execute},
};

}  // namespace

const TJMethodTable& TJCheckListBox::Methods() const {
    static const TJMethodTable table(checkListBoxMethods, TJObject::Methods());
    return table;
}
