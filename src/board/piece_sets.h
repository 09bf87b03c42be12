// The board, or any map of one byte per square, read as sets of squares
// (bit s for square s): what the move generator and the evaluation count
// with a few logical operations and population counts instead of loops over
// the 64 squares.
#pragma once

#include <cstdint>
#include <cstring>
#ifdef __BMI2__
#include <immintrin.h>
#endif
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "board/position.h"

constexpr uint64_t squareBit(Square s) { return uint64_t{1} << s; }

inline int countSquares(uint64_t squares) { return __builtin_popcountll(squares); }

// Bit 0 of each byte of a word, gathered into the word's eight low bits.
inline uint64_t gatherLowBits(uint64_t bytes) {
#ifdef __BMI2__
    return _pext_u64(bytes, 0x0101010101010101ull);
#else
    // Multiplying gathers bit 8i of a word into bit 56 + i.
    return ((bytes & 0x0101010101010101ull) * 0x0102040810204080ull) >> 56;
#endif
}

// Bits 0 to Count - 1 of 64 bytes, each as the set of the squares whose byte
// has it.
template <int Count>
inline void byteBitSets(const void* bytes64, uint64_t (&bits)[Count]) {
    const uint8_t* bytes = static_cast<const uint8_t*>(bytes64);
    for (int j = 0; j < Count; ++j) bits[j] = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: shifting bit j of each byte to its top bit
    // lets one instruction collect it from all sixteen.
    __m128i quarters[4];
    for (int q = 0; q < 4; ++q) quarters[q] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * q));
    for (int j = 0; j < Count; ++j) {
        const __m128i shift = _mm_cvtsi32_si128(7 - j);
        for (int q = 0; q < 4; ++q) {
            const int top = _mm_movemask_epi8(_mm_sll_epi16(quarters[q], shift));
            bits[j] |= uint64_t{static_cast<uint16_t>(top)} << (16 * q);
        }
    }
#else
    for (int chunk = 0; chunk < 8; ++chunk) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        uint64_t word;
        std::memcpy(&word, bytes + 8 * chunk, sizeof word);
        for (int j = 0; j < Count; ++j) bits[j] |= gatherLowBits(word >> j) << (8 * chunk);
#else
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < Count; ++j) bits[j] |= uint64_t{(bytes[8 * chunk + i] >> j) & 1u} << (8 * chunk + i);
#endif
    }
#endif
}

// The board as sets of squares: one per kind and one per colour.
struct PieceSets {
    uint64_t kinds[QUEEN + 1] = {};
    uint64_t colours[2] = {};  // by colour index
    uint64_t occupied = 0;

    // Five sets of the board bytes' bits: the kind's three bits, its fourth
    // (no kind has it) and the colour, from which each kind follows.
    explicit PieceSets(const uint8_t board[64]) {
        uint64_t bits[5];
        byteBitSets(board, bits);
        const uint64_t one = bits[0], two = bits[1], four = bits[2];
        const uint64_t small = ~bits[3];
        occupied = one | two | four | bits[3];
        kinds[PAWN] = one & ~two & ~four & small;
        kinds[ROOK] = ~one & two & ~four & small;
        kinds[KNIGHT] = one & two & ~four & small;
        kinds[BISHOP] = ~one & ~two & four & small;
        kinds[KING] = one & ~two & four & small;
        kinds[QUEEN] = ~one & two & four & small;
        const uint64_t pieces = occupied & small & ~(one & two & four);
        colours[1] = pieces & bits[4];
        colours[0] = pieces & ~bits[4];
    }
    uint64_t of(int kind, uint8_t colour) const { return kinds[kind] & colours[colourIndex(colour)]; }
    uint64_t ofColour(uint8_t colour) const { return colours[colourIndex(colour)]; }
};

// A map of attack counts as bit-planes: bit k of a square's count is its
// bit in plane k. No square is attacked by more than 16 pieces of one side,
// so five planes hold every count.
struct CountPlanes {
    uint64_t plane[5];
    explicit CountPlanes(const int8_t counts[64]) { byteBitSets(counts, plane); }
    uint64_t any() const { return plane[0] | plane[1] | plane[2] | plane[3] | plane[4]; }
    // The sum of the counts over a set of squares.
    int sumOver(uint64_t squares) const {
        int sum = 0;
        for (int k = 0; k < 5; ++k) sum += countSquares(plane[k] & squares) << k;
        return sum;
    }
    // The sum of the counts weighted by three bits of weight per square.
    int weightedSum(const uint64_t (&weightBits)[3]) const {
        int sum = 0;
        for (int j = 0; j < 3; ++j) sum += sumOver(weightBits[j]) << j;
        return sum;
    }
};
