// The soundtrack: a 135 BPM piece in A minor whose arrangement changes at the
// scene boundaries of the programme (a bar is 1.778 s; the cuts fall on its beats).
#pragma once

#include "synth.h"

#include <cstdint>
#include <vector>

// Made by the synthesizer at its rate.
constexpr int SOUNDTRACK_RATE = SYNTH_RATE;
constexpr double SOUNDTRACK_SECONDS = 133.0;
constexpr double BEAT_SECONDS = 60.0 / 135.0;
constexpr double BAR_SECONDS = 4 * BEAT_SECONDS;

struct Section {
    double startBar;  // the section runs until the next one starts
    const char* name;
    int progression;    // index into the chord progressions
    const char* kick;   // 16 steps a bar: 'x' a hit, '.' rest
    const char* snare;  // 'x' snare, 'c' clap
    const char* hats;   // 'x' closed, 'o' open
    const char* bass;   // 'r' root, 'o' octave, 'f' fifth
    bool pad;
    int lead;           // melody number, -1 for none
    int arp;            // 0 none, 1 plucks, 2 bells
    double bassCutoff;  // Hz; the build-up sweeps it
    double wobbleHz;    // bass filter wobble
    bool swell;         // bass filter and plucks open up over the section
};

// The section playing at `bar` (bars counted from the start of the music).
const Section& sectionAtBar(double bar);

// The whole piece: interleaved 16-bit stereo at SOUNDTRACK_RATE, SOUNDTRACK_SECONDS long.
std::vector<int16_t> synthesizeSoundtrack();
