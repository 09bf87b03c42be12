#include "engine/engine.h"

#include <algorithm>

#include "eval/phase.h"

namespace {
constexpr const char* startPositionText = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int initialHistorySize = 512;
}  // namespace

Engine::Engine(uint32_t seed, std::ostream& out) : random(seed), out_(out) {
    startText = startPositionText;
    loadPieceSquareTables();
    initSettings();
    initZobristKeys();
    history.resize(initialHistorySize);
    positionCount = 1;
    ply = 0;
    currentPosition = &history[0];
    setupPosition(history[0], nullptr);
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
    defaultDepth = 25;
    defaultMaxSeconds = 300;
    useAdvancedTables = true;
    std::copy(std::begin(middlegamePieceValues), std::end(middlegamePieceValues), pieceValues);
}

void Engine::reserveHistory() {
    const std::size_t needed = static_cast<std::size_t>(ply) + 1 + searchLineReserve;
    if (history.size() < needed) {
        history.resize(std::max(needed, history.size() * 2));
        currentPosition = &history[ply];
    }
}
