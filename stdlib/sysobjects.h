// The small system objects of scripts, each with a global instance under its
// class name: "Win32" (programs, sleeping, the tick count), "CRC", "Base64"
// (with the mail header words), "Mutex" (named, across processes), and the
// ones over the desktop (guiobjects.cpp): "Dialog" (the platform's file and
// folder dialogs), "Keyboard", "Mouse" and "Clipboard".
#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/object.h"
#include "engine/support/mutex.h"

class TJStringsObject;

class TJWin32Object : public TJObject {
    RTL_DECLARE_CLASS()
    TJWin32Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TJMethodTable& Methods() const override;
};

class TJCRCObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJCRCObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    uint16_t Crc16 = 0xFFFF;
    uint32_t Crc32 = 0xFFFFFFFF;

    int32_t crc16Property() const { return Crc16; }
    // The 32-bit pattern as a signed integer: 0x80000000 and above read negative.
    int32_t crc32Property() const { return static_cast<int32_t>(Crc32); }

    const TJMethodTable& Methods() const override;
};

class TJBase64Object : public TJObject {
    RTL_DECLARE_CLASS()
    TJBase64Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    const TJMethodTable& Methods() const override;
};

class TJMutexObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The first argument's text names the mutex (empty without one).
    TJMutexObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TMutex& Mutex() { return *Mutex_; }

    int32_t timeoutProperty() const { return static_cast<int32_t>(Mutex_->Timeout()); }
    void setTimeoutProperty(int32_t milliseconds) { Mutex_->setTimeout(static_cast<uint32_t>(milliseconds)); }
    bool existedProperty() const { return Mutex_->Existed(); }

    const TJMethodTable& Methods() const override;

private:
    std::unique_ptr<TMutex> Mutex_;
};

class TJDialogObject : public TJObject {
    RTL_DECLARE_CLASS()
    // Every argument's text becomes a line of `filters`.
    TJDialogObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJDialogObject() override;

    TJStringsObject* filtersProperty() const { return Filters_; }

    const TJMethodTable& Methods() const override;

private:
    TJStringsObject* Filters_;
};

class TJKeyboard : public TJObject {
    RTL_DECLARE_CLASS()
    TJKeyboard(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    bool shiftProperty() const;
    bool ctrlProperty() const;
    bool altProperty() const;

    const TJMethodTable& Methods() const override;
};

class TJMouse : public TJObject {
    RTL_DECLARE_CLASS()
    TJMouse(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The physical buttons, whatever the left-handed setting.
    bool lbuttonProperty() const;
    bool mbuttonProperty() const;
    bool rbuttonProperty() const;
    // The cursor in screen coordinates.
    int32_t xProperty() const;
    int32_t yProperty() const;
};

class TJClipboard : public TJObject {
    RTL_DECLARE_CLASS()
    TJClipboard(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString ToString(const TJValue* = nullptr) override { return asTextProperty(); }

    // The clipboard's ANSI text; empty when it holds none.
    AnsiString asTextProperty() const;
    void setAsTextProperty(AnsiString text);

    const TJMethodTable& Methods() const override;
};
