// The bench: a fixed list of positions searched to a fixed depth each by an
// engine whose hash keys come from a fixed seed, so that every node count is
// the same on every run and every machine. The total is the search's
// signature: any change to what the search does changes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BenchPosition {
    const char* fen;
    int depth;  // the deepest iteration
};

// About thirty positions from every stage of the game.
const std::vector<BenchPosition>& benchPositions();

struct BenchRecord {
    int depth = 0;
    int64_t nodes = 0;
    int64_t milliseconds = 0;
    std::string bestMove;
};

// Searches every bench position in order and hands each result to report.
// Returns false (and names the position in error) when a position is refused
// by the set-up rules, which would make the signature meaningless. A run
// shallower by some plies (each position still one ply at least) is a
// lighter workload for profilers that slow the program down fifty-fold; only
// the full depth gives the signature, and only with one thread.
bool runBench(const std::function<void(std::size_t index, const BenchRecord&)>& report, std::string& error,
              int pliesShallower = 0, int threads = 1);
