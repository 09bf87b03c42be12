// The terms shared by the opening, middle-game and endgame evaluators: one
// implementation of each, run in the order an evaluator chooses and weighted
// by its EvaluatorWeights. Every term is built for White and mirrored for
// Black (ranks counted from Black's side, Black's forward direction).
#pragma once

#include <cstdint>

#include "board/piece_sets.h"
#include "board/position.h"
#include "board/types.h"
#include "eval/evaluators.h"
#include "eval/piece_square.h"
#include "eval/weights.h"

// Rank counted from the side's own back rank.
constexpr int relativeRank(uint8_t colour, Square s) { return colour == WHITE ? rankOf(s) : 7 - rankOf(s); }
// The square seen from the side's own end of the board (e2 for White is e7
// for Black).
constexpr Square relativeSquare(uint8_t colour, Square s) { return colour == WHITE ? s : s ^ 56; }
// Light squares are those with file + rank odd (b1, a2, ...).
constexpr bool isLightSquare(Square s) { return (fileOf(s) + rankOf(s)) % 2 == 1; }
constexpr int edgeDistance(int line) { return line < 7 - line ? line : 7 - line; }
constexpr int manhattanDistance(Square a, Square b) {
    const int files = fileOf(a) - fileOf(b);
    const int ranks = rankOf(a) - rankOf(b);
    return (files < 0 ? -files : files) + (ranks < 0 ? -ranks : ranks);
}

// A king's distance from the nearest edge along each axis, each scaled on
// its own: keeping the weaker king central keeps it out of mating nets.
constexpr int centralisation(Square king, int divisor) {
    return (edgeDistance(rankOf(king)) * 1000) / divisor + (edgeDistance(fileOf(king)) * 1000) / divisor;
}

// A pawn on its 6th or 7th rank is close to promoting; the second bonus, from
// the 5th rank on, is for the later stages where pawns decide games.
constexpr int advancedPawnBonus(int rank, bool secondBonus) {
    int bonus = 0;
    if (rank == 5 || rank == 6) bonus += (rank - 4) * 1000 / 60;
    if (secondBonus && rank >= 4 && rank <= 6) bonus += (rank - 3) * 1000 / 50;
    return bonus;
}

// Two bishops cover both square colours.
constexpr int bishopPairBonus = 83;

// What the king zone and the square scan count for one side.
struct SideTally {
    int shield = 0;     // own pawns in the king zone
    int zoneOwn = 0;    // own attacks on the zone
    int zoneEnemy = 0;  // enemy attacks on the zone
    int zoneWeak = 0;   // enemy attacks beyond the first on poorly guarded zone squares
    int defended = 0;
    int attacked = 0;
    int overattacked = 0;
    int pinnedCount = 0;
    int pinMargin = 0;  // of the last pinned piece that is more attacked than guarded
    int undefended = 0;
    int pieces = 0;
    int light = 0;
    int dark = 0;
    int bishops = 0;
    bool lastBishopOnLight = false;
    int fileRooks[8] = {};
    int filePawns[8] = {};
    int mostAdvancedPawn[8] = {};  // relative rank, 0 when the file has none
    // Bit f set for each file f with a piece, a rook, a pawn of the side.
    unsigned pieceFiles = 0;
    unsigned rookFiles = 0;
    unsigned pawnFiles = 0;
};

// One side as the evaluation sees it: its king, its own and the enemy's
// attack maps, its running sum and its tallies.
struct EvalSide {
    uint8_t colour;
    Square king;
    const int8_t* ownAttacks;
    const int8_t* enemyAttacks;
    int sum = 0;
    SideTally tally;
};

// One evaluation in progress. Each step reads the board, the attack maps and
// the tallies and adds to the two sides' sums. They are declared in the
// order the evaluators call them; the square scan must come before the
// steps that read its tallies, the opponent's moves before anything that
// reads the opponent's attack map.
struct PositionalEvaluation {
    PositionalEvaluation(const EvalContext& context, Position& position, const EvaluatorWeights& weights);

    // A side to move in check starts behind.
    void startSums();
    // Lists the opponent's moves, which fills its attack map; returns how
    // many there are.
    int addOpponentAttacks();
    void scoreMobility(int moverMoves, int opponentMoves);
    void tallyKingZones();
    void scanSquares();
    void scoreBishopPairs();
    void scoreSafety();
    void scoreCastling();
    void scoreFiles();
    void scoreLoneBishops();
    void scoreUndefended();
    void scoreMaterialTrade();

    PositionalSums sums() const { return {white.sum, black.sum}; }
    EvalSide& side(uint8_t colour) { return colour == WHITE ? white : black; }

    const Evaluator& evaluator;
    const Rules& rules;
    Position& position;
    const EvaluatorWeights& weights;
    // The piece-square entries of this position, read for every piece.
    PieceSquareView pieceSquares;
    EvalSide white;
    EvalSide black;

private:
    void tallyKingZone(EvalSide& own);
    void tallyZoneSquare(EvalSide& own, Square z);
    void tallyPieces(EvalSide& own, const PieceSets& sets, const CountPlanes& ownCounts, const CountPlanes& enemyCounts,
                     uint64_t pinnedSquares);
    void scoreSafety(EvalSide& own);
    void scoreCastling(EvalSide& own, bool castled, bool kingsideBarred, bool queensideBarred);
    void scoreFiles(EvalSide& own, const EvalSide& enemy);
    void scoreLoneBishop(const EvalSide& bishopSide, EvalSide& other);
};
