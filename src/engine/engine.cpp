#include "engine/engine.h"

#include <algorithm>

#include "eval/phase.h"

namespace {
constexpr const char* startPositionText = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int initialHistorySize = 512;
}  // namespace

// Allocation failures (the 48 MiB table above all) throw std::bad_alloc,
// which the program reports before it exits.
Engine::Engine(uint32_t seed, std::ostream& out) : random(seed), out_(out) {
    startText = startPositionText;
    promotionPiece = QUEEN;
    prevScoreWhite = prevScoreBlack = noScore;
    extensionsWhite = extensionsBlack = 0;
    repetitionCheckOn = false;
    loadPieceSquareTables();
    initSettings();
    initZobristKeys();
    clearHashTable();
    rootMoves = std::make_unique<RootMoveList>();
    pvStack.reserve(1 << 16);
    loadBooks();
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
    settings = SearchSettings();
    defaultDepth = 25;
    defaultMaxSeconds = 300;
    useAdvancedTables = true;
    std::copy(std::begin(middlegamePieceValues), std::end(middlegamePieceValues), pieceValues);
}

void Engine::reserveHistory() {
    const std::size_t needed = static_cast<std::size_t>(ply) + 2 + searchLineReserve;
    if (history.size() < needed) {
        history.resize(std::max(needed, history.size() * 2));
        currentPosition = &history[ply];
    }
}
