// The game's bookkeeping in the history: user moves, refreshing the current
// position, new games and set-up positions, and the result announcements.
#include "engine/engine.h"

int Engine::acceptUserMove(Square from, Square to, Position& position) {
    MoveList legal;
    generateLegalMoves(position, legal, rules);
    if (!legal.contains(from, to)) {
        rules.promotionPiece = QUEEN;
        return 0;
    }
    ++positionCount;
    advanceHistory(from, to);
    rules.promotionPiece = QUEEN;
    return 1;
}

void Engine::advanceHistory(Square from, Square to) {
    reserveHistory();
    history[ply + 1] = history[ply];
    ++ply;
    makeMove(from, to, history[ply], rules);
}

void Engine::playMove(Square from, Square to) {
    positionCount = ply + 2;
    advanceHistory(from, to);
    switchSide(history[ply]);
    refreshPosition();
}

// Checkmate and stalemate, which the full generation alone cannot tell,
// are a side to move without a legal move. Testing each move's legality
// costs one generation, whatever the board holds; a search here, however
// shallow, could take minutes on a board full of queens while no input is
// read. The game's own positions are tested for repetition.
void Engine::refreshPosition() {
    currentPosition = &history[ply];
    rules.repetitionCheckOn = true;
    MoveList legal;
    generateLegalMoves(*currentPosition, legal, rules);
    if (legal.count == 0 && currentPosition->status() < Checkmate) markNoLegalMove(*currentPosition);
    gameStatus = currentPosition->status();
}

void Engine::newGame() {
    prevScore[0] = prevScore[1] = noScore;
    extensionsUsed[0] = extensionsUsed[1] = 0;
    clearHashTable();
    bookActive = true;
    setupGame(nullptr);
    whitePlayer = Human;
    blackPlayer = Computer;
}

const char* Engine::setupGame(const char* text) {
    positionCount = 1;
    ply = 0;
    const char* refusal = setupPosition(history[0], text, rules.keys, setupText);
    search.clearHistoryCounters();
    movesPerPeriod = 0;
    extensionAllowed = !moveTimeFixed;
    refreshPosition();
    return refusal;
}

const char* Engine::setBoard(const char* text) {
    prevScore[0] = prevScore[1] = noScore;
    extensionsUsed[0] = extensionsUsed[1] = 0;
    clearHashTable();
    bookActive = true;
    const char* refusal = setupGame(text);
    printResult();
    whitePlayer = blackPlayer = Human;
    return refusal;
}

void Engine::printLine(const std::string& text) {
    out_ << text << '\n';
    if (!outputHeld_) out_.flush();
}

void Engine::releaseOutput() {
    outputHeld_ = false;
    out_.flush();
}

void Engine::printResult() {
    switch (currentPosition->whiteStatus) {
        case Checkmate:
            printLine(currentPosition->sideToMove == BLACK ? "1-0 {White mates}" : "0-1 {Black mates}");
            break;
        case Stalemate: printLine("1/2-1/2 {Stalemate}"); break;
        case DrawMaterial: printLine("1/2-1/2 {material}"); break;
        case DrawRepetition: printLine("1/2-1/2 {Draw by repetition}"); break;
        case DrawFiftyMoves: printLine("1/2-1/2 {50 moves rule}"); break;
        default: break;
    }
}
