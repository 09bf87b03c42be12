#include "engine/engine.h"

#include <algorithm>

namespace {
constexpr int initialHistorySize = 512;
}  // namespace

// Every setting starts at the value its declaration gives it. The hash keys
// are the first values drawn from the random source, the book's choices come
// after them. Allocation failures (the 48 MiB table above all) throw
// std::bad_alloc, which the program reports before it exits.
Engine::Engine(uint32_t seed, std::ostream& out) : random(seed), out_(out) {
    rules.gameLine = &history;
    rules.gamePly = &ply;
    evaluator.loadPieceSquareTables();
    rules.keys.draw(random);
    clearHashTable();
    search.poller = this;
    book.loadBooks();
    history.resize(initialHistorySize);
    setupGame(nullptr);
}

void Engine::reserveHistory() {
    const std::size_t needed = static_cast<std::size_t>(ply) + 2 + searchLineReserve;
    if (history.size() < needed) {
        history.resize(std::max(needed, history.size() * 2));
        currentPosition = &history[ply];
    }
}
