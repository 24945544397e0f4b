// The small script classes of the widget host: "timer" (a message-loop timer
// that calls onTimer), "menuItem" (an entry of a widget window's context menu,
// or a sub-entry of another entry) and "widget" (the one global object that
// describes the loaded widget and receives onUnload).
#pragma once

#include "engine/orovod.h"
#include "host/script/elementbase.h"

class TMenuItem;
class TTimer;

class TJVCLBaseExTimer : public TJExElement<TJVCLComponent> {
    RTL_DECLARE_CLASS()
    TJVCLBaseExTimer(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TTimer* Timer() const;
    const TClassInfo* VCLClass() const override;
    TJHookList Hooks() const override;

protected:
    // An argument sets the interval when it is an integer value, else makes
    // it 0 (stopped); without one the timer keeps its defaults.
    void Construct(TJValueList* args) override;
};

class TJVCLExTimer : public TJVCLBaseExTimer {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExTimer::TJVCLBaseExTimer;
    void CreateVCL() override;
};

class TJVCLBaseExMenuItem : public TJExElement<TJVCLComponent> {
    RTL_DECLARE_CLASS()
    TJVCLBaseExMenuItem(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TMenuItem* Item() const;
    const TClassInfo* VCLClass() const override;
    TJHookList Hooks() const override;

    // ---- Published ----
    AnsiString Text() const;
    void SetText(const AnsiString& text);
    // The window's wrapper when the entry sits in a window's menu, else its
    // parent entry's, else nil.
    TObject* ParentWrapper() const;
    // Takes the entry out of where it sits; a window puts it before the first
    // "-" of its menu, a menu item makes it its last sub-entry, null leaves it
    // detached. Other objects are ignored.
    void SetParentWrapper(TObject* parent);

protected:
    // The argument, a window or a menu item, is the entry's parent.
    void Construct(TJValueList* args) override;
};

class TJVCLExMenuItem : public TJVCLBaseExMenuItem {
    RTL_DECLARE_CLASS()
    using TJVCLBaseExMenuItem::TJVCLBaseExMenuItem;
    void CreateVCL() override;
};

class TWidgetObject : public TJObject {
    RTL_DECLARE_CLASS()
    TWidgetObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // ---- Published ----
    // The widget's XML path, and its folder ending with a back-slash.
    AnsiString FileName() const;
    AnsiString FilePath() const;
    const AnsiString& HelpFile() const { return HelpFile_; }
    void SetHelpFile(const AnsiString& path) { HelpFile_ = path; }

private:
    AnsiString HelpFile_;
};

// The `helpFile` of the engine's widget object; empty when it has none.
AnsiString WidgetHelpFile(TROrovod& engine);
