// kitpreview on the demonstration kit, in this process on one core: every page of the kit
// wizard and of the connection wizard drawn and written as PNG, then the contact sheet. The
// goal: the whole kit in under one second (the Wine walk of the main job takes minutes).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/kitpreview/kit_preview.h"

namespace {

std::string Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/telvora-kitpreview-bench";
}

void WholeDemoKit(benchmark::State& state) {
    const std::string kit = Scratch() + "/kit";
    const std::string out = Scratch() + "/out";
    std::filesystem::remove_all(Scratch());
    const std::string assemble =
        "bash " ASSEMBLE_SCRIPT " " HOST_BUILD_DIR " " + kit + " > /dev/null";
    if (std::system(assemble.c_str()) != 0) {
        state.SkipWithError("the demonstration kit cannot be assembled");
        return;
    }
    std::size_t pages = 0;
    for (auto _ : state) {
        std::vector<kitpreview::PagePicture> pictures;
        std::string error;
        if (!kitpreview::PreviewKit(kit, out, &pictures, &error) ||
            !kitpreview::WriteContactSheet(pictures, out + "/planche.png", &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        pages = pictures.size();
    }
    state.counters["pages"] = static_cast<double>(pages);
    std::filesystem::remove_all(Scratch());
}
BENCHMARK(WholeDemoKit)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
