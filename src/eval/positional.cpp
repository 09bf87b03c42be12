#include "eval/positional.h"

#include <cstring>

#include "board/geometry.h"
#include "board/piece_sets.h"
#include "eval/evaluate.h"

namespace {

// Control of the enemy half, from White's side: nothing on the own three
// ranks, the centre first on the 4th rank, more the deeper the square. The
// values in use are twice those written, the engine's space scale.
constexpr int spaceWeightScale = 2;
constexpr int8_t spaceWeightAsWritten[64] = {
    0, 0, 0, 0, 0, 0, 0, 0,  // rank 1
    0, 0, 0, 0, 0, 0, 0, 0,  // rank 2
    0, 0, 0, 0, 0, 0, 0, 0,  // rank 3
    0, 0, 0, 2, 2, 0, 0, 0,  // rank 4
    1, 1, 1, 3, 3, 1, 1, 1,  // rank 5
    2, 2, 2, 3, 3, 2, 2, 2,  // rank 6
    3, 3, 3, 3, 3, 3, 3, 3,  // rank 7
    4, 4, 4, 4, 4, 4, 4, 4,  // rank 8
};
constexpr int spaceWeight(Square s) { return spaceWeightAsWritten[s] * spaceWeightScale; }
// The first square of the 4th rank; every square before it weighs nothing.
constexpr Square firstSpaceSquare = A4;
constexpr bool ownRanksWeighNothing() {
    for (Square s = 0; s < firstSpaceSquare; ++s)
        if (spaceWeightAsWritten[s] != 0) return false;
    return true;
}
static_assert(ownRanksWeighNothing(), "the space scan skips the squares before firstSpaceSquare");

// Every piece is worth a little more the further it has advanced.
constexpr int rankBonus[8] = {0, 0, 0, 2, 4, 6, 8, 10};

const Geometry& geo = boardGeometry;

EvalSide makeSide(const Position& p, uint8_t colour) {
    EvalSide side;
    side.colour = colour;
    side.king = colour == WHITE ? p.whiteKingSquare : p.blackKingSquare;
    side.ownAttacks = colour == WHITE ? p.whiteAttacks : p.blackAttacks;
    side.enemyAttacks = colour == WHITE ? p.blackAttacks : p.whiteAttacks;
    return side;
}

}  // namespace

PositionalEvaluation::PositionalEvaluation(const EvalContext& c, Position& p, const EvaluatorWeights& w)
    : evaluator(c.evaluator),
      rules(c.rules),
      position(p),
      weights(w),
      pieceSquares(c.evaluator.pieceSquareView(p)),
      white(makeSide(p, WHITE)),
      black(makeSide(p, BLACK)) {}

void PositionalEvaluation::startSums() {
    if (position.status() == InCheck) side(position.sideToMove).sum = weights.inCheckStart;
}

int PositionalEvaluation::addOpponentAttacks() {
    Position& p = position;
    // The full generation left the opponent's map empty and the counting run
    // adds onto it. Clearing it first changes nothing then, but keeps a second
    // evaluation of the same position from counting the attacks twice.
    int8_t* opponentAttacks = p.sideToMove == WHITE ? p.blackAttacks : p.whiteAttacks;
    std::memset(opponentAttacks, 0, sizeof p.whiteAttacks);
    // Only the length of the opponent's list is needed, so it is counted, not
    // written. With the side to move in check this run finds the opponent
    // attacking the king, reports the position illegal and counts no moves:
    // the opponent's mobility is then 0, but its attacks are counted all the
    // same.
    // The en-passant right belongs to the side to move: the opponent's pawns
    // must not count "captures" onto their own side's passed-over square.
    const uint8_t enPassantTimer = p.enPassantTimer;
    p.enPassantTimer = 0;
    MoveList opponentMoves;
    switchSide(p);
    generateMoves(p, opponentMoves, Generation::CountOnly, rules);
    switchSide(p);
    p.enPassantTimer = enPassantTimer;
    return opponentMoves.count;
}

void PositionalEvaluation::scoreMobility(int moverMoves, int opponentMoves) {
    if (weights.mobilityPerMove == 0) return;
    side(position.sideToMove).sum += weights.mobilityPerMove * moverMoves;
    side(opponentOf(position.sideToMove)).sum += weights.mobilityPerMove * opponentMoves;
}

void PositionalEvaluation::tallyKingZones() {
    tallyKingZone(white);
    tallyKingZone(black);
}

// The zone is where an attack on the king starts: in the opening and middle
// game the squares beside the king and in front of it, in the endgame, with
// the king out in the open, all eight neighbours.
void PositionalEvaluation::tallyKingZone(EvalSide& own) {
    if (weights.wholeKingRing) {
        const StepTargets& ring = geo.kingTargets[own.king];
        for (int i = 0; i < ring.count; ++i) tallyZoneSquare(own, ring.squares[i]);
        return;
    }
    const bool forWhite = own.colour == WHITE;
    const int zoneDirections[5] = {East, West, forWhite ? North : South, forWhite ? NorthEast : SouthEast,
                                   forWhite ? NorthWest : SouthWest};
    for (int d : zoneDirections) {
        const Ray& ray = geo.rays[own.king][d];
        if (ray.length > 0) tallyZoneSquare(own, ray.squares[0]);
    }
}

void PositionalEvaluation::tallyZoneSquare(EvalSide& own, Square z) {
    SideTally& t = own.tally;
    const int ownCount = own.ownAttacks[z];
    const int enemyCount = own.enemyAttacks[z];
    if (position.board[z] == makePiece(PAWN, own.colour)) ++t.shield;
    t.zoneOwn += ownCount;
    t.zoneEnemy += enemyCount;
    // A square hit twice or more and guarded at most once is where the
    // attack breaks through.
    if (enemyCount > 1 && ownCount < 2) t.zoneWeak += enemyCount - 1;
}

namespace {

constexpr uint64_t fileSquares(int file) { return 0x0101010101010101ull << file; }
constexpr uint64_t rankSquares(int rank) { return 0xffull << (8 * rank); }
constexpr uint64_t rimSquares = fileSquares(0) | fileSquares(7) | rankSquares(0) | rankSquares(7);
// Bit f set for each file f that holds a square of the set.
constexpr unsigned filesOf(uint64_t squares) {
    squares |= squares >> 32;
    squares |= squares >> 16;
    squares |= squares >> 8;
    return static_cast<unsigned>(squares & 0xff);
}
// b1, d1, ..., a2, c2, ...: file + rank odd.
constexpr uint64_t lightSquares = 0x55aa55aa55aa55aaull;

// The space weights as written, bit by bit: White's squares, and Black's,
// which read the table with the board turned round (square 63 - s).
struct SpaceWeightBits {
    uint64_t white[3] = {};
    uint64_t black[3] = {};
    constexpr SpaceWeightBits() {
        for (Square s = 0; s < 64; ++s)
            for (int j = 0; j < 3; ++j) {
                if (spaceWeightAsWritten[s] & (1 << j)) white[j] |= uint64_t{1} << s;
                if (spaceWeightAsWritten[63 - s] & (1 << j)) black[j] |= uint64_t{1} << s;
            }
    }
};
constexpr SpaceWeightBits spaceWeightBits{};
static_assert(spaceWeightAsWritten[63] < 8, "the space weights fit in three bits");

}  // namespace

// Every term here is a sum over the squares or the pieces, so each is taken
// from the sets of the pieces and the bit-planes of the attack counts
// instead of a walk over the board.
void PositionalEvaluation::scanSquares() {
    const Position& p = position;
    const PieceSets sets(p.board);
    const CountPlanes whiteCounts(p.whiteAttacks), blackCounts(p.blackAttacks);
    const bool scoreSpace =
        weights.space == SpaceRule::Always || (weights.space == SpaceRule::AfterPly16 && p.plyCount > 16);
    if (scoreSpace) {
        white.sum += spaceWeightScale * whiteCounts.weightedSum(spaceWeightBits.white);
        black.sum += spaceWeightScale * blackCounts.weightedSum(spaceWeightBits.black);
    }
    uint64_t pinned[8];
    byteBitSets(p.pinned, pinned);
    const uint64_t pinnedSquares =
        pinned[0] | pinned[1] | pinned[2] | pinned[3] | pinned[4] | pinned[5] | pinned[6] | pinned[7];
    tallyPieces(white, sets, whiteCounts, blackCounts, pinnedSquares);
    tallyPieces(black, sets, blackCounts, whiteCounts, pinnedSquares);
}

void PositionalEvaluation::tallyPieces(EvalSide& own, const PieceSets& sets, const CountPlanes& ownCounts,
                                       const CountPlanes& enemyCounts, uint64_t pinnedSquares) {
    SideTally& t = own.tally;
    const uint8_t colour = own.colour;
    const bool forWhite = colour == WHITE;
    const uint64_t mine = sets.ofColour(colour);
    const uint64_t pawns = sets.of(PAWN, colour), rooks = sets.of(ROOK, colour), bishops = sets.of(BISHOP, colour);

    if (weights.pieceSquareValues) {
        for (int kind = PAWN; kind <= QUEEN; ++kind)
            for (uint64_t rest = sets.of(kind, colour); rest != 0;)
                own.sum += pieceSquares.value(kind, forWhite, popLowestSquare(rest));
    }
    t.defended += ownCounts.sumOver(mine);
    const int attacked = enemyCounts.sumOver(mine);
    t.attacked += attacked;
    // Each piece hit more than once adds its hits beyond the first.
    t.overattacked += attacked - countSquares(enemyCounts.any() & mine);
    // A pinned piece that is hit more often than it is guarded is likely
    // lost; the last such piece in square order sets the margin.
    for (uint64_t rest = pinnedSquares & mine; rest != 0;) {
        const Square s = popLowestSquare(rest);
        t.pinnedCount += position.pinned[s];
        if (own.ownAttacks[s] < own.enemyAttacks[s]) t.pinMargin = own.enemyAttacks[s] - own.ownAttacks[s];
    }
    t.undefended += countSquares(mine & ~ownCounts.any());
    const int pieces = countSquares(mine), light = countSquares(mine & lightSquares);
    t.pieces += pieces;
    t.light += light;
    t.dark += pieces - light;
    t.pieceFiles |= filesOf(mine);
    t.rookFiles |= filesOf(rooks);
    t.pawnFiles |= filesOf(pawns);
    for (unsigned files = filesOf(rooks); files != 0; files &= files - 1) {
        const int f = __builtin_ctz(files);
        t.fileRooks[f] += countSquares(rooks & fileSquares(f));
    }
    for (unsigned files = filesOf(pawns); files != 0; files &= files - 1) {
        const int f = __builtin_ctz(files);
        const uint64_t filePawns = pawns & fileSquares(f);
        t.filePawns[f] += countSquares(filePawns);
        const int rank = forWhite ? rankOf(highestSquare(filePawns)) : 7 - rankOf(lowestSquare(filePawns));
        if (rank > t.mostAdvancedPawn[f]) t.mostAdvancedPawn[f] = rank;
    }
    // A knight on the rim reaches too few squares.
    own.sum -= weights.knightOnRim * countSquares(sets.of(KNIGHT, colour) & rimSquares);
    // Every piece is worth a little more the further it has advanced, and a
    // pawn more again near promotion.
    for (int rank = 1; rank < 8; ++rank) {
        const uint64_t onRank = rankSquares(forWhite ? rank : 7 - rank);
        own.sum += rankBonus[rank] * countSquares(mine & onRank) +
                   advancedPawnBonus(rank, weights.secondPawnBonus) * countSquares(pawns & onRank);
    }
    if (bishops != 0) {
        t.bishops += countSquares(bishops);
        t.lastBishopOnLight = isLightSquare(highestSquare(bishops));
    }
}

void PositionalEvaluation::scoreBishopPairs() {
    if (white.tally.bishops > 1) white.sum += bishopPairBonus;
    if (black.tally.bishops > 1) black.sum += bishopPairBonus;
}

void PositionalEvaluation::scoreSafety() {
    scoreSafety(white);
    scoreSafety(black);
}

// Pieces under fire and pins cost; guarded pieces and a guarded, sheltered
// king zone earn. Each quotient is truncated on its own.
void PositionalEvaluation::scoreSafety(EvalSide& own) {
    const SideTally& t = own.tally;
    own.sum += -(t.overattacked * 1000) / 90 - (t.pinMargin * 1000) / 60 - (t.pinnedCount * 1000) / 60;
    if (weights.ownZoneAttacks) own.sum += ((t.zoneOwn * 1000) / 64) / 4;
    own.sum += ((t.defended * 1000) / 160) / 2 - (t.zoneEnemy * 1000) / 64 - (t.attacked * 1000) / 160 -
               (t.zoneWeak * 1000) / 4;
    own.sum += (((t.shield * 1000) / 64) * weights.shieldMultiplier) / weights.shieldDivisor;
}

void PositionalEvaluation::scoreCastling() {
    const Position& p = position;
    scoreCastling(white, p.whiteCastled, p.whiteKingsideBarred, p.whiteQueensideBarred);
    scoreCastling(black, p.blackCastled, p.blackKingsideBarred, p.blackQueensideBarred);
}

// A castled king is safe; each right kept is a way to get there. A king that
// walks up the board early is exposed.
void PositionalEvaluation::scoreCastling(EvalSide& own, bool castled, bool kingsideBarred, bool queensideBarred) {
    if (castled) own.sum += 100;
    if (!kingsideBarred) own.sum += 33;
    if (!queensideBarred) own.sum += 25;
    own.sum -= weights.kingRankPenalty * relativeRank(own.colour, own.king);
}

void PositionalEvaluation::scoreFiles() {
    scoreFiles(white, black);
    scoreFiles(black, white);
}

void PositionalEvaluation::scoreFiles(EvalSide& own, const EvalSide& enemy) {
    const SideTally& t = own.tally;
    const SideTally& e = enemy.tally;
    const unsigned pawnFiles = t.pawnFiles;
    // A king on a file without its own pawn has no cover in front.
    if (((pawnFiles >> fileOf(own.king)) & 1) == 0) own.sum -= 20;
    // Rooks on a file free of enemy pieces, twice as good next to the enemy
    // king.
    for (unsigned files = t.rookFiles & ~e.pieceFiles; files != 0; files &= files - 1) {
        const int f = __builtin_ctz(files);
        const int rooks = t.fileRooks[f];
        own.sum += 19 * rooks * rooks;
        const int toKing = f - fileOf(enemy.king);
        if (toKing >= -1 && toKing <= 1) own.sum += 19 * rooks * rooks;
    }
    // Isolated pawns, and the inner files whose pawns (were there any) would
    // lack a neighbour on one side. Bit f of leftHasPawn is set when file
    // f - 1 has a pawn, of rightHasPawn when file f + 1 has.
    const unsigned leftHasPawn = (pawnFiles << 1) & 0xff, rightHasPawn = pawnFiles >> 1;
    const unsigned isolated = pawnFiles & ~leftHasPawn & ~rightHasPawn;
    const unsigned innerFiles = 0x7e;
    const unsigned lacking = innerFiles & ~(leftHasPawn & rightHasPawn) & ~isolated;
    own.sum -= 66 * __builtin_popcount(isolated) + 22 * __builtin_popcount(lacking);
    for (unsigned files = pawnFiles; files != 0; files &= files - 1) {
        const int f = __builtin_ctz(files);
        const int pawns = t.filePawns[f];
        if (pawns > 1) own.sum += 83 - 83 * pawns;
        // Passed pawns: nothing ahead on the file (or already beside or past
        // the enemy pawn) and no enemy pawn on each neighbouring file.
        if (e.filePawns[f] == 0 || t.mostAdvancedPawn[f] + e.mostAdvancedPawn[f] >= 7) {
            const int rank = t.mostAdvancedPawn[f];
            if (f == 0 || e.filePawns[f - 1] == 0) own.sum += 50 * rank;
            if (f == 7 || e.filePawns[f + 1] == 0) own.sum += 50 * rank;
        }
    }
}

void PositionalEvaluation::scoreLoneBishops() {
    scoreLoneBishop(white, black);
    scoreLoneBishop(black, white);
}

// Against a single bishop, pieces on the squares it cannot reach are safe:
// the other side gains when more than half of its pieces stand there.
void PositionalEvaluation::scoreLoneBishop(const EvalSide& bishopSide, EvalSide& other) {
    if (bishopSide.tally.bishops != 1) return;
    const int n = other.tally.pieces;
    const int k = bishopSide.tally.lastBishopOnLight ? other.tally.dark : other.tally.light;
    other.sum += ((k - n / 2) * 22 / n) / 2;
}

void PositionalEvaluation::scoreUndefended() {
    white.sum -= 15 * white.tally.undefended;
    black.sum -= 15 * black.tally.undefended;
}

// Trading down helps the side ahead; the integer quotient makes this 1000
// only once the weaker side has nothing but its king, so it is 0 in every
// position that reaches these evaluators.
void PositionalEvaluation::scoreMaterialTrade() {
    const int w = position.whiteMaterialCount;
    const int b = position.blackMaterialCount;
    const int difference = w - b;
    // Both counts exceed 20 in the phases that get here; the check only
    // keeps a stray call on a bare-king position from dividing by zero.
    if (w + b - 40 <= 0 || (difference > -2 && difference < 2)) return;
    if (w > b)
        white.sum += ((w - b) / (w + b - 40)) * 1000;
    else
        black.sum += ((b - w) / (b + w - 40)) * 1000;
}
