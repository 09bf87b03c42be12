// The UCI protocol. The word "uci" hands the rest of the run to it; from
// then on the program speaks UCI. It translates the host's words into the
// game, the clock and the thinker, exactly as the xboard protocol uses
// them, and the thinker's reports into "info" lines. Every word read and
// every line printed under UCI, during a search too, is handled here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/output.h"
#include "input/mailbox.h"

// The limits of one "go", as the host gave them (times in milliseconds).
struct GoLimits {
    std::optional<long long> whiteTime, blackTime, whiteIncrement, blackIncrement;
    std::optional<long long> movesToGo, moveTime, depth, nodes, mate;
    bool infinite = false;
    bool ponder = false;
    // The root moves to search, as the host wrote them; none: every move.
    std::vector<std::string> searchMoves;

    // The words of the command after "go". Unknown words and numbers that
    // are no numbers are skipped; negative numbers count as 0.
    static GoLimits parse(const std::vector<std::string>& words, std::size_t first);
    // Nothing bounds the search but "stop".
    bool unbounded() const;
};

class UciLoop : private ThinkingSink {
public:
    UciLoop(Engine& engine, Output& output) : engine_(engine), out_(output) {}

    // Answers the "uci" that started it, then runs until "quit" or the end
    // of input; returns the exit code.
    int run(InputMailbox& mailbox);

    // Acts on one input line; false when the line asks the program to end.
    bool handleLine(const std::string& line);

    // The search a "go" asks for in the current game: its time budget and
    // depth through the clock's rules, from its own limits alone.
    ThinkRequest thinkRequest(const GoLimits& limits) const;

private:
    void identify();
    void setOption(const std::vector<std::string>& words);
    // The value of a check option; a value other than true or false is said
    // (and nothing is set).
    std::optional<bool> checkValue(const std::string& name, const std::string& value);
    std::optional<long long> spinValue(const std::string& name, const std::string& value, long long low,
                                       long long high);
    // The words after "position" and after "go".
    void setPosition(const std::vector<std::string>& words);
    // Searches and answers "bestmove"; false when "quit" came meanwhile.
    bool go(const std::vector<std::string>& words);
    // After an infinite or pondering search has ended on its own: answers
    // "isready" until "stop" or "ponderhit"; false when "quit" came.
    bool awaitStop();

    // "isready" is answered and dropped, "ponderhit" turns pondering into
    // the search of its "go" and is dropped, "quit" aborts, "stop" and the
    // lines that start another search or game ask for the move now; those
    // and every other line stay for the loop, which acts on them in order.
    SearchStatus readInput() override;
    bool report(const ThinkingReport& report) override;

    Engine& engine_;
    Output& out_;
    InputMailbox* mailbox_ = nullptr;
    // The last "position" was refused; "go" answers without a move.
    bool positionRefused_ = false;
    // The "go" running; "ponderhit" gives it its clock.
    ThinkRequest request_;
    bool pondering_ = false;
    // The answer waits for "stop" (or, while pondering, "ponderhit"); after
    // the hit too when the "go" named no limit.
    bool waitsForStop_ = false;
    bool analysesAfterHit_ = false;
    // The waiting lines the running search has looked at.
    std::size_t examined_ = 0;
};

// "cp S" in centipawns or "mate N" in moves (negative when the side to move
// is mated) for a score of the search, which is in thousandths of a pawn.
std::string uciScore(int score);
