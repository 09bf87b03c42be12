// One game as a book source gives it: where it stands and its moves as
// written, not yet checked. The readers of both source formats produce it;
// the replay checks the moves with the engine's rules.
#pragma once

#include <string>
#include <vector>

struct MoveText {
    std::string text;
    int line = 0;
};

enum class Notation { San, Coordinate };

struct GameRecord {
    std::string source;  // file name, for messages
    int line = 0;        // line where the game begins
    Notation notation = Notation::San;
    std::vector<MoveText> moves;
    // How the game ended, as written ("1-0", "0-1", "1/2-1/2", "*"); empty
    // when the source does not say. The book ignores it; the tuner learns
    // from it.
    std::string result;
    // The PGN Termination tag ("normal", "time forfeit", ...), if any.
    std::string termination;
    // Set when the game cannot give a book line at all (for example it
    // starts from a set-up position); the replay skips it with this reason.
    std::string skipReason;
};
