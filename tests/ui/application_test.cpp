// Tests of the application object: the message pump, termination and the
// callback exception boundary.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/application.h"

namespace {

int timerCalls = 0;

void CALLBACK countingTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    guardCallback([] { ++timerCalls; });
}

void CALLBACK failingTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    guardCallback([] { throw std::runtime_error("from the timer"); });
}

// Pumps until the condition holds or about a second has passed.
template <class Condition>
bool pumpUntil(Condition done) {
    for (int i = 0; i < 100 && !done(); ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
    return done();
}

}  // namespace

TEST(Application, ProcessMessagesDispatchesCallbacks) {
    timerCalls = 0;
    SetTimer(nullptr, 0, 1, &countingTimer);
    EXPECT_TRUE(pumpUntil([] { return timerCalls == 1; }));
    EXPECT_TRUE(Application->IsMainThread());
    EXPECT_FALSE(Application->Title().empty());
}

// An exception inside a callback is kept and raised by the pump after the
// dispatch returned, once.
TEST(Application, CallbackExceptionsAreRaisedByThePump) {
    SetTimer(nullptr, 0, 1, &failingTimer);
    bool raised = false;
    for (int i = 0; i < 100 && !raised; ++i) {
        try {
            Application->ProcessMessages();
        } catch (const std::runtime_error& e) {
            raised = true;
            EXPECT_STREQ(e.what(), "from the timer");
        }
        Sleep(10);
    }
    EXPECT_TRUE(raised);
    EXPECT_NO_THROW(Application->RaisePendingException());
}

// Defined last (tests run in this order): a terminated application stays so.
TEST(Application, TerminateIsFinal) {
    EXPECT_FALSE(Application->Terminated());
    Application->Terminate();
    EXPECT_TRUE(Application->Terminated());
    Application->ProcessMessages();  // takes the quit message
    EXPECT_TRUE(Application->Terminated());
}
