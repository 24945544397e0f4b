// Hotkey values: platform flags both ways, atom names and texts.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/app/hotkeys.h"

TEST(HotKeys, ValuesAndPlatformFlags) {
    const struct {
        uint32_t hotkey;
        unsigned modifiers;
    } cases[] = {
        {kDefaultHotKey, MOD_ALT},
        {kHotKeyCtrl | kHotKeyShift | VK_F1, MOD_CONTROL | MOD_SHIFT},
        {kHotKeyWin | 'Z', MOD_WIN},
        {kHotKeyCtrl | kHotKeyShift | kHotKeyAlt | kHotKeyWin | VK_HOME, MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN},
        {'Q', 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hotKeyModifiers(c.hotkey), c.modifiers) << c.hotkey;
        EXPECT_EQ(hotKeyFromMessage(c.modifiers, c.hotkey & 0xFF), c.hotkey) << c.hotkey;
    }
    EXPECT_EQ(kDefaultHotKey, 32833u);
    EXPECT_EQ(hotKeyAtomName(kDefaultHotKey), "HotKeyManagerHotKey32833");
}

TEST(HotKeys, Texts) {
    const struct {
        uint32_t hotkey;
        const char* keyName;
        const char* text;
    } cases[] = {
        {kHotKeyCtrl | kHotKeyShift | kHotKeyAlt | kHotKeyWin | 'A', "A", "Ctrl+Shift+Alt+Win+A"},
        {kHotKeyWin | kHotKeyAlt | VK_F1, "F1", "Alt+Win+F1"},
        {kHotKeyAlt | 166, "", "Alt+Browser Back"},
        {183, "?", "Start Application 2"},
        {166, "Back", "Back"},  // a longer platform name is kept
        {184, "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(hotKeyText(c.hotkey, c.keyName, false), c.text) << c.hotkey;
    EXPECT_EQ(HotKeyToText(kDefaultHotKey), "Alt+A");  // the key's name from the platform
}
