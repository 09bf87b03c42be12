#include "engine/level.h"

#include <algorithm>
#include <cmath>

namespace {

// The skill level, in tenths, that plays at each rating: the points measured
// against stockfish's rated levels at 10 s + 0.1 s (level 0 through level 5's
// result against it), read between by straight lines.
struct EloPoint {
    int elo;
    int tenths;
};
constexpr EloPoint eloScale[] = {
    {weakestElo, 0}, {970, 50}, {1420, 100}, {1620, 150}, {fullStrengthElo, PlayingLevel::fullStrength}};

// The budget of the weakest level, about a one-ply search of its four lines
// and their captures, and the factor per level. The first iteration, of one
// ply, always completes.
constexpr double weakestNodes = 256;
constexpr double doublingsPerLevel = 0.55;

}  // namespace

int64_t PlayingLevel::nodes() const {
    return static_cast<int64_t>(std::llround(weakestNodes * std::exp2(doublingsPerLevel * tenths / 10.0)));
}

// 120 at level 0 down to 80 at level 20: in the choice, a line's score is
// raised by up to (weakness / 128) times the spread of the best lines (at
// most a pawn), and its shortfall from the best, up to a pawn, is forgiven
// by that share.
int PlayingLevel::weakness() const { return 120 - tenths / 5; }

PlayingLevel PlayingLevel::ofSkill(int skill) { return PlayingLevel{std::clamp(skill, 0, 20) * 10}; }

PlayingLevel PlayingLevel::ofElo(int elo) {
    elo = std::clamp(elo, weakestElo, fullStrengthElo);
    for (std::size_t i = 1; i < std::size(eloScale); ++i) {
        const EloPoint& low = eloScale[i - 1];
        const EloPoint& high = eloScale[i];
        if (elo <= high.elo)
            return PlayingLevel{low.tenths + (elo - low.elo) * (high.tenths - low.tenths) / (high.elo - low.elo)};
    }
    return PlayingLevel{};
}

int PlayingLevel::elo() const {
    for (std::size_t i = 1; i < std::size(eloScale); ++i) {
        const EloPoint& low = eloScale[i - 1];
        const EloPoint& high = eloScale[i];
        if (tenths <= high.tenths)
            return low.elo + (tenths - low.tenths) * (high.elo - low.elo) / (high.tenths - low.tenths);
    }
    return fullStrengthElo;
}

void applyLevel(const PlayingLevel& level, ThinkRequest& request) {
    if (!level.limited()) return;
    request.nodes = request.nodes > 0 ? std::min(request.nodes, level.nodes()) : level.nodes();
    request.shownLines = std::min(request.lines, levelLines);
    request.lines = levelLines;
    request.weakness = level.weakness();
    request.firstDepth = 1;
}
