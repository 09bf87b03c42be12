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
    t.takeOutput();
    t.think(depthLimit);
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

    // Mating with the hundredth half-move wins all the same: Black mated at
    // ply 1, 1000 * 1 - 400000, is +39900 centipawns at the root.
    t.setBoard("7k/8/6K1/8/8/8/8/R7 w - - 99 80");
    std::istringstream mateOnTheClock(analyse(t, 2).back());
    std::string move;
    mateOnTheClock >> depth >> score >> move >> move >> move;
    EXPECT_EQ(score, 39900);
    EXPECT_EQ(move, "a1a8");
}

// Passing the move must not hand the en-passant right to the side that
// just pushed: its pawns would "capture" onto the passed-over square and
// take their own pawn. Right after 1. e4, with no Black pawn to use the
// right, the search is the same with or without it in the set-up text.
// Beta lies far below the position's worth, so the pass at the root holds
// only after White's every reply to it has been searched.
TEST(NullMove, PassingDropsTheEnPassantRight) {
    const std::string placement = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq ";
    int64_t nodes[2];
    for (int i = 0; i < 2; ++i) {
        TestEngine t;
        t.setBoard(placement + (i == 0 ? "e3" : "-") + " 0 1");
        // The search alone, with no one to ask whether to stop.
        Search& search = t.search();
        search.stopCheck = nullptr;
        MoveList moves = t->game.legalMoves();
        search.setRoot(t->game.view());
        search.startRoot(moves);
        search.startIterations();
        for (int depth = 2; depth <= 4; ++depth) search.searchRoot(moves, -infinityScore, -100000, depth);
        nodes[i] = search.nodes();
    }
    EXPECT_EQ(nodes[0], nodes[1]);
}

TEST(ShallowSearch, MarksStalemateAndCheckmate) {
    TestEngine t;
    Position& stalemate = t.setBoard("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(stalemate.whiteStatus, Stalemate);
    EXPECT_EQ(stalemate.blackStatus, Stalemate);
    EXPECT_EQ(t.gameStatus(), Stalemate);

    Position& mate = t.setBoard("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(mate.whiteStatus, Checkmate);
    EXPECT_EQ(mate.blackStatus, Checkmate);

    // A draw scores 0; at a deeper ply a mate is worth less to the winner.
    struct Case {
        const char* fen;
        int searchPly, score;
    };
    const Case cases[] = {
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 0, 0},
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 0, -400000},
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 3, 1000 * 3 - 400000},
    };
    for (const Case& c : cases) {
        Position copy = t.setBoard(c.fen);
        MoveList moves;
        generateMoves(copy, moves, Generation::Full, t->rules);
        const NodeResult result =
            t.search().shallowSearch(copy, moves, -infinityScore, infinityScore, 1, c.searchPly, 0);
        EXPECT_EQ(result.score, c.score) << c.fen << " ply " << c.searchPly;
    }
}

TEST(Quiesce, TriesAtMostFortyCapturesAtANode) {
    TestEngine t;
    // Eight queens between two rows of pawns: 44 captures. No game reaches
    // the board, so the rules set it up, not the game.
    Position p;
    std::string text;
    setupPosition(p, "7k/pppppppp/QQQQQQQQ/pppppppp/8/8/8/K7 w - - 0 1", t->rules.keys, text);
    MoveList moves;
    generateMoves(p, moves, Generation::Full, t->rules);
    int captures = 0;
    for (int i = 0; i < moves.count; ++i) captures += !isEmpty(p.board[moves.to[i]]);
    ASSERT_EQ(captures, 44);
    // A window far above the position: every capture is counted, and every
    // reply stands pat at once.
    const int64_t before = t.search().nodes();
    t.search().quiesce(p, moves, 100000, 200000, 50);
    EXPECT_EQ(t.search().nodes() - before, 40);
}

// Delta pruning: a capture whose victim cannot lift the stand-pat score to
// within half a pawn of alpha is not played out. To make the pruning
// visible, the tables reward every White piece richly once 29 pieces are
// left, so the capture that leaves 29 is worth far more than its victim.
class DeltaPruning : public ::testing::Test {
protected:
    void SetUp() override {
        t->evaluator.lazyEvaluation = false;
        for (std::size_t i = 0; i < PieceSquareTables::advancedSize; ++i) {
            const std::size_t pieceCountRow = i % 3456 / 108;
            const bool white = i % 18 / 9 == 1;
            t->evaluator.tables.advanced[i] = pieceCountRow == 29 && white ? 127 : 0;
        }
    }

    // The capture search's answer with alpha two pawns above the stand-pat
    // score, and that alpha.
    std::pair<int, int> searchTwoPawnsBelowAlpha(const char* fen) {
        Position& p = t.setBoard(fen);
        MoveList moves;
        generateMoves(p, moves, Generation::Full, t->rules);
        int status = 0;
        const int standPat = t->evaluator.evaluate(p, &status, moves, -infinityScore, infinityScore, t->rules);
        const int alpha = standPat + 2000;
        return {t.search().quiesce(p, moves, alpha, alpha + 100000, 50), alpha};
    }

    TestEngine t;
};

TEST_F(DeltaPruning, APawnCaptureIsSkippedAndAKnightCaptureSearched) {
    // 30 pieces; e4xf5 is White's only capture, and Black has no reply that
    // captures.
    const char* pawnOnF5 = "rnbqkbnr/p1ppp1pp/8/5p2/4P3/8/P1PP1PPP/RNBQKBNR w KQkq - 0 2";
    const char* knightOnF5 = "rnbqkb1r/p1pppppp/8/5n2/4P3/8/P1PP1PPP/RNBQKBNR w KQkq - 0 2";

    auto [pawnScore, pawnAlpha] = searchTwoPawnsBelowAlpha(pawnOnF5);
    EXPECT_EQ(pawnScore, pawnAlpha);  // gain 1000 + 500 <= 2000: skipped

    t.search().settings.useDeltaPruning = false;
    auto [unprunedScore, unprunedAlpha] = searchTwoPawnsBelowAlpha(pawnOnF5);
    EXPECT_GT(unprunedScore, unprunedAlpha);  // played out, it is worth much more
    t.search().settings.useDeltaPruning = true;

    auto [knightScore, knightAlpha] = searchTwoPawnsBelowAlpha(knightOnF5);
    EXPECT_GT(knightScore, knightAlpha);  // gain 3125 + 500 > 2000: searched
}

TEST(Quiesce, StandsPatAtOrAboveBeta) {
    TestEngine t;
    Position& p = t.setBoard("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
    MoveList moves;
    generateMoves(p, moves, Generation::Full, t->rules);
    const int64_t before = t.search().nodes();
    EXPECT_EQ(t.search().quiesce(p, moves, -800000, -100000, 50), -100000);
    EXPECT_EQ(t.search().nodes(), before);
}

}  // namespace
