// Times, on the real platform, the 600 private-profile lookups of one button press of the kit
// wizard in the benchmark's 100 KB file, and prints the microseconds one lookup takes (the
// median over several presses).
//
//   profile_wine_bench FILE     FILE written by "profile_bench --make-ini=..."
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/make_big_ini.h"
#include "platform/profile.h"

namespace {

// One button press: false when a lookup misses its key, which would mean a wrong file.
bool PressOnce(const std::vector<bench::IniLookup>& lookups, const char* file) {
    char buffer[256];
    for (const bench::IniLookup& lookup : lookups) {
        plat::GetPrivateProfileString(lookup.section.c_str(), lookup.key.c_str(), "?", buffer,
                                      sizeof buffer, file);
        if (buffer[0] == '?') return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: profile_wine_bench FILE\n");
        return 2;
    }
    const char* file = argv[1];
    std::vector<bench::IniLookup> lookups = bench::ButtonPressLookups();
    if (!PressOnce(lookups, file)) {  // also warms the platform's own cache
        std::fprintf(stderr, "profile_wine_bench: %s lacks the benchmark's keys\n", file);
        return 1;
    }
    // The median of several presses: the first ones may share the processor with the
    // platform's own start-up.
    constexpr int kPresses = 21;
    std::vector<double> microseconds;
    for (int press = 0; press < kPresses; ++press) {
        auto start = std::chrono::steady_clock::now();
        PressOnce(lookups, file);
        std::chrono::duration<double, std::micro> elapsed =
            std::chrono::steady_clock::now() - start;
        microseconds.push_back(elapsed.count());
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("%.3f us per lookup\n", microseconds[kPresses / 2] / lookups.size());
    return 0;
}
