// The direct look-ups that replace full generations where only one answer is
// needed must give exactly the answer of the full generation, or every count
// of legal moves, and with them the search, would change.
#include <gtest/gtest.h>

#include <random>

#include "board/attacks.h"
#include "board_game.h"

namespace {

// Random games from positions rich in checks, pins, castling, en passant
// and promotions: for every pseudo-legal move, the king-safety look-up
// agrees with the full generation of the child.
TEST(KingSafety, AgreesWithTheFullGenerationInRandomGames) {
    const char* starts[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "r3k2r/1p4p1/8/2pP4/5pP1/8/1P4P1/R3K2R w KQkq c6 0 1",
    };
    std::mt19937 random(99);
    BoardGame t;
    Rules& e = t.rules;
    int checked = 0;
    int refused = 0;
    for (int game = 0; game < 60; ++game) {
        Position p;
        setupPosition(p, starts[game % 4], e.keys, t.setupText);
        for (int ply = 0; ply < 120; ++ply) {
            MoveList pseudo;
            ASSERT_EQ(generateMoves(p, pseudo, Generation::Full, e), 1);
            for (int i = 0; i < pseudo.count; ++i) {
                Position child;
                copyState(child, p);
                makeMove(pseudo.from[i], pseudo.to[i], child, e);
                const bool safe = moveKeepsKingSafe(child);
                switchSide(child);
                MoveList childMoves;
                const bool legal = generateMoves(child, childMoves, Generation::Full, e) != 0;
                ASSERT_EQ(safe, legal) << "game " << game << " ply " << ply << " move " << squareName(pseudo.from[i])
                                       << squareName(pseudo.to[i]);
                ++checked;
                refused += legal ? 0 : 1;
            }
            MoveList legalMoves;
            generateLegalMoves(p, legalMoves, e);
            if (legalMoves.count == 0) break;
            const int pick = static_cast<int>(random() % static_cast<unsigned>(legalMoves.count));
            makeMove(legalMoves.from[pick], legalMoves.to[pick], p, e);
            switchSide(p);
        }
    }
    EXPECT_GT(checked, 50000);
    EXPECT_GT(refused, 1000);
}

// An emptied square keeps its colour bit; only the kind makes a square
// occupied.
TEST(OccupiedSquares, MarksExactlyTheSquaresWithAPiece) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        uint8_t board[64];
        uint64_t expected = 0;
        for (int s = 0; s < 64; ++s) {
            const int kind = random() % 3 == 0 ? static_cast<int>(random() % 7) : 0;
            board[s] = makePiece(kind, random() % 2 ? WHITE : BLACK);
            if (kind != EMPTY) expected |= uint64_t{1} << s;
        }
        ASSERT_EQ(occupiedSquares(board), expected) << "round " << round;
    }
}

}  // namespace
