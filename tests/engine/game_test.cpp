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
    ASSERT_EQ(t.ply(), plies);
    EXPECT_EQ(t.gameStatus(), DrawFiftyMoves);
    const GameView game = t->game.view();
    ASSERT_EQ(game.count, plies + 1);
    EXPECT_EQ(&t->game.current(), &game.positions[plies]);
    for (int i = 0; i <= plies; ++i) {
        EXPECT_EQ(game.positions[i].plyCount, i);
        EXPECT_EQ(game.positions[i].hashKey, t->rules.keys.computeHashKey(game.positions[i]));
    }

    for (int i = 0; i < 300; ++i) t.loop.handleLine("remove");
    ASSERT_EQ(t.ply(), 200);
    EXPECT_EQ(t.position().hashKey, startKey);
    EXPECT_EQ(t.position().sideToMove, WHITE);
    ASSERT_TRUE(t.play("e2e4"));
    t.loop.handleLine("undo");
    t.loop.handleLine("undo");
    EXPECT_EQ(t.ply(), 199);
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
    EXPECT_EQ(t.ply(), 0);
    ASSERT_TRUE(t.play("e2e4"));
    t.loop.handleLine("remove");  // needs two plies
    EXPECT_EQ(t.ply(), 1);
    ASSERT_TRUE(t.playAll({"e7e5", "g1f3"}));
    const Position afterTwo = t->game.view().positions[2];
    t.loop.handleLine("undo");
    EXPECT_EQ(t.ply(), 2);
    EXPECT_EQ(t.gameStatus(), Normal);
    EXPECT_EQ(t.position().hashKey, afterTwo.hashKey);
    EXPECT_EQ(t.position().sideToMove, WHITE);
    t.loop.handleLine("remove");
    EXPECT_EQ(t.ply(), 0);
    EXPECT_EQ(t.position().hashKey, start.hashKey);
    EXPECT_EQ(t.position().enPassantTimer, 0);
    ASSERT_TRUE(t.play("d2d4"));
    EXPECT_EQ(t.ply(), 1);
    EXPECT_EQ(t.position().board[sq("d4")], makePiece(PAWN, WHITE));
    EXPECT_TRUE(isEmpty(t.position().board[sq("e4")]));
}

// A promotion letter holds for its own move only, whether the move is
// played or refused.
TEST(Promotion, LetterIsForgottenAfterEveryMove) {
    TestEngine t;
    Position p = t.setBoard("4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1");
    EXPECT_EQ(makeMove(sq("b7"), sq("b8"), p, t->rules, KNIGHT), 2);
    EXPECT_EQ(p.board[sq("b8")], makePiece(KNIGHT, WHITE));

    EXPECT_FALSE(t.play("b7c8n"));  // refused: nothing to capture
    ASSERT_TRUE(t.play("b7b8n"));
    ASSERT_TRUE(t.play("g2g1"));
    EXPECT_EQ(t.position().board[sq("g1")], makePiece(QUEEN, BLACK));
    ASSERT_TRUE(t.play("e1d2r"));  // a letter on a move that promotes nothing
}

// The result line follows the move that ends the game: a check on the
// hundredth half-move draws, a mate then wins, and a third repetition draws.
TEST(GameEnd, ResultLineFollowsTheMoveThatEndsTheGame) {
    struct Case {
        const char* fen;
        std::vector<std::string> moves;
        const char* result;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/R3K3 w - - 98 80", {"a1a8"}, ""},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 98 80", {"a1a8", "e8e7"}, "1/2-1/2 {50 moves rule}\n"},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 99 80", {"a1a8"}, "1/2-1/2 {50 moves rule}\n"},
        {"7k/8/6K1/8/8/8/8/R7 w - - 99 80", {"a1a8"}, "1-0 {White mates}\n"},
        {"r7/8/8/8/8/6k1/8/7K b - - 99 80", {"a8a1"}, "0-1 {Black mates}\n"},
        {startPositionText,
         {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"},
         "1/2-1/2 {Draw by repetition}\n"},
    };
    for (const Case& c : cases) {
        TestEngine t;
        t.setBoard(c.fen);
        ASSERT_TRUE(t.playAll(c.moves)) << c.fen;
        EXPECT_EQ(t.takeOutput(), c.result) << c.fen;
    }
}

}  // namespace
