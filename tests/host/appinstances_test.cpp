// Single instance on real windows: a later start hands its parameters (a
// relative widget path made absolute) to the running instance, whose handler
// hears them; also when the running instance's window came out top-level, as
// Wine makes it while its desktop process is still starting.
#include <gtest/gtest.h>

#include "host/app/appinstances.h"
#include "ui/application.h"

namespace {

struct TReceived {
    std::vector<TParameters> lists;
    void handler(TObject*, const TParameters& parameters) { lists.push_back(parameters); }
};

// The running instance's window: this process's message-only "TAppInstances".
HWND ownInstanceWindow() {
    for (HWND window = nullptr; (window = FindWindowExA(HWND_MESSAGE, window, "TAppInstances", nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

}  // namespace

TEST(AppInstances, LaterStartHandsOverItsParameters) {
    for (bool topLevel : {false, true}) {
        auto* running = new TAppInstances(nullptr, {});
        ASSERT_FALSE(running->HandedOver());
        TReceived received;
        running->OnCmdLineReceived = TCmdLineReceivedEvent::bind<&TReceived::handler>(&received);
        HWND window = ownInstanceWindow();
        ASSERT_TRUE(window);
        if (topLevel) SetParent(window, GetDesktopWindow());
        auto* later = new TAppInstances(nullptr, {"-s", "w.xml"});
        EXPECT_TRUE(later->HandedOver()) << topLevel;
        later->Free();
        Application->ProcessMessages();
        ASSERT_EQ(received.lists.size(), 1u) << topLevel;
        EXPECT_EQ(received.lists[0], TParameters({"-s", startFolder() + "w.xml"})) << topLevel;
        running->Free();
    }
}
