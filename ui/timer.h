// TTimer: a component that raises OnTimer every Interval milliseconds through
// its own message window, on the GUI thread. It runs only while Enabled is
// set, Interval is above 0 and OnTimer is assigned.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/wndproc.h"

RTL_EXCEPTION(EOutOfResources, Exception);

class TTimer : public TComponent {
    RTL_DECLARE_CLASS()
    explicit TTimer(TComponent* owner);

    bool Enabled() const { return Enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return Interval_; }
    void SetInterval(uint32_t value);
    const TNotifyEvent& OnTimer() const { return OnTimer_; }
    void SetOnTimer(const TNotifyEvent& handler);

protected:
    ~TTimer() override = default;
    void FreeDeferred() override { SetEnabled(false); }
    virtual void Timer() { OnTimer_(this); }

private:
    void updateTimer();
    void windowMessage(TMessage& message, bool& handled);

    std::unique_ptr<TMessageWindow> Window_;
    TNotifyEvent OnTimer_;
    uint32_t Interval_ = 1000;
    bool Enabled_ = true;
};
