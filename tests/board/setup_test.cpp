#include <gtest/gtest.h>

#include "board_game.h"

namespace {

const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST(Setup, StartPositionFields) {
    BoardGame t;
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
    EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p));
    EXPECT_EQ(p.whiteMaterialCount, 59);
    EXPECT_EQ(p.pieceCount, 32);
}

// Text that cannot describe a position of a game sets up the start position.
TEST(Setup, UnusableTextFallsBackToTheStartPosition) {
    const char* rejected[] = {
        "",
        "   ",
        "4k3/8/8/8/8/8/8/4K3",              // no side to move
        "4k3/8/8/8/8/8/8/4K3 ",             // no side to move
        "4k3/8/8/8/8/8/8/4K3 - - 0 1",      // the side left out
        "4k3/8/8/8/8/8/8/4K3 x - - 0 1",    // a side that is neither w nor b
        "4k3/8/8/8/8/8/8/4K3 white",        // a side that is neither w nor b
        "8/8/8/8/8/8/8/8 w - - 0 1",        // no kings
        "4k3/8/8/8/8/8/8/8 w - - 0 1",      // no White king
        "4k3/8/8/8/8/8/8/4K3/ w - - 0 1",   // a slash after the last rank
        "4k3/8/8/8/8/8/8/4K3N w - - 0 1",   // a piece after the last square
        "4k3/8/8/8/8/8/8/4Kx2 w - - 0 1",   // a letter that is no piece
        "4k3/9/8/8/8/8/8/4K3 w - - 0 1",    // a digit beyond a rank's length
        "3Pk3/8/8/8/8/8/8/4K3 w - - 0 1",   // White pawn on the last rank
        "4k3/8/8/8/8/8/8/p3K3 b - - 0 1",   // Black pawn on its last rank
        "4k3/8/8/8/8/8/8/P3K3 w - - 0 1",   // White pawn on its first rank
        "p3k3/8/8/8/8/8/8/4K3 w - - 0 1",   // Black pawn on its first rank
        "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1",  // White to move could take the king
        "4k3/8/8/8/8/3n4/8/4K3 b - - 0 1",  // Black to move could take the king
    };
    for (const char* fen : rejected) {
        BoardGame t;
        t.play("e2e4");
        const Position& p = t.setBoard(fen);
        EXPECT_EQ(t.setupText, startFen) << fen;
        EXPECT_EQ(p.plyCount, 0) << fen;
        EXPECT_EQ(p.sideToMove, WHITE) << fen;
        EXPECT_EQ(p.board[sq("e2")], makePiece(PAWN, WHITE)) << fen;
        EXPECT_EQ(p.board[sq("e4")] & KIND_MASK, EMPTY) << fen;
        EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p)) << fen;
        EXPECT_EQ(t.legalMoves().size(), 20u) << fen;
    }
}

TEST(Setup, PlacementIsCountedSquareBySquare) {
    BoardGame t;
    Position p = t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(p.whiteKingSquare, sq("e1"));
    EXPECT_EQ(p.blackKingSquare, sq("e8"));
    EXPECT_EQ(p.pieceCount, 2);

    // A ninth square on a rank runs on into the next one.
    p = t.setBoard("4k3N/8/8/8/8/8/8/4K2 w - - 0 1");
    EXPECT_EQ(p.board[sq("a7")], makePiece(KNIGHT, WHITE));
    EXPECT_EQ(p.whiteKingSquare, sq("f1"));
    EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p));
}

TEST(Setup, SideCastlingClockAndMoveNumberFields) {
    BoardGame t;
    Position p = t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R w Kq - 45 60");
    EXPECT_EQ(p.whiteKingsideBarred, 0);
    EXPECT_EQ(p.whiteQueensideBarred, 1);
    EXPECT_EQ(p.blackKingsideBarred, 1);
    EXPECT_EQ(p.blackQueensideBarred, 0);
    EXPECT_EQ(p.halfmoveClock, 45);
    EXPECT_EQ(p.plyCount, 118);

    p = t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R b - - 45 60");
    EXPECT_EQ(p.sideToMove, BLACK);
    EXPECT_EQ(p.plyCount, 119);
    EXPECT_EQ(p.whiteKingsideBarred + p.whiteQueensideBarred + p.blackKingsideBarred + p.blackQueensideBarred, 4);

    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 7 0").plyCount, 0);  // move 0 counts as 1
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 b - - 7").plyCount, 1);    // missing counts as 1
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 b - - 7").halfmoveClock, 7);
    // From 100 on the count draws whatever it is; a signed byte must not wrap.
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 99 1").halfmoveClock, 99);
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 200 1").halfmoveClock, 100);
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 300 1").halfmoveClock, 100);
    EXPECT_EQ(t.setBoard("4k3/8/8/8/8/8/8/4K3 w - - 99999999999999999999 1").halfmoveClock, 100);

    p = t.setBoard("4k3/8/8/8/8/8/8/4K3 b");  // no more fields after the side
    EXPECT_EQ(t.setupText, "4k3/8/8/8/8/8/8/4K3 b");
    EXPECT_EQ(p.sideToMove, BLACK);
    EXPECT_EQ(p.halfmoveClock, 0);
    EXPECT_EQ(p.plyCount, 1);
    EXPECT_EQ(t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R w").whiteKingsideBarred, 1);
}

// Material no game can reach is for the caller to refuse: the set-up itself
// takes crowded boards, as tests and tools build them.
TEST(Setup, ImpossibleMaterial) {
    const struct {
        const char* fen;
        bool possible;
    } cases[] = {
        {startFen, true},
        {"qqqqq1qk/6qq/8/8/8/8/QQ6/KQQQQQQ1 w - - 0 1", true},    // eight queens a side, no pawns
        {"4k3/8/8/8/8/8/1PPPPPPP/BBB1K3 w - - 0 1", true},        // a bishop from the a-pawn
        {"4k2k/8/8/8/8/8/8/4K3 w - - 0 1", false},                // two Black kings
        {"4k3/8/8/8/8/8/8/R3K2K w - - 0 1", false},               // two White kings
        {"4k3/pppppppp/pppppppp/8/8/8/8/4K3 w - - 0 1", false},   // 16 Black pawns
        {"4k3/pp6/8/8/8/8/1ppppppp/4K3 w - - 0 1", false},        // 9 Black pawns
        {"4k3/8/8/8/8/QQQQQQQQ/PPPPPPPP/Q3K3 b - - 0 1", false},  // 9 queens and 8 pawns
        {"4k3/8/8/8/8/8/PPPPPPP1/QQQ1K3 w - - 0 1", false},       // 2 promoted, 1 pawn missing
        {"4k3/8/8/8/8/8/PPPPPPPP/NNN1K3 w - - 0 1", false},       // a third knight, no pawn missing
    };
    for (const auto& c : cases) {
        BoardGame t;
        const Position& p = t.setBoard(c.fen);
        ASSERT_EQ(t.setupText, c.fen);
        EXPECT_EQ(impossibleMaterial(p) == nullptr, c.possible) << c.fen;
    }
}

// The en-passant field opens a capture only behind a pawn that could just
// have made its double step.
TEST(Setup, EnPassantField) {
    BoardGame t;
    Position p = t.setBoard("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
    EXPECT_EQ(p.enPassantTimer, 1);
    EXPECT_EQ(p.enPassantSquare, sq("e3"));
    EXPECT_TRUE(t.isLegal("d4e3"));

    p = t.setBoard("4k3/8/8/2Pp4/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(p.enPassantTimer, 1);
    EXPECT_EQ(p.enPassantSquare, sq("d6"));
    EXPECT_TRUE(t.isLegal("c5d6"));

    const char* implausible[] = {
        "4k3/8/8/8/8/8/8/4K3 w - e6 0 1",       // no pawn beyond the square
        "4k3/8/8/8/3pP3/8/8/4K3 w - e3 0 1",    // the wrong side to move
        "4k3/8/8/3Pp3/8/8/8/4K3 b - e6 0 1",    // the mover's own pawn beyond it
        "4k3/8/3n4/2Pp4/8/8/8/4K3 w - d6 0 1",  // the square itself is occupied
        "4k3/8/8/8/8/8/8/4K3 w - e4 0 1",       // not on the third or sixth rank
    };
    for (const char* fen : implausible) {
        p = t.setBoard(fen);
        EXPECT_NE(t.setupText, startFen) << fen;
        EXPECT_EQ(p.enPassantTimer, 0) << fen;
    }
}

}  // namespace
