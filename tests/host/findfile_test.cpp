// The file finder's mask matching.
#include <gtest/gtest.h>

#include "host/app/findfile.h"

TEST(FindFile, MaskMatching) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"clock.xml", "*.xml", true},
        {"CLOCK.XML", "*.xml", true},
        {"clock.xml.bak", "*.xml", false},
        {".xml", "*.xml", false},  // an empty base never matches
        {".xml", "*", false},
        {"noext", "*", true},
        {"a.b.c", "*.*", true},
        {"clock.xml", ".xml", false},
        {"clock.xm", "*.xml", false},
        {"clock.xmlx", "*.xml", false},
        {"clock.xml", "c?ock.*", true},
        {"clck.xml", "c?ock.*", false},
        {"clock.xml", "*ck.xml", true},
        {"ck.xml", "*ock.xml", false},    // the tail is longer than the name
        {"ab.xml", "ab*b.xml", false},    // the tail must follow the head
        {"abxb.xml", "ab*b.xml", true},
        {"a-anything-z.xml", "a*q*z.xml", true},  // only the last tail is compared
        {"\x95\x5c.xml", "?.xml", true},          // 表 is one character
        {"\x95\x5c.xml", "??.xml", false},
        {"\x95\x5c.xml", "*\x5c.xml", false},     // a trail byte is no character of its own
    };
    for (const auto& c : cases) EXPECT_EQ(matchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}
