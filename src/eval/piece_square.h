// The two piece-square tables, read from binary files at start-up. Each entry
// is a signed byte in score units, positive when good for the piece's owner.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/position.h"

// Piece kind to table row: pawn 0, knight 1, bishop 2, rook 3, queen 4, king 5.
constexpr int pieceTableIndex[7] = {0, 0, 3, 1, 2, 5, 4};

// Files a-c are the queen's wing (0), d-e the centre (1), f-h the king's wing (2).
constexpr int kingWing(Square s) { return fileOf(s) < 3 ? 0 : fileOf(s) < 5 ? 1 : 2; }

struct PieceSquareTables {
    // square 64 x piece count 32 x piece row 6 x colour 2 x Black king's wing 3
    // x White king's wing 3, last dimension fastest.
    static constexpr std::size_t advancedSize = 221184;
    // square 64 x piece count 32 x piece row 6 x colour 2.
    static constexpr std::size_t normalSize = 24576;
    static constexpr const char* advancedFile = "tablapiezasavanzadas";
    static constexpr const char* normalFile = "tablapiezasnormales";

    int8_t advanced[advancedSize] = {};
    int8_t normal[normalSize] = {};

    // Reads both files from the working directory; 1 when both were read
    // whole. A missing file leaves its table as it was; one that cannot be
    // used, not being exactly one table or a readable regular file, leaves
    // it zero and is reported on standard error. The second file is not
    // tried when the first is missing.
    int load();

    // Offsets into the tables. A position with all 32 pieces reads the row of
    // 31, the last one the tables have. Each is the sum of a part set by the
    // position (its piece count and, in the advanced table, both kings'
    // wings) and a part set by the piece and its square.
    static std::size_t advancedIndex(const Position& position, int kind, bool white, Square s) {
        return advancedPositionOffset(position) + advancedPieceOffset(kind, white, s);
    }
    static std::size_t normalIndex(const Position& position, int kind, bool white, Square s) {
        return normalPositionOffset(position) + normalPieceOffset(kind, white, s);
    }
    static std::size_t advancedPositionOffset(const Position& position) {
        return static_cast<std::size_t>(row(position)) * 108 + 3 * kingWing(position.blackKingSquare) +
               kingWing(position.whiteKingSquare);
    }
    static std::size_t advancedPieceOffset(int kind, bool white, Square s) {
        return static_cast<std::size_t>(s) * 3456 + pieceTableIndex[kind] * 18 + (white ? 9 : 0);
    }
    static std::size_t normalPositionOffset(const Position& position) {
        return static_cast<std::size_t>(row(position)) * 12;
    }
    static std::size_t normalPieceOffset(int kind, bool white, Square s) {
        return static_cast<std::size_t>(s) * 384 + pieceTableIndex[kind] * 2 + (white ? 1 : 0);
    }

private:
    static int row(const Position& position) { return position.pieceCount < 31 ? position.pieceCount : 31; }
};

// The entries one position reads from one of the tables: its own part of
// the offset is added once, so that the evaluation and the move ordering,
// which read an entry for every piece and every quiet move, add only the
// piece's part.
struct PieceSquareView {
    const int8_t* entries;
    bool advanced;

    int value(int kind, bool white, Square s) const {
        return entries[advanced ? PieceSquareTables::advancedPieceOffset(kind, white, s)
                                : PieceSquareTables::normalPieceOffset(kind, white, s)];
    }
};
