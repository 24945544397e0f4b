// TAppInstances: one running instance of the program per executable. A later
// start finds the running one, hands it its parameters and ends; the running
// instance receives them as a list on its GUI thread, after the message that
// carried them has returned. Made by the program's entry, owned by the main form.
#pragma once

#include <deque>
#include <memory>

#include "host/app/commandline.h"
#include "ui/wndproc.h"

using TCmdLineReceivedEvent = TEvent<void(TObject* Sender, const TParameters& CmdLine)>;

class TAppInstances : public TComponent, private TWindowTarget {
    RTL_DECLARE_CLASS()
    // Looks for a running instance; when there is one, hands it `parameters`
    // (a "-s" path expanded against the current folder) and HandedOver is true.
    TAppInstances(TComponent* owner, const TParameters& parameters);

    // Another instance runs and has this start's parameters: this start ends.
    bool HandedOver() const { return HandedOver_; }

    TCmdLineReceivedEvent OnCmdLineReceived;

protected:
    ~TAppInstances() override;

private:
    void WindowAttached(HWND handle) override { Window_ = handle; }
    void WindowMessage(TMessage& message) override;
    void deliver();

    HANDLE Mutex_ = nullptr;
    HWND Window_ = nullptr;
    std::deque<TParameters> Received_;
    bool HandedOver_ = false;
};
