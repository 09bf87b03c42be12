// The transposition table: one entry per slot, indexed by the low 21 bits of
// the position key; the newest store always wins.
#pragma once

#include <cstdint>
#include <memory>

enum NodeBound : uint8_t { Exact = 0, Upper = 1, Lower = 2 };

struct HashEntry {
    uint32_t keyLow = 0;
    uint32_t keyHigh = 0;
    uint8_t side = 0;
    int8_t depth = 0;
    int32_t score = 0;
    uint8_t bound = Exact;
    uint8_t from = 0;
    uint8_t to = 0;
    // Nodes spent on the result, which move ordering uses to rank the move.
    int32_t nodes = 0;
};

constexpr int hashTableBits = 21;
constexpr uint32_t hashTableSize = 1u << hashTableBits;

// What a probe answers when it finds nothing usable.
constexpr int hashMiss = 800000;

inline uint32_t hashSlot(uint64_t key) { return static_cast<uint32_t>(key) & (hashTableSize - 1); }
