#include "tables_builder.h"

#include <algorithm>
#include <cmath>

namespace {

// How far the position still is in the opening: 1 at or above the opening
// piece count, 0 at or below the endgame one, linear in between.
double openingWeight(const TableSource& source, int pieceCount) {
    if (pieceCount >= source.openingCount) return 1.0;
    if (pieceCount <= source.endgameCount) return 0.0;
    return static_cast<double>(pieceCount - source.endgameCount) / (source.openingCount - source.endgameCount);
}

// The three files of a flank: a-c for the queen's wing, f-h for the king's.
// The centre (d-e) is no castled position and has no wing terms.
bool onWing(Square s, int wing) { return wing != 1 && kingWing(s) == wing; }

// The rank of the square counted from the owner's side, 0..7.
int relativeRank(Square s, bool white) { return white ? rankOf(s) : 7 - rankOf(s); }

double wingTerms(const TableSource& source, int kind, bool white, Square s, int ownWing, int enemyWing) {
    const int rank = relativeRank(s, white);
    double value = 0;
    if (kind == PAWN) {
        // Pawns in front of the own castled king shelter it.
        if (onWing(s, ownWing)) value += source.shelter[rank];
        // With the kings on opposite wings, pawns storming the enemy king's
        // wing open lines against it without weakening the own king.
        if (ownWing != enemyWing && onWing(s, enemyWing)) value += source.storm[rank];
    } else if (onWing(s, enemyWing)) {
        // Pieces gathering on the enemy king's wing, well forward.
        value += source.attack[kind] * source.attackRanks[rank] / 100.0;
    }
    return value;
}

// Representative king squares for each wing: b, e and g on the home rank.
Square wingSquare(int wing, bool white) {
    const int files[3] = {1, 4, 6};
    return makeSquare(files[wing], white ? 0 : 7);
}

}  // namespace

double sourceValueWithoutWings(const TableSource& source, int kind, bool white, Square s, int pieceCount) {
    // The tables are written as White sees the board; Black's piece on s is
    // worth what White's is on the mirrored square.
    const Square seen = white ? s : makeSquare(fileOf(s), 7 - rankOf(s));
    const double weight = openingWeight(source, pieceCount);
    return weight * source.base[kind][0][seen] + (1 - weight) * source.base[kind][1][seen];
}

double sourceValue(const TableSource& source, int kind, bool white, Square s, int pieceCount, int ownKingWing,
                   int enemyKingWing) {
    // King-wing terms matter while there are pieces to attack with; they
    // fade out with the opening weight.
    return sourceValueWithoutWings(source, kind, white, s, pieceCount) +
           openingWeight(source, pieceCount) * wingTerms(source, kind, white, s, ownKingWing, enemyKingWing);
}

int8_t toTableByte(const TableSource& source, double value, bool& clamped) {
    const long scaled = std::lround(value * source.scale);
    clamped = scaled < -127 || scaled > 127;
    return static_cast<int8_t>(std::clamp<long>(scaled, -127, 127));
}

int buildTableEntries(const TableSource& source, int kind, bool white, Square s, PieceSquareTables& tables) {
    int clampedCount = 0;
    Position position;
    for (int count = 0; count < 32; ++count) {
        position.pieceCount = static_cast<uint8_t>(count);
        bool clamped = false;
        tables.normal[PieceSquareTables::normalIndex(position, kind, white, s)] =
            toTableByte(source, sourceValueWithoutWings(source, kind, white, s, count), clamped);
        clampedCount += clamped;
        for (int blackWing = 0; blackWing < 3; ++blackWing) {
            for (int whiteWing = 0; whiteWing < 3; ++whiteWing) {
                position.whiteKingSquare = static_cast<int8_t>(wingSquare(whiteWing, true));
                position.blackKingSquare = static_cast<int8_t>(wingSquare(blackWing, false));
                const int own = white ? whiteWing : blackWing;
                const int enemy = white ? blackWing : whiteWing;
                const double value = sourceValue(source, kind, white, s, count, own, enemy);
                tables.advanced[PieceSquareTables::advancedIndex(position, kind, white, s)] =
                    toTableByte(source, value, clamped);
                clampedCount += clamped;
            }
        }
    }
    return clampedCount;
}

int buildTables(const TableSource& source, PieceSquareTables& tables) {
    int clampedCount = 0;
    for (int kind = PAWN; kind <= QUEEN; ++kind) {
        for (bool white : {false, true}) {
            for (Square s = 0; s < 64; ++s) clampedCount += buildTableEntries(source, kind, white, s, tables);
        }
    }
    return clampedCount;
}
