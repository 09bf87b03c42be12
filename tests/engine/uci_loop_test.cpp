// The UCI front end's translations: "go" limits into the engine's budget
// through its own time rules, search scores into centipawns and mates, and
// which commands keep or restart the game's state.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/uci.h"
#include "engine/words.h"
#include "test_engine.h"

namespace {

GoLimits limits(const std::string& go) { return GoLimits::parse(splitWords(go), 1); }

// White to move after 38 plies: 19 moves played, as "time" counts them.
// One loop reads every "go" in turn, so a limit that outlived its "go"
// would show in the next row.
TEST(UciLimits, BudgetFollowsTheEnginesRules) {
    struct Case {
        const char* go;
        int ms, depth;
        bool extension, timed;
    };
    const Case cases[] = {
        // The moves to go are the moves left in the period: 60 s / (21 + 1).
        {"go wtime 60000 btime 1000 movestogo 21", 2727, 25, false, true},
        {"go wtime 240000 btime 1000 movestogo 40", 8000, 25, true, true},
        // Without them the clock is for the whole game: a thirtieth of it,
        // and three quarters of the increment, in milliseconds.
        {"go wtime 90000 btime 1 winc 2000 binc 0", 3000 + 1500, 25, false, true},
        {"go wtime 9000 btime 1 winc 300 binc 0", 300 + 225, 25, false, true},
        {"go btime 90000 wtime 1000", 33, 25, false, true},
        {"go movetime 400", 400, 25, false, true},
        // UCI's depth is the last iteration's; the clock counts one less.
        {"go depth 6", 300000, 5, true, false},
        {"go movetime 50 wtime 600000", 50, 25, false, true},
        {"go nodes 100000", 300000, 100, true, false},
        {"go depth 6 movetime 700", 700, 5, false, true},
        {"go infinite", 300000, 100, true, false},
        {"go wtime -5 movestogo x nodes 10 mate 2 ponder", 0, 25, false, true},
    };
    TestEngine t;
    UciLoop uci(*t, t.output);
    std::string game = "position startpos moves";
    for (int i = 0; i < 19; ++i) game += i % 2 ? " f3g1 f6g8" : " g1f3 g8f6";
    uci.handleLine(game);
    ASSERT_EQ(t.ply(), 38);
    for (const Case& c : cases) {
        const ThinkRequest request = uci.thinkRequest(limits(c.go));
        EXPECT_EQ(request.limits.budgetMs, c.ms) << c.go;
        EXPECT_EQ(request.limits.depth, c.depth) << c.go;
        EXPECT_EQ(request.limits.extensionAllowed, c.extension) << c.go;
        EXPECT_EQ(request.timed, c.timed) << c.go;
    }
}

// Each level below full strength searches more nodes and leaves less to
// chance than the one below it; the ratings map onto the levels in order,
// and the top of either scale is full strength, which changes nothing.
TEST(PlayingLevel, WeakerLevelsSearchLessAndGuessMore) {
    for (int skill = 1; skill < 20; ++skill) {
        const PlayingLevel level = PlayingLevel::ofSkill(skill), weaker = PlayingLevel::ofSkill(skill - 1);
        EXPECT_TRUE(level.limited());
        EXPECT_GT(level.nodes(), weaker.nodes());
        EXPECT_LT(level.weakness(), weaker.weakness());
        EXPECT_GT(level.elo(), weaker.elo());
    }
    EXPECT_FALSE(PlayingLevel::ofSkill(20).limited());
    EXPECT_FALSE(PlayingLevel::ofElo(fullStrengthElo).limited());
    EXPECT_EQ(PlayingLevel::ofElo(weakestElo).tenths, 0);
    // A rating plays at the level measured for it, or above the strongest
    // measured level at that level, which never claims more than asked.
    for (int elo = weakestElo + 50; elo < fullStrengthElo; elo += 50) {
        const PlayingLevel level = PlayingLevel::ofElo(elo);
        EXPECT_TRUE(level.limited()) << elo;
        EXPECT_GE(level.tenths, PlayingLevel::ofElo(elo - 50).tenths) << elo;
        EXPECT_LE(level.elo(), elo) << elo;
        if (level.tenths < PlayingLevel::ofSkill(19).tenths) {
            EXPECT_NEAR(level.elo(), elo, 25) << elo;
        }
    }
    TestEngine t;
    UciLoop uci(*t, t.output);
    EXPECT_EQ(uci.thinkRequest(limits("go wtime 1000 btime 1000")).weakness, 0);
}

// The weakest level prefers a line a little worse now and then, but never
// passes up a queen nor plays into a lost piece that its search sees.
TEST(PlayingLevel, ChanceChoosesAmongPlausibleLinesOnly) {
    const int close[] = {500, 300, 200, 100}, queen[] = {9000, 0, -100, -200}, lost[] = {-3500, -8000, -8500, -9000};
    Random random(7);
    int others = 0;
    for (int i = 0; i < 1000; ++i) {
        others += chooseLine(close, 4, PlayingLevel::ofSkill(0).weakness(), random) != 0;
        EXPECT_EQ(chooseLine(queen, 4, PlayingLevel::ofSkill(0).weakness(), random), 0);
        EXPECT_EQ(chooseLine(lost, 4, PlayingLevel::ofSkill(0).weakness(), random), 0);
    }
    EXPECT_GT(others, 100);
}

TEST(UciScore, CentipawnsAndMovesToMate) {
    EXPECT_EQ(uciScore(1234), "cp 123");
    EXPECT_EQ(uciScore(-38000), "cp -3800");
    EXPECT_EQ(uciScore(-mateScore - 3000), "mate 2");
    EXPECT_EQ(uciScore(mateScore + 10000), "mate -5");
}

// Hosts send "position" before every move: it must not cost the game its
// table, book state or scores; "ucinewgame" resets them as "new" does.
TEST(UciGame, PositionKeepsTheGameAndNewGameResetsIt) {
    TestEngine t;
    UciLoop uci(*t, t.output);
    uci.handleLine("position startpos moves e2e4 e7e5");
    t->thinker.memory.bookActive = false;
    t->thinker.memory.prevScore[1] = 120;
    t->thinker.memory.extensionsUsed[0] = 2;
    uci.handleLine("position startpos moves e2e4 e7e5 g1f3");
    EXPECT_EQ(t.ply(), 3);
    EXPECT_FALSE(t->thinker.memory.bookActive);
    EXPECT_EQ(t->thinker.memory.prevScore[1], 120);
    EXPECT_EQ(t->thinker.memory.extensionsUsed[0], 2);
    uci.handleLine("ucinewgame");
    EXPECT_TRUE(t->thinker.memory.bookActive);
    EXPECT_EQ(t->thinker.memory.prevScore[1], noScore);
    EXPECT_EQ(t->thinker.memory.extensionsUsed[0], 0);
    EXPECT_EQ(t.takeOutput(), "");
}

}  // namespace
