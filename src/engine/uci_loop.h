// The UCI front end. The word "uci" hands the rest of the run to it; from
// then on the program speaks UCI. It only translates: positions, moves,
// time limits and the search are the engine's own operations, exactly as
// the xboard loop uses them.
#pragma once

#include <istream>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "input/mailbox.h"

// The limits of one "go", as the host gave them (times in milliseconds).
struct GoLimits {
    std::optional<long long> whiteTime, blackTime, whiteIncrement, blackIncrement;
    std::optional<long long> movesToGo, moveTime, depth;
    bool infinite = false;

    // The words of the command after "go". Unknown words, the ignored
    // limits ("nodes", "mate", "ponder", "searchmoves") and numbers that are
    // no numbers are skipped; negative times count as 0.
    static GoLimits parse(std::istream& words);
};

class UciLoop {
public:
    explicit UciLoop(Engine& engine);

    // Answers the "uci" that started it, then runs until "quit" or the end
    // of input; returns the exit code.
    int run(InputMailbox& mailbox);

    // Acts on one input line; false when the line asks the program to end.
    bool handleLine(const std::string& line);

    // Sets the time budget and depth limit of the next search for the side
    // to move through the engine's "level", "time", "st" and "sd" rules.
    void applyLimits(const GoLimits& limits);

private:
    void identify();
    // The words after "position" and after "go".
    void setPosition(std::istream& words);
    // Searches and answers "bestmove"; false when "quit" came meanwhile.
    bool go(std::istream& words);
    // After an infinite search has ended on its own: answers "isready" until
    // the host ends it; false when that was "quit".
    bool awaitStop();

    Engine& engine_;
    // The last "position" was refused; "go" answers without a move.
    bool positionRefused_ = false;
};

// "cp S" in centipawns or "mate N" in moves (negative when the side to move
// is mated) for a score of the search, which is in thousandths of a pawn.
std::string uciScore(int score);
