#include <gtest/gtest.h>

#include <set>

#include "board_game.h"

namespace {

// The search will rely on this order: pieces square by square from a1,
// each piece's targets in its fixed direction order.
TEST(MoveGeneration, StartPositionOrderAndAttackCounts) {
    BoardGame t;
    const std::vector<std::string> expected = {"b1c3", "b1a3", "g1h3", "g1f3", "a2a3", "a2a4", "b2b3",
                                               "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4",
                                               "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4"};
    EXPECT_EQ(t.legalMoves(), expected);

    MoveList moves;
    Position& p = t.position();
    ASSERT_EQ(generateMoves(p, moves, Generation::Full, t.rules), 1);
    for (Square s = 0; s < 64; ++s) {
        int want = 0;
        if (s == sq("d2") || s == sq("e2"))
            want = 4;
        else if (s == sq("c3") || s == sq("f3"))
            want = 3;
        else if (rankOf(s) == 2)
            want = 2;
        else if (rankOf(s) <= 1 && s != sq("a1") && s != sq("h1"))
            want = 1;
        EXPECT_EQ(p.whiteAttacks[s], want) << squareName(s);
        EXPECT_EQ(p.blackAttacks[s], 0) << squareName(s);
    }
}

// A pinned piece's moves are listed but are not legal; a king may not step
// next to the other king.
TEST(MoveGeneration, PinsAndKingContact) {
    BoardGame t;
    Position& p = t.setBoard("8/8/8/8/8/4k3/8/r2BK3 w - - 0 1");
    EXPECT_EQ(p.pinned[sq("d1")], 1);
    EXPECT_EQ(p.inCheck, 0);
    MoveList pseudo;
    generateMoves(p, pseudo, Generation::Full, t.rules);
    int bishopMoves = 0;
    for (int i = 0; i < pseudo.count; ++i) bishopMoves += pseudo.from[i] == sq("d1");
    EXPECT_EQ(bishopMoves, 7);
    EXPECT_EQ(t.legalMoves(), std::vector<std::string>{"e1f1"});
}

// The check flag, including pawn and knight checks near the board's edges
// (a pawn on the far file must not wrap round).
TEST(MoveGeneration, CheckFlagOfTheSideToMove) {
    struct Case {
        const char* fen;
        int inCheck;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/4K2r w - - 0 1", 1},    // rook along the rank
        {"4k3/8/8/8/8/8/8/4K1Nr w - - 0 1", 0},   // blocked
        {"4k3/7p/8/8/1b6/8/8/4K3 w - - 0 1", 1},  // bishop
        {"4k3/7p/8/8/8/3n4/8/4K3 w - - 0 1", 1},  // knight
        {"4k3/8/8/6p1/7K/8/8/8 w - - 0 1", 1},    // pawn g5 against king h4
        {"4k3/8/p7/8/7K/8/8/8 w - - 0 1", 0},     // pawn a6 is not beside h4
        {"8/8/8/k7/8/7P/8/4K3 b - - 0 1", 0},     // pawn h3 is not beside a5
        {"8/8/8/k7/1P6/8/8/4K3 b - - 0 1", 1},    // pawn b4 against king a5
        {"8/8/8/k7/P7/8/8/4K3 b - - 0 1", 0},     // a pawn straight ahead
    };
    for (const Case& c : cases) {
        BoardGame t;
        const Position& p = t.setBoard(c.fen);
        ASSERT_NE(t.setupText, startPositionText) << c.fen;
        EXPECT_EQ(p.inCheck, c.inCheck) << c.fen;
        EXPECT_EQ(p.status(), c.inCheck ? InCheck : Normal) << c.fen;
        EXPECT_EQ(p.sideToMove == WHITE ? p.blackStatus : p.whiteStatus, Normal) << c.fen;
    }
}

// 259 pseudo-legal moves: the list keeps the first 256 and writes no further.
TEST(MoveGeneration, MoveListNeverOverflows) {
    BoardGame t;
    Position& p = t.setBoard("QQQQQQnk/Q5pp/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQQ w - - 0 1");
    ASSERT_NE(t.setupText, startPositionText);
    MoveList moves;
    ASSERT_EQ(generateMoves(p, moves, Generation::Full, t.rules), 1);
    EXPECT_EQ(moves.count, MoveList::capacity);
    std::set<std::pair<int, int>> distinct;
    for (int i = 0; i < moves.count; ++i) {
        EXPECT_TRUE(belongsTo(p.board[moves.from[i]], WHITE));
        distinct.insert({moves.from[i], moves.to[i]});
    }
    EXPECT_EQ(distinct.size(), 256u);
    EXPECT_EQ(t.legalMoves().size(), 256u);
}

}  // namespace
