#include "board/hash_keys.h"

// Each key is built from four 15-bit draws, each doubled into a 16-bit lane,
// so bits 0, 16, 32 and 48 of every key (and of every position key) are clear.
void HashKeys::draw(Random& random) {
    for (auto& pieceKeys : zobrist) {
        for (uint64_t& key : pieceKeys) {
            const uint64_t r1 = static_cast<uint64_t>(random.next());
            const uint64_t r2 = static_cast<uint64_t>(random.next());
            const uint64_t r3 = static_cast<uint64_t>(random.next());
            const uint64_t r4 = static_cast<uint64_t>(random.next());
            key = (2 * r3) << 48 | (2 * r2) << 32 | (2 * r1) << 16 | (2 * r4);
        }
    }
}

uint64_t HashKeys::computeHashKey(const Position& position) const {
    uint64_t key = 0;
    for (Square s = 0; s < 64; ++s) {
        if (!isEmpty(position.board[s])) key ^= pieceKey(position.board[s], s);
    }
    return key;
}
