// The transposition table: one entry per slot, indexed by the low bits of
// the position key; the newest store always wins.
#pragma once

#include <cstddef>
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

// What a probe answers when it finds nothing usable.
constexpr int hashMiss = 800000;

class TranspositionTable {
public:
    // 2^21 entries, 48 MiB: the size the engine has always played with.
    static constexpr std::size_t defaultEntries = std::size_t{1} << 21;

    // A table of the given number of entries (a power of two, at least 1),
    // zeroed. Every probe lands on a random entry, so on a system that
    // offers large pages the table asks for them: one translation entry
    // then covers 2 MiB instead of 4 KiB and most probes stop missing the
    // processor's translation cache. Throws std::bad_alloc when memory is
    // short.
    explicit TranspositionTable(std::size_t entries = defaultEntries);

    // Forgets every key and node count.
    void clear();

    std::size_t entries() const { return mask_ + 1; }
    HashEntry& slot(uint64_t key) { return table_[key & mask_]; }
    const HashEntry& slot(uint64_t key) const { return table_[key & mask_]; }
    // Starts loading a position's entry into the cache. A child's entry is
    // read only after its moves are generated, which hides most of the
    // memory delay.
    void prefetch(uint64_t key) const { __builtin_prefetch(&table_[key & mask_]); }

private:
    struct Release {
        void operator()(HashEntry* table) const;
    };
    std::unique_ptr<HashEntry[], Release> table_;
    uint64_t mask_ = 0;
};
