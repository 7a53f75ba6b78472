// Deterministic randomness for the painters and the synthesizer: a small
// seeded generator and tileable value noise.
#pragma once

#include <cstdint>

// SplitMix64: the same sequence for the same seed on every machine.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Uniform integer in [0, n).
    int below(int n) { return static_cast<int>(uniform() * n); }

private:
    uint64_t state_;
};

// A hash of two lattice coordinates and a seed to [0, 1).
float latticeHash(int x, int y, uint32_t seed);

// Smooth value noise in [0, 1] at (x, y) in lattice units, repeating every
// `period` units in both directions, so a picture made of whole periods tiles.
float tileNoise(float x, float y, int period, uint32_t seed);

// Sum of `octaves` layers of tileNoise, each twice as fine and half as strong,
// normalised to [0, 1]; it repeats every `period` units of the first octave.
float tileFbm(float x, float y, int period, int octaves, uint32_t seed);
