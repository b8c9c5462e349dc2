// Speed of the simulated machine's private-profile reads: one cached lookup in a 100 KB kit
// configuration, and the 600 lookups of one button press of the kit wizard.
//
//   profile_bench                      runs on a file of its own simulated machine
//   profile_bench --make-ini=PATH      writes the benchmark file to PATH (a host path) and ends
//   profile_bench --ini=WINDOWS_PATH   runs on that file instead (Z:\... for a host file)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/make_big_ini.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace {

std::string& IniPath() {
    static std::string path = "C:\\KIT\\pakonel.ini";
    return path;
}

void LookUpAll(const std::vector<bench::IniLookup>& lookups, benchmark::State& state) {
    char buffer[256];
    for (const bench::IniLookup& lookup : lookups) {
        plat::GetPrivateProfileString(lookup.section.c_str(), lookup.key.c_str(), "?", buffer,
                                      sizeof buffer, IniPath().c_str());
        if (buffer[0] == '?') state.SkipWithError("a lookup missed its key");
        benchmark::DoNotOptimize(buffer);
    }
}

void BM_CachedLookup(benchmark::State& state) {
    std::vector<bench::IniLookup> lookups = bench::ButtonPressLookups();
    LookUpAll(lookups, state);  // the file is parsed here, once
    size_t next = 0;
    char buffer[256];
    for (auto _ : state) {
        const bench::IniLookup& lookup = lookups[next];
        next = (next + 1) % lookups.size();
        plat::GetPrivateProfileString(lookup.section.c_str(), lookup.key.c_str(), "?", buffer,
                                      sizeof buffer, IniPath().c_str());
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_CachedLookup);

void BM_ButtonPress(benchmark::State& state) {
    std::vector<bench::IniLookup> lookups = bench::ButtonPressLookups();
    LookUpAll(lookups, state);
    for (auto _ : state) LookUpAll(lookups, state);
    // Seconds per (lookups x 1e-6): microseconds per lookup.
    state.counters["us_per_lookup"] = benchmark::Counter(
        static_cast<double>(lookups.size()) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ButtonPress)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bool madeOwnFile = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--make-ini=", 11) == 0) {
            std::FILE* out = std::fopen(argv[i] + 11, "wb");
            std::string ini = bench::MakeBigIni();
            bool ok = out != nullptr && std::fwrite(ini.data(), 1, ini.size(), out) == ini.size();
            if (out != nullptr) ok = std::fclose(out) == 0 && ok;
            if (!ok) std::fprintf(stderr, "profile_bench: cannot write %s\n", argv[i] + 11);
            return ok ? 0 : 1;
        }
        if (std::strncmp(argv[i], "--ini=", 6) == 0) {
            IniPath() = argv[i] + 6;
            madeOwnFile = false;
            continue;
        }
        std::fprintf(stderr, "profile_bench: unknown argument %s\n", argv[i]);
        return 2;
    }
    if (madeOwnFile) {
        plat::CreateDirectory("C:\\KIT");
        if (!plat::WriteWholeFile(IniPath().c_str(), bench::MakeBigIni())) {
            std::fprintf(stderr, "profile_bench: cannot write %s\n", IniPath().c_str());
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
