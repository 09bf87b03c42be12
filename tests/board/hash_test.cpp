#include <gtest/gtest.h>

#include <random>

#include "test_engine.h"

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
    TestEngine t;
    Engine& e = *t;
    int plies = 0;
    for (int game = 0; game < 120; ++game) {
        Position p;
        e.setupPosition(p, starts[game % 4]);
        MoveList moves;
        e.generateMoves(p, moves, true);
        for (int ply = 0; ply < 150; ++ply) {
            e.generateLegalMoves(p, moves);
            if (moves.count == 0) break;
            const int i = static_cast<int>(random() % static_cast<unsigned>(moves.count));
            e.promotionPiece = promotionKinds[random() % 4];
            const std::string move = squareName(moves.from[i]) + squareName(moves.to[i]);
            e.makeMove(moves.from[i], moves.to[i], p);
            switchSide(p);
            ASSERT_EQ(e.generateMoves(p, moves, true), 1) << "game " << game << " move " << move;
            ASSERT_EQ(p.hashKey, e.computeHashKey(p)) << "game " << game << " move " << move;
            ASSERT_EQ(p.board[p.whiteKingSquare], makePiece(KING, WHITE)) << "game " << game << " move " << move;
            ASSERT_EQ(p.board[p.blackKingSquare], makePiece(KING, BLACK)) << "game " << game << " move " << move;
            ++plies;
        }
    }
    EXPECT_GT(plies, 10000);
}

// The key describes the placement only.
TEST(HashKey, IgnoresSideToMoveCastlingAndEnPassant) {
    TestEngine t;
    const uint64_t key = t.setBoard("r3k2r/8/8/8/3pP3/8/8/R3K2R b KQkq e3 0 1").hashKey;
    EXPECT_EQ(t.setBoard("r3k2r/8/8/8/3pP3/8/8/R3K2R w - - 0 1").hashKey, key);
    EXPECT_NE(t.setBoard("r3k2r/8/8/8/3p1P2/8/8/R3K2R w - - 0 1").hashKey, key);
}

// Keys are reproducible for a given seed, and every key has bits 0, 16, 32
// and 48 clear.
TEST(HashKey, KeysFollowTheSeed) {
    std::ostringstream out;
    auto engineA = std::make_unique<Engine>(7u, out);
    auto engineB = std::make_unique<Engine>(7u, out);
    auto engineC = std::make_unique<Engine>(8u, out);
    const Engine &a = *engineA, &b = *engineB, &c = *engineC;
    int differing = 0;
    for (int piece = 0; piece < 12; ++piece) {
        for (Square s = 0; s < 64; ++s) {
            EXPECT_EQ(a.zobrist[piece][s], b.zobrist[piece][s]);
            EXPECT_EQ(a.zobrist[piece][s] & 0x0001000100010001ull, 0u);
            differing += a.zobrist[piece][s] != c.zobrist[piece][s];
        }
    }
    EXPECT_GT(differing, 760);
    EXPECT_EQ(a.history[0].hashKey, b.history[0].hashKey);
}

}  // namespace
