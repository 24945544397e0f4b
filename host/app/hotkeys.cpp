// Hotkey values, flags, atom names and texts.
#include "host/app/hotkeys.h"

#include <windows.h>

#include <iterator>

#include "engine/support/mbstring.h"
#include "rtl/numtext.h"
#include "ui/menus.h"

namespace {

// Host value bit and platform flag, one row per modifier.
struct ModifierBits {
    uint32_t hotkey;
    unsigned platform;
};
const ModifierBits kModifierBits[] = {
    {kHotKeyAlt, MOD_ALT}, {kHotKeyCtrl, MOD_CONTROL}, {kHotKeyShift, MOD_SHIFT}, {kHotKeyWin, MOD_WIN}};

const char* const kMediaKeyNames[] = {  // virtual keys 166 to 183
    "Browser Back",  "Browser Forward", "Browser Refresh",     "Browser Stop",        "Browser Search",
    "Browser Favorites", "Browser Start/Home", "Volume Mute",   "Volume Down",         "Volume Up",
    "Next Track",    "Previous Track",  "Stop Media",          "Play/Pause Media",    "Start Mail",
    "Select Media",  "Start Application 1", "Start Application 2"};
constexpr unsigned kFirstMediaKey = 166;

struct ModifierNames {
    AnsiString ctrl, shift, alt, win;
};

// Read once: the platform's names of Ctrl, Shift and Alt, and "Win" in capitals
// when the Alt name is written in capitals alone.
const ModifierNames& localizedNames() {
    static const ModifierNames names = [] {
        ModifierNames n{KeyName(VK_CONTROL), KeyName(VK_SHIFT), KeyName(VK_MENU), "Win"};
        bool capitals = !n.alt.empty();
        for (char c : n.alt.view()) capitals = capitals && c >= 'A' && c <= 'Z';
        if (capitals) n.win = "WIN";
        return n;
    }();
    return names;
}

}  // namespace

unsigned hotKeyModifiers(uint32_t hotkey) {
    unsigned flags = 0;
    for (const ModifierBits& bits : kModifierBits)
        if (hotkey & bits.hotkey) flags |= bits.platform;
    return flags;
}

uint32_t hotKeyFromMessage(unsigned modifiers, unsigned virtualKey) {
    uint32_t hotkey = virtualKey & 0xFF;
    for (const ModifierBits& bits : kModifierBits)
        if (modifiers & bits.platform) hotkey |= bits.hotkey;
    return hotkey;
}

AnsiString hotKeyAtomName(uint32_t hotkey) {
    return "HotKeyManagerHotKey" + intToText(hotkey);
}

AnsiString hotKeyText(uint32_t hotkey, const AnsiString& keyName, bool localized) {
    static const ModifierNames kWords{"Ctrl", "Shift", "Alt", "Win"};
    const ModifierNames& names = localized ? localizedNames() : kWords;
    AnsiString text;
    if (hotkey & kHotKeyCtrl) text += names.ctrl + "+";
    if (hotkey & kHotKeyShift) text += names.shift + "+";
    if (hotkey & kHotKeyAlt) text += names.alt + "+";
    if (hotkey & kHotKeyWin) text += names.win + "+";
    unsigned key = hotkey & 0xFF;
    if (MbcsLength(keyName) <= 1 && key >= kFirstMediaKey && key < kFirstMediaKey + std::size(kMediaKeyNames))
        return text + kMediaKeyNames[key - kFirstMediaKey];
    return text + keyName;
}

AnsiString HotKeyToText(uint32_t hotkey, bool localized) {
    return hotKeyText(hotkey, KeyName(hotkey & 0xFF), localized);
}

// ==== THotKeyManager ====

const TClassInfo THotKeyManager::classInfo = makeClassInfo("THotKeyManager", &TComponent::classInfo);

THotKeyManager::THotKeyManager(TComponent* owner)
    : TComponent(owner),
      Window_(std::make_unique<TMessageWindow>(TMessageWindow::THandler::bind<&THotKeyManager::windowMessage>(this),
                                               this)) {}

THotKeyManager::~THotKeyManager() {
    Destroying();
    RemoveAllHotKeys();
}

int THotKeyManager::AddHotKey(uint32_t hotkey) {
    ATOM atom = GlobalAddAtomA(hotKeyAtomName(hotkey).c_str());
    if (atom == 0) return 0;
    if (!RegisterHotKey(Window_->Handle(), atom, hotKeyModifiers(hotkey), hotkey & 0xFF)) {
        GlobalDeleteAtom(atom);
        return 0;
    }
    HotKeys_.push_back({hotkey, atom});
    return atom;
}

void THotKeyManager::RemoveAllHotKeys() {
    while (!HotKeys_.empty()) {
        Entry entry = HotKeys_.back();
        HotKeys_.pop_back();
        UnregisterHotKey(Window_->Handle(), entry.atom);
        GlobalDeleteAtom(entry.atom);
    }
}

void THotKeyManager::windowMessage(TMessage& message, bool&) {
    if (message.Msg != WM_HOTKEY) return;
    uint32_t hotkey = hotKeyFromMessage(LOWORD(message.LParam), HIWORD(message.LParam));
    for (const Entry& entry : HotKeys_)
        if (entry.hotkey == hotkey) return OnHotKeyPressed(this, hotkey, static_cast<int>(message.WParam));
}
