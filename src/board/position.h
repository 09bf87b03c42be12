// The position record and the move list: the plain data every subsystem
// reads. A position is copied by value; there is no unmake.
#pragma once

#include <cstdint>
#include <cstring>

#include "board/types.h"

// The fields that describe the position itself. A child position needs only
// these from its parent before makeMove and the full move generation rebuild
// everything else, so the search copies just this part. The two material
// counts are derived, but they travel with the state because the next full
// generation reads them (through the game phase) before it recomputes them.
struct PositionState {
    uint8_t sideToMove = WHITE;
    // 0: no en passant; 1: the side to move may capture onto enPassantSquare.
    // 2 exists only inside makeMove, which counts a double push down to 1.
    uint8_t enPassantTimer = 0;
    uint8_t enPassantSquare = 0;
    int8_t whiteKingSquare = -1;
    int8_t blackKingSquare = -1;
    uint8_t whiteCastled = 0;
    uint8_t blackCastled = 0;
    uint8_t whiteKingsideBarred = 1;
    uint8_t whiteQueensideBarred = 1;
    uint8_t blackKingsideBarred = 1;
    uint8_t blackQueensideBarred = 1;
    int8_t halfmoveClock = 0;
    int16_t plyCount = 0;
    uint8_t pieceCount = 0;
    int16_t whiteMaterialCount = 0;
    int16_t blackMaterialCount = 0;
    // The move that led here; 255 after set-up.
    uint8_t lastFrom = 255;
    uint8_t lastTo = 255;
    uint64_t hashKey = 0;
    uint8_t board[64] = {};
};

// A full position: the state plus what the full move generation derives
// from it (material values, status, check, attack maps and pins).
struct Position : PositionState {
    int32_t blackMaterialValue = 0;
    int32_t whiteMaterialValue = 0;
    int8_t whiteStatus = Normal;
    int8_t blackStatus = Normal;
    uint8_t inCheck = 0;
    int8_t whiteAttacks[64] = {};
    int8_t blackAttacks[64] = {};
    int8_t pinned[64] = {};
    // The piece values of the phase the full generation found (it reads the
    // material counts the position inherited, before it recomputes them).
    const int* pieceValues = middlegamePieceValues;

    // The status as seen by the side to move.
    int status() const { return sideToMove == WHITE ? whiteStatus : blackStatus; }
    void setBothStatus(int8_t code) { whiteStatus = blackStatus = code; }
};

// Bit s is set for every square s that holds a piece, so that a loop over
// the pieces skips the empty squares without testing each one. Eight board
// bytes are tested at once: an emptied square may keep its colour bit, so
// only the kind nibble counts, and a nibble of 1..15 plus 0x7f sets the
// byte's top bit without carrying into the next byte.
inline uint64_t occupiedSquares(const uint8_t board[64]) {
    constexpr uint64_t kindNibbles = 0x0f0f0f0f0f0f0f0full;
    constexpr uint64_t lowSevenBits = 0x7f7f7f7f7f7f7f7full;
    constexpr uint64_t topBits = 0x8080808080808080ull;
    // Multiplying gathers bit 8i of a word into bit 56 + i.
    constexpr uint64_t gather = 0x0102040810204080ull;
    uint64_t occupied = 0;
    for (int chunk = 0; chunk < 8; ++chunk) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        uint64_t bytes;
        std::memcpy(&bytes, board + 8 * chunk, sizeof bytes);
        const uint64_t kinds = bytes & kindNibbles;
        const uint64_t nonEmpty = (kinds + lowSevenBits) & topBits;
        occupied |= (((nonEmpty >> 7) * gather) >> 56) << (8 * chunk);
#else
        for (int i = 0; i < 8; ++i)
            if (board[8 * chunk + i] & 0x0f) occupied |= uint64_t{1} << (8 * chunk + i);
#endif
    }
    return occupied;
}

// The lowest and the highest square of a set that is not empty.
inline Square lowestSquare(uint64_t squares) { return __builtin_ctzll(squares); }
inline Square highestSquare(uint64_t squares) { return 63 - __builtin_clzll(squares); }

// Takes the lowest square out of a set of squares and returns it.
inline Square popLowestSquare(uint64_t& squares) {
    const Square s = lowestSquare(squares);
    squares &= squares - 1;
    return s;
}

// Plays the child's leading fields over from its parent.
inline void copyState(Position& child, const Position& parent) { static_cast<PositionState&>(child) = parent; }

inline void switchSide(Position& position) { position.sideToMove = position.sideToMove == WHITE ? BLACK : WHITE; }

// A move is nothing but its two squares; the score is for move ordering.
struct MoveList {
    static constexpr int capacity = 256;

    int count = 0;
    uint8_t from[capacity];
    uint8_t to[capacity];
    int32_t score[capacity];

    bool contains(Square f, Square t) const {
        for (int i = 0; i < count; ++i)
            if (from[i] == f && to[i] == t) return true;
        return false;
    }

    // Never writes past the last entry: a set-up position stuffed with extra
    // pieces may have more pseudo-legal moves than the list holds.
    // The count is read once into a local: the byte stores below may alias
    // it, and would otherwise make the compiler load it again after each.
    void append(Square f, Square t) {
        const int n = count;
        if (n < capacity) {
            count = n + 1;
            from[n] = static_cast<uint8_t>(f);
            to[n] = static_cast<uint8_t>(t);
            score[n] = 0;
        }
    }
};
