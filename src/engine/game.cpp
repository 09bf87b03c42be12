#include "engine/game.h"

#include "board/move_text.h"

Game::Game(const Rules& rules) : rules_(rules), history_(1) { setUp(nullptr); }

// A GUI's position must also be one a game can reach: the rules' set-up
// takes crowded boards, which the engine could search but a GUI never shows.
const char* Game::setUp(const char* text) {
    history_.resize(1);
    ply_ = 0;
    const char* refusal = setupPosition(history_[0], text, rules_.keys, setupText_);
    if (!refusal) {
        refusal = impossibleMaterial(history_[0]);
        if (refusal) setupPosition(history_[0], nullptr, rules_.keys, setupText_);
    }
    refresh();
    return refusal;
}

bool Game::playUserMove(const std::string& word) {
    Move move;
    if (!readCoordinateMove(word, move)) return false;
    MoveList legal;
    generateLegalMoves(history_[ply_], legal, rules_, {history_.data(), ply_});
    if (!legal.contains(move.from, move.to)) return false;
    history_.resize(ply_ + 1);
    const Position next = history_[ply_];
    history_.push_back(next);
    ++ply_;
    makeMove(move.from, move.to, history_[ply_], rules_, move.promotion);
    switchSide(history_[ply_]);
    refresh();
    return true;
}

void Game::playMove(Square from, Square to) {
    history_.resize(ply_ + 1);
    const Position next = history_[ply_];
    history_.push_back(next);
    ++ply_;
    makeMove(from, to, history_[ply_], rules_);
    switchSide(history_[ply_]);
    refresh();
}

bool Game::takeBack(int plies) {
    if (ply_ < plies) return false;
    ply_ -= plies;
    refresh();
    return true;
}

// Checkmate and stalemate, which the full generation alone cannot tell,
// are a side to move without a legal move. Testing each move's legality
// costs one generation, whatever the board holds; a search here, however
// shallow, could take minutes on a board full of queens while no input is
// read. The game's own positions are tested for repetition.
void Game::refresh() {
    Position& position = history_[ply_];
    MoveList legal;
    generateLegalMoves(position, legal, rules_, {history_.data(), ply_});
    if (legal.count == 0 && position.status() < Checkmate) markNoLegalMove(position);
    status_ = position.status();
}

MoveList Game::legalMoves() const {
    Position position = current();
    MoveList legal;
    generateLegalMoves(position, legal, rules_);
    return legal;
}

const char* Game::resultLine() const {
    const Position& position = current();
    switch (position.whiteStatus) {
        case Checkmate: return position.sideToMove == BLACK ? "1-0 {White mates}" : "0-1 {Black mates}";
        case Stalemate: return "1/2-1/2 {Stalemate}";
        case DrawMaterial: return "1/2-1/2 {material}";
        case DrawRepetition: return "1/2-1/2 {Draw by repetition}";
        case DrawFiftyMoves: return "1/2-1/2 {50 moves rule}";
        default: return nullptr;
    }
}
