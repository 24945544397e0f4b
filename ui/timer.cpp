// The timer component: its message window is made when it first runs.
#include "ui/timer.h"

namespace {

const TPropInfo timerProperties[] = {
    BoolProperty<&TTimer::Enabled, &TTimer::SetEnabled>("Enabled", 1),
    IntegerProperty<&TTimer::Interval, &TTimer::SetInterval>("Interval", 1000),
    MethodProperty<&TTimer::OnTimer, &TTimer::SetOnTimer>("OnTimer", &NotifyEventType),
};

}  // namespace

const TClassInfo TTimer::classInfo =
    makeClassInfo("TTimer", &TComponent::classInfo, timerProperties, &componentCreator<TTimer>);

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

void TTimer::SetEnabled(bool value) {
    if (value == Enabled_) return;
    Enabled_ = value;
    updateTimer();
}

void TTimer::SetInterval(uint32_t value) {
    if (value == Interval_) return;
    Interval_ = value;
    updateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& handler) {
    OnTimer_ = handler;
    updateTimer();
}

// Every change starts the count afresh.
void TTimer::updateTimer() {
    if (Window_) KillTimer(Window_->Handle(), 1);
    if (!Enabled_ || Interval_ == 0 || !OnTimer_) return;
    if (!Window_)
        Window_ = std::make_unique<TMessageWindow>(TMessageWindow::THandler::bind<&TTimer::windowMessage>(this), this);
    if (!SetTimer(Window_->Handle(), 1, Interval_, nullptr)) throw EOutOfResources("Not enough timers available");
}

void TTimer::windowMessage(TMessage& message, bool& handled) {
    if (message.Msg != WM_TIMER) return;
    handled = true;
    Timer();
}
