// Termination ends the application for good, so it is tested in a process of
// its own: closing the main form terminates, a terminated application stays
// so, and a modal form shown then returns at once with mrCancel.
#include <gtest/gtest.h>

#include "ui/forms.h"

TEST(Application, ClosingTheMainFormTerminatesForGood) {
    auto* main = new TForm(nullptr);
    Application->SetMainForm(main);
    main->Show();
    EXPECT_FALSE(Application->Terminated());
    main->Close();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(main->Visible());  // the main form is not hidden, the program ends
    Application->ProcessMessages();  // takes the quit message
    EXPECT_TRUE(Application->Terminated());
    auto* form = new TForm(nullptr);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(form->Visible());
    form->Free();
    main->Free();
    EXPECT_EQ(Application->MainForm(), nullptr);
}
