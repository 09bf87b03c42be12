#include <gtest/gtest.h>

#include "board_game.h"

namespace {

struct Rights {
    int whiteKingside, whiteQueenside, blackKingside, blackQueenside;  // 1 = barred
};

Rights barred(const Position& p) {
    return {p.whiteKingsideBarred, p.whiteQueensideBarred, p.blackKingsideBarred, p.blackQueensideBarred};
}

void expectRights(const Position& p, Rights want, const std::string& context) {
    const Rights got = barred(p);
    EXPECT_EQ(got.whiteKingside, want.whiteKingside) << context;
    EXPECT_EQ(got.whiteQueenside, want.whiteQueenside) << context;
    EXPECT_EQ(got.blackKingside, want.blackKingside) << context;
    EXPECT_EQ(got.blackQueenside, want.blackQueenside) << context;
}

TEST(Castling, EachOfTheFourMovesKingAndRook) {
    struct Case {
        const char* move;
        const char *kingTo, *rookFrom, *rookTo;
        uint8_t colour;
        Rights after;
    };
    const Case cases[] = {
        {"e1g1", "g1", "h1", "f1", WHITE, {1, 1, 0, 0}},
        {"e1c1", "c1", "a1", "d1", WHITE, {1, 1, 0, 0}},
        {"e8g8", "g8", "h8", "f8", BLACK, {0, 0, 1, 1}},
        {"e8c8", "c8", "a8", "d8", BLACK, {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        BoardGame t;
        t.setBoard(c.colour == WHITE ? "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1" : "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
        ASSERT_TRUE(t.play(c.move)) << c.move;
        const Position& p = t.position();
        const Square home = c.colour == WHITE ? sq("e1") : sq("e8");
        EXPECT_EQ(p.board[sq(c.kingTo)], makePiece(KING, c.colour)) << c.move;
        EXPECT_EQ(p.board[sq(c.rookTo)], makePiece(ROOK, c.colour)) << c.move;
        EXPECT_TRUE(isEmpty(p.board[sq(c.rookFrom)])) << c.move;
        EXPECT_TRUE(isEmpty(p.board[home])) << c.move;
        EXPECT_EQ(c.colour == WHITE ? p.whiteKingSquare : p.blackKingSquare, sq(c.kingTo)) << c.move;
        EXPECT_EQ(p.whiteCastled, c.colour == WHITE ? 1 : 0) << c.move;
        EXPECT_EQ(p.blackCastled, c.colour == BLACK ? 1 : 0) << c.move;
        EXPECT_EQ(p.halfmoveClock, 1) << c.move;
        expectRights(p, c.after, c.move);
        EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p)) << c.move;
    }
}

// Rights go for good with a king move, a rook move from its corner or a
// capture on the corner, even when the king comes back or another rook
// takes the corner.
TEST(Castling, RightsLostByKingAndRookMoves) {
    struct Case {
        const char* fen;
        std::vector<std::string> moves;
        Rights after;
        const char* refused;
        const char* stillLegal;  // may be empty
    };
    const char* white = "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1";
    const char* black = "r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1";
    const Case cases[] = {
        {white, {"e1f1", "e8d8", "f1e1", "d8e8"}, {1, 1, 1, 1}, "e1g1", ""},
        {white, {"e1f1", "e8d8", "f1e1", "d8e8"}, {1, 1, 1, 1}, "e1c1", ""},
        {white, {"h1g1", "e8d8", "g1h1", "d8e8"}, {1, 0, 1, 1}, "e1g1", "e1c1"},
        {white, {"a1b1", "e8d8", "b1a1", "d8e8"}, {0, 1, 1, 1}, "e1c1", "e1g1"},
        {black, {"e8f8", "e1d1", "f8e8", "d1e1"}, {1, 1, 1, 1}, "e8g8", ""},
        {black, {"h8g8", "e1d1", "g8h8", "d1e1"}, {1, 1, 1, 0}, "e8g8", "e8c8"},
        {black, {"a8b8", "e1d1", "b8a8", "d1e1"}, {1, 1, 0, 1}, "e8c8", "e8g8"},
        {"4k3/8/8/8/8/8/Rb6/R3K2R b KQ - 0 1", {"b2a1", "a2a1", "e8d8"}, {0, 1, 1, 1}, "e1c1", "e1g1"},
        {"4k3/8/8/8/8/6n1/8/R3K2R b K - 0 1",
         {"g3h1", "a1a2", "e8d8", "a2h2", "d8e8", "h2h1", "e8d8"},
         {1, 1, 1, 1},
         "e1g1",
         ""},
        {"4k2r/7r/6N1/8/8/8/8/4K3 w k - 0 1", {"g6h8", "h7h8", "e1d1"}, {1, 1, 1, 1}, "e8g8", ""},
    };
    for (const Case& c : cases) {
        BoardGame t;
        t.setBoard(c.fen);
        ASSERT_TRUE(t.playAll(c.moves)) << c.moves[0];
        expectRights(t.position(), c.after, c.moves[0]);
        EXPECT_FALSE(t.isLegal(c.refused)) << c.moves[0];
        if (*c.stillLegal) {
            EXPECT_TRUE(t.isLegal(c.stillLegal)) << c.moves[0];
        }
    }
}

// The king may not castle out of check, through an attacked square or into
// one; the rook may pass an attacked square (b1, b8).
TEST(Castling, RefusedOutOfThroughAndIntoCheck) {
    struct Case {
        int file;  // of the enemy rook
        bool kingside, queenside;
    };
    const Case cases[] = {{4, false, false}, {5, false, true}, {6, false, true},
                          {3, true, false},  {2, true, false}, {1, true, true}};
    for (const Case& c : cases) {
        const std::string left = c.file ? std::to_string(c.file) : "";
        const std::string right = c.file < 7 ? std::to_string(7 - c.file) : "";
        const std::string name = std::string(1, static_cast<char>('a' + c.file)) + "-file";
        BoardGame t;
        t.setBoard("8/8/5k2/8/" + left + "r" + right + "/8/8/R3K2R w KQ - 0 1");
        EXPECT_EQ(t.isLegal("e1g1"), c.kingside) << "White, rook on the " << name;
        EXPECT_EQ(t.isLegal("e1c1"), c.queenside) << "White, rook on the " << name;
        t.setBoard("r3k2r/8/8/" + left + "R" + right + "/8/5K2/8/8 b kq - 0 1");
        EXPECT_EQ(t.isLegal("e8g8"), c.kingside) << "Black, rook on the " << name;
        EXPECT_EQ(t.isLegal("e8c8"), c.queenside) << "Black, rook on the " << name;
    }
}

// Whatever the rights say, castling needs the own rook on the corner and
// empty squares between.
TEST(Castling, RefusedWithoutTheOwnRookOnTheCorner) {
    struct Case {
        const char* fen;
        const char* kingside;
        const char* queenside;
        bool kingsideLegal, queensideLegal;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/N3K2B w KQ - 0 1", "e1g1", "e1c1", false, false},
        {"4k3/8/8/8/8/8/8/n3K2n w KQ - 0 1", "e1g1", "e1c1", false, false},
        {"4k3/8/8/8/8/8/8/4K3 w KQ - 0 1", "e1g1", "e1c1", false, false},
        {"4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", "e1g1", "e1c1", true, false},
        {"n3k2b/8/8/8/8/8/8/4K3 b kq - 0 1", "e8g8", "e8c8", false, false},
        {"rn2k1nr/8/8/8/8/8/8/4K3 b kq - 0 1", "e8g8", "e8c8", false, false},
    };
    for (const Case& c : cases) {
        BoardGame t;
        t.setBoard(c.fen);
        ASSERT_NE(t.setupText, startPositionText) << c.fen;
        EXPECT_EQ(t.isLegal(c.kingside), c.kingsideLegal) << c.fen;
        EXPECT_EQ(t.isLegal(c.queenside), c.queensideLegal) << c.fen;
    }
}

}  // namespace
