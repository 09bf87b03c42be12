#include <gtest/gtest.h>

#include <random>

#include "board_game.h"

namespace {

// Random games from positions rich in castling, en passant and promotions:
// after every move the incrementally kept key equals the key from scratch,
// and the king squares follow the kings.
TEST(HashKey, IncrementalKeyMatchesKeyFromScratchInRandomGames) {
    const char* starts[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
        "r3k2r/1p4p1/8/2pP4/5pP1/8/1P4P1/R3K2R w KQkq c6 0 1",
    };
    const uint8_t promotionKinds[] = {QUEEN, ROOK, KNIGHT, BISHOP};
    std::mt19937 random(20261207);
    BoardGame t;
    Rules& e = t.rules;
    int plies = 0;
    for (int game = 0; game < 120; ++game) {
        Position p;
        setupPosition(p, starts[game % 4], e.keys, t.setupText);
        MoveList moves;
        generateMoves(p, moves, Generation::Full, e);
        for (int ply = 0; ply < 150; ++ply) {
            generateLegalMoves(p, moves, e);
            if (moves.count == 0) break;
            const int i = static_cast<int>(random() % static_cast<unsigned>(moves.count));
            const uint8_t promotion = promotionKinds[random() % 4];
            const std::string move = squareName(moves.from[i]) + squareName(moves.to[i]);
            makeMove(moves.from[i], moves.to[i], p, e, promotion);
            switchSide(p);
            ASSERT_EQ(generateMoves(p, moves, Generation::Full, e), 1) << "game " << game << " move " << move;
            ASSERT_EQ(p.hashKey, e.keys.computeHashKey(p)) << "game " << game << " move " << move;
            ASSERT_EQ(p.board[p.whiteKingSquare], makePiece(KING, WHITE)) << "game " << game << " move " << move;
            ASSERT_EQ(p.board[p.blackKingSquare], makePiece(KING, BLACK)) << "game " << game << " move " << move;
            ++plies;
        }
    }
    EXPECT_GT(plies, 10000);
}

// The key describes the placement only.
TEST(HashKey, IgnoresSideToMoveCastlingAndEnPassant) {
    BoardGame t;
    const uint64_t key = t.setBoard("r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 1").hashKey;
    EXPECT_EQ(t.setBoard("r3k2r/8/8/8/3pP3/8/8/R3K2R w - - 0 1").hashKey, key);
    EXPECT_NE(t.setBoard("r3k2r/8/8/8/3p1P2/8/8/R3K2R w - - 0 1").hashKey, key);
}

// Keys are reproducible for a given seed, and every key has bits 0, 16, 32
// and 48 clear.
TEST(HashKey, KeysFollowTheSeed) {
    const BoardGame a(7u), b(7u), c(8u);
    int differing = 0;
    for (int piece = 0; piece < 12; ++piece) {
        for (Square s = 0; s < 64; ++s) {
            EXPECT_EQ(a.rules.keys.zobrist[piece][s], b.rules.keys.zobrist[piece][s]);
            EXPECT_EQ(a.rules.keys.zobrist[piece][s] & 0x0001000100010001ull, 0u);
            differing += a.rules.keys.zobrist[piece][s] != c.rules.keys.zobrist[piece][s];
        }
    }
    EXPECT_GT(differing, 760);
    EXPECT_EQ(a.line[0].hashKey, b.line[0].hashKey);
}

}  // namespace
