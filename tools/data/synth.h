// The instruments of the soundtrack: drums, bass, pad, lead, pluck, bell and
// a noise riser, each rendered note by note into a stereo bus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int SYNTH_RATE = 44100;

struct Bus {
    std::vector<float> left, right;
    explicit Bus(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t frames() const { return left.size(); }
    // Adds a sample at frame i, panned (-1 left .. 1 right); ignored past the end.
    void add(size_t i, float value, float pan = 0)
    {
        if (i >= left.size()) return;
        left[i] += value * (1 - pan) * 0.5f * 1.4142f;
        right[i] += value * (1 + pan) * 0.5f * 1.4142f;
    }
};

double midiToHz(double note);
size_t frameAt(double seconds);

// A deterministic white-noise source in [-1, 1].
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : state_(seed ? seed : 1) {}
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state_;
};

// State-variable filter (trapezoidal): low, band and high outputs at once.
class Filter {
public:
    void set(double cutoffHz, double resonance);
    void process(float in);
    float low = 0, band = 0, high = 0;

private:
    double a1_ = 0, a2_ = 0, a3_ = 0, k_ = 1, ic1_ = 0, ic2_ = 0;
};

// Drums. `duck` (one gain per frame, 1 = none) receives the kick's pumping.
void kick(Bus& bus, std::vector<float>& duck, double at, float velocity);
void snare(Bus& bus, double at, float velocity, uint32_t seed);
void clap(Bus& bus, double at, float velocity, uint32_t seed);
void hat(Bus& bus, double at, float velocity, bool open, uint32_t seed);
void crash(Bus& bus, double at, float velocity, uint32_t seed);

struct BassTone {
    double cutoff = 400;     // Hz
    double envelope = 1800;  // extra cutoff at the note's start, decaying
    double wobbleHz = 0;     // cutoff wobble rate, 0 for none
    double resonance = 2.2;
};
void bass(Bus& bus, double at, double length, double note, float velocity, const BassTone& tone);

// A chord of detuned saws with a slow attack and release.
void pad(Bus& bus, double at, double length, const int* notes, int count, float velocity, double brightness);
void lead(Bus& bus, double at, double length, double note, float velocity, float pan);
void pluck(Bus& bus, double at, double note, float velocity, float pan);
void bell(Bus& bus, double at, double note, float velocity, float pan);
// Filtered noise sweeping upwards and swelling from `from` to `to`.
void riser(Bus& bus, double from, double to, float velocity, uint32_t seed);

// A small room: parallel damped combs and series all-passes per side (the
// right side's delays a little longer, for width), mixed in at `wet`.
void reverb(Bus& bus, float wet);

// A ping-pong echo: `delay` seconds, each repeat `feedback` as loud, crossing sides.
void pingPong(Bus& bus, double delay, float feedback, float wet);
