// The whole demonstration kit walked on the simulated machine, both paths (tools/demo/walk-sim):
// the kit assembled, kitassist, kitextract, the connection wizard, the sign-up stand-in, the
// plug-in installer and the subscriber's space, each a host process. The goal: under 1 s for
// both paths together.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

void WholeWalkOfBothPaths(benchmark::State& state) {
    const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                            "/telvora-demo-walk-bench";
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
