#include "search/hash_table.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "search/search.h"

namespace {
constexpr std::size_t largePageBytes = std::size_t{2} << 20;
}  // namespace

void TranspositionTable::Release::operator()(HashEntry* table) const { std::free(table); }

// aligned_alloc wants a size that the alignment divides: a small table is
// rounded up to a whole large page.
TranspositionTable::TranspositionTable(std::size_t entries) {
    if (entries == 0 || (entries & (entries - 1)) != 0) throw std::bad_alloc();
    const std::size_t bytes = entries * sizeof(HashEntry);
    const std::size_t rounded = (bytes + largePageBytes - 1) / largePageBytes * largePageBytes;
    void* memory = std::aligned_alloc(largePageBytes, rounded);
    if (!memory) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only advice: without large pages the table works the same, only slower.
    madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    HashEntry* table = static_cast<HashEntry*>(memory);
    std::uninitialized_value_construct_n(table, entries);
    table_.reset(table);
    mask_ = entries - 1;
}

// The table is zeroed when it is allocated, so an entry never read before
// holds defined values; clearing then forgets every key and node count.
void TranspositionTable::clear() {
    for (std::size_t i = 0; i <= mask_; ++i) {
        HashEntry& entry = table_[i];
        entry.keyLow = 0;
        entry.keyHigh = 0;
        entry.nodes = 0;
    }
}

// The search's use of the table, through its settings.

namespace {
bool sameKeyAndSide(const HashEntry& entry, const Position& position) {
    return entry.keyLow == static_cast<uint32_t>(position.hashKey) &&
           entry.keyHigh == static_cast<uint32_t>(position.hashKey >> 32) && entry.side == position.sideToMove;
}
}  // namespace

int Search::probeHash(const Position& position, int searchPly, int depth, int alpha, int beta) {
    if (!settings.useHashTable) return hashMiss;
    const HashEntry& entry = table_.slot(position.hashKey);
    if (!sameKeyAndSide(entry, position)) return hashMiss;
    if (entry.depth < depth) return hashMiss;
    // A repeated position is always searched, so the draw is seen.
    if (isRepetition(position, line_.data(), rootIndex_ + searchPly)) return hashMiss;
    switch (entry.bound) {
        case Exact: return entry.score;
        case Upper: return entry.score <= alpha ? alpha : hashMiss;
        case Lower: return entry.score >= beta ? beta : hashMiss;
        default: return hashMiss;
    }
}

// Mate scores depend on the distance from the root and draws on the game's
// history, so neither is stored.
void Search::storeHash(const Position& position, int depth, int64_t nodes, int score, NodeBound bound, int from,
                       int to) {
    if (!settings.useHashTable || depth < settings.hashMinDepth || std::abs(score) >= mateWithin(10) || score == 0)
        return;
    HashEntry& entry = table_.slot(position.hashKey);
    entry.keyLow = static_cast<uint32_t>(position.hashKey);
    entry.keyHigh = static_cast<uint32_t>(position.hashKey >> 32);
    entry.score = score;
    entry.side = position.sideToMove;
    entry.depth = static_cast<int8_t>(depth);
    entry.bound = bound;
    entry.from = static_cast<uint8_t>(from);
    entry.to = static_cast<uint8_t>(to);
    // Kept below the point where the ordering bonus on top of it would overflow.
    entry.nodes = static_cast<int32_t>(std::min<int64_t>(nodes, std::numeric_limits<int32_t>::max() - 100000));
}

const HashEntry* Search::tableMoveEntry(const Position& position) const {
    const HashEntry& entry = table_.slot(position.hashKey);
    if (!sameKeyAndSide(entry, position) || entry.bound == Upper) return nullptr;
    return &entry;
}
