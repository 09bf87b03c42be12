#include "search/hash_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "search/search.h"

namespace {

constexpr std::size_t largePageBytes = std::size_t{2} << 20;
constexpr std::size_t megabyte = std::size_t{1} << 20;
// Below this a single thread clears the table in a moment.
constexpr std::size_t parallelClearEntries = std::size_t{1} << 24;

// The data words of an entry: side, depth, bound, from and score; to and
// nodes.
uint64_t firstWord(const HashEntry& e) {
    return uint64_t{e.side} | uint64_t{static_cast<uint8_t>(e.depth)} << 8 | uint64_t{e.bound} << 16 |
           uint64_t{e.from} << 24 | uint64_t{static_cast<uint32_t>(e.score)} << 32;
}
uint64_t secondWord(const HashEntry& e) { return uint64_t{e.to} | uint64_t{static_cast<uint32_t>(e.nodes)} << 8; }

}  // namespace

std::size_t TranspositionTable::entriesIn(std::size_t megabytes) {
    return std::max<std::size_t>(1, megabytes * megabyte / entryBytes);
}

std::size_t TranspositionTable::physicalMemory() {
#if defined(__linux__)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
#endif
    return 0;
}

void TranspositionTable::Release::operator()(std::atomic<uint64_t>* words) const { std::free(words); }

// aligned_alloc wants a size that the alignment divides: a small table is
// rounded up to a whole large page.
TranspositionTable::Storage TranspositionTable::allocate(std::size_t entries) {
    if (entries == 0 || entries > std::numeric_limits<std::size_t>::max() / entryBytes - largePageBytes)
        throw std::bad_alloc();
    const std::size_t bytes = entries * entryBytes;
    const std::size_t physical = physicalMemory();
    if (physical != 0 && bytes > physical) throw std::bad_alloc();
    const std::size_t rounded = (bytes + largePageBytes - 1) / largePageBytes * largePageBytes;
    void* memory = std::aligned_alloc(largePageBytes, rounded);
    if (!memory) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only advice: without large pages the table works the same, only slower.
    madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    auto* words = static_cast<std::atomic<uint64_t>*>(memory);
    for (std::size_t i = 0; i < 3 * entries; ++i) new (&words[i]) std::atomic<uint64_t>(0);
    return Storage(words);
}

TranspositionTable::TranspositionTable(std::size_t entries) : words_(allocate(entries)), entries_(entries) {}

bool TranspositionTable::resize(std::size_t entries) {
    try {
        Storage bigger = allocate(entries);
        words_ = std::move(bigger);
        entries_ = entries;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// No search runs while the table is cleared, so its words are zeroed as
// plain memory: a lock-free 64-bit atomic is its value and nothing else.
void TranspositionTable::clear(int threads) {
    static_assert(sizeof(std::atomic<uint64_t>) == sizeof(uint64_t) && std::atomic<uint64_t>::is_always_lock_free);
    const std::size_t words = 3 * entries_;
    const auto zero = [this](std::size_t first, std::size_t last) {
        if (last > first) std::memset(static_cast<void*>(&words_[first]), 0, (last - first) * sizeof(uint64_t));
    };
    if (threads <= 1 || entries_ < parallelClearEntries) {
        zero(0, words);
        return;
    }
    std::vector<std::thread> helpers;
    const std::size_t share = words / static_cast<std::size_t>(threads) + 1;
    try {
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(zero, std::min(words, t * share), std::min(words, (t + 1) * share));
        zero(0, std::min(words, share));
    } catch (const std::system_error&) {
        // Without a thread the rest is cleared here.
        zero(std::min(words, (helpers.size() + 1) * share), words);
    }
    for (std::thread& helper : helpers) helper.join();
}

int TranspositionTable::permilleUsed() const {
    const std::size_t sample = std::min<std::size_t>(entries_, 1000);
    std::size_t used = 0;
    for (std::size_t i = 0; i < sample; ++i) used += occupied(i) ? 1 : 0;
    return sample == 0 ? 0 : static_cast<int>(used * 1000 / sample);
}

bool TranspositionTable::read(uint64_t key, HashEntry& entry) const {
    const std::atomic<uint64_t>* words = &words_[3 * slot(key)];
    const uint64_t first = words[1].load(std::memory_order_relaxed);
    const uint64_t second = words[2].load(std::memory_order_relaxed);
    if ((words[0].load(std::memory_order_relaxed) ^ first ^ second) != key) return false;
    entry.side = static_cast<uint8_t>(first);
    entry.depth = static_cast<int8_t>(first >> 8);
    entry.bound = static_cast<uint8_t>(first >> 16);
    entry.from = static_cast<uint8_t>(first >> 24);
    entry.score = static_cast<int32_t>(first >> 32);
    entry.to = static_cast<uint8_t>(second);
    entry.nodes = static_cast<int32_t>(second >> 8);
    return true;
}

void TranspositionTable::write(uint64_t key, const HashEntry& entry) {
    std::atomic<uint64_t>* words = &words_[3 * slot(key)];
    const uint64_t first = firstWord(entry);
    const uint64_t second = secondWord(entry);
    words[0].store(key ^ first ^ second, std::memory_order_relaxed);
    words[1].store(first, std::memory_order_relaxed);
    words[2].store(second, std::memory_order_relaxed);
}

// The search's use of the table, through its settings.

int Search::probeHash(const Position& position, int searchPly, int depth, int alpha, int beta) {
    if (!settings.useHashTable) return hashMiss;
    HashEntry entry;
    if (!table_.read(position.hashKey, entry) || entry.side != position.sideToMove) return hashMiss;
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
    HashEntry entry;
    entry.score = score;
    entry.side = position.sideToMove;
    entry.depth = static_cast<int8_t>(depth);
    entry.bound = bound;
    entry.from = static_cast<uint8_t>(from);
    entry.to = static_cast<uint8_t>(to);
    // Kept below the point where the ordering bonus on top of it would overflow.
    entry.nodes = static_cast<int32_t>(std::min<int64_t>(nodes, std::numeric_limits<int32_t>::max() - 100000));
    table_.write(position.hashKey, entry);
}

bool Search::tableMove(const Position& position, HashEntry& entry) const {
    return table_.read(position.hashKey, entry) && entry.side == position.sideToMove && entry.bound != Upper;
}
