// What scripts cannot see of their dialogs (their answers are tested through
// the runner in tests/scripts/bridge_dialogs): the real windows' client
// sizes from script arguments, where they open (centred on a visible owner,
// else on the work area, and always inside the work area), their owner
// window, the controls' names, the buttons kept right of a widened memo, the
// focus in the edit, the password character and the Clear button.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "bridge/caster.h"
#include "bridge/scriptdialogs.h"
#include "engine/orovod.h"
#include "tests/ui/uitest.h"
#include "ui/edits.h"
#include "ui/stdctrls.h"
#include "ui/timer.h"

namespace {

// What a dialog's window showed while it was open.
struct Seen {
    RECT Window{};
    SIZE Client{};
    HWND Owner = nullptr;
};

// Runs a call that opens a dialog; a timer looks at the open dialog, does
// the test's part (when given) and ends it with the modal result.
class DialogTest : public ::testing::Test {
protected:
    // The engines get the GUI types and the Global object's dialogs.
    void SetUp() override { InstallGUIBridge(); }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        if (main) main->Free();
    }

    Seen open(const std::function<void()>& call, TModalResult result = mrCancel,
              const std::function<void(TScriptDialog&)>& part = nullptr) {
        Seen seen;
        bool looked = false;
        struct TimerFree {
            void operator()(TTimer* timer) const { timer->Free(); }
        };
        std::unique_ptr<TTimer, TimerFree> timer(new TTimer(nullptr));
        NotifyHandler look{[&](TObject*) {
            TScriptDialog* dialog = openDialog();
            if (!dialog || looked) return;
            looked = true;
            HWND window = dialog->Handle();
            RECT client;
            GetWindowRect(window, &seen.Window);
            GetClientRect(window, &client);
            seen.Client = {client.right, client.bottom};
            seen.Owner = GetWindow(window, GW_OWNER);
            if (part) part(*dialog);
            dialog->SetModalResult(result);
        }};
        timer->SetInterval(10);
        timer->SetOnTimer(look.event());
        call();
        EXPECT_TRUE(looked);
        return seen;
    }

    // The client size a script's dialog opens with.
    SIZE clientOf(const char* script) {
        DIZI component;
        EXPECT_TRUE(component.Compile(script)) << script;
        return open([&] { component.RunNoArgs(); }).Client;
    }

    Seen prompt(int clientWidth = 0) {
        AnsiString text;
        return open([&] { PromptDialog("Name?", "", 0, "Caption", clientWidth, text); });
    }

    TForm* mainForm(const RECT& bounds, bool visible) {
        main = new TForm(nullptr);
        main->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
        Application->SetMainForm(main);
        main->SetVisible(visible);
        main->HandleNeeded();
        return main;
    }

    static TScriptDialog* openDialog() {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->InheritsFrom(&TScriptDialog::classInfo) && Screen->Forms(i)->Visible())
                return static_cast<TScriptDialog*>(Screen->Forms(i));
        return nullptr;
    }

    TForm* main = nullptr;
};

POINT centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void expectCentredOn(const RECT& inner, const RECT& outer) {
    EXPECT_NEAR(centre(inner).x, centre(outer).x, 1);
    EXPECT_NEAR(centre(inner).y, centre(outer).y, 1);
}

void expectInside(const RECT& inner, const RECT& outer) {
    EXPECT_GE(inner.left, outer.left);
    EXPECT_GE(inner.top, outer.top);
    EXPECT_LE(inner.right, outer.right);
    EXPECT_LE(inner.bottom, outer.bottom);
}

TEST_F(DialogTest, ClientSizesFollowTheScriptsArguments) {
    struct Case {
        const char* script;
        LONG width, height;
    } cases[] = {
        {"prompt('Name?');", 492, 73},
        {"prompt('Name?', '', 0, '', 50);", 200, 73},
        {"prompt('Name?', '', 0, '', -5);", 492, 73},
        {"prompt('Name?', '', 0, '', 640);", 640, 73},
        {"textArea('Notes');", 492, 275},
        {"textArea('Notes', '', '', 0, 100);", 492, 200},
        {"textArea('Notes', '', '', 600, 300);", 600, 300},
        {"new CheckListBox().execute();", 416, 243},
        {"new CheckListBox().execute('', '', 0, 50, 100);", 200, 200},
    };
    for (const Case& c : cases) {
        SIZE client = clientOf(c.script);
        EXPECT_EQ(client.cx, c.width) << c.script;
        EXPECT_EQ(client.cy, c.height) << c.script;
    }
}

TEST_F(DialogTest, EachControlHasItsName) {
    const struct {
        const char* script;
        const char* names;
    } cases[] = {
        {"prompt('Name?');", "lblText edtPrompt btnOK btnCancel"},
        {"textArea('Notes');", "lblText mmText btnOK btnCancel btnClear"},
        {"new CheckListBox().execute();", "lblText lbCheck btnOK btnCancel"},
    };
    for (const auto& c : cases) {
        DIZI component;
        ASSERT_TRUE(component.Compile(c.script));
        AnsiString names;
        open([&] { component.RunNoArgs(); }, mrCancel, [&](TScriptDialog& dialog) {
            for (int i = 0; i < dialog.ComponentCount(); ++i) {
                if (i) names += " ";
                names += dialog.Components(i)->Name();
            }
        });
        EXPECT_EQ(names, c.names);
    }
}

TEST_F(DialogTest, WithoutAMainFormCentredOnTheWorkArea) {
    Seen seen = prompt();
    expectCentredOn(seen.Window, Screen->WorkAreaRect());
    EXPECT_EQ(seen.Owner, nullptr);
}

TEST_F(DialogTest, CentredOnAVisibleOwnerWhoseWindowOwnsIt) {
    TForm* owner = mainForm({100, 150, 700, 550}, true);
    Seen seen = prompt();
    expectCentredOn(seen.Window, owner->BoundsRect());
    EXPECT_EQ(seen.Owner, owner->Handle());
}

TEST_F(DialogTest, AHiddenOwnerLeavesTheDialogOnTheWorkArea) {
    TForm* owner = mainForm({0, 0, 0, 0}, false);
    Seen seen = prompt();
    expectCentredOn(seen.Window, Screen->WorkAreaRect());
    EXPECT_EQ(seen.Owner, owner->Handle());
}

TEST_F(DialogTest, AlwaysInsideTheWorkArea) {
    RECT area = Screen->WorkAreaRect();
    mainForm({area.right - 50, area.bottom - 40, area.right + 150, area.bottom + 60}, true);
    expectInside(prompt().Window, area);
    expectInside(prompt(5000).Window, area);
}

TEST_F(DialogTest, WiderDialogsKeepTheirButtonsRight) {
    AnsiString text;
    open([&] { TextAreaDialog("Notes", "", "", 800, 0, text); }, mrCancel, [](TScriptDialog& dialog) {
        auto& form = static_cast<TfrmTextArea&>(dialog);
        EXPECT_EQ(form.btnOK->Left(), 800 - 82);
        EXPECT_LT(form.mmText->Left() + form.mmText->Width(), form.btnOK->Left());
    });
    open([&] { PromptDialog("Name?", "", 0, "", 640, text); }, mrCancel, [](TScriptDialog& dialog) {
        auto& form = static_cast<TfrmPrompt&>(dialog);
        EXPECT_EQ(form.btnOK->Left(), 640 - 84);
        EXPECT_EQ(form.edtPrompt->Width(), 385 + 640 - 492);
    });
}

TEST_F(DialogTest, FocusPasswordCharacterAndClearButton) {
    AnsiString text;
    open([&] { EXPECT_TRUE(PromptDialog("PIN", "1234", '*', "", 0, text)); }, mrOk, [](TScriptDialog& dialog) {
        TEdit* edit = static_cast<TfrmPrompt&>(dialog).edtPrompt;
        EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
        // The form's own record: the system's focus follows the display's
        // active window, which the other tests' windows may take meanwhile.
        EXPECT_EQ(dialog.ActiveControl(), edit);
    });
    EXPECT_EQ(text, "1234");
    open([&] { EXPECT_TRUE(TextAreaDialog("Notes", "full", "", 0, 0, text)); }, mrOk,
         [](TScriptDialog& dialog) { static_cast<TfrmTextArea&>(dialog).btnClear->Click(); });
    EXPECT_EQ(text, "");
}

}  // namespace
