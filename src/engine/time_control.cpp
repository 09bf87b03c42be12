// Turning "level", "time", "st" and "sd" into the next search's time budget
// and depth limit. Every budget is worked out in milliseconds: a clock of a
// few seconds still gives each move its share of it. Numbers are read
// leniently, as a GUI may write "0.5"; a missing or non-numeric number
// leaves everything unchanged, a negative one counts as 0, and nothing can
// divide by zero or overflow.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "engine/engine.h"

namespace {

constexpr long long largestNumber = 100000000;  // far beyond any clock
constexpr int largestDepth = 100;

std::vector<std::string> words(const char* line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

bool startsWithNumber(const char* text) { return *text != '\0' && !std::isspace(static_cast<unsigned char>(*text)); }

// The leading integer of a word ("12", "-3", "0.5" -> 0), clamped to
// 0..largestNumber; nothing when the word does not start with a number.
std::optional<long long> leadingNumber(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin || !startsWithNumber(begin)) return std::nullopt;
    return std::clamp(value, 0LL, largestNumber);
}

// A number of seconds with an optional fraction ("2", "0.3"), in
// milliseconds, clamped like leadingNumber.
std::optional<long long> secondsInMs(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || !startsWithNumber(begin) || std::isnan(value)) return std::nullopt;
    return static_cast<long long>(std::clamp(value, 0.0, static_cast<double>(largestNumber)) * 1000);
}

// "M" for minutes or "M:S" for minutes and seconds, in milliseconds.
std::optional<long long> minutesFieldMs(const std::string& word) {
    const auto colon = word.find(':');
    auto minutes = leadingNumber(word.substr(0, colon));
    if (!minutes) return std::nullopt;
    if (colon == std::string::npos) return *minutes * 60000;
    auto seconds = secondsInMs(word.substr(colon + 1));
    if (!seconds) return std::nullopt;
    return *minutes * 60000 + *seconds;
}

// "S" for seconds or "M:S" for minutes and seconds, in milliseconds.
std::optional<long long> secondsFieldMs(const std::string& word) {
    if (word.find(':') != std::string::npos) return minutesFieldMs(word);
    return secondsInMs(word);
}

// The word after the command word, if any.
std::optional<std::string> commandWord(const char* line) {
    const auto w = words(line);
    if (w.size() < 2) return std::nullopt;
    return w[1];
}

int clampMs(long long ms) { return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX)); }

}  // namespace

void Engine::setLevel(const char* line) {
    const auto w = words(line);
    if (w.size() < 4) return;
    const auto moves = leadingNumber(w[1]);
    const auto base = minutesFieldMs(w[2]);
    const auto increment = secondsFieldMs(w[3]);
    if (!moves || !base || !increment) return;
    applyLevel(*moves, *base, *increment);
}

void Engine::applyLevel(long long moves, long long baseMs, long long increment) {
    moves = std::clamp(moves, 0LL, largestNumber);
    baseMs = std::clamp(baseMs, 0LL, largestNumber * 60000);
    increment = std::clamp(increment, 0LL, largestNumber * 1000);
    clockForWholeGame = moves == 0;
    movesPerPeriod = clockForWholeGame ? 60 : static_cast<int>(moves);
    incrementMs = clampMs(increment);
    // The increments of a period's moves count as 50 moves' worth.
    timeBudgetMs = clampMs((baseMs + 50 * increment) / movesPerPeriod);
    depthLimit = defaultDepth;
    moveTimeFixed = false;
    budgetCeilingMs = INT_MAX;
}

void Engine::setClock(const char* line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto centiseconds = leadingNumber(*word);
    if (!centiseconds) return;
    applyClock(*centiseconds * 10);
}

// A share of the clock chosen by the moves left in the period, or without a
// period by the game phase; then most of the increment that the move earns
// back. Never more than half the clock, so that even the doubling of a hard
// move leaves something for the next one: no rule of the search may go
// beyond that either.
void Engine::applyClock(long long clockMs) {
    // A fixed time per move is a promise to the GUI, which sends its reset
    // clock before every move as well.
    if (moveTimeFixed) return;
    clockMs = std::clamp(clockMs, 0LL, largestNumber * 1000);
    long long share = 0;
    if (movesPerPeriod != 0) {
        const int played = (ply + 1) / 2;
        const int left = movesPerPeriod - played % movesPerPeriod;
        // A clock for the whole game is never refilled: it is shared as if
        // more than thirty moves were always left.
        share = clockForWholeGame || left > 30 ? clockMs / 30 : clockMs / (left + 1);
    } else {
        static constexpr int phaseDivisor[5] = {30, 25, 20, 15, 10};
        const int phase = gamePhase(*currentPosition);
        share = phase >= 0 && phase <= 4 ? clockMs / phaseDivisor[phase] : 0;
    }
    // Three quarters of the increment: the clock then settles where its own
    // share makes up the last quarter, never near zero.
    const long long budget = std::min(share + incrementMs * 3LL / 4, clockMs / 2);
    timeBudgetMs = clampMs(budget);
    budgetCeilingMs = clampMs(clockMs / 2);
    if (movesPerPeriod != 0) extensionAllowed = timeBudgetMs >= 5000;
}

void Engine::setMoveTime(const char* line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto ms = secondsInMs(*word);
    if (!ms) return;
    applyMoveTime(*ms);
}

void Engine::applyMoveTime(long long ms) {
    timeBudgetMs = clampMs(ms);
    budgetCeilingMs = timeBudgetMs;
    depthLimit = defaultDepth;
    extensionAllowed = false;
    moveTimeFixed = true;
}

void Engine::setDepth(const char* line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto depth = leadingNumber(*word);
    if (!depth) return;
    applyDepth(*depth);
}

void Engine::applyDepth(long long depth) {
    depthLimit = static_cast<int>(std::clamp<long long>(depth, 0, largestDepth));
    timeBudgetMs = clampMs(defaultMaxSeconds * 1000LL);
    moveTimeFixed = false;
}

void Engine::lengthenBudget() {
    const long long doubled = std::min(2LL * timeBudgetMs, static_cast<long long>(budgetCeilingMs));
    timeBudgetMs = clampMs(std::max<long long>(timeBudgetMs, doubled));
}
