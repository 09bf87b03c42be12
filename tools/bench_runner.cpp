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

// The bench reads no input and shows nothing.
class SilentSink : public ThinkingSink {
public:
    SearchStatus readInput() override { return Completed; }
    bool report(const ThinkingReport&) override { return false; }
};

}  // namespace

bool runBench(const std::function<void(std::size_t index, const BenchRecord&)>& report, std::string& error,
              int pliesShallower, int threads) {
    auto engine = std::make_unique<Engine>(benchSeed);
    // The bench must not depend on the data files of the folder it runs in.
    engine->evaluator.tables = PieceSquareTables{};
    engine->book.whiteBook.clear();
    engine->book.blackBook.clear();
    if (!engine->thinker.setThreads(threads)) {
        error = "cannot start " + std::to_string(threads) + " threads";
        return false;
    }
    SilentSink sink;
    // The positions are searched as a user's side to move: never from the
    // book, and only the depth ends a search.
    ThinkRequest request;
    request.limits.budgetMs = INT_MAX;
    request.enginesMove = false;

    const std::vector<BenchPosition>& positions = benchPositions();
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const BenchPosition& entry = positions[i];
        // Every position starts from an empty table and fresh counters, as
        // a new game does, so that its count does not depend on the others.
        engine->newGame(entry.fen);
        if (engine->game.setupText() != entry.fen) {
            error = std::string("the set-up rules refuse bench position ") + entry.fen;
            return false;
        }
        MoveList moves = engine->game.legalMoves();

        const auto start = std::chrono::steady_clock::now();
        const int depth = std::max(1, entry.depth - pliesShallower);
        request.limits.depth = depth - 1;
        const SearchResult result = engine->thinker.think(engine->game, moves, request, sink);
        const auto stop = std::chrono::steady_clock::now();

        BenchRecord record;
        record.depth = depth;
        record.nodes = result.nodes;
        record.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(stop - start).count();
        record.bestMove = moveText(result.bestFrom, result.bestTo);
        report(i, record);
    }
    return true;
}
