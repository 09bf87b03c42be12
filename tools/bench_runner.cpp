#include "bench_runner.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <ostream>

#include "board/move_text.h"
#include "engine/engine.h"

namespace {

// The hash keys, and through them every node count, follow from this seed.
constexpr uint32_t benchSeed = 20261207u;

}  // namespace

bool runBench(const std::function<void(std::size_t index, const BenchRecord&)>& report, std::string& error,
              int pliesShallower) {
    // The thinking lines are not wanted; a stream without a buffer drops them.
    std::ostream nowhere(nullptr);
    auto engine = std::make_unique<Engine>(benchSeed, nowhere);
    // The bench must not depend on the data files of the folder it runs in.
    engine->evaluator.tables = PieceSquareTables{};
    engine->book.whiteBook.clear();
    engine->book.blackBook.clear();
    engine->timeBudgetMs = INT_MAX;

    const std::vector<BenchPosition>& positions = benchPositions();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const BenchPosition& entry = positions[i];
        // Every position starts from an empty table and fresh counters, as
        // a new game does, so that its count does not depend on the others.
        engine->setBoard(entry.fen);
        if (engine->setupText != entry.fen) {
            error = std::string("the set-up rules refuse bench position ") + entry.fen;
            return false;
        }
        Position& position = *engine->currentPosition;
        MoveList moves;
        generateLegalMoves(position, moves, engine->rules);

        const auto start = std::chrono::steady_clock::now();
        const int depth = std::max(1, entry.depth - pliesShallower);
        const SearchResult result = engine->rootSearch(position, moves, -infinityScore, infinityScore, depth - 1);
        const auto stop = std::chrono::steady_clock::now();

        BenchRecord record;
        record.depth = depth;
        record.nodes = engine->search.nodeCount;
        record.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(stop - start).count();
        record.bestMove = moveText(result.bestFrom, result.bestTo);
        report(i, record);
    }
    return true;
}
