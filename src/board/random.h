// The engine's one random source, shared by the hash keys and the book: a
// 32-bit linear congruential generator that yields 15-bit values. Seeding it
// with a fixed number makes every hash key, and so every search, repeatable.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(uint32_t seed = 1) : state_(seed) {}

    void seed(uint32_t seed) { state_ = seed; }

    // A value from 0 to 32767: bits 16 to 30 of the new state.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }

private:
    uint32_t state_;
};

// The seed of a run, from the calendar time and bits that differ from run to
// run. The generator's early values move only a little from one seed to the
// next (seeds a second apart drew nearly the same first book move after the
// hash keys), so the inputs are scrambled over the whole 32 bits first; with
// this, even runs whose extra bits happen to be equal start apart when they
// start a second apart.
constexpr uint32_t mixSeed(uint64_t seconds, uint64_t entropy) {
    uint64_t x = seconds * 0x9e3779b97f4a7c15ull ^ entropy;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return static_cast<uint32_t>(x ^ (x >> 31));
}
