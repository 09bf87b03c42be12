// Computes the two piece-square tables from their source. The places of the
// values come from the engine's own index functions, so the files always
// match what the engine reads.
#pragma once

#include "eval/piece_square.h"
#include "tables_source.h"

// The value, in source units, of a piece of the kind and colour on the
// square, with that many pieces on the board and the kings on those wings
// (0 queen's wing, 1 centre, 2 king's wing). The normal table is the same
// with no king-wing terms.
double sourceValue(const TableSource& source, int kind, bool white, Square s, int pieceCount, int ownKingWing,
                   int enemyKingWing);
double sourceValueWithoutWings(const TableSource& source, int kind, bool white, Square s, int pieceCount);

// The value scaled into the engine's units and into the signed-byte range.
// clamped is set when the value had to be cut to fit.
int8_t toTableByte(const TableSource& source, double value, bool& clamped);

// Fills the entries of one piece of a colour on one square, for every piece
// count and king wings; returns how many had to be clamped.
int buildTableEntries(const TableSource& source, int kind, bool white, Square s, PieceSquareTables& tables);

// Fills both tables; returns how many entries had to be clamped.
int buildTables(const TableSource& source, PieceSquareTables& tables);
