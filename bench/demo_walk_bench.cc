// The whole demonstration kit walked on the simulated machine, both paths (tools/demo/walk-sim):
// the kit assembled, kitassist, kitextract, the connection wizard, the sign-up stand-in, the
// plug-in installer and the subscriber's space, each a host process. The goal: under 1 s for
// both paths together.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void WholeWalkOfBothPaths(benchmark::State& state) {
    // A folder of its own in the temporary directory, so that two runs at once do not share it.
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/telvora-demo-walk-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string out = buffer.data();
    const std::string command = "bash " DEMO_WALK_SIM " " HOST_BUILD_DIR " " + out + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the walk failed");
            break;
        }
    }
    std::system(("rm -rf " + out).c_str());
}
BENCHMARK(WholeWalkOfBothPaths)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
