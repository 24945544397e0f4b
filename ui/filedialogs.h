// TOpenDialog and TSaveDialog: the system's file dialogs as components, with
// their options as a set, a multiple selection in Files and the explorer
// dialog's notices as events. The widget settings dialog, the script bridge
// and the system library's Dialog object all show their file dialogs here.
#pragma once

#include <memory>

#include "rtl/stringlist.h"
#include "ui/dialogs.h"
#include "ui/forms.h"

enum TOpenOption : uint8_t {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
extern const TSetInfo OpenOptionsInfo;
using TOpenOptions = TSet<TOpenOption, OpenOptionsInfo, uint32_t>;

// The explorer dialog asks whether to list an item (ofEnableIncludeNotify);
// the item is not named to the handler.
using TIncludeItemEvent = TEvent<void(TObject* Sender, bool& Include)>;
extern const TMethodTypeInfo IncludeItemEventType;

class TOpenDialog : public TCommonDialog {
    RTL_DECLARE_CLASS()
    explicit TOpenDialog(TComponent* owner);

    // Pairs of a description and its patterns, separated by "|":
    // "Text|*.txt|All|*.*".
    AnsiString Filter;
    // The pair the dialog starts with and the one chosen, from 1.
    int FilterIndex = 1;
    AnsiString InitialDir;
    // The chosen file (the first of several); given before Execute, the name
    // the dialog starts with.
    AnsiString FileName;
    // Added to a name typed without an extension.
    AnsiString DefaultExt;
    AnsiString Title;
    TOpenOptions Options = setOf(ofHideReadOnly, ofEnableSizing);
    // Every chosen file's full path, in the dialog's order.
    TStrings* Files() const { return Files_.get(); }

    bool Execute() override;

    // The user confirmed a choice (FileName and Files hold it): false keeps
    // the dialog open.
    TCloseQueryEvent OnCanClose;
    TNotifyEvent OnFolderChange;
    TIncludeItemEvent OnIncludeItem;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnTypeChange;

protected:
    ~TOpenDialog() override = default;
    // The platform's open or save dialog over the record.
    virtual bool showDialog(OPENFILENAMEA& record);

private:
    static UINT_PTR CALLBACK hookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool notified(HWND hook, const OFNOTIFYA& notice);
    void takeChoice(const OPENFILENAMEA& record);

    std::unique_ptr<TStringList> Files_;
};

// As the open dialog, over the platform's save dialog.
class TSaveDialog : public TOpenDialog {
    RTL_DECLARE_CLASS()
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

protected:
    ~TSaveDialog() override = default;
    bool showDialog(OPENFILENAMEA& record) override;
};
