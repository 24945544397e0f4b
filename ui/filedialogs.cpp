// The file-open dialog over the system's common dialog.
#include "ui/filedialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

const TClassInfo TOpenDialog::classInfo =
    makeClassInfo("TOpenDialog", &TCommonDialog::classInfo, &componentCreator<TOpenDialog>);

// The filter's "|" separators become the zero bytes the system reads; the
// list ends with two.
bool TOpenDialog::Execute() {
    std::string filter(Filter.view());
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.append(2, '\0');
    char file[MAX_PATH * 4] = {};
    FileName.view().copy(file, sizeof file - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = ownerWindow();
    dialog.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&dialog)) return false;
    FileName = file;
    return true;
}
