// The clock: the time controls a GUI sets ("level", "time", "st", "sd" under
// xboard, the words of "go" under UCI), turned into the limits of the next
// search. Every budget is worked out in milliseconds, so a clock of a few
// seconds still gives each move its share of it; nothing can divide by
// zero or overflow.
#pragma once

#include <climits>

// The limits of one search.
struct SearchLimits {
    // The time for the move.
    int budgetMs = 15000;
    // The most the budget may be lengthened to: half the last clock, or the
    // fixed time per move.
    int ceilingMs = INT_MAX;
    // Iterations go up to this depth plus one.
    int depth = 15;
    // Whether a hard move may take longer than its budget.
    bool extensionAllowed = true;
    // The engine's own cap on any search.
    int maxMs = 300000;

    // Doubles the budget for a hard move, within the ceiling.
    void lengthen();
};

class Clock {
public:
    // A period of moves (0: the clock is for the whole game), its base time
    // and the increment per move, as "level" gives them.
    void applyLevel(long long moves, long long baseMs, long long incrementMs);
    // The side's clock, as "time" gives it, before the move at the given ply
    // of a game in the given phase.
    void applyClock(long long clockMs, int ply, int phase);
    // A fixed time per move ("st").
    void applyMoveTime(long long ms);
    // A depth in plies ("sd").
    void applyDepth(long long depth);
    // The budget alone, leaving every rule as it is.
    void setBudgetMs(long long ms);
    // A game starts from a new set-up: a period counts from here.
    void startGame();

    const SearchLimits& limits() const { return limits_; }
    // The moves of the period "level" set (60 for a clock for the whole
    // game), 0 until one is set in this game.
    int movesPerPeriod() const { return movesPerPeriod_; }

private:
    SearchLimits limits_;
    static constexpr int defaultDepth = 25;
    int movesPerPeriod_ = 0;
    // The increment per move of the last "level".
    int incrementMs_ = 0;
    // The last "level" gave no period: its clock lasts the whole game.
    bool clockForWholeGame_ = false;
    // "st" is in force (until the next "level" or "sd"): "time" leaves the
    // budget alone and nothing lengthens a move.
    bool moveTimeFixed_ = false;
};
