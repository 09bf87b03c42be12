#include <gtest/gtest.h>

#include "test_engine.h"

namespace {

// A game far longer than the first 512 history entries: every position is
// kept, the current one is always the last entry, and undo walks back.
TEST(GameHistory, LongGamesGrowTheHistory) {
    TestEngine t;
    const uint64_t startKey = t.position().hashKey;
    const std::vector<std::string> cycle = {"g1f3", "b8c6", "f3g1", "c6b8", "b1c3", "g8f6", "c3b1", "f6g8"};
    const int plies = 800;
    for (int i = 0; i < plies; ++i) ASSERT_TRUE(t.play(cycle[i % cycle.size()])) << "ply " << i;
    ASSERT_EQ(t->ply, plies);
    EXPECT_EQ(t->positionCount, plies + 1);
    EXPECT_EQ(t->gameStatus, DrawFiftyMoves);
    ASSERT_GE(t->history.size(), static_cast<std::size_t>(plies + 1));
    EXPECT_EQ(t->currentPosition, &t->history[plies]);
    for (int i = 0; i <= plies; ++i) {
        EXPECT_EQ(t->history[i].plyCount, i);
        EXPECT_EQ(t->history[i].hashKey, t->computeHashKey(t->history[i]));
    }

    for (int i = 0; i < 300; ++i) t.loop.handleLine("remove");
    ASSERT_EQ(t->ply, 200);
    EXPECT_EQ(t->positionCount, 201);
    EXPECT_EQ(t.position().hashKey, startKey);
    EXPECT_EQ(t.position().sideToMove, WHITE);
    ASSERT_TRUE(t.play("e2e4"));
    t.loop.handleLine("undo");
    t.loop.handleLine("undo");
    EXPECT_EQ(t->ply, 199);
    EXPECT_TRUE(isEmpty(t.position().board[sq("g8")]));
    EXPECT_EQ(t.position().board[sq("f6")], makePiece(KNIGHT, BLACK));
}

// Taking moves back restores the earlier position exactly; new moves then
// overwrite the entries after it.
TEST(GameHistory, UndoAndRemove) {
    TestEngine t;
    const Position start = t.position();
    t.loop.handleLine("undo");
    t.loop.handleLine("remove");
    EXPECT_EQ(t->ply, 0);
    ASSERT_TRUE(t.play("e2e4"));
    t.loop.handleLine("remove");  // needs two plies
    EXPECT_EQ(t->ply, 1);
    ASSERT_TRUE(t.playAll({"e7e5", "g1f3"}));
    const Position afterTwo = t->history[2];
    t.loop.handleLine("undo");
    EXPECT_EQ(t->ply, 2);
    EXPECT_EQ(t->positionCount, 3);
    EXPECT_EQ(t->gameStatus, Normal);
    EXPECT_EQ(t.position().hashKey, afterTwo.hashKey);
    EXPECT_EQ(t.position().sideToMove, WHITE);
    t.loop.handleLine("remove");
    EXPECT_EQ(t->ply, 0);
    EXPECT_EQ(t.position().hashKey, start.hashKey);
    EXPECT_EQ(t.position().enPassantTimer, 0);
    ASSERT_TRUE(t.play("d2d4"));
    EXPECT_EQ(t->positionCount, 2);
    EXPECT_EQ(t.position().board[sq("d4")], makePiece(PAWN, WHITE));
    EXPECT_TRUE(isEmpty(t.position().board[sq("e4")]));
}

}  // namespace
