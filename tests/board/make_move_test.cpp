#include <gtest/gtest.h>

#include "board_game.h"

namespace {

TEST(MakeMove, DoublePushFromTheStartPosition) {
    BoardGame t;
    const Position start = t.position();
    Position p = start;
    EXPECT_EQ(makeMove(sq("e2"), sq("e4"), p, t.rules), 1);
    EXPECT_EQ(p.sideToMove, WHITE);  // the caller switches sides
    EXPECT_EQ(p.plyCount, 1);
    EXPECT_EQ(p.halfmoveClock, 0);
    EXPECT_EQ(p.enPassantTimer, 1);
    EXPECT_EQ(p.enPassantSquare, sq("e3"));
    EXPECT_EQ(p.lastFrom, sq("e2"));
    EXPECT_EQ(p.lastTo, sq("e4"));
    EXPECT_EQ(p.board[sq("e2")], WHITE);  // kind cleared, colour bit left
    EXPECT_EQ(p.board[sq("e4")], makePiece(PAWN, WHITE));
    EXPECT_EQ(p.hashKey, start.hashKey ^ t->keys.pieceKey(makePiece(PAWN, WHITE), sq("e2")) ^
                             t->keys.pieceKey(makePiece(PAWN, WHITE), sq("e4")));
}

TEST(MakeMove, HalfmoveClockCountsQuietMovesOnly) {
    BoardGame t;
    t.setBoard("4k3/8/8/3p4/8/2N5/8/4K3 w - - 10 30");
    ASSERT_TRUE(t.playAll({"c3b1", "e8e7", "b1c3", "e7e6"}));
    EXPECT_EQ(t.position().halfmoveClock, 14);
    ASSERT_TRUE(t.play("c3d5"));  // a knight that captures
    EXPECT_EQ(t.position().halfmoveClock, 0);
    EXPECT_EQ(t.position().plyCount, 63);
}

// After a double step the capture is offered for exactly one reply, and it
// removes the pawn that passed, from the board and from the key.
TEST(EnPassant, OfferedForExactlyOneReply) {
    BoardGame t;
    t.setBoard("4k3/8/8/8/3p4/8/4P3/4K3 w - - 5 40");
    ASSERT_TRUE(t.play("e2e4"));
    EXPECT_TRUE(t.isLegal("d4e3"));
    ASSERT_TRUE(t.playAll({"e8d8", "e1d1"}));
    EXPECT_EQ(t.position().enPassantTimer, 0);
    EXPECT_FALSE(t.isLegal("d4e3"));

    t.setBoard("4k3/8/8/8/3p4/8/4P3/4K3 w - - 5 40");
    ASSERT_TRUE(t.play("e2e3"));
    EXPECT_EQ(t.position().enPassantTimer, 0);
}

TEST(EnPassant, CaptureRemovesThePassedPawn) {
    struct Case {
        const char* fen;
        const char* doubleStep;
        const char* capture;
        const char* refused;  // the pawn that did not step
        const char* victim;
    };
    const Case cases[] = {
        {"4k3/8/8/8/3p1p2/8/4P1P1/4K3 w - - 5 40", "e2e4", "d4e3", "f4g3", "e4"},
        {"4k3/8/8/8/3p1p2/8/4P1P1/4K3 w - - 5 40", "g2g4", "f4g3", "f4e3", "g4"},
        {"4k3/3p1p2/8/4P3/8/8/8/4K3 b - - 5 40", "f7f5", "e5f6", "e5d6", "f5"},
        {"4k3/3p1p2/8/4P3/8/8/8/4K3 b - - 5 40", "d7d5", "e5d6", "e5f6", "d5"},
    };
    for (const Case& c : cases) {
        BoardGame t;
        t.setBoard(c.fen);
        ASSERT_TRUE(t.play(c.doubleStep)) << c.capture;
        EXPECT_FALSE(t.isLegal(c.refused)) << c.capture;
        const uint8_t mover = t.position().sideToMove;
        const int pieces = t.position().pieceCount;
        ASSERT_TRUE(t.play(c.capture)) << c.capture;
        const Position& p = t.position();
        const Square to = sq(c.capture + 2);
        EXPECT_EQ(p.board[to], makePiece(PAWN, mover)) << c.capture;
        EXPECT_TRUE(isEmpty(p.board[sq(c.capture)])) << c.capture;
        EXPECT_TRUE(isEmpty(p.board[sq(c.victim)])) << c.capture;
        EXPECT_EQ(p.pieceCount, pieces - 1) << c.capture;
        EXPECT_EQ(p.halfmoveClock, 0) << c.capture;
        EXPECT_EQ(p.enPassantTimer, 0) << c.capture;
        EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p)) << c.capture;
    }
}

// Each promotion letter, with and without capture, for both colours.
TEST(Promotion, EachPieceWithAndWithoutCapture) {
    struct Letter {
        const char* suffix;
        int kind;
    };
    const Letter letters[] = {{"n", KNIGHT}, {"b", BISHOP}, {"r", ROOK}, {"q", QUEEN}, {"", QUEEN}, {"x", QUEEN}};
    struct Move {
        const char* fen;
        const char* move;
        uint8_t colour;
        bool capture;
    };
    const Move moves[] = {
        {"1r2k3/P7/8/8/8/8/8/4K3 w - - 3 30", "a7a8", WHITE, false},
        {"1r2k3/P7/8/8/8/8/8/4K3 w - - 3 30", "a7b8", WHITE, true},
        {"4k3/8/8/8/8/8/p7/1R2K3 b - - 3 30", "a2a1", BLACK, false},
        {"4k3/8/8/8/8/8/p7/1R2K3 b - - 3 30", "a2b1", BLACK, true},
    };
    for (const Move& m : moves) {
        for (const Letter& l : letters) {
            const std::string text = std::string(m.move) + l.suffix;
            BoardGame t;
            t.setBoard(m.fen);
            ASSERT_TRUE(t.play(text)) << text;
            const Position& p = t.position();
            EXPECT_EQ(p.board[sq(m.move + 2)], makePiece(l.kind, m.colour)) << text;
            EXPECT_TRUE(isEmpty(p.board[sq(m.move)])) << text;
            EXPECT_EQ(p.pieceCount, m.capture ? 3 : 4) << text;
            EXPECT_EQ(p.halfmoveClock, 0) << text;
            EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p)) << text;
        }
    }
}

}  // namespace
