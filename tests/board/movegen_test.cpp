#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <set>

#include "bench_runner.h"
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

// The attack counts, pins, check and material as a plain square-by-square
// walk finds them, to hold the generator's set arithmetic to.
struct Reference {
    int8_t attacks[2][64] = {};  // by colour index
    int8_t pinned[64] = {};
    bool inCheck = false;
    int materialCount[2] = {};
};

Reference referenceOf(const Position& p) {
    static const int lines[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, -1}, {1, -1}, {-1, 1}};
    static const int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    const auto at = [](int file, int rank) {
        return file >= 0 && file < 8 && rank >= 0 && rank < 8 ? file + 8 * rank : -1;
    };
    const auto slides = [](int kind, int line) { return kind == QUEEN || kind == (line < 4 ? ROOK : BISHOP); };
    Reference r;
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = p.board[s];
        if (isEmpty(piece)) continue;
        const int kind = kindOf(piece), c = colourIndex(colourOf(piece)), f = fileOf(s), rank = rankOf(s);
        int8_t* counts = r.attacks[c];
        r.materialCount[c] += materialCountWeight[kind];
        for (int i = 0; i < 8; ++i) {
            const int* step = kind == KNIGHT ? jumps[i] : lines[i];
            if (kind == PAWN && (i < 4 || step[1] != (c ? 1 : -1))) continue;
            const bool slider = kind == ROOK || kind == BISHOP || kind == QUEEN;
            if (slider && !slides(kind, i)) continue;
            for (int t = at(f + step[0], rank + step[1]), n = 1; t >= 0; t = at(f + n * step[0], rank + n * step[1])) {
                ++n;
                ++counts[t];
                if (!slides(kind, i) || !isEmpty(p.board[t])) break;
            }
        }
    }
    for (const Square king : {p.whiteKingSquare, p.blackKingSquare}) {
        const uint8_t colour = colourOf(p.board[king]);
        for (int i = 0; i < 8; ++i) {
            int first = -1;
            for (int n = 1, t; (t = at(fileOf(king) + n * lines[i][0], rankOf(king) + n * lines[i][1])) >= 0; ++n) {
                const uint8_t piece = p.board[t];
                if (isEmpty(piece)) continue;
                const bool enemySlider = colourOf(piece) != colour && slides(kindOf(piece), i);
                if (first < 0 && colourOf(piece) != colour) r.inCheck |= enemySlider;
                if (first >= 0 && enemySlider) ++r.pinned[first];
                if (first >= 0 || colourOf(piece) != colour) break;
                first = t;
            }
        }
    }
    // Knights and pawns count only against the king of the side to move.
    const Square king = p.sideToMove == WHITE ? p.whiteKingSquare : p.blackKingSquare;
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = p.board[s];
        if (!belongsTo(piece, opponentOf(p.sideToMove))) continue;
        const int files = std::abs(fileOf(king) - fileOf(s)), ranks = rankOf(king) - rankOf(s);
        if (kindOf(piece) == KNIGHT && files * std::abs(ranks) == 2) r.inCheck = true;
        if (kindOf(piece) == PAWN && files == 1 && ranks == (colourOf(piece) == WHITE ? 1 : -1)) r.inCheck = true;
    }
    return r;
}

// Thousands of positions from random games out of the perft and bench
// positions, legal ones and the illegal children of random moves: the full
// generation's counts, pins, check, status and material, the legal list, and
// the opponent's counts and move total the evaluation asks for, all as the
// reference (or playing each move out) finds them.
TEST(MoveGeneration, AttackCountsPinsAndStatusMatchTheSquareBySquareReference) {
    std::vector<const char*> starts = {
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
        "r3k2r/7r/6N1/8/8/6n1/7R/R3K2R b KQkq - 0 1",
    };
    for (const BenchPosition& b : benchPositions()) starts.push_back(b.fen);
    std::mt19937 random(28);
    BoardGame t;
    int positions = 0, illegal = 0;
    for (const char* start : starts) {
        Position p;
        setupPosition(p, start, t.rules.keys, t.setupText);
        for (int ply = 0; ply < 60; ++ply) {
            MoveList moves;
            generateMoves(p, moves, Generation::Full, t.rules);
            if (moves.count == 0) break;
            Position child;
            copyState(child, p);
            const int any = static_cast<int>(random() % static_cast<unsigned>(moves.count));
            makeMove(moves.from[any], moves.to[any], child, t.rules);
            switchSide(child);
            for (Position* q : {&p, &child}) {
                const Reference r = referenceOf(*q);
                const int legal = generateMoves(*q, moves, Generation::Full, t.rules);
                illegal += legal ? 0 : 1;
                ++positions;
                const int mover = colourIndex(q->sideToMove);
                ASSERT_EQ(std::memcmp(mover ? q->whiteAttacks : q->blackAttacks, r.attacks[mover], 64), 0) << start;
                for (Square s = 0; s < 64; ++s) ASSERT_EQ((mover ? q->blackAttacks : q->whiteAttacks)[s], 0);
                ASSERT_EQ(std::memcmp(q->pinned, r.pinned, 64), 0) << start << " ply " << ply;
                ASSERT_EQ(q->inCheck, r.inCheck) << start << " ply " << ply;
                if (!legal) continue;
                ASSERT_EQ(q->whiteMaterialCount, r.materialCount[1]);
                ASSERT_EQ(q->blackMaterialCount, r.materialCount[0]);
                if (q->status() <= InCheck) {
                    ASSERT_EQ(q->status(), r.inCheck ? InCheck : Normal);
                }
                // The legal list keeps exactly the moves that leave the king
                // safe when played out.
                MoveList played, legalList;
                for (int i = 0; i < moves.count; ++i)
                    if (isLegalMove(*q, moves.from[i], moves.to[i], t.rules)) played.append(moves.from[i], moves.to[i]);
                generateLegalMoves(*q, legalList, t.rules);
                ASSERT_EQ(legalList.count, played.count) << start << " ply " << ply;
                for (int i = 0; i < played.count; ++i)
                    ASSERT_TRUE(legalList.from[i] == played.from[i] && legalList.to[i] == played.to[i]);
                // The opponent's side, without the en-passant right, listed
                // and only counted.
                Position listed = *q, counted = *q;
                MoveList list, count;
                for (Position* o : {&listed, &counted}) {
                    switchSide(*o);
                    o->enPassantTimer = 0;
                }
                const int listedLegal = generateMoves(listed, list, Generation::MovesOnly, t.rules);
                ASSERT_EQ(generateMoves(counted, count, Generation::CountOnly, t.rules), listedLegal);
                ASSERT_EQ(count.count, list.count);
                ASSERT_EQ(std::memcmp(mover ? counted.blackAttacks : counted.whiteAttacks, r.attacks[1 - mover], 64),
                          0);
            }
            if (p.status() >= Checkmate) break;
            MoveList legalMoves;
            generateLegalMoves(p, legalMoves, t.rules);
            if (legalMoves.count == 0) break;
            const int pick = static_cast<int>(random() % static_cast<unsigned>(legalMoves.count));
            makeMove(legalMoves.from[pick], legalMoves.to[pick], p, t.rules);
            switchSide(p);
        }
    }
    EXPECT_GT(positions, 2000);
    EXPECT_GT(illegal, 100);
}

}  // namespace
