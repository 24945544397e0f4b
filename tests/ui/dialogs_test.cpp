// The modeless find and replace dialogs: Tab and Enter reach them through the
// application's loop, each button reports itself through the component's
// events, and a component freed while its dialog shows takes the dialog
// down first, with no event. (Scripts cannot free a component while the
// runner's answerer may be reading its dialog.)
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <string>

#include "ui/dialogs.h"
#include "uitest.h"

namespace {

// Presses a key in the window as the keyboard does: the message goes
// through the queue, so the loop's dialog handling sees it.
void pressKey(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST(FindDialog, TabAndEnterWorkThroughTheLoop) {
    auto* dialog = new TFindDialog(nullptr);
    dialog->SetFindWhat("start");
    std::string log;
    NotifyHandler found{[&](TObject*) { log += "find " + std::string(dialog->FindWhat().c_str()) + ";"; }};
    NotifyHandler closed{[&](TObject*) { log += "close;"; }};
    dialog->OnFind = found.event();
    dialog->OnClose = closed.event();
    ASSERT_TRUE(dialog->Execute());
    HWND window = dialog->Handle();
    ASSERT_TRUE(IsWindow(window));
    HWND edit = GetDlgItem(window, edt1);
    SetFocus(edit);
    SetWindowTextA(edit, "needle");
    pressKey(edit, VK_TAB);
    EXPECT_TRUE(pumpUntil([&] { return GetFocus() != edit; })) << "Tab left the focus in the edit";
    SetFocus(edit);
    pressKey(edit, VK_RETURN);
    EXPECT_TRUE(pumpUntil([&] { return !log.empty(); }));
    EXPECT_EQ(log, "find needle;");
    EXPECT_TRUE(inSet(dialog->Options(), frFindNext));
    dialog->CloseDialog();
    EXPECT_EQ(log, "find needle;close;");
    EXPECT_EQ(dialog->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    dialog->Free();
}

TEST(FindDialog, FreedWhileShowingClosesItsDialogSilently) {
    auto* dialog = new TReplaceDialog(nullptr);
    int events = 0;
    NotifyHandler counted{[&](TObject*) { ++events; }};
    dialog->OnClose = counted.event();
    dialog->OnReplace = counted.event();
    ASSERT_TRUE(dialog->Execute());
    HWND window = dialog->Handle();
    EXPECT_TRUE(dialog->Execute()) << "a second Execute brings the same dialog forward";
    EXPECT_EQ(dialog->Handle(), window);
    dialog->Free();
    EXPECT_FALSE(IsWindow(window));
    Application->ProcessMessages();
    EXPECT_EQ(events, 0);
}

TEST(ReplaceDialog, ReplaceAllReportsItsTexts) {
    auto* dialog = new TReplaceDialog(nullptr);
    dialog->SetFindWhat("old");
    dialog->SetReplaceWith("new");
    std::string log;
    NotifyHandler replaced{[&](TObject*) {
        log += std::string(dialog->FindWhat().c_str()) + ">" + dialog->ReplaceWith().c_str() +
               (inSet(dialog->Options(), frReplaceAll) ? " all" : " one");
    }};
    dialog->OnReplace = replaced.event();
    ASSERT_TRUE(dialog->Execute());
    SetDlgItemTextA(dialog->Handle(), edt2, "newer");
    SendMessageA(dialog->Handle(), WM_COMMAND, MAKEWPARAM(psh2, BN_CLICKED), 0);  // Replace All
    EXPECT_EQ(log, "old>newer all");
    dialog->Free();
}

TEST(FindDialog, ALongSearchTextIsCutAtACharactersEnd) {
    auto* dialog = new TFindDialog(nullptr);
    std::string text;
    for (int i = 0; i < 600; ++i) text += "\x82\xA0";  // a double-byte character, 1,200 bytes in all
    dialog->SetFindWhat(text.c_str());
    ASSERT_TRUE(dialog->Execute());
    char shown[2048] = "";
    int length = GetDlgItemTextA(dialog->Handle(), edt1, shown, sizeof shown);
    EXPECT_EQ(length, 1022);
    EXPECT_EQ(std::string(shown), text.substr(0, 1022));
    dialog->Free();
}
