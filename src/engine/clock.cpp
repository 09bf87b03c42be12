#include "engine/clock.h"

#include <algorithm>

namespace {

constexpr long long largestNumber = 100000000;  // far beyond any clock
constexpr int largestDepth = 100;

int clampMs(long long ms) { return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX)); }

}  // namespace

void SearchLimits::lengthen() {
    const long long doubled = std::min(2LL * budgetMs, static_cast<long long>(ceilingMs));
    budgetMs = clampMs(std::max<long long>(budgetMs, doubled));
}

void Clock::applyLevel(long long moves, long long baseMs, long long increment) {
    moves = std::clamp(moves, 0LL, largestNumber);
    baseMs = std::clamp(baseMs, 0LL, largestNumber * 60000);
    increment = std::clamp(increment, 0LL, largestNumber * 1000);
    clockForWholeGame_ = moves == 0;
    movesPerPeriod_ = clockForWholeGame_ ? 60 : static_cast<int>(moves);
    incrementMs_ = clampMs(increment);
    // The increments of a period's moves count as 50 moves' worth.
    limits_.budgetMs = clampMs((baseMs + 50 * increment) / movesPerPeriod_);
    limits_.depth = defaultDepth;
    moveTimeFixed_ = false;
    limits_.ceilingMs = INT_MAX;
}

// A share of the clock chosen by the moves left in the period, or without a
// period by the game phase; then most of the increment that the move earns
// back. Never more than half the clock, so that even the doubling of a hard
// move leaves something for the next one: no rule of the search may go
// beyond that either.
void Clock::applyClock(long long clockMs, int ply, int phase) {
    // A fixed time per move is a promise to the GUI, which sends its reset
    // clock before every move as well.
    if (moveTimeFixed_) return;
    clockMs = std::clamp(clockMs, 0LL, largestNumber * 1000);
    long long share = 0;
    if (movesPerPeriod_ != 0) {
        const int played = (ply + 1) / 2;
        const int left = movesPerPeriod_ - played % movesPerPeriod_;
        // A clock for the whole game is never refilled: it is shared as if
        // more than thirty moves were always left.
        share = clockForWholeGame_ || left > 30 ? clockMs / 30 : clockMs / (left + 1);
    } else {
        static constexpr int phaseDivisor[5] = {30, 25, 20, 15, 10};
        share = phase >= 0 && phase <= 4 ? clockMs / phaseDivisor[phase] : 0;
    }
    // Three quarters of the increment: the clock then settles where its own
    // share makes up the last quarter, never near zero.
    const long long budget = std::min(share + incrementMs_ * 3LL / 4, clockMs / 2);
    limits_.budgetMs = clampMs(budget);
    limits_.ceilingMs = clampMs(clockMs / 2);
    if (movesPerPeriod_ != 0) limits_.extensionAllowed = limits_.budgetMs >= 5000;
}

void Clock::applyMoveTime(long long ms) {
    limits_.budgetMs = clampMs(ms);
    limits_.ceilingMs = limits_.budgetMs;
    limits_.depth = defaultDepth;
    limits_.extensionAllowed = false;
    moveTimeFixed_ = true;
}

void Clock::applyDepth(long long depth) {
    limits_.depth = static_cast<int>(std::clamp<long long>(depth, 0, largestDepth));
    limits_.budgetMs = limits_.maxMs;
    moveTimeFixed_ = false;
}

void Clock::setBudgetMs(long long ms) { limits_.budgetMs = clampMs(ms); }

void Clock::startGame() {
    movesPerPeriod_ = 0;
    limits_.extensionAllowed = !moveTimeFixed_;
}
