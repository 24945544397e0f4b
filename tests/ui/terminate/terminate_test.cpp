// Termination ends the application for good, so it is tested in a process of
// its own: a terminated application stays so, and a modal form shown then
// returns at once with mrCancel.
#include <gtest/gtest.h>

#include "ui/forms.h"

TEST(Application, TerminateIsFinal) {
    EXPECT_FALSE(Application->Terminated());
    Application->Terminate();
    EXPECT_TRUE(Application->Terminated());
    Application->ProcessMessages();  // takes the quit message
    EXPECT_TRUE(Application->Terminated());
    auto* form = new TForm(nullptr);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(form->Visible());
    form->Free();
}
