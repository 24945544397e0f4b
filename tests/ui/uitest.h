// Helpers of the GUI tests: pumping messages until something has happened,
// catching what the pump raises, and event handlers made from lambdas.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/application.h"

// Pumps until the condition holds or about two seconds have passed.
template <class Condition>
bool pumpUntil(Condition done) {
    for (int i = 0; i < 400 && !done(); ++i) {
        Application->ProcessMessages();
        Sleep(5);
    }
    return done();
}

// Pumps until the pump raises; the exception's text, "" when none came.
inline std::string pumpUntilRaised() {
    for (int i = 0; i < 400; ++i) {
        try {
            Application->ProcessMessages();
        } catch (const std::exception& e) {
            return e.what();
        }
        Sleep(5);
    }
    return "";
}

// An event whose handler is a function object kept by the test.
template <class Event, class... A>
struct Handler {
    std::function<void(A...)> body;
    static void thunk(void* self, A... args) { static_cast<Handler*>(self)->body(args...); }
    Event event() { return Event(&thunk, this); }
};
using NotifyHandler = Handler<TNotifyEvent, TObject*>;
