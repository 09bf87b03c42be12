#include "book_replay.h"

#include "book_moves.h"

std::string GameReplayer::replay(const GameRecord& game, int maxPlies) {
    if (!game.skipReason.empty()) {
        messages_ << game.source << ":" << game.line << ": the game " << game.skipReason << "; skipped\n";
        ++stoppedGames_;
        return "";
    }
    Position position;
    std::string usedText;
    setupPosition(position, nullptr, rules_.keys, usedText);
    std::string code;
    const int plies = std::min<int>(maxPlies, static_cast<int>(game.moves.size()));
    for (int i = 0; i < plies; ++i) {
        const MoveText& move = game.moves[i];
        MoveList legal;
        generateLegalMoves(position, legal, rules_);
        const FoundMove found = game.notation == Notation::San ? findSanMove(position, legal, move.text)
                                                               : findCoordinateMove(position, legal, move.text);
        if (found.problem != MoveProblem::None) {
            messages_ << game.source << ":" << move.line << ": move '" << move.text << "' "
                      << describeProblem(found.problem) << "; the game stops after " << i << " plies\n";
            ++stoppedGames_;
            break;
        }
        code += encodeMove(found.from, found.to);
        playFoundMove(position, found, rules_);
    }
    return code;
}
