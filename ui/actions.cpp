// The actions, their links to clients, the action list and the idle update
// the application's pump runs.
#include "ui/actions.h"

#include <algorithm>

#include "ui/application.h"

namespace {

// Every live action, for the idle update.
std::vector<TBasicAction*> liveActions;

template <class T>
void eraseFrom(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

const TMethodTypeInfo HintEventType{"THintEvent"};

// ==== TActionLink ====

TActionLink::~TActionLink() {
    if (Action_) eraseFrom(Action_->Clients_, this);
}

void TActionLink::SetAction(TBasicAction* action) {
    if (action == Action_) return;
    if (Action_) eraseFrom(Action_->Clients_, this);
    Action_ = action;
    if (!action) return;
    action->Clients_.push_back(this);
    ActionChanged(action);
}

bool TActionLink::Execute() {
    if (!Action_) return false;
    TKeepAlive hold(Action_);
    return Action_->Execute();
}

// ==== TBasicAction ====

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) { liveActions.push_back(this); }

TBasicAction::~TBasicAction() {
    Destroying();
    eraseFrom(liveActions, this);
    for (TActionLink* client : Clients_) client->Action_ = nullptr;
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    TKeepAlive hold(this);
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    TKeepAlive hold(this);
    OnUpdate(this);
    return true;
}

// A client may drop its link while it follows the change.
void TBasicAction::Change() {
    std::vector<TActionLink*> clients = Clients_;
    for (TActionLink* client : clients)
        if (std::find(Clients_.begin(), Clients_.end(), client) != Clients_.end()) client->ActionChanged(this);
}

void UpdateActions() {
    std::vector<TBasicAction*> actions = liveActions;
    for (TBasicAction* action : actions) {
        bool live = std::find(liveActions.begin(), liveActions.end(), action) != liveActions.end();
        if (live && action->HasClients() && !action->IsDestroying()) action->Update();
    }
}

// ==== TContainedAction and TActionList ====

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TActionList* list) {
    if (list == ActionList_) return;
    if (ActionList_) eraseFrom(ActionList_->Actions_, this);
    ActionList_ = list;
    if (list) list->Actions_.push_back(this);
}

TComponent* TContainedAction::GetParentComponent() const { return ActionList_; }

void TContainedAction::SetParentComponent(TComponent* parent) {
    if (parent && parent->InheritsFrom(&TActionList::classInfo)) SetActionList(static_cast<TActionList*>(parent));
}

TActionList::~TActionList() {
    Destroying();
    while (!Actions_.empty()) Actions_.back()->SetActionList(nullptr);
}

TContainedAction* TActionList::Actions(int index) const {
    if (index < 0 || index >= ActionCount()) raiseListIndexError(index);
    return Actions_[index];
}

void TActionList::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TContainedAction* action : Actions_)
        if (action->Owner() == root) proc(action);
}

// ==== TCustomAction ====

template <class T>
void TCustomAction::change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Change();
}

void TCustomAction::SetCaption(const AnsiString& value) { change(Caption_, value); }
void TCustomAction::SetChecked(bool value) { change(Checked_, value); }
void TCustomAction::SetEnabled(bool value) { change(Enabled_, value); }
void TCustomAction::SetHint(const AnsiString& value) { change(Hint_, value); }
void TCustomAction::SetVisible(bool value) { change(Visible_, value); }
void TCustomAction::SetShortCut(uint16_t value) { change(ShortCut_, value); }
void TCustomAction::SetHelpContext(int value) { change(HelpContext_, value); }

bool TCustomAction::Execute() {
    TKeepAlive hold(this);
    Update();
    if (!Enabled_) return false;
    if (AutoCheck_) SetChecked(!Checked_);
    return TBasicAction::Execute();
}

bool TCustomAction::DoHint(AnsiString& hint) {
    bool canShow = true;
    OnHint(hint, canShow);
    return canShow;
}

AnsiString ClientHint(const AnsiString& hint, TBasicAction* action) {
    AnsiString text = GetLongHint(hint);
    if (!action || !action->InheritsFrom(&TCustomAction::classInfo)) return text;
    TKeepAlive hold(action);
    return static_cast<TCustomAction*>(action)->DoHint(text) ? text : AnsiString();
}

// ==== Published properties ====

namespace {

const TPropInfo basicActionProperties[] = {
    MethodProperty<&TBasicAction::OnExecute, &TBasicAction::OnExecute>("OnExecute", &NotifyEventType),
    MethodProperty<&TBasicAction::OnUpdate, &TBasicAction::OnUpdate>("OnUpdate", &NotifyEventType),
};

const TPropInfo containedActionProperties[] = {
    ClassProperty<&TContainedAction::ActionList, &TContainedAction::SetActionList>("ActionList",
                                                                                    &TActionList::classInfo),
};

const TPropInfo customActionProperties[] = {
    BoolProperty<&TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck>("AutoCheck", 0),
    StringProperty<&TCustomAction::Caption, &TCustomAction::SetCaption>("Caption"),
    BoolProperty<&TCustomAction::Checked, &TCustomAction::SetChecked>("Checked", 0),
    BoolProperty<&TCustomAction::Enabled, &TCustomAction::SetEnabled>("Enabled", 1),
    IntegerProperty<&TCustomAction::HelpContext, &TCustomAction::SetHelpContext>("HelpContext", 0),
    StringProperty<&TCustomAction::Hint, &TCustomAction::SetHint>("Hint"),
    IntegerProperty<&TCustomAction::ShortCut, &TCustomAction::SetShortCut>("ShortCut", 0),
    BoolProperty<&TCustomAction::Visible, &TCustomAction::SetVisible>("Visible", 1),
    MethodProperty<&TCustomAction::OnHint, &TCustomAction::OnHint>("OnHint", &HintEventType),
};

}  // namespace

const TClassInfo TBasicAction::classInfo =
    makeClassInfo("TBasicAction", &TComponent::classInfo, basicActionProperties);
const TClassInfo TContainedAction::classInfo =
    makeClassInfo("TContainedAction", &TBasicAction::classInfo, containedActionProperties);
const TClassInfo TCustomAction::classInfo =
    makeClassInfo("TCustomAction", &TContainedAction::classInfo, customActionProperties);
const TClassInfo TAction::classInfo = makeClassInfo("TAction", &TCustomAction::classInfo, &componentCreator<TAction>);
const TClassInfo TActionList::classInfo =
    makeClassInfo("TActionList", &TComponent::classInfo, &componentCreator<TActionList>);
