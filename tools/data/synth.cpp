#include "synth.h"

#include "geometry/pi.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DT = 1.0 / SYNTH_RATE;

// Band-limited step correction for the oscillators below.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

double saw(double phase, double dt)
{
    return 2 * phase - 1 - polyBlep(phase, dt);
}

double pulse(double phase, double dt, double width)
{
    double v = phase < width ? 1 : -1;
    v += polyBlep(phase, dt);
    double shifted = phase - width;
    if (shifted < 0) shifted += 1;
    v -= polyBlep(shifted, dt);
    return v;
}

void advance(double& phase, double dt)
{
    phase += dt;
    if (phase >= 1) phase -= 1;
}

// Attack, hold and release, all in seconds; 0 outside the note.
float envelope(double t, double attack, double length, double release)
{
    if (t < 0) return 0;
    if (t < attack) return static_cast<float>(t / attack);
    if (t < length) return 1;
    if (t < length + release) return static_cast<float>(1 - (t - length) / release);
    return 0;
}

}  // namespace

double midiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

size_t frameAt(double seconds)
{
    return static_cast<size_t>(std::llround(std::max(0.0, seconds) * SYNTH_RATE));
}

void Filter::set(double cutoffHz, double resonance)
{
    cutoffHz = std::clamp(cutoffHz, 20.0, SYNTH_RATE * 0.45);
    double g = std::tan(PI * cutoffHz / SYNTH_RATE);
    k_ = 1 / resonance;
    a1_ = 1 / (1 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

void Filter::process(float in)
{
    double v3 = in - ic2_;
    double v1 = a1_ * ic1_ + a2_ * v3;
    double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2 * v1 - ic1_;
    ic2_ = 2 * v2 - ic2_;
    low = static_cast<float>(v2);
    band = static_cast<float>(v1);
    high = static_cast<float>(in - k_ * v1 - v2);
}

void kick(Bus& bus, std::vector<float>& duck, double at, float velocity)
{
    size_t start = frameAt(at), n = frameAt(0.42);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        double f = 46 + 120 * std::exp(-t * 30);
        phase += 2 * PI * f * DT;
        double body = std::sin(phase) * std::exp(-t * 6.5);
        double click = t < 0.004 ? (1 - t / 0.004) * 0.5 * std::sin(phase * 7) : 0;
        bus.add(start + i, static_cast<float>((body + click) * velocity));
    }
    // The other parts dip under each kick and swell back.
    size_t m = frameAt(0.34);
    for (size_t i = 0; i < m && start + i < duck.size(); ++i) {
        float g = static_cast<float>(1 - 0.65 * velocity * std::exp(-(i * DT) * 9) * std::min(1.0, i * DT / 0.004));
        duck[start + i] = std::min(duck[start + i], g);
    }
}

void snare(Bus& bus, double at, float velocity, uint32_t seed)
{
    NoiseSource noise(seed);
    Filter hp;
    hp.set(1400, 0.8);
    size_t start = frameAt(at), n = frameAt(0.28);
    double phase = 0;
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        hp.process(noise.next());
        phase += 2 * PI * (180 + 60 * std::exp(-t * 40)) * DT;
        double v = hp.high * 0.55 * std::exp(-t * 15) + std::sin(phase) * 0.55 * std::exp(-t * 28);
        bus.add(start + i, static_cast<float>(v * velocity), -0.05f);
    }
}

void clap(Bus& bus, double at, float velocity, uint32_t seed)
{
    NoiseSource noise(seed);
    Filter bp;
    bp.set(1300, 1.6);
    size_t start = frameAt(at), n = frameAt(0.3);
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        bp.process(noise.next());
        // Three quick bursts, then the tail.
        double burst = t < 0.033 ? std::exp(-std::fmod(t, 0.011) * 300) : 0;
        double tail = t >= 0.022 ? std::exp(-(t - 0.022) * 14) : 0;
        bus.add(start + i, static_cast<float>(bp.band * 1.6 * (burst + tail) * velocity), 0.1f);
    }
}

void hat(Bus& bus, double at, float velocity, bool open, uint32_t seed)
{
    NoiseSource noise(seed);
    Filter hp;
    hp.set(7500, 0.9);
    size_t start = frameAt(at), n = frameAt(open ? 0.38 : 0.07);
    double decay = open ? 8 : 60;
    for (size_t i = 0; i < n; ++i) {
        hp.process(noise.next());
        bus.add(start + i, static_cast<float>(hp.high * std::exp(-(i * DT) * decay) * velocity * 0.22), 0.3f);
    }
}

void crash(Bus& bus, double at, float velocity, uint32_t seed)
{
    NoiseSource left(seed), right(seed * 7 + 3);
    Filter hl, hr;
    hl.set(4500, 0.7);
    hr.set(4800, 0.7);
    size_t start = frameAt(at), n = frameAt(2.6);
    for (size_t i = 0; i < n; ++i) {
        double e = std::exp(-(i * DT) * 1.8) * velocity * 0.16;
        hl.process(left.next());
        hr.process(right.next());
        if (start + i >= bus.frames()) break;
        bus.left[start + i] += static_cast<float>(hl.high * e);
        bus.right[start + i] += static_cast<float>(hr.high * e);
    }
}

void bass(Bus& bus, double at, double length, double note, float velocity, const BassTone& tone)
{
    double f = midiToHz(note), dt = f * DT;
    double phase = 0, sub = 0;
    Filter lp;
    size_t start = frameAt(at), n = frameAt(length + 0.02);
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        if (i % 16 == 0) {
            double cutoff = tone.cutoff + tone.envelope * std::exp(-t * 14);
            if (tone.wobbleHz > 0) cutoff *= 1 + 0.9 * std::sin(2 * PI * tone.wobbleHz * (at + t));
            lp.set(cutoff, tone.resonance);
        }
        double osc = 0.7 * saw(phase, dt) + 0.6 * std::sin(2 * PI * sub);
        advance(phase, dt);
        advance(sub, dt * 0.5);
        lp.process(static_cast<float>(osc));
        float e = envelope(t, 0.003, length, 0.02);
        bus.add(start + i, lp.low * e * velocity);
    }
}

void pad(Bus& bus, double at, double length, const int* notes, int count, float velocity, double brightness)
{
    constexpr double attack = 0.25, release = 0.7;
    size_t start = frameAt(at), n = frameAt(length + release);
    static const double detune[4] = {-0.11, 0.07, -0.05, 0.12};
    std::vector<float> left(n, 0.0f), right(n, 0.0f);
    for (int k = 0; k < count; ++k) {
        for (int v = 0; v < 4; ++v) {
            double f = midiToHz(notes[k] + detune[v]), dt = f * DT;
            double phase = 0.23 * v + 0.11 * k;
            std::vector<float>& side = v % 2 ? right : left;
            for (size_t i = 0; i < n; ++i) {
                side[i] += static_cast<float>(saw(phase, dt));
                advance(phase, dt);
            }
        }
    }
    Filter fl, fr;
    fl.set(brightness, 0.8);
    fr.set(brightness * 1.05, 0.8);
    float gain = velocity / (2.0f * count);
    for (size_t i = 0; i < n && start + i < bus.frames(); ++i) {
        float e = envelope(i * DT, attack, length, release) * gain;
        fl.process(left[i]);
        fr.process(right[i]);
        bus.left[start + i] += fl.low * e;
        bus.right[start + i] += fr.low * e;
    }
}

void lead(Bus& bus, double at, double length, double note, float velocity, float pan)
{
    Filter lp;
    size_t start = frameAt(at), n = frameAt(length + 0.09);
    double phase = 0, phase2 = 0.5;
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        double vibrato = t > 0.18 ? 0.14 * std::sin(2 * PI * 5.5 * t) * std::min(1.0, (t - 0.18) * 4) : 0;
        double f = midiToHz(note + vibrato), dt = f * DT;
        if (i % 16 == 0) lp.set(1800 + 3000 * std::exp(-t * 6), 1.2);
        double osc = 0.55 * pulse(phase, dt, 0.32) + 0.45 * saw(phase2, dt * 1.004);
        advance(phase, dt);
        advance(phase2, dt * 1.004);
        lp.process(static_cast<float>(osc));
        float e = envelope(t, 0.006, length, 0.08) * static_cast<float>(0.75 + 0.25 * std::exp(-t * 5));
        bus.add(start + i, lp.low * e * velocity, pan);
    }
}

void pluck(Bus& bus, double at, double note, float velocity, float pan)
{
    Filter lp;
    double f = midiToHz(note), dt = f * DT, phase = 0;
    size_t start = frameAt(at), n = frameAt(0.4);
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        if (i % 16 == 0) lp.set(350 + 4200 * std::exp(-t * 11), 1.4);
        lp.process(static_cast<float>(saw(phase, dt)));
        advance(phase, dt);
        bus.add(start + i, static_cast<float>(lp.low * std::exp(-t * 7) * std::min(1.0, t / 0.002)) * velocity, pan);
    }
}

void bell(Bus& bus, double at, double note, float velocity, float pan)
{
    double f = midiToHz(note);
    size_t start = frameAt(at), n = frameAt(1.8);
    for (size_t i = 0; i < n; ++i) {
        double t = i * DT;
        double mod = 2.2 * std::exp(-t * 2.5) * std::sin(2 * PI * f * 3.5 * t);
        double v = std::sin(2 * PI * f * t + mod) * std::exp(-t * 2.2) * std::min(1.0, t / 0.003);
        bus.add(start + i, static_cast<float>(v * velocity), pan);
    }
}

void riser(Bus& bus, double from, double to, float velocity, uint32_t seed)
{
    NoiseSource noise(seed);
    Filter bp;
    size_t start = frameAt(from), n = frameAt(to - from);
    for (size_t i = 0; i < n; ++i) {
        double x = static_cast<double>(i) / n;
        if (i % 32 == 0) bp.set(300 * std::pow(25.0, x), 3.0);
        bp.process(noise.next());
        float pan = static_cast<float>(0.6 * std::sin(2 * PI * x * 3));
        bus.add(start + i, static_cast<float>(bp.band * x * x * velocity), pan);
    }
}

void pingPong(Bus& bus, double delay, float feedback, float wet)
{
    size_t d = frameAt(delay), n = bus.frames();
    std::vector<float> lineL(n, 0.0f), lineR(n, 0.0f);
    for (size_t i = 0; i < n; ++i) {
        float backL = i >= d ? lineL[i - d] : 0, backR = i >= d ? lineR[i - d] : 0;
        lineL[i] = 0.5f * (bus.left[i] + bus.right[i]) + feedback * backR;
        lineR[i] = feedback * backL;
        bus.left[i] += wet * backL;
        bus.right[i] += wet * backR;
    }
}

namespace {

// One side of the room.
void reverbSide(const std::vector<float>& in, std::vector<float>& out, int spread)
{
    static const int combs[4] = {1116, 1277, 1422, 1557};
    static const int allpasses[2] = {556, 341};
    constexpr float feedback = 0.84f, damp = 0.25f;
    size_t n = in.size();
    std::fill(out.begin(), out.end(), 0.0f);
    for (int length : combs) {
        std::vector<float> line(length + spread, 0.0f);
        size_t pos = 0;
        float memory = 0;
        for (size_t i = 0; i < n; ++i) {
            float delayed = line[pos];
            memory = delayed * (1 - damp) + memory * damp;
            line[pos] = in[i] * 0.015f + memory * feedback;
            out[i] += delayed;
            if (++pos == line.size()) pos = 0;
        }
    }
    for (int length : allpasses) {
        std::vector<float> line(length + spread, 0.0f);
        size_t pos = 0;
        for (size_t i = 0; i < n; ++i) {
            float delayed = line[pos];
            float v = out[i];
            line[pos] = v + delayed * 0.5f;
            out[i] = delayed - v;
            if (++pos == line.size()) pos = 0;
        }
    }
}

}  // namespace

void reverb(Bus& bus, float wet)
{
    std::vector<float> mono(bus.frames()), left(bus.frames()), right(bus.frames());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (bus.left[i] + bus.right[i]);
    reverbSide(mono, left, 0);
    reverbSide(mono, right, 23);
    for (size_t i = 0; i < mono.size(); ++i) {
        bus.left[i] += wet * left[i];
        bus.right[i] += wet * right[i];
    }
}
