// The script error box: which numbered lines of the translated text it shows.
#include <gtest/gtest.h>

#include "host/app/errorbox.h"

TEST(ErrorBox, NumberedLinesAroundTheErrorLine) {
    const char* five = "a\r\nb\nc\rd\r\ne\r\n";  // any line ends; the last one starts no line
    const struct {
        const char* source;
        int line;
        const char* text;
    } cases[] = {
        {five, 3, "m\r\n\r\n2: b\r\n3: c\r\n4: d\r\n"},
        {five, 1, "m\r\n\r\n1: a\r\n2: b\r\n3: c\r\n"},
        {five, 5, "m\r\n\r\n3: c\r\n4: d\r\n5: e\r\n"},  // the last line: the two before it
        {five, 9, "m\r\n\r\n3: c\r\n4: d\r\n5: e\r\n"},  // past the end: the last line
        {five, 0, "m\r\n\r\n1: a\r\n2: b\r\n3: c\r\n"},
        {"only", 1, "m\r\n\r\n1: only\r\n"},
        {"x\r\ny", 2, "m\r\n\r\n1: x\r\n2: y\r\n"},
        {"", 4, "m\r\n\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(scriptErrorText(c.source, c.line, "m"), c.text) << c.line;
    EXPECT_STREQ(kErrorBoxCaption, "Nimbora Error");
}
