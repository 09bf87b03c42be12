#include <gtest/gtest.h>

#include <sstream>

#include "test_engine.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// Runs the root search as an analysis does (a human to move: no book, no
// change of budget) and returns the thinking lines.
std::vector<std::string> analyse(TestEngine& t, int depthLimit) {
    t.loop.handleLine("force");
    MoveList moves;
    t->generateLegalMoves(t.position(), moves);
    t.takeOutput();
    t->rootSearch(t.position(), moves, -infinityScore, infinityScore, depthLimit);
    return lines(t.takeOutput());
}

TEST(RootSearch, IteratesFromDepthTwoToOneBeyondTheLimit) {
    TestEngine t;
    t.setBoard("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    auto thinking = analyse(t, 1);
    ASSERT_EQ(thinking.size(), 1u);
    EXPECT_EQ(thinking[0].rfind("2 ", 0), 0u);

    thinking = analyse(t, 4);
    ASSERT_EQ(thinking.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(thinking[i].rfind(std::to_string(i + 2) + " ", 0), 0u);
}

TEST(RootSearch, AMateFoundNearTheRootEndsTheIterations) {
    TestEngine t;
    // Mate in two: 1. Kc7 Ka7 2. Ra1#.
    t.setBoard("k7/8/2K5/8/8/8/8/1R6 w - - 0 1");
    const auto thinking = analyse(t, 10);
    ASSERT_FALSE(thinking.empty());
    // Mated at ply 3: 1000 * 3 - 400000 = -397000 for Black there, +397000
    // at the root, shown in centipawns.
    std::istringstream last(thinking.back());
    int depth = 0, score = 0;
    last >> depth >> score;
    EXPECT_EQ(score, 39700);
    EXPECT_LT(depth, 11);
}

TEST(ShallowSearch, MarksStalemateAndCheckmate) {
    TestEngine t;
    Position& stalemate = t.setBoard("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(stalemate.whiteStatus, Stalemate);
    EXPECT_EQ(stalemate.blackStatus, Stalemate);
    EXPECT_EQ(t->gameStatus, Stalemate);
    EXPECT_EQ(t->searchScore, 0);

    Position& mate = t.setBoard("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(mate.whiteStatus, Checkmate);
    EXPECT_EQ(mate.blackStatus, Checkmate);
    EXPECT_EQ(t->searchScore, -400000);

    // At a deeper ply the mate is worth less to the winner.
    Position copy = t.setBoard("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    MoveList moves;
    t->generateMoves(copy, moves, true);
    t->shallowSearch(copy, moves, -infinityScore, infinityScore, 1, 3);
    EXPECT_EQ(t->searchScore, 1000 * 3 - 400000);
}

TEST(Quiesce, TriesAtMostFortyCapturesAtANode) {
    TestEngine t;
    // Eight queens between two rows of pawns: 44 captures.
    Position& p = t.setBoard("7k/pppppppp/QQQQQQQQ/pppppppp/8/8/8/K7 w - - 0 1");
    MoveList moves;
    t->generateMoves(p, moves, true);
    int captures = 0;
    for (int i = 0; i < moves.count; ++i) captures += !isEmpty(p.board[moves.to[i]]);
    ASSERT_EQ(captures, 44);
    // A window far above the position: every capture is counted, and every
    // reply stands pat at once.
    t->nodeCount = 0;
    t->quiesce(p, moves, 100000, 200000, 50, 0);
    EXPECT_EQ(t->nodeCount, 40);
}

TEST(Quiesce, StandsPatAtOrAboveBeta) {
    TestEngine t;
    Position& p = t.setBoard("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
    MoveList moves;
    t->generateMoves(p, moves, true);
    t->nodeCount = 0;
    EXPECT_EQ(t->quiesce(p, moves, -800000, -100000, 50, 0), -100000);
    EXPECT_EQ(t->nodeCount, 0);
}

}  // namespace
