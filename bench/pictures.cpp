// Picture decoding speed: 400 x 300 PNG, JPEG and GIF files (bench/pictures,
// made by tests/ui/pictures/make_pictures.py) decoded from memory into 32-bit
// bitmaps through TPicture. Prints pictures/s and megapixels/s for each.
#include <chrono>
#include <cstdio>

#include "rtl/fileio.h"
#include "ui/picture.h"

namespace {

using Clock = std::chrono::steady_clock;

void benchDecoding(const char* name, int rounds) {
    std::string data = readFileBytes(AnsiString(NIMBORA_BENCH_PICTURES "\\") + name);
    TPicture picture;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) picture.LoadFromBytes(data);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    double pixels = static_cast<double>(picture.Width()) * picture.Height() * rounds;
    std::printf("decode %-10s %4d x %-4d %7zu bytes %5d rounds %8.3f s %9.1f pictures/s %8.1f Mpixels/s\n", name,
                picture.Width(), picture.Height(), data.size(), rounds, seconds, rounds / seconds,
                pixels / seconds / 1e6);
}

}  // namespace

int main() {
    try {
        benchDecoding("bench.png", 200);
        benchDecoding("bench.jpg", 200);
        benchDecoding("bench.gif", 200);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s: %s\n", e.className(), e.message().c_str());
        return 1;
    }
    return 0;
}
