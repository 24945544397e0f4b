// TSystemObject: the script object "system" every widget script finds
// ready-made - it opens and closes widgets, shows balloon hints and the alert
// popup, and carries the system-information children and TEventObject, the
// event record through which the host's elements hand event details to their
// handlers (which take no arguments). One per engine, shared by its namespaces.
#pragma once

#include <memory>

#include "engine/core/object.h"

class TJVCLComponent;

// ==== The event record ====

class TEventObject : public TJObject {
    RTL_DECLARE_CLASS()
    TEventObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TEventObject() override;

    // Every field back to its reset value: sender null, numbers 0, keys
    // false, returnValue true.
    void ClearEventRecord();

    // The element that raised the event. Held with free notification, not
    // counted: it reads null once the wrapper is freed or its element is gone.
    TObject* Sender() const;
    void SetSender(TObject* sender);

    int32_t wheelDelta = 0;
    int32_t keyCode = 0;
    int32_t x = 0;
    int32_t y = 0;
    bool shiftKey = false;
    bool altKey = false;
    bool ctrlKey = false;
    int32_t button = 0;  // 1 left, 2 right, 4 middle, summed
    bool returnValue = true;

    void FreeNotify(TJNotify* peer) override;

private:
    TJVCLComponent* Sender_ = nullptr;
};

// ==== The system object ====

// The system-information children (host/script/sysinfo.h), in their published order.
enum TSystemChild : int { scCpu, scNet, scMemory, scBattery, scScreen, scDiskDrive, scChildCount };

class TSystemObject : public TJObject {
    RTL_DECLARE_CLASS()
    TSystemObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TSystemObject() override;

    // ---- Published, read only ----
    TObject* Cpu() const { return Children_[scCpu]; }
    TObject* Net() const { return Children_[scNet]; }
    TObject* Memory() const { return Children_[scMemory]; }
    TObject* Battery() const { return Children_[scBattery]; }
    TObject* Screen() const { return Children_[scScreen]; }
    TObject* DiskDrive() const { return Children_[scDiskDrive]; }
    TObject* Event() const { return Event_; }
    TEventObject* EventRecord() const { return Event_; }

    // The widget's XML path, and its folder ending with a back-slash.
    const AnsiString& ScriptFile() const { return ScriptFile_; }
    const AnsiString& ScriptFolder() const { return ScriptFolder_; }

    // A balloon hint with a close button at the screen point for ms
    // milliseconds; each call shows its own.
    void ShowBalloonHint(int x, int y, const AnsiString& title, const AnsiString& text, int32_t ms);

    const TJMethodTable& Methods() const override;

    // The engine's system object; nil when none.
    static TSystemObject* Of(TJRuntime* runtime);

private:
    struct Balloons;

    std::unique_ptr<Balloons> Balloons_;  // with the hidden window that frees them once closed
    TJObject* Children_[scChildCount] = {};
    TEventObject* Event_;
    AnsiString ScriptFile_;
    AnsiString ScriptFolder_;
};
