// The system-information objects' arithmetic and texts that no drive or
// processor counter of a test machine can reach: SMART tables and names,
// raw values, identify texts, the load formula and thousands separators.
#include <gtest/gtest.h>

#include <cstring>

#include "host/script/smartdrive.h"
#include "host/script/sysinfo.h"

TEST(SysInfo, AttributeNamesAndRawValues) {
    const struct {
        int id;
        const char* name;
    } names[] = {{0, "No Attribute Here"}, {12, "Power Cycle Count"}, {13, "Unknown"}, {191, "Unknown"},
                 {194, "Temperature Celcius"}, {209, "Offline Seek Perf"}, {210, "Unknown"}};
    for (const auto& c : names) EXPECT_EQ(SmartAttributeName(uint8_t(c.id)), c.name) << c.id;
    EXPECT_EQ(SmartRawText(4779), "0x0000000012AB");
    EXPECT_EQ(SmartRawText(0xFFFFFFFFFFFFull), "0xFFFFFFFFFFFF");
}

TEST(SysInfo, TablesStopAtTheFirstEmptyIdAndTakeThresholdsByPosition) {
    uint8_t values[512] = {}, thresholds[512] = {};
    const uint8_t entries[][12] = {
        {5, 0, 0, 100, 90, 0xAB, 0x12, 0, 0, 0, 0x01},
        {194, 0, 0, 40, 30, 0x28},
    };
    std::memcpy(values + 2, entries, sizeof entries);
    thresholds[2 + 1] = 36;       // the threshold of entry 0, whatever its id
    thresholds[2 + 12 + 1] = 0;
    values[2 + 3 * 12] = 7;       // after the empty entry 2: not read
    auto list = ParseSmartTables(values, thresholds);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Id, 5);
    EXPECT_EQ(list[0].Value, 100);
    EXPECT_EQ(list[0].Worst, 90);
    EXPECT_EQ(list[0].Threshold, 36);
    EXPECT_EQ(SmartRawText(list[0].Raw), "0x0100000012AB");
    EXPECT_EQ(list[1].Raw, 0x28u);

    for (int k = 0; k < 40; ++k) values[2 + k * 12] = 1;  // a full table: 30 entries at most
    EXPECT_EQ(ParseSmartTables(values, thresholds).size(), 30u);
}

TEST(SysInfo, IdentifyTextsSwapPairsAndTrim) {
    const char raw[] = "  SMBDSD  1T02  ";  // "  MSDBDS  T120  " with each pair swapped
    EXPECT_EQ(SwapAtaString(reinterpret_cast<const uint8_t*>(raw), 16), "MSDBDS  T120");
    EXPECT_EQ(SwapAtaString(reinterpret_cast<const uint8_t*>("    "), 4), "");
}

TEST(SysInfo, LoadPercent) {
    const struct {
        int64_t idle, span;
        int processors, load;
    } cases[] = {
        {0, 1000, 1, 100}, {250, 1000, 1, 75}, {999, 1000, 1, 0}, {500, 1000, 2, 75},
        {1000, 1000, 1, 0}, {0, 0, 1, 0},  // no time passed: no load rather than a division by zero
        {3000, 1000, 1, 56},               // -200 taken to its low 8 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(CpuLoadPercent(c.idle, c.span, uint8_t(c.processors)), c.load) << c.idle << "/" << c.span;
}

TEST(SysInfo, ThousandsSeparators) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(80026361856ull), "80,026,361,856");
}
