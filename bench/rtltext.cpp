// Speed of the run-time texts that scripts use on every number and date
// conversion: float texts, number reading, format and date-time formatting.
#include <chrono>
#include <cstdio>
#include <random>

#include "rtl/datetime.h"
#include "rtl/format.h"
#include "rtl/numtext.h"

namespace {

template <typename F>
void measure(const char* name, int rounds, F&& body) {
    auto start = std::chrono::steady_clock::now();
    size_t sink = 0;
    for (int i = 0; i < rounds; ++i) sink += body(i);
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-34s %8.3f us/op  (%zu)\n", name, us / rounds, sink);
}

}  // namespace

int main() {
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    static double values[4096];
    for (double& v : values) v = spread(random);
    const int rounds = 200000;
    measure("floatToText (|v| < 1e6)", rounds, [](int i) { return floatToText(values[i & 4095]).length(); });
    measure("floatToText (whole numbers)", rounds, [](int i) { return floatToText(static_cast<double>(i)).length(); });
    measure("floatToText (|v| < 1e-290)", rounds / 10,
            [](int i) { return floatToText(values[i & 4095] * 1e-296).length(); });
    measure("textToFloat", rounds, [](int) {
        double out = 0;
        return static_cast<size_t>(textToFloat("12345.678", out));
    });
    measure("formatText %d %s %.2f", rounds, [](int i) {
        return formatText("%d %s %.2f", {i, "abc", values[i & 4095]}).length();
    });
    measure("formatFloat #,##0.00", rounds, [](int i) { return formatFloat("#,##0.00", values[i & 4095]).length(); });
    measure("formatDateTime (c)", rounds,
            [](int i) { return formatDateTime("", 40000 + values[i & 4095] / 1000).length(); });
    return 0;
}
