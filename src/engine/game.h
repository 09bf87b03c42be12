// The game: its positions since the last set-up, the user's moves and the
// engine's, taking moves back, and how the game ended.
#pragma once

#include <string>
#include <vector>

#include "board/rules.h"
#include "search/search.h"

class Game {
public:
    // Starts at the standard position.
    explicit Game(const Rules& rules);

    // Starts afresh from FEN text, or the start position when the text is
    // null or refused (a board no game can reach is refused too): the game
    // then holds the set-up alone. Returns why the text was refused, or null.
    const char* setUp(const char* text);
    // Plays a move in coordinates (e2e4, e7e8n; a pawn without a letter
    // becomes a queen) for the side to move: false, with the game unchanged,
    // when the word is no move or the move is not legal here.
    bool playUserMove(const std::string& word);
    // Plays the engine's chosen move, which is legal.
    void playMove(Square from, Square to);
    // Takes back the last plies; false, with the game unchanged, when it has
    // fewer.
    bool takeBack(int plies);

    const Position& current() const { return history_[ply_]; }
    // Plies since the set-up.
    int ply() const { return ply_; }
    // The current position's status, checkmate and stalemate included.
    int status() const { return status_; }
    bool goesOn() const { return status_ == Normal || status_ == InCheck; }
    // The FEN text the game was set up from.
    const std::string& setupText() const { return setupText_; }
    bool fromStartPosition() const { return setupText_ == startPositionText; }
    // Every position of the game, the current one last.
    GameView view() const { return {history_.data(), ply_ + 1}; }
    // The legal moves of the current position, in generation order.
    MoveList legalMoves() const;
    // The line that announces the end of the game, or null while it goes on.
    const char* resultLine() const;

private:
    // Brings the current position's status up to date.
    void refresh();

    const Rules& rules_;
    // Entry i is the game after i plies since the last set-up.
    std::vector<Position> history_;
    int ply_ = 0;
    int status_ = Normal;
    std::string setupText_;
};
