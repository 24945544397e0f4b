// The folder picker on the real shell dialog: OnChangeFolder hears the start
// folder and its status text reaches the dialog. (The OK button is not
// checked: under Wine it does not follow the answer's index.)
#include <gtest/gtest.h>

#include <string>

#include "host/window/folderbrowser.h"
#include "ui/forms.h"
#include "ui/timer.h"

namespace {

// What the picker's dialog shows; read then cancelled from a timer while it runs.
struct TSeen {
    bool found = false;
    std::string status;
};

HWND pickerOf(HWND owner) {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32770", nullptr))
        if (GetWindow(window, GW_OWNER) == owner) return window;
    return nullptr;
}

BOOL CALLBACK readStatus(HWND child, LPARAM data) {
    char text[MAX_PATH] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text).rfind("status ", 0) == 0) reinterpret_cast<TSeen*>(data)->status = text;
    return TRUE;
}

}  // namespace

TEST(FolderBrowser, ChangeFolderAnswersReachTheDialog) {
    auto* form = new TForm(nullptr);
    auto* browser = new TFolderBrowser(form);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    browser->Folder = windows;
    browser->BrowseFlags = 1u << bfStatusText;
    std::string heard;
    struct TChange {
        std::string* heard;
        void handler(TObject*, const AnsiString& folder, int& index, AnsiString& text) {
            *heard = folder.c_str();
            index = 0;
            text = AnsiString("status ") + folder;
        }
    } change{&heard};
    browser->OnChangeFolder = TChangeFolderEvent::bind<&TChange::handler>(&change);
    TSeen seen;
    struct TWatch {
        TForm* form;
        TSeen* seen;
        void tick(TObject*) {
            HWND picker = pickerOf(form->Handle());
            if (!picker || seen->found) return;
            seen->found = true;
            EnumChildWindows(picker, &readStatus, reinterpret_cast<LPARAM>(seen));
            PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
        }
    } watch{form, &seen};
    auto* timer = new TTimer(form);
    timer->SetInterval(200);
    timer->SetOnTimer(TNotifyEvent::bind<&TWatch::tick>(&watch));
    EXPECT_FALSE(browser->Execute());
    ASSERT_TRUE(seen.found);
    EXPECT_STRCASEEQ(heard.c_str(), windows);
    EXPECT_EQ(seen.status, "status " + heard);
    form->Free();
}
