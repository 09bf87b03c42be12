// vortelan-bench: searches the bench positions and prints, per position, the
// depth, nodes and time, then the total nodes (the search's signature) and
// the speed. "vortelan-bench N" searches every position N plies shallower,
// a light workload for profiling; its total is not the signature.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_runner.h"

int main(int argc, char** argv) {
    int pliesShallower = 0;
    if (argc > 1) {
        char* end = nullptr;
        const long plies = std::strtol(argv[1], &end, 10);
        if (argc > 2 || end == argv[1] || *end != '\0' || plies < 0 || plies > 20) {
            std::fprintf(stderr, "usage: vortelan-bench [plies shallower, 0 to 20]\n");
            return 2;
        }
        pliesShallower = static_cast<int>(plies);
    }
    int64_t totalNodes = 0;
    int64_t totalMilliseconds = 0;
    std::string error;
    const bool ok = runBench(
        [&](std::size_t index, const BenchRecord& record) {
            std::printf("position %2zu  depth %2d  nodes %10" PRId64 "  time %6" PRId64 " ms  best %s\n", index + 1,
                        record.depth, record.nodes, record.milliseconds, record.bestMove.c_str());
            std::fflush(stdout);
            totalNodes += record.nodes;
            totalMilliseconds += record.milliseconds;
        },
        error, pliesShallower);
    if (!ok) {
        std::fprintf(stderr, "vortelan-bench: %s\n", error.c_str());
        return 1;
    }
    std::printf("nodes %" PRId64 "\n", totalNodes);
    std::printf("nps %" PRId64 "\n", totalNodes * 1000 / (totalMilliseconds > 0 ? totalMilliseconds : 1));
    return 0;
}
