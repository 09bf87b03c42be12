// Playing levels for people: the engine at full strength, or weaker by a
// level a GUI sets ("Skill Level" 0 to 20, or "UCI_Elo" when
// "UCI_LimitStrength" is on). A weaker level looks less far ahead (its
// search stops at a number of nodes, so neither threads nor pondering nor
// the lines shown change its strength) and now and then prefers a plausible
// second-best move, chosen among its best few lines with a random weight
// that grows as the level falls: the mistakes of a weaker player, a missed
// tactic or an inexact plan, rather than a piece left hanging.
#pragma once

#include <cstdint>

#include "engine/thinker.h"

struct PlayingLevel {
    // In tenths of a skill level: 0 the weakest, fullStrength none.
    static constexpr int fullStrength = 200;
    int tenths = fullStrength;

    bool limited() const { return tenths < fullStrength; }
    // The nodes a move may take: doubling about every two levels.
    int64_t nodes() const;
    // The weight of chance in the choice among the best lines.
    int weakness() const;

    static PlayingLevel ofSkill(int skill);
    static PlayingLevel ofElo(int elo);
    // The rating the level plays at, as the calibration measured it.
    int elo() const;
};

// The ratings the levels span: the weakest level's, and full strength's.
constexpr int weakestElo = 1000;
constexpr int fullStrengthElo = 1940;

// How many of the best lines a weaker level chooses among.
constexpr int levelLines = 4;

// Sets the search of a weaker level: its node budget (or the one asked for,
// when smaller), the lines it chooses among, of which as many as asked are
// shown, and the weight of chance.
void applyLevel(const PlayingLevel& level, ThinkRequest& request);
