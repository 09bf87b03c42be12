#include <gtest/gtest.h>

#include "test_engine.h"

namespace {

const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST(Setup, StartPositionFields) {
    TestEngine t;
    const Position& p = t.setBoard(startFen);
    EXPECT_EQ(p.sideToMove, WHITE);
    EXPECT_EQ(p.board[sq("e1")], makePiece(KING, WHITE));
    EXPECT_EQ(p.board[sq("d8")], makePiece(QUEEN, BLACK));
    EXPECT_EQ(p.whiteKingSquare, sq("e1"));
    EXPECT_EQ(p.blackKingSquare, sq("e8"));
    EXPECT_EQ(p.whiteKingsideBarred + p.whiteQueensideBarred + p.blackKingsideBarred + p.blackQueensideBarred, 0);
    EXPECT_EQ(p.enPassantTimer, 0);
    EXPECT_EQ(p.halfmoveClock, 0);
    EXPECT_EQ(p.plyCount, 0);
    EXPECT_EQ(p.lastFrom, 255);
    EXPECT_EQ(p.lastTo, 255);
    EXPECT_EQ(p.hashKey, t->computeHashKey(p));
    EXPECT_EQ(p.whiteMaterialCount, 59);
    EXPECT_EQ(p.pieceCount, 32);
}

}  // namespace
