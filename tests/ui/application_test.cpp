// Tests of the application object: the message pump and the callback
// exception boundary (termination is in terminate/).
#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/application.h"
#include "uitest.h"

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
