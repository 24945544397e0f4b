// Actions: TBasicAction (an execute and an update step shared by several
// clients), TCustomAction and TAction with the state their clients follow
// (caption, checked, enabled, hint, visible, short-cut, help context),
// TActionList that groups them in form streams, and TActionLink, a client's
// end of the link. Controls and menu items own one link each; the
// application's idle step lets every action with clients update itself.
#pragma once

#include <vector>

#include "rtl/component.h"

class TBasicAction;

// A client's link to its action. The client owns the link; the action keeps
// a back-pointer to it and clears the link when it dies first.
class TActionLink {
public:
    TActionLink() = default;
    virtual ~TActionLink();
    TActionLink(const TActionLink&) = delete;
    TActionLink& operator=(const TActionLink&) = delete;

    TBasicAction* Action() const { return Action_; }
    // Joins the action's clients (nil: none); the client takes its state.
    void SetAction(TBasicAction* action);
    // Runs the action's execute step; false when nothing handled it.
    bool Execute();
    // The action's state changed (or the action is new): the client copies it.
    virtual void ActionChanged(TBasicAction* action) = 0;

private:
    friend class TBasicAction;
    TBasicAction* Action_ = nullptr;
};

using THintEvent = TEvent<void(AnsiString& HintStr, bool& CanShow)>;
extern const TMethodTypeInfo HintEventType;

class TBasicAction : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TBasicAction(TComponent* owner);

    // OnExecute; true when it ran.
    virtual bool Execute();
    // OnUpdate; true when it ran.
    virtual bool Update();
    bool HasClients() const { return !Clients_.empty(); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    ~TBasicAction() override;
    // Every client copies the action's state again.
    void Change();

private:
    friend class TActionLink;
    std::vector<TActionLink*> Clients_;
};

class TActionList;

class TContainedAction : public TBasicAction {
    RTL_DECLARE_CLASS()
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}

    // The list the action belongs to in a form stream; nil when none.
    TActionList* ActionList() const { return ActionList_; }
    void SetActionList(TActionList* list);
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;

protected:
    ~TContainedAction() override;

private:
    TActionList* ActionList_ = nullptr;
};

class TCustomAction : public TContainedAction {
    RTL_DECLARE_CLASS()
    explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

    // Updates first; a disabled action does nothing. AutoCheck toggles Checked.
    bool Execute() override;
    // Asks OnHint whether and which hint shows; true when it may.
    bool DoHint(AnsiString& hint);

    const AnsiString& Caption() const { return Caption_; }
    void SetCaption(const AnsiString& value);
    bool Checked() const { return Checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool value);
    const AnsiString& Hint() const { return Hint_; }
    void SetHint(const AnsiString& value);
    bool Visible() const { return Visible_; }
    void SetVisible(bool value);
    uint16_t ShortCut() const { return ShortCut_; }
    void SetShortCut(uint16_t value);
    int HelpContext() const { return HelpContext_; }
    void SetHelpContext(int value);
    bool AutoCheck() const { return AutoCheck_; }
    void SetAutoCheck(bool value) { AutoCheck_ = value; }

    THintEvent OnHint;

protected:
    ~TCustomAction() override = default;

private:
    template <class T>
    void change(T& field, const T& value);

    AnsiString Caption_;
    AnsiString Hint_;
    int HelpContext_ = 0;
    uint16_t ShortCut_ = 0;
    bool Checked_ = false;
    bool Enabled_ = true;
    bool Visible_ = true;
    bool AutoCheck_ = false;
};

class TAction : public TCustomAction {
    RTL_DECLARE_CLASS()
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}

protected:
    ~TAction() override = default;
};

// Groups actions for form streams: its children are the actions that name it.
class TActionList : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TActionList(TComponent* owner) : TComponent(owner) {}

    int ActionCount() const { return static_cast<int>(Actions_.size()); }
    TContainedAction* Actions(int index) const;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

protected:
    ~TActionList() override;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> Actions_;
};

// The application's idle step: every action that has clients updates them.
void UpdateActions();

// The hint a client gives the application: the long part of its own, which
// its action's OnHint may change, or withhold (the result is then empty).
AnsiString ClientHint(const AnsiString& hint, TBasicAction* action);
