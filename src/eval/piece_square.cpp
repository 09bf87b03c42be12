#include "eval/piece_square.h"

#include <algorithm>
#include <cstdio>

#include "engine/engine.h"

namespace {
// Fills as much of the table as the file holds; false when it cannot be opened.
bool readTable(const char* fileName, int8_t* table, std::size_t size) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    std::size_t got = std::fread(table, 1, size, file);
    (void)got;
    std::fclose(file);
    return true;
}

int tableRow(const Position& position) { return std::min<int>(position.pieceCount, 31); }
}  // namespace

int PieceSquareTables::load() {
    if (!readTable(advancedFile, advanced, advancedSize)) return 0;
    if (!readTable(normalFile, normal, normalSize)) return 0;
    return 1;
}

std::size_t PieceSquareTables::advancedIndex(const Position& position, int kind, bool white, Square s) {
    return static_cast<std::size_t>(s) * 3456 + tableRow(position) * 108 + pieceTableIndex[kind] * 18 +
           (white ? 9 : 0) + 3 * kingWing(position.blackKingSquare) + kingWing(position.whiteKingSquare);
}

std::size_t PieceSquareTables::normalIndex(const Position& position, int kind, bool white, Square s) {
    return static_cast<std::size_t>(s) * 384 + tableRow(position) * 12 + pieceTableIndex[kind] * 2 +
           (white ? 1 : 0);
}

int Engine::loadPieceSquareTables() { return tables.load(); }

int Engine::pieceSquareValue(const Position& position, int kind, int whiteFlag, Square s) const {
    const bool white = whiteFlag != 0;
    if (useAdvancedTables) return tables.advanced[PieceSquareTables::advancedIndex(position, kind, white, s)];
    return tables.normal[PieceSquareTables::normalIndex(position, kind, white, s)];
}

int Engine::squareValue(const Position& position, Square s) const {
    const uint8_t piece = position.board[s];
    if (isEmpty(piece)) return 0;
    return pieceSquareValue(position, kindOf(piece), colourOf(piece) == WHITE, s);
}
