// vortelan-bench: searches the bench positions and prints, per position, the
// depth, nodes and time, then the total nodes (the search's signature) and
// the speed.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "bench_runner.h"

int main() {
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
        error);
    if (!ok) {
        std::fprintf(stderr, "vortelan-bench: %s\n", error.c_str());
        return 1;
    }
    std::printf("nodes %" PRId64 "\n", totalNodes);
    std::printf("nps %" PRId64 "\n", totalNodes * 1000 / (totalMilliseconds > 0 ? totalMilliseconds : 1));
    return 0;
}
