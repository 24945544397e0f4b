// The label's ellipsis, measured with a fixed width per byte so that the
// cuts can be checked by hand.
#include <gtest/gtest.h>

#include "host/window/exlabel.h"

namespace {

int fiveEach(const AnsiString& text) { return static_cast<int>(text.length()) * 5; }

}  // namespace

TEST(LabelEllipsis, KeepsWholeCharactersThatFit) {
    // "表" (0x95 0x5C) and "ソ" (0x83 0x5C) are two bytes, ten pixels each; "..." is fifteen.
    const struct {
        const char* text;
        int width;
        const char* shown;
    } cases[] = {
        {"abcdefgh", 40, "abcdefgh"},  // fits as it is
        {"abcdefgh", 39, "abcd..."},  // the longest start that fits with "..."
        {"abcdefgh", 15, "..."},      // not one character fits
        {"abcdefgh", 3, "..."},       // nor "..." itself: still "..."
        {"\x95\x5c\x83\x5cxyzw", 39, "\x95\x5c\x83\x5c..."},
        {"\x95\x5c\x83\x5cxyz", 34, "\x95\x5c..."},  // a cut by bytes would show "表" and half of "ソ"
        {"a\x95\x5c\x83\x5c" "b", 29, "a..."},
        {"", 0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EllipsisText(c.text, c.width, fiveEach), c.shown) << c.text << " in " << c.width;
}
