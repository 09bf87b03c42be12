// The contract all evaluators share: game status, the material cut-off,
// the combination with the material balance and its sign, and the
// piece-square tables.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "eval_test_support.h"

namespace {

// One position of each phase (0, 1, 2, 3, 4), with its hand-worked score
// for the side to move from the evaluator tests.
struct PhasePosition {
    const char* fen;
    int phase;
    int score;
};
const PhasePosition phasePositions[] = {
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", 0, -56},
    {"r3k2r/pppppppp/8/8/1n6/8/PP1PPPPP/R3K1NR b KQkq - 0 6", 1, 1523},
    {"r5k1/1p3ppp/8/4P3/8/8/5PPP/R5K1 w - - 0 20", 2, 196},
    {"8/p7/8/3k4/8/8/5PPP/6K1 w - - 0 1", 3, 2258},
    {"8/8/8/4k3/8/8/8/1NB3K1 w - - 0 1", 4, 5417},
};

TEST(Evaluate, DispatchesByPhase) {
    for (const PhasePosition& pp : phasePositions) {
        EvalEngine t;
        MoveList moves;
        Position& p = prepare(t, pp.fen, moves);
        EXPECT_EQ(gamePhase(p), pp.phase) << pp.fen;
        int status = -1;
        EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, fullAlpha, fullBeta, t->rules), pp.score) << pp.fen;
        EXPECT_EQ(status, Normal);
    }
}

// A checkmated side to move scores -400000 and the drawn states 0, in every
// evaluator and whatever the window; the status is reported each time.
TEST(Evaluate, FinishedGamesScoreFixedValues) {
    const GameStatus codes[] = {Checkmate, Stalemate, DrawMaterial, DrawRepetition, DrawFiftyMoves};
    for (const PhasePosition& pp : phasePositions) {
        for (GameStatus code : codes) {
            EvalEngine t;
            MoveList moves;
            Position& p = prepare(t, pp.fen, moves);
            p.setBothStatus(code);
            int status = -1;
            const int expected = code == Checkmate ? -400000 : 0;
            EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, 100, 200, t->rules), expected)
                << pp.fen << " status " << int(code);
            EXPECT_EQ(status, code);
        }
    }
}

// The drawn states as the full generation finds them.
TEST(Evaluate, RecognisedDrawsScoreZero) {
    EvalEngine t;
    int status = -1;
    EXPECT_EQ(evaluateFen(t, "8/8/4k3/8/8/3K4/8/8 w - - 0 1", &status), 0);
    EXPECT_EQ(status, DrawMaterial);
    EXPECT_EQ(evaluateFen(t, "8/8/4k3/8/8/3KN3/8/8 b - - 0 1", &status), 0);
    EXPECT_EQ(status, DrawMaterial);
    EXPECT_EQ(evaluateFen(t, "r5k1/1p3ppp/8/4P3/8/8/5PPP/R5K1 w - - 100 60", &status), 0);
    EXPECT_EQ(status, DrawFiftyMoves);
}

// White to move, two pawns down in the opening: D = -2000. With alpha -400,
// D + 1500 = -500 < alpha, so alpha comes back at once, before the
// opponent's moves are generated. With alpha -600 the full evaluation runs.
// The mirror case against beta works the same way.
TEST(Evaluate, MaterialCutOffAgainstTheWindow) {
    const std::string twoPawnsDown = "rnbqkbnr/pppppppp/8/8/8/8/2PPPPPP/RNBQKBNR w KQkq - 0 1";
    EvalEngine t;
    MoveList moves;
    Position& p = prepare(t, twoPawnsDown, moves);
    ASSERT_EQ(p.whiteMaterialValue - p.blackMaterialValue, -2000);
    int status = -1;
    EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, -400, 800000, t->rules), -400);
    EXPECT_EQ(status, Normal);
    for (Square s = 0; s < 64; ++s) ASSERT_EQ(p.blackAttacks[s], 0) << squareName(s);

    const int full = t->evaluator.evaluate(p, &status, moves, fullAlpha, fullBeta, t->rules);
    EXPECT_LT(full, -2000 + 1500);
    EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, -600, 800000, t->rules), full);

    t->evaluator.lazyEvaluation = false;
    EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, -400, 800000, t->rules), full);
    t->evaluator.lazyEvaluation = true;

    // The same material with Black to move, two pawns up: D - 1500 = 500
    // is above beta 400 but not above 600.
    Position& q = prepare(t, "rnbqkbnr/pppppppp/8/8/8/8/2PPPPPP/RNBQKBNR b KQkq - 0 1", moves);
    const int fullForBlack = t->evaluator.evaluate(q, &status, moves, fullAlpha, fullBeta, t->rules);
    EXPECT_GT(fullForBlack, 2000 - 1500);
    EXPECT_EQ(t->evaluator.evaluate(q, &status, moves, -800000, 400, t->rules), 400);
    EXPECT_EQ(t->evaluator.evaluate(q, &status, moves, -800000, 600, t->rules), fullForBlack);
}

// Evaluating the same position again, without a new full generation, must
// not count the opponent's attacks twice.
TEST(Evaluate, SecondEvaluationGivesTheSameScore) {
    for (const PhasePosition& pp : phasePositions) {
        EvalEngine t;
        MoveList moves;
        Position& p = prepare(t, pp.fen, moves);
        int status = -1;
        EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, fullAlpha, fullBeta, t->rules), pp.score) << pp.fen;
        int8_t opponentMap[64];
        std::memcpy(opponentMap, p.sideToMove == WHITE ? p.blackAttacks : p.whiteAttacks, 64);
        EXPECT_EQ(t->evaluator.evaluate(p, &status, moves, fullAlpha, fullBeta, t->rules), pp.score) << pp.fen;
        EXPECT_EQ(std::memcmp(opponentMap, p.sideToMove == WHITE ? p.blackAttacks : p.whiteAttacks, 64), 0);
    }
}

// Right after a double push the en-passant right is the side to move's: the
// pusher's own pawns must not gain phantom captures onto the passed-over
// square when the evaluation counts their moves.
TEST(Evaluate, EnPassantRightIsNotCountedForTheOpponent) {
    EvalEngine withRight;
    EvalEngine without;
    MoveList moves;
    const std::string placement = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq ";
    Position& p = prepare(withRight, placement + "e3 0 1", moves);
    ASSERT_EQ(p.enPassantTimer, 1);
    int status = -1;
    const int score = withRight->evaluator.evaluate(p, &status, moves, fullAlpha, fullBeta, withRight->rules);
    EXPECT_EQ(p.enPassantTimer, 1);
    MoveList otherMoves;
    Position& q = prepare(without, placement + "- 0 1", otherMoves);
    EXPECT_EQ(score, without->evaluator.evaluate(q, &status, otherMoves, fullAlpha, fullBeta, without->rules));
}

// Fills both tables so that a White piece on a square, with the kings on
// given wings, has the value of a Black piece on the mirrored square with
// the wings swapped: mirrored positions then read mirrored values.
void fillMirrorSymmetricTables(PieceSquareTables& tables) {
    for (std::size_t i = 0; i < PieceSquareTables::advancedSize; ++i) {
        const int square = static_cast<int>(i / 3456), count = static_cast<int>(i % 3456 / 108);
        const int row = static_cast<int>(i % 108 / 18), white = static_cast<int>(i % 18 / 9);
        const int blackWing = static_cast<int>(i % 9 / 3), whiteWing = static_cast<int>(i % 3);
        const int own = white ? square : square ^ 56;
        const int ownWing = white ? whiteWing : blackWing, enemyWing = white ? blackWing : whiteWing;
        tables.advanced[i] = static_cast<int8_t>((own * 7 + row * 13 + ownWing * 5 + enemyWing * 3 + count) % 41 - 20);
    }
    for (std::size_t i = 0; i < PieceSquareTables::normalSize; ++i) {
        const int square = static_cast<int>(i / 384), count = static_cast<int>(i % 384 / 12);
        const int row = static_cast<int>(i % 12 / 2), white = static_cast<int>(i % 2);
        const int own = white ? square : square ^ 56;
        tables.normal[i] = static_cast<int8_t>((own * 7 + row * 13 + count) % 41 - 20);
    }
}

// The same position mirrored with the colours swapped gives the same score
// for the side to move, with and without tables, in every phase.
TEST(Evaluate, MirroredPositionScoresTheSameForTheSideToMove) {
    for (bool advanced : {true, false}) {
        for (const PhasePosition& pp : phasePositions) {
            EvalEngine t;
            fillMirrorSymmetricTables(t->evaluator.tables);
            t->evaluator.useAdvancedTables = advanced;
            const int score = evaluateFen(t, pp.fen);
            EXPECT_EQ(evaluateFen(t, mirrorFen(pp.fen)), score) << pp.fen;
            // The tables count in the opening and middle game only.
            if (pp.phase <= 2)
                EXPECT_NE(score, pp.score) << pp.fen;
            else
                EXPECT_EQ(score, pp.score) << pp.fen;
        }
    }
}

// With both table files missing from the working directory the tables stay
// zero and the evaluation works without them.
TEST(Evaluate, WorksWithoutTableFiles) {
    namespace fs = std::filesystem;
    const fs::path home = fs::current_path();
    const fs::path empty = fs::temp_directory_path() / ("vortelan-no-tables-" + std::to_string(::getpid()));
    fs::create_directories(empty);
    fs::current_path(empty);
    {
        TestEngine t;
        EXPECT_EQ(t->evaluator.loadPieceSquareTables(), 0);
        for (int8_t v : t->evaluator.tables.advanced) ASSERT_EQ(v, 0);
        for (int8_t v : t->evaluator.tables.normal) ASSERT_EQ(v, 0);
        for (const PhasePosition& pp : phasePositions) EXPECT_EQ(evaluateFen(t, pp.fen), pp.score) << pp.fen;
    }
    fs::current_path(home);
    fs::remove_all(empty);
}

// A value written into a table reaches the score through the lookup built
// with the board: the White knight on b1 in the start position (32 pieces
// read row 31, both kings on the centre wing 1).
TEST(Evaluate, PieceSquareTableLookups) {
    EvalEngine t;
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    EXPECT_EQ(evaluateFen(t, start), 0);
    t->evaluator.tables.advanced[1 * 3456 + 31 * 108 + 1 * 18 + 9 + 3 * 1 + 1] = 40;
    EXPECT_EQ(evaluateFen(t, start), 40);
    t->evaluator.useAdvancedTables = false;
    t->evaluator.tables.normal[1 * 384 + 31 * 12 + 1 * 2 + 1] = 25;
    EXPECT_EQ(evaluateFen(t, start), 25);
}

}  // namespace
