// vortelan-bench: searches the bench positions and prints, per position, the
// depth, nodes and time, then the total nodes (the search's signature) and
// the speed. "vortelan-bench N" searches every position N plies shallower,
// a light workload for profiling; its total is not the signature.
// "--threads T" searches with T threads, for measuring: the nodes are then
// those of every thread, and differ from run to run.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_runner.h"

int main(int argc, char** argv) {
    int pliesShallower = 0;
    int threads = 1;
    bool pliesGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        int* target = &pliesShallower;
        long low = 0, high = 20;
        if (argument == "--threads" && i + 1 < argc) {
            target = &threads;
            low = 1;
            high = 256;
            ++i;
        } else if (pliesGiven) {
            target = nullptr;
        } else {
            pliesGiven = true;
        }
        char* end = nullptr;
        const long value = target ? std::strtol(argv[i], &end, 10) : 0;
        if (!target || end == argv[i] || *end != '\0' || value < low || value > high) {
            std::fprintf(stderr, "usage: vortelan-bench [plies shallower, 0 to 20] [--threads 1 to 256]\n");
            return 2;
        }
        *target = static_cast<int>(value);
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
        error, pliesShallower, threads);
    if (!ok) {
        std::fprintf(stderr, "vortelan-bench: %s\n", error.c_str());
        return 1;
    }
    std::printf("nodes %" PRId64 "\n", totalNodes);
    std::printf("nps %" PRId64 "\n", totalNodes * 1000 / (totalMilliseconds > 0 ? totalMilliseconds : 1));
    return 0;
}
