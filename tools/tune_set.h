// The positions the piece-square tables are tuned on, reduced to what the
// fit needs: the rest of the evaluation, which the tables do not change, and
// the table entries the pieces read.
#pragma once

#include <cstdint>
#include <vector>

struct TuneSample {
    // White's score without the tables, in engine units.
    int base = 0;
    // The game's result for White: 1, 0.5 or 0.
    float result = 0.5f;
    // The group of games the position comes from: held-out positions are
    // chosen by group, so that no game (nor its twin from the same opening)
    // feeds both halves.
    int game = 0;
    // This sample's entries are entries[first .. first + count).
    uint32_t first = 0;
    uint8_t count = 0;
};

struct TuneSet {
    std::vector<TuneSample> samples;
    // An index into the advanced table times two, plus one for a Black piece
    // (whose entry counts against White).
    std::vector<uint32_t> entries;

    void add(int base, float result, int game, const std::vector<uint32_t>& sampleEntries) {
        TuneSample sample;
        sample.base = base;
        sample.result = result;
        sample.game = game;
        sample.first = static_cast<uint32_t>(entries.size());
        sample.count = static_cast<uint8_t>(sampleEntries.size());
        entries.insert(entries.end(), sampleEntries.begin(), sampleEntries.end());
        samples.push_back(sample);
    }
};
