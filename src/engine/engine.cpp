#include "engine/engine.h"

#include <algorithm>

namespace {
constexpr int initialHistorySize = 512;
}  // namespace

// Allocation failures (the 48 MiB table above all) throw std::bad_alloc,
// which the program reports before it exits.
Engine::Engine(uint32_t seed, std::ostream& out) : random(seed), out_(out) {
    rules.promotionPiece = QUEEN;
    prevScoreWhite = prevScoreBlack = noScore;
    extensionsWhite = extensionsBlack = 0;
    rules.repetitionCheckOn = false;
    rules.gameLine = &history;
    rules.gamePly = &ply;
    evaluator.loadPieceSquareTables();
    initSettings();
    rules.keys.draw(random);
    clearHashTable();
    search.poller = this;
    loadBooks();
    history.resize(initialHistorySize);
    positionCount = 1;
    ply = 0;
    currentPosition = &history[0];
    setupGame(nullptr);
    bookActive = true;
    whitePlayer = 'H';
    blackPlayer = 'C';
    gameStatus = Normal;
    refreshPosition();
    movesPerPeriod = 0;
    timeBudgetMs = 15000;
    depthLimit = 15;
    extensionAllowed = true;
}

void Engine::initSettings() {
    search.settings = SearchSettings();
    defaultDepth = 25;
    defaultMaxSeconds = 300;
    evaluator.useAdvancedTables = true;
    rules.pieceValues = middlegamePieceValues;
}

void Engine::reserveHistory() {
    const std::size_t needed = static_cast<std::size_t>(ply) + 2 + searchLineReserve;
    if (history.size() < needed) {
        history.resize(std::max(needed, history.size() * 2));
        currentPosition = &history[ply];
    }
}
