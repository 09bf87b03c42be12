// Turning "level", "time", "st" and "sd" into the next search's time budget
// and depth limit. Numbers are read leniently, as a GUI may write "0.5";
// a missing or non-numeric number leaves everything unchanged, a negative
// one counts as 0, and nothing can divide by zero or overflow.
#include <algorithm>
#include <cctype>
#include <climits>
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

// The leading integer of a word ("12", "-3", "0.5" -> 0), clamped to
// 0..largestNumber; nothing when the word does not start with a number.
std::optional<long long> leadingNumber(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin || std::isspace(static_cast<unsigned char>(*begin))) return std::nullopt;
    return std::clamp(value, 0LL, largestNumber);
}

// "M" for minutes or "M:S" for minutes and seconds, in seconds.
std::optional<long long> minutesField(const std::string& word) {
    const auto colon = word.find(':');
    auto minutes = leadingNumber(word.substr(0, colon));
    if (!minutes) return std::nullopt;
    if (colon == std::string::npos) return *minutes * 60;
    auto seconds = leadingNumber(word.substr(colon + 1));
    if (!seconds) return std::nullopt;
    return *minutes * 60 + *seconds;
}

// "S" for seconds or "M:S" for minutes and seconds, in seconds.
std::optional<long long> secondsField(const std::string& word) {
    if (word.find(':') != std::string::npos) return minutesField(word);
    return leadingNumber(word);
}

// The number after the command word, if any.
std::optional<long long> commandNumber(const char* line) {
    const auto w = words(line);
    if (w.size() < 2) return std::nullopt;
    return leadingNumber(w[1]);
}

int toMilliseconds(long long seconds) { return static_cast<int>(std::min<long long>(seconds * 1000, INT_MAX)); }

}  // namespace

void Engine::setLevel(const char* line) {
    const auto w = words(line);
    if (w.size() < 4) return;
    const auto moves = leadingNumber(w[1]);
    const auto base = minutesField(w[2]);
    const auto increment = secondsField(w[3]);
    if (!moves || !base || !increment) return;

    movesPerPeriod = static_cast<int>(*moves);
    const long long total = *base + 50 * *increment;
    if (movesPerPeriod == 0) movesPerPeriod = 60;
    timeBudgetMs = toMilliseconds(total / movesPerPeriod);
    depthLimit = defaultDepth;
}

void Engine::setClock(const char* line) {
    const auto centiseconds = commandNumber(line);
    if (!centiseconds) return;
    const long long clockSeconds = *centiseconds / 100;
    if (movesPerPeriod != 0) {
        const int played = (ply + 1) / 2;
        const int left = movesPerPeriod - played % movesPerPeriod;
        const long long seconds = left > 30 ? clockSeconds / 30 : clockSeconds / (left + 1);
        extensionAllowed = seconds >= 5;
        timeBudgetMs = toMilliseconds(seconds);
        return;
    }
    static constexpr int phaseDivisor[5] = {30, 25, 20, 15, 10};
    const int phase = gamePhase(*currentPosition);
    const long long seconds = phase >= 0 && phase <= 4 ? clockSeconds / phaseDivisor[phase] : 0;
    timeBudgetMs = toMilliseconds(seconds);
}

void Engine::setMoveTime(const char* line) {
    const auto seconds = commandNumber(line);
    if (!seconds) return;
    timeBudgetMs = toMilliseconds(*seconds);
    depthLimit = defaultDepth;
    extensionAllowed = false;
}

void Engine::setDepth(const char* line) {
    const auto depth = commandNumber(line);
    if (!depth) return;
    depthLimit = static_cast<int>(std::min<long long>(*depth, largestDepth));
    timeBudgetMs = toMilliseconds(defaultMaxSeconds);
}
