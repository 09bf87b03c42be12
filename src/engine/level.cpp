#include "engine/level.h"

#include <algorithm>
#include <cmath>

namespace {

// The skill level, in tenths, that plays at each rating: the points measured
// against stockfish's rated levels at 10 s + 0.1 s (level 0 through its
// result against level 5), read between by straight lines. Above level 19
// no level has a measured rating short of full strength: a rating there
// plays at level 19 and says so, rather than claim a strength between.
struct EloPoint {
    int elo;
    int tenths;
};
constexpr EloPoint eloScale[] = {{weakestElo, 0}, {1240, 50}, {1460, 100}, {1510, 120}, {1610, 150}, {1670, 190}};

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
    if (elo >= fullStrengthElo) return PlayingLevel{};
    elo = std::max(elo, weakestElo);
    for (std::size_t i = 1; i < std::size(eloScale); ++i) {
        const EloPoint& low = eloScale[i - 1];
        const EloPoint& high = eloScale[i];
        if (elo <= high.elo)
            return PlayingLevel{low.tenths + (elo - low.elo) * (high.tenths - low.tenths) / (high.elo - low.elo)};
    }
    return PlayingLevel{std::end(eloScale)[-1].tenths};
}

int PlayingLevel::elo() const {
    if (!limited()) return fullStrengthElo;
    for (std::size_t i = 1; i < std::size(eloScale); ++i) {
        const EloPoint& low = eloScale[i - 1];
        const EloPoint& high = eloScale[i];
        if (tenths <= high.tenths)
            return low.elo + (tenths - low.tenths) * (high.elo - low.elo) / (high.tenths - low.tenths);
    }
    return std::end(eloScale)[-1].elo;
}

void applyLevel(const PlayingLevel& level, ThinkRequest& request) {
    if (!level.limited()) return;
    request.nodes = request.nodes > 0 ? std::min(request.nodes, level.nodes()) : level.nodes();
    request.shownLines = std::min(request.lines, levelLines);
    request.lines = levelLines;
    request.weakness = level.weakness();
    request.firstDepth = 1;
}
