// The edit controls in real windows: the selection counted in bytes of the
// code page with and without a window, one OnChange per change of the text,
// the text, selection and modified flag across a re-made window, undo, and
// the memo's lines and caret over its text, and double-byte characters typed
// in.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/edits.h"
#include "ui/forms.h"
#include "ui/lists.h"
#include "uitest.h"

namespace {

const char kJapanese[] = "\x93\xfa\x96\x7b\x8c\xea";  // three double-byte characters

}  // namespace

TEST(Edits, SelectionCountsBytesWithAndWithoutAWindow) {
    const struct {
        const char* text;
        int start, length;
        const char* selected;
        int gotStart;
    } cases[] = {
        {"abcdef", 2, 3, "cde", 2},
        {kJapanese, 2, 2, "\x96\x7b", 2},
        {kJapanese, 2, 10, "\x96\x7b\x8c\xea", 2},  // clamped at the end
        {"abc", 9, 1, "", 3},
    };
    for (bool windowed : {false, true}) {
        auto* form = new TForm(nullptr);
        auto* memo = new TMemo(form);
        memo->SetParent(form);
        if (windowed) memo->HandleNeeded();
        for (const auto& c : cases) {
            memo->SetText(c.text);
            memo->SetSelStart(c.start);
            memo->SetSelLength(c.length);
            EXPECT_EQ(memo->SelText(), AnsiString(c.selected)) << c.text << " windowed " << windowed;
            EXPECT_EQ(memo->SelStart(), c.gotStart) << c.text << " windowed " << windowed;
        }
        memo->SetText(kJapanese);
        memo->SelectAll();
        EXPECT_EQ(memo->SelLength(), 6) << "windowed " << windowed;
        memo->SetText("abcdef");
        memo->SetSelStart(1);
        memo->SetSelLength(2);
        memo->SetSelText(kJapanese);
        EXPECT_EQ(memo->Text(), AnsiString("a") + kJapanese + "def") << "windowed " << windowed;
        form->Free();
    }
}

TEST(Edits, TextSelectionAndModifiedOutliveTheWindow) {
    auto* form = new TForm(nullptr);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    int changes = 0;
    NotifyHandler onChange{[&](TObject*) { ++changes; }};
    memo->OnChange = onChange.event();
    memo->SetText("one\r\ntwo");
    memo->SetText("one\r\ntwo");  // no change: nothing told
    EXPECT_EQ(changes, 1);
    memo->HandleNeeded();
    SendMessageA(memo->Handle(), WM_CHAR, 'x', 0);  // typed: modified, told once
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(memo->Modified());
    memo->SetSelStart(1);
    memo->SetSelLength(2);
    memo->SetWordWrap(false);  // a new window
    EXPECT_EQ(memo->Text(), AnsiString("xone\r\ntwo"));
    EXPECT_EQ(memo->SelText(), AnsiString("on"));
    EXPECT_TRUE(memo->Modified());
    EXPECT_EQ(changes, 2);
    form->Free();
}

TEST(Edits, UndoTakesBackTheLastEdit) {
    auto* form = new TForm(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->HandleNeeded();  // undo lives in the window
    edit->SetText("abc");
    edit->SelectAll();
    edit->SetSelText("xyz");
    ASSERT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), AnsiString("abc"));
    edit->ClearUndo();
    EXPECT_FALSE(edit->CanUndo());
    form->Free();
}

// Each change of the lines is made in the text in place, and told once by
// the lines and by the memo.
TEST(Edits, MemoLinesAreTheText) {
    const struct {
        const char* text;
        void (*change)(TStrings&);
        const char* after;
        int count;
    } cases[] = {
        {"a\r\nb", [](TStrings& l) { l.Add("c"); }, "a\r\nb\r\nc", 3},
        {"a\r\n", [](TStrings& l) { l.Add("b"); }, "a\r\nb", 2},
        {"", [](TStrings& l) { l.Add(kJapanese); }, kJapanese, 1},
        {"a\r\nb", [](TStrings& l) { l.Insert(1, "z"); }, "a\r\nz\r\nb", 3},
        {"a\r\nb", [](TStrings& l) { l.Delete(1); }, "a", 1},
        {"a\r\nb\r\n", [](TStrings& l) { l.Delete(1); }, "a\r\n", 1},
        {"a\r\nb", [](TStrings& l) { l.Delete(0); }, "b", 1},
        {"a\r\n\r\nb", [](TStrings& l) { l.SetStrings(1, kJapanese); }, "a\r\n\x93\xfa\x96\x7b\x8c\xea\r\nb", 3},
        {"x", [](TStrings& l) { l.SetText("a\nb\rc\r\n"); }, "a\r\nb\r\nc", 3},
    };
    for (bool windowed : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.after) + (windowed ? " windowed" : ""));
            auto* form = new TForm(nullptr);
            auto* memo = new TMemo(form);
            memo->SetParent(form);
            if (windowed) memo->HandleNeeded();
            memo->SetText(c.text);
            int changes = 0, memoChanges = 0;
            Handler<TStringsEvent, TStrings*> onLines{[&](TStrings*) { ++changes; }};
            NotifyHandler onChange{[&](TObject*) { ++memoChanges; }};
            memo->Lines()->OnChange = onLines.event();
            memo->OnChange = onChange.event();
            c.change(*memo->Lines());
            EXPECT_EQ(memo->Text(), AnsiString(c.after));
            EXPECT_EQ(memo->Lines()->Count(), c.count);
            EXPECT_EQ(changes, 1);
            EXPECT_EQ(memoChanges, 1);
            form->Free();
        }
    }
}

// The caret's line as the lines count them, its column in bytes.
TEST(Edits, MemoCaretPosCountsBytesOfItsLine) {
    const struct {
        const char* text;
        int caret;
        int x, y;
    } cases[] = {
        {"ab\r\n\x93\xfa\x96\x7b" "c", 0, 0, 0}, {"ab\r\n\x93\xfa\x96\x7b" "c", 2, 2, 0},
        {"ab\r\n\x93\xfa\x96\x7b" "c", 4, 0, 1}, {"ab\r\n\x93\xfa\x96\x7b" "c", 8, 4, 1},
        {"ab\r\n\x93\xfa\x96\x7b" "c", 9, 5, 1}, {"ab\r\n", 4, 0, 1},
    };
    auto* form = new TForm(nullptr);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    for (bool windowed : {false, true}) {
        if (windowed) memo->HandleNeeded();
        for (const auto& c : cases) {
            memo->SetText(c.text);
            memo->SetSelStart(c.caret);
            TPoint caret = memo->CaretPos();
            EXPECT_EQ(caret.x, c.x) << c.caret << (windowed ? " windowed" : "");
            EXPECT_EQ(caret.y, c.y) << c.caret << (windowed ? " windowed" : "");
        }
    }
    int changes = 0;  // the user's typing changes the lines too
    Handler<TStringsEvent, TStrings*> onLines{[&](TStrings*) { ++changes; }};
    memo->Lines()->OnChange = onLines.event();
    SendMessageA(memo->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(changes, 1);
    form->Free();
}

// A double-byte character reaches an edit box, a memo and the system's edit
// box inside a combo box whole, whether it comes byte by byte or as one wide
// character message; a key press sees each of its bytes.
TEST(Edits, DoubleByteCharactersArriveWhole) {
    const char typed[] = "\x82\xa0\x82\xa2x";  // あいx
    auto* form = new TForm(nullptr);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    std::string pressed;
    Handler<TKeyPressEvent, TObject*, char&> press{[&](TObject*, char& key) { pressed += key; }};
    edit->OnKeyPress = press.event();
    struct Target {
        const char* name;
        HWND control;  // whose text is read
        HWND typedInto;
    } targets[] = {
        {"edit", edit->Handle(), edit->Handle()},
        {"memo", memo->Handle(), memo->Handle()},
        {"combo box", combo->Handle(), FindWindowExA(combo->Handle(), nullptr, "Edit", nullptr)},
    };
    for (const Target& target : targets) {
        SCOPED_TRACE(target.name);
        ASSERT_TRUE(target.typedInto);
        PostMessageA(target.typedInto, WM_CHAR, 0x82, 1);
        PostMessageA(target.typedInto, WM_CHAR, 0xa0, 1);
        PostMessageW(target.typedInto, WM_CHAR, 0x3044, 1);  // い
        PostMessageA(target.typedInto, WM_CHAR, 'x', 1);
        char text[16] = "";
        pumpUntil([&] { return GetWindowTextA(target.control, text, sizeof text) >= 5; });
        EXPECT_STREQ(text, typed);
    }
    EXPECT_EQ(pressed, typed);
    form->Free();
}
