// The transposition table: one entry per slot, the slot chosen by the
// position key; the newest store always wins. The search threads share it:
// each entry is three atomic words, and a reader takes an entry only when
// its key, checked against all three, is the one asked for, so an entry
// that another thread was writing meanwhile reads as a miss.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

enum NodeBound : uint8_t { Exact = 0, Upper = 1, Lower = 2 };

// One entry as the search reads and writes it.
struct HashEntry {
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
    // Each entry takes three 64-bit words.
    static constexpr std::size_t entryBytes = 24;
    // 48 MiB, 2^21 entries: the size the engine has always played with.
    static constexpr std::size_t defaultMegabytes = 48;
    static constexpr std::size_t defaultEntries = std::size_t{1} << 21;

    // The entries that fit in the given number of MiB (at least one).
    static std::size_t entriesIn(std::size_t megabytes);
    // The machine's physical memory in bytes, or 0 when the system does not
    // say.
    static std::size_t physicalMemory();

    // A table of the given number of entries (at least 1), zeroed. Every
    // probe lands on a random entry, so on a system that offers large pages
    // the table asks for them: one translation entry then covers 2 MiB
    // instead of 4 KiB and most probes stop missing the processor's
    // translation cache. Throws std::bad_alloc when memory is short.
    explicit TranspositionTable(std::size_t entries = defaultEntries);

    // A new, zeroed table of the given number of entries; false, with the
    // table as it was, when the memory cannot be had or is more than the
    // machine has.
    bool resize(std::size_t entries);
    // Forgets every entry; a large table is cleared by several threads.
    void clear(int threads = 1);

    std::size_t entries() const { return entries_; }
    // The slot of a key: the high bits of the key, mixed by an odd
    // multiplier, scaled to the table. Every bit of the key counts, so every
    // slot is used whatever bits the keys leave clear.
    std::size_t slot(uint64_t key) const {
        const uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>((static_cast<unsigned __int128>(mixed) * entries_) >> 64);
    }
    // Whether anything was stored in the slot since the table was cleared.
    bool occupied(std::size_t slot) const {
        return (words_[3 * slot].load(std::memory_order_relaxed) |
                words_[3 * slot + 1].load(std::memory_order_relaxed) |
                words_[3 * slot + 2].load(std::memory_order_relaxed)) != 0;
    }
    // The share of the table in use, in thousandths, from a sample of its
    // first slots.
    int permilleUsed() const;
    // The entry of the key, when its slot holds it.
    bool read(uint64_t key, HashEntry& entry) const;
    void write(uint64_t key, const HashEntry& entry);
    // Starts loading a position's entry into the cache. A child's entry is
    // read only after its moves are generated, which hides most of the
    // memory delay.
    void prefetch(uint64_t key) const { __builtin_prefetch(&words_[3 * slot(key)]); }

private:
    struct Release {
        void operator()(std::atomic<uint64_t>* words) const;
    };
    using Storage = std::unique_ptr<std::atomic<uint64_t>[], Release>;
    static Storage allocate(std::size_t entries);

    // Entry i is words 3i (the key, mixed with the other two), 3i + 1 and
    // 3i + 2 (the data).
    Storage words_;
    std::size_t entries_ = 0;
};
