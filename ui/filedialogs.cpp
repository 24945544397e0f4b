// The file dialogs over the system's common dialog. An explorer dialog gets a
// hook procedure, which turns the dialog's notices into the component's
// events; a multiple selection gets a buffer for thousands of names.
#include "ui/filedialogs.h"

#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "rtl/codepage.h"

namespace {

const char* const openOptionNames[] = {
    "ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
    "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
    "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
    "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing",
    "ofDontAddToRecent",  "ofForceShowHidden"};
const TEnumInfo openOptionInfo{"TOpenOption", openOptionNames, 22};

const TPropInfo openDialogProperties[] = {
    StringProperty<&TOpenDialog::DefaultExt, &TOpenDialog::DefaultExt>("DefaultExt"),
    StringProperty<&TOpenDialog::FileName, &TOpenDialog::FileName>("FileName"),
    StringProperty<&TOpenDialog::Filter, &TOpenDialog::Filter>("Filter"),
    IntegerProperty<&TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex>("FilterIndex", 1),
    StringProperty<&TOpenDialog::InitialDir, &TOpenDialog::InitialDir>("InitialDir"),
    SetProperty<&TOpenDialog::Options, &TOpenDialog::Options>("Options", &OpenOptionsInfo,
                                                              setOf(ofHideReadOnly, ofEnableSizing)),
    StringProperty<&TOpenDialog::Title, &TOpenDialog::Title>("Title"),
    MethodProperty<&TOpenDialog::OnCanClose, &TOpenDialog::OnCanClose>("OnCanClose", &CloseQueryEventType),
    MethodProperty<&TCommonDialog::OnClose, &TCommonDialog::OnClose>("OnClose", &NotifyEventType),
    MethodProperty<&TOpenDialog::OnFolderChange, &TOpenDialog::OnFolderChange>("OnFolderChange", &NotifyEventType),
    MethodProperty<&TOpenDialog::OnIncludeItem, &TOpenDialog::OnIncludeItem>("OnIncludeItem",
                                                                              &IncludeItemEventType),
    MethodProperty<&TOpenDialog::OnSelectionChange, &TOpenDialog::OnSelectionChange>("OnSelectionChange",
                                                                                      &NotifyEventType),
    MethodProperty<&TCommonDialog::OnShow, &TCommonDialog::OnShow>("OnShow", &NotifyEventType),
    MethodProperty<&TOpenDialog::OnTypeChange, &TOpenDialog::OnTypeChange>("OnTypeChange", &NotifyEventType),
};

struct TOpenFlag {
    TOpenOption Option;
    DWORD Flag;
};

// ofOldStyleDialog is the absence of OFN_EXPLORER.
const TOpenFlag openFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofExtensionDifferent, OFN_EXTENSIONDIFFERENT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
};

// What the dialog reports back in the record's flags.
constexpr uint32_t kReportedOptions = setOf(ofReadOnly, ofExtensionDifferent);

// The window property that leads the hook from its dialog to the component.
constexpr const char* kDialogProperty = "TOpenDialog";

// Room for one path, or for the folder and thousands of names of a multiple
// selection.
constexpr size_t kSingleBuffer = MAX_PATH * 4;
constexpr size_t kMultipleBuffer = 1 << 17;

// The "|" separators become the zero bytes the system reads (never a trail
// byte); the list ends with two.
std::string platformFilter(const AnsiString& filter) {
    std::string list(filter.view());
    for (size_t at = 0; at < list.size(); ++at) {
        if (isLeadByte(static_cast<unsigned char>(list[at]))) ++at;
        else if (list[at] == '|') list[at] = '\0';
    }
    list.append(2, '\0');
    return list;
}

bool endsWithBackslash(const AnsiString& path) {
    bool last = false;
    for (size_t at = 0; at < path.length(); ++at) {
        last = path[at] == '\\';
        if (isLeadByte(static_cast<unsigned char>(path[at]))) ++at;
    }
    return last;
}

// A drive and a name without a folder ("C:b.txt"): the name in the drive's
// current folder.
bool isDriveRelative(const char* path) {
    if (!std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') return false;
    for (const char* at = path + 2; *at; ++at) {
        if (*at == '\\' || *at == '/') return false;
        if (isLeadByte(static_cast<unsigned char>(*at)) && at[1]) ++at;
    }
    return true;
}

// Types a drive-relative name again as its full path and presses OK again:
// Wine's dialog, closing on such a name after its CDN_FILEOK, reads past the
// end of its copy of the name and brings the process down.
void retypeInFull(HWND dialog, const char* name) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(name, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return;
    SendMessageA(dialog, CDM_SETCONTROLTEXT, GetDlgItem(dialog, cmb13) ? cmb13 : edt1, reinterpret_cast<LPARAM>(full));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The chosen paths of a multiple selection: one full path, or the folder
// followed by the names, each part ended by the separator (zero in an
// explorer dialog, a blank in an old-style one), the whole by a zero.
std::vector<AnsiString> chosenPaths(const char* buffer, char separator) {
    std::vector<AnsiString> parts;
    const char* part = buffer;
    for (const char* at = buffer;; ++at) {
        if (*at != separator && *at != '\0') continue;
        if (at > part) parts.emplace_back(part, static_cast<size_t>(at - part));
        if (*at == '\0' && (separator != '\0' || at == part)) break;
        part = at + 1;
    }
    if (parts.size() < 2) return parts;
    AnsiString folder = parts.front();
    if (!endsWithBackslash(folder)) folder += '\\';
    std::vector<AnsiString> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}

}  // namespace

const TSetInfo OpenOptionsInfo{"TOpenOptions", &openOptionInfo, 4};
const TMethodTypeInfo IncludeItemEventType{"TIncludeItemEvent"};

const TClassInfo TOpenDialog::classInfo =
    makeClassInfo("TOpenDialog", &TCommonDialog::classInfo, openDialogProperties, &componentCreator<TOpenDialog>);
const TClassInfo TSaveDialog::classInfo =
    makeClassInfo("TSaveDialog", &TOpenDialog::classInfo, &componentCreator<TSaveDialog>);

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), Files_(std::make_unique<TStringList>()) {}

bool TOpenDialog::Execute() {
    TKeepAlive hold(this);
    TShowing showing(*this);
    bool explorer = !inSet(Options, ofOldStyleDialog);
    std::string filter = platformFilter(Filter);
    std::vector<char> file(inSet(Options, ofAllowMultiSelect) ? kMultipleBuffer : kSingleBuffer, '\0');
    FileName.view().copy(file.data(), std::min(FileName.length(), file.size() - 1));
    OPENFILENAMEA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = ownerWindow();
    record.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    record.nFilterIndex = static_cast<DWORD>(std::max(FilterIndex, 0));
    record.lpstrFile = file.data();
    record.nMaxFile = static_cast<DWORD>(file.size());
    record.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    record.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    record.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    for (const TOpenFlag& row : openFlags)
        if (inSet(Options, row.Option)) record.Flags |= row.Flag;
    if (explorer) {
        record.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
        record.lpfnHook = hookProc;
        record.lCustData = reinterpret_cast<LPARAM>(this);
    }
    Files_->Clear();
    bool chosen = callPlatform([&] { return showDialog(record); });
    if (chosen) takeChoice(record);
    OnClose(this);
    if (!chosen) checkDialogError();
    return chosen;
}

bool TOpenDialog::showDialog(OPENFILENAMEA& record) { return GetOpenFileNameA(&record) != FALSE; }

bool TSaveDialog::showDialog(OPENFILENAMEA& record) { return GetSaveFileNameA(&record) != FALSE; }

void TOpenDialog::takeChoice(const OPENFILENAMEA& record) {
    std::vector<AnsiString> paths;
    if (!inSet(Options, ofAllowMultiSelect)) paths.emplace_back(record.lpstrFile);
    else paths = chosenPaths(record.lpstrFile, inSet(Options, ofOldStyleDialog) ? ' ' : '\0');
    Files_->Clear();
    for (const AnsiString& path : paths) Files_->Add(path);
    FileName = paths.empty() ? AnsiString() : paths.front();
    FilterIndex = static_cast<int>(record.nFilterIndex);
    Options = (Options & ~kReportedOptions) | (record.Flags & OFN_READONLY ? setOf(ofReadOnly) : 0) |
              (record.Flags & OFN_EXTENSIONDIFFERENT ? setOf(ofExtensionDifferent) : 0);
}

// A notice's answer; false leaves it to the dialog.
bool TOpenDialog::notified(HWND hook, const OFNOTIFYA& notice) {
    LONG_PTR answer = 0;
    switch (notice.hdr.code) {
    case CDN_INITDONE:
        OnShow(this);
        return false;
    case CDN_FILEOK: {
        if (isDriveRelative(notice.lpOFN->lpstrFile)) {
            retypeInFull(GetParent(hook), notice.lpOFN->lpstrFile);
            answer = 1;
            break;
        }
        takeChoice(*notice.lpOFN);
        bool canClose = true;
        OnCanClose(this, canClose);
        answer = canClose ? 0 : 1;  // non-zero keeps the dialog open
        break;
    }
    case CDN_FOLDERCHANGE:
        OnFolderChange(this);
        return false;
    case CDN_SELCHANGE:
        OnSelectionChange(this);
        return false;
    case CDN_TYPECHANGE:
        FilterIndex = static_cast<int>(notice.lpOFN->nFilterIndex);
        OnTypeChange(this);
        return false;
    case CDN_INCLUDEITEM: {
        bool include = true;
        OnIncludeItem(this, include);
        answer = include ? 1 : 0;
        break;
    }
    default:
        return false;
    }
    SetWindowLongPtrA(hook, DWLP_MSGRESULT, answer);
    return true;
}

UINT_PTR CALLBACK TOpenDialog::hookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    UINT_PTR result = 0;
    guardCallback([&] {
        if (message == WM_INITDIALOG) {
            auto* record = reinterpret_cast<OPENFILENAMEA*>(lParam);
            SetPropA(hook, kDialogProperty, reinterpret_cast<HANDLE>(record->lCustData));
        } else if (message == WM_NOTIFY) {
            if (auto* self = static_cast<TOpenDialog*>(GetPropA(hook, kDialogProperty)))
                result = self->notified(hook, *reinterpret_cast<const OFNOTIFYA*>(lParam));
        } else if (message == WM_DESTROY) {
            RemovePropA(hook, kDialogProperty);
        }
    });
    return result;
}
