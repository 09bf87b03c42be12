// Plays a game's written moves from the start position with the engine's own
// rules and turns the moves into the book's square code.
#pragma once

#include <ostream>
#include <string>

#include "board/rules.h"
#include "book/book_code.h"
#include "book_game.h"

// The longest line the book can hold: the engine reads at most 254
// characters of a book line, its line break included, so 126 moves (252
// characters and the break) fit with room to spare.
constexpr int maxBookPlies = 126;

class GameReplayer {
public:
    GameReplayer(Rules& rules, std::ostream& messages) : rules_(rules), messages_(messages) {}

    // The book code of the game's first maxPlies moves. At the first move
    // that cannot be read or played the game stops: a message naming the
    // file, the line and the move goes to the message stream, and the moves
    // before it are kept. A skipped game gives an empty line.
    std::string replay(const GameRecord& game, int maxPlies);

    int stoppedGames() const { return stoppedGames_; }

private:
    Rules& rules_;
    std::ostream& messages_;
    int stoppedGames_ = 0;
};
