// Hotkey values of the host (the virtual key in the low byte, Shift 0x2000,
// Ctrl 0x4000, Alt 0x8000, Win 0x10000; 32833 is Alt+A), their platform
// modifier flags, the global atom names they register under and their text.
// Used by the host settings dialog; THotKeyManager registers them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "rtl/ansistring.h"
#include "ui/wndproc.h"

constexpr uint32_t kHotKeyShift = 0x2000;
constexpr uint32_t kHotKeyCtrl = 0x4000;
constexpr uint32_t kHotKeyAlt = 0x8000;
constexpr uint32_t kHotKeyWin = 0x10000;
constexpr uint32_t kDefaultHotKey = kHotKeyAlt | 'A';  // 32833

// The platform's modifier flags for RegisterHotKey (Alt 1, Ctrl 2, Shift 4, Win 8).
unsigned hotKeyModifiers(uint32_t hotkey);
// The hotkey value of a hotkey message's modifier flags and virtual key.
uint32_t hotKeyFromMessage(unsigned modifiers, unsigned virtualKey);
// "HotKeyManagerHotKey" followed by the value in decimal.
AnsiString hotKeyAtomName(uint32_t hotkey);

// The modifier names in the order Ctrl, Shift, Alt, Win, each followed by "+",
// then the key's name. `localized` takes the first three from the platform's
// key names; otherwise they are the words "Ctrl", "Shift", "Alt", "Win".
AnsiString HotKeyToText(uint32_t hotkey, bool localized = false);
// The same with the key's name given: a name of at most one character for
// the keys 166 to 183 (browser and media keys) is replaced by its English name.
AnsiString hotKeyText(uint32_t hotkey, const AnsiString& keyName, bool localized);

// ==== THotKeyManager ====

// A hotkey pressed: its value and the identifier AddHotKey gave.
using THotKeyEvent = TEvent<void(TObject* Sender, uint32_t HotKey, int Index)>;

// Registers global hotkeys for its own hidden window, each under a global atom
// named after its value, and reports their presses.
class THotKeyManager : public TComponent {
    RTL_DECLARE_CLASS()
    explicit THotKeyManager(TComponent* owner);

    // The identifier (the atom), 0 when the hotkey cannot be registered.
    int AddHotKey(uint32_t hotkey);
    // Unregisters every hotkey, the newest first.
    void RemoveAllHotKeys();

    THotKeyEvent OnHotKeyPressed;

protected:
    ~THotKeyManager() override;

private:
    struct Entry {
        uint32_t hotkey;
        ATOM atom;
    };
    void windowMessage(TMessage& message, bool& handled);

    std::unique_ptr<TMessageWindow> Window_;
    std::vector<Entry> HotKeys_;
};
