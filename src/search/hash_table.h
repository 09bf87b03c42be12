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

struct HashTableRelease {
    void operator()(HashEntry* table) const;
};
using HashTableStorage = std::unique_ptr<HashEntry[], HashTableRelease>;

// The table's memory, zeroed. Every probe lands on a random entry, so on a
// system that offers large pages the table asks for them: one translation
// entry then covers 2 MiB instead of 4 KiB and most probes stop missing the
// processor's translation cache. Throws std::bad_alloc when memory is short.
HashTableStorage allocateHashTable();

// What a probe answers when it finds nothing usable.
constexpr int hashMiss = 800000;

inline uint32_t hashSlot(uint64_t key) { return static_cast<uint32_t>(key) & (hashTableSize - 1); }

// Starts loading a position's entry into the cache. A child's entry is read
// only after its moves are generated, which hides most of the memory delay.
inline void prefetchHashEntry(const HashEntry* table, uint64_t key) { __builtin_prefetch(&table[hashSlot(key)]); }
