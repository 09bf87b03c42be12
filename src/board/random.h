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
