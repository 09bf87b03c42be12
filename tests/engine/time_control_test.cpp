#include <gtest/gtest.h>

#include "test_engine.h"

namespace {

struct Budget {
    int ms, depth;
    bool extension;
};

void expectBudget(TestEngine& t, Budget want, const std::string& context) {
    EXPECT_EQ(t.limits().budgetMs, want.ms) << context;
    EXPECT_EQ(t.limits().depth, want.depth) << context;
    EXPECT_EQ(t.limits().extensionAllowed, want.extension) << context;
}

// Each case starts a new game, sends its lines and looks at the budget.
struct Case {
    std::vector<std::string> lines;
    Budget want;
    int movesPerPeriod;
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        TestEngine t;
        std::string context;
        for (const std::string& line : c.lines) {
            t.loop.handleLine(line);
            context += line + "; ";
        }
        expectBudget(t, c.want, context);
        EXPECT_EQ(t->clock.movesPerPeriod(), c.movesPerPeriod) << context;
        EXPECT_EQ(t.takeOutput(), "") << context;
    }
}

TEST(TimeControl, ConstructionDefaults) { runCases({{{}, {15000, 15, true}, 0}}); }

// Budgets in milliseconds: a clock of a few seconds still gives each move
// its share, and nothing is truncated to whole seconds.
TEST(TimeControl, LevelTimeStAndSd) {
    runCases({
        {{"level 40 5 0"}, {7500, 25, true}, 40},
        {{"level 40 5 0", "time 30000"}, {10000, 25, true}, 40},
        {{"level 0 2 12"}, {12000, 25, true}, 60},
        {{"level 40 0:30 0"}, {750, 25, true}, 40},
        {{"level 40 1:30 0:30"}, {(90 + 50 * 30) * 1000 / 40, 25, true}, 40},
        {{"level 40 5 0", "time 400"}, {133, 25, false}, 40},
        // Ten seconds for forty moves: a thirtieth of the clock.
        {{"level 40 0:10 0", "time 1000"}, {333, 25, false}, 40},
        // An increment: its three quarters come on top of the clock's share
        // (a thirtieth, the clock lasting the whole game), but a move never
        // takes more than half the clock.
        {{"level 0 2 12", "time 12000"}, {4000 + 9000, 25, true}, 60},
        {{"level 0 2 12", "time 400"}, {2000, 25, false}, 60},
        {{"level 0 0:30 0.5", "time 3000"}, {1000 + 375, 25, false}, 60},
        {{"st 10"}, {10000, 25, false}, 0},
        {{"st 0.5"}, {500, 25, false}, 0},
        {{"sd 6"}, {300000, 6, true}, 0},
        {{"st 10", "sd 6"}, {300000, 6, false}, 0},
        {{"sd 6", "st 10"}, {10000, 25, false}, 0},
        // A fixed time per move holds against the clock xboard sends before
        // every move, and against a new game or position: nothing may
        // lengthen it. "level" and "sd" end it.
        {{"st 2", "time 200"}, {2000, 25, false}, 0},
        {{"st 3", "new", "time 6000"}, {3000, 25, false}, 0},
        {{"st 3", "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "time 6000"}, {3000, 25, false}, 0},
        {{"level 40 5 0", "st 3", "new"}, {3000, 25, false}, 0},
        {{"st 3", "level 40 5 0", "time 30000"}, {10000, 25, true}, 40},
        {{"st 3", "sd 6", "new"}, {300000, 6, true}, 0},
    });
}

// Absurd numbers give large budgets, never negative or undefined ones, and
// doubling one for a hard move stays within the clock.
TEST(TimeControl, AbsurdNumbersDoNotOverflow) {
    runCases({
        {{"level 0 2000000 0"}, {2000000 * 60 / 60 * 1000, 25, true}, 60},
        {{"level 1 99999999999 99999999999"}, {2147483647, 25, true}, 1},
        {{"level 1 5 0", "time 99999999999"}, {500000000, 25, true}, 1},
        {{"st 99999999999"}, {2147483647, 25, false}, 0},
    });
    TestEngine t;
    t.loop.handleLine("level 0 2000000 0");
    SearchLimits limits = t.limits();
    limits.lengthen();
    EXPECT_EQ(limits.budgetMs, 2147483647);
    t.loop.handleLine("level 1 5 0");
    t.loop.handleLine("time 2000");  // the last move of the period: half the clock
    limits = t.limits();
    limits.lengthen();
    EXPECT_EQ(limits.budgetMs, 10000);
    t.loop.handleLine("st 1");
    limits = t.limits();
    limits.lengthen();
    EXPECT_EQ(limits.budgetMs, 1000);
}

// Without a period the share of the clock follows the game phase.
TEST(TimeControl, ClockByGamePhase) {
    struct Phase {
        const char* fen;
        int divisor;
    };
    const Phase phases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 30},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 20", 25},
        {"4k2r/pppppppp/8/8/8/8/PPPPPPPP/4K2R w - - 0 1", 20},
        {"4k3/pppppp2/8/8/8/8/PPPPPP2/4K3 w - - 0 1", 15},
        {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", 10},
    };
    for (const Phase& p : phases) {
        TestEngine t;
        t.setBoard(p.fen);
        t.loop.handleLine("time 60000");
        EXPECT_EQ(t.limits().budgetMs, 600 / p.divisor * 1000) << p.fen;
        EXPECT_TRUE(t.limits().extensionAllowed) << p.fen;
        EXPECT_EQ(t.limits().depth, 15) << p.fen;
    }
}

// With a period the clock is shared among the moves left in it.
TEST(TimeControl, ClockByMovesLeftInThePeriod) {
    TestEngine t;
    t.loop.handleLine("level 40 5 0");
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(t.playAll({"g1f3", "g8f6", "f3g1", "f6g8"}));
    ASSERT_EQ(t.ply(), 20);
    t.loop.handleLine("time 30000");
    EXPECT_EQ(t.limits().budgetMs, 9677);  // 10 moves played, 30 left: 300 s / 31
    EXPECT_TRUE(t.limits().extensionAllowed);
    t.loop.handleLine("time 1000");
    EXPECT_EQ(t.limits().budgetMs, 322);
    EXPECT_FALSE(t.limits().extensionAllowed);
}

// Missing or non-numeric numbers change nothing; negative numbers count as 0
// and never divide by zero.
TEST(TimeControl, UnusableNumbers) {
    const std::vector<std::string> ignored = {
        "st",    "st x",     "sd",         "sd -",        "time",         "time abc",
        "level", "level 40", "level 40 5", "level x 5 0", "level 40 x 0", "level 40 5 y",
    };
    for (const std::string& line : ignored) {
        TestEngine t;
        t.loop.handleLine("level 40 5 0");
        t.loop.handleLine("time 30000");
        t.loop.handleLine(line);
        expectBudget(t, {10000, 25, true}, line);
        EXPECT_EQ(t->clock.movesPerPeriod(), 40) << line;
    }
    runCases({
        {{"level -3 5 0"}, {5000, 25, true}, 60},
        {{"level 0 0 0"}, {0, 25, true}, 60},
        {{"level 40 -5 -2"}, {0, 25, true}, 40},
        {{"level -3 5 0", "time -5"}, {0, 25, false}, 60},
        {{"time -5"}, {0, 15, true}, 0},
        {{"st -5"}, {0, 25, false}, 0},
        {{"sd -3"}, {300000, 0, true}, 0},
    });
}

}  // namespace
