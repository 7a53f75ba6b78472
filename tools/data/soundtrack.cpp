#include "soundtrack.h"

#include "geometry/pi.h"
#include "noise.h"
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double STEP = BEAT_SECONDS / 4;

// The running order, in bars. The programme's scenes start at these bars:
// credits 2 (3.6 s), twist column 6 (10.7 s; the column itself at bar 10),
// spike 18 (32.0 s), soya 26 (46.2 s), the gap 29 (51.6 s), twist room 30
// (53.3 s), blob 38 (67.6 s), spheres 46 (81.8 s), tunnel 50 (88.9 s),
// bitmap 62 (110.2 s, slowing down at bar 66, 117.3 s), the end at 73.75 (131.1 s).
const Section SECTIONS[] = {
    {0, "intro", 0, "................", "................", "................", "................", true, -1, 0, 300, 0,
     false},
    {2, "credits", 0, "x...x...x...x...", "................", "..x...x...x...x.", "..r...r...r...r.", true, -1, 0, 500,
     0, false},
    {6, "twist build", 0, "x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.x.", "r.rr.rr.r.rr.rro", true, -1, 1,
     250, 0, true},
    {10, "twist", 0, "x...x...x...x...", "....x.......x...", "x.o.x.o.x.o.x.ox", "r.rrr.rrr.rrr.ro", true, 0, 1, 700, 0,
     false},
    {18, "spike", 1, "x...x...x...x..x", "....x.......x...", "xxxxoxxxxxxxoxxx", "rorororororororo", true, 1, 1, 900, 0,
     false},
    {26, "soya", 2, "x.....x...x.....", "........x.......", "x.x.x.x.x.x.x.x.", "r.......f.....r.", true, -1, 2, 500, 0,
     false},
    {29, "break", 2, "................", "................", "................", "................", true, -1, 2, 400,
     0, false},
    {30, "twist room", 0, "x...x...x...x...", "....x.......x...", "x.o.x.o.x.o.xxox", "r.rrr.rfr.rrr.ro", true, 2, 1,
     800, 0, false},
    {37.5, "stop", 0, "x...............", "....x.x.xxxxxxxx", "................", "r...............", false, -1, 0, 600,
     0, false},
    {38, "blob", 3, "x...x...x...x...", "....c.......c...", "..x...x...x...xo", "r...r...r...r...", true, -1, 0, 350,
     3.375, false},
    {46, "spheres", 2, "x.......x.......", "................", "..x...x...x...x.", "r...............", true, -1, 2, 600,
     0, false},
    {50, "tunnel", 1, "x...x...x...x...", "....x.......x...", "xxoxxxoxxxoxxxox", "rorororororororo", true, 1, 1, 1000,
     0, false},
    {62, "bitmap", 4, "x...x...x...x...", "....x.......x...", "x.o.x.o.x.o.x.o.", "r.rrr.rrr.rrr.ro", true, 2, 1, 800,
     0, false},
    {66, "ending", 4, "x.........x.....", "........x.......", "..x...x...x...x.", "r.......r.......", true, 3, 2, 500,
     0, false},
    {73.75, "outro", 4, "................", "................", "................", "................", true, -1, 0,
     300, 0, false},
};

struct Chord {
    int root;      // bass note
    int notes[4];  // pad voicing
    int count;
};

// Five progressions of one chord a bar, in A minor.
const Chord PROGRESSIONS[5][4] = {
    {{33, {57, 60, 64}, 3}, {29, {57, 60, 65}, 3}, {36, {55, 60, 64}, 3}, {31, {55, 59, 62}, 3}},  // Am F C G
    {{33, {57, 60, 64}, 3}, {31, {55, 59, 62}, 3}, {29, {57, 60, 65}, 3}, {28, {56, 59, 64}, 3}},  // Am G F E
    {{29, {53, 57, 60, 64}, 4},
     {28, {52, 55, 59, 62}, 4},
     {26, {53, 57, 60, 62}, 4},
     {24, {52, 55, 59, 60}, 4}},  // Fmaj7 Em7 Dm7 Cmaj7
    {{33, {57, 60, 64}, 3}, {38, {57, 62, 65}, 3}, {33, {57, 60, 64}, 3}, {28, {56, 59, 64}, 3}},  // Am Dm Am E
    {{29, {57, 60, 65}, 3}, {31, {55, 59, 62}, 3}, {28, {55, 59, 64}, 3}, {33, {57, 60, 64}, 3}},  // F G Em Am
};

struct MelodyNote {
    int step;    // 16th step within two bars
    int length;  // in steps
    int tone;    // index into the chord's tone ladder
};

// Four melodies of two bars each, written on chord tones so they follow any progression.
const std::vector<MelodyNote> MELODIES[4] = {
    {{0, 3, 3},
     {3, 3, 4},
     {6, 2, 5},
     {8, 4, 4},
     {12, 2, 3},
     {14, 2, 2},
     {16, 6, 3},
     {22, 2, 4},
     {24, 4, 5},
     {28, 4, 6}},
    {{0, 1, 3},
     {2, 1, 3},
     {3, 1, 5},
     {6, 2, 4},
     {8, 1, 3},
     {10, 1, 6},
     {11, 1, 5},
     {12, 4, 4},
     {16, 1, 3},
     {18, 1, 3},
     {19, 1, 5},
     {22, 2, 6},
     {24, 2, 5},
     {26, 2, 4},
     {28, 4, 3}},
    {{0, 6, 5}, {6, 2, 4}, {8, 8, 3}, {16, 6, 4}, {22, 2, 5}, {24, 8, 6}},
    {{0, 8, 5}, {8, 8, 4}, {16, 12, 3}, {28, 4, 2}},
};

// Root, third, fifth of the chord over three octaves upwards.
int toneOf(const Chord& chord, int tone)
{
    int ladder[3] = {chord.notes[0], chord.notes[1], chord.notes[2]};
    return ladder[tone % 3] + 12 * (tone / 3);
}

double barsToSeconds(double bar)
{
    return bar * BAR_SECONDS;
}

}  // namespace

const Section& sectionAtBar(double bar)
{
    const Section* found = &SECTIONS[0];
    for (const Section& s : SECTIONS)
        if (bar >= s.startBar) found = &s;
    return *found;
}

std::vector<int16_t> synthesizeSoundtrack()
{
    size_t frames = frameAt(SOUNDTRACK_SECONDS);
    Bus drums(frames), low(frames), pads(frames), echo(frames), effects(frames);
    std::vector<float> duck(frames, 1.0f);
    Rng rng(135);
    uint32_t seed = 1;

    const int totalSteps = static_cast<int>(SOUNDTRACK_SECONDS / STEP);
    for (int k = 0; k < totalSteps; ++k) {
        double bar = k / 16.0;
        int step = k % 16, barIndex = k / 16;
        double t = k * STEP;
        const Section& s = sectionAtBar(bar);
        const Chord& chord = PROGRESSIONS[s.progression][barIndex % 4];
        float human = static_cast<float>(rng.range(0.88, 1.0));

        // Drums.
        if (s.kick[step] == 'x') kick(drums, duck, t, 1.0f);
        if (s.snare[step] == 'x') snare(drums, t, 0.7f * human, seed++);
        if (s.snare[step] == 'c') clap(drums, t, 0.8f * human, seed++);
        char h = s.hats[step];
        if (h == 'x' || h == 'o') hat(drums, t, (step % 4 == 2 ? 0.55f : 0.38f) * human, h == 'o', seed++);
        else if (s.hats[(step + 1) % 16] != '.' && s.kick[0] == 'x' && rng.uniform() < 0.12)
            hat(drums, t, 0.18f, false, seed++);  // a ghost note now and then
        // A snare fill closes every fourth bar of a section with a backbeat.
        bool backbeat = s.snare[4] == 'x';
        if (backbeat && barIndex % 4 == 3 && step >= 12) snare(drums, t, 0.35f + 0.1f * (step - 12), seed++);
        // A crash marks every section start with drums, and every eighth bar.
        if (step == 0 && s.kick[0] == 'x' && (bar == s.startBar || barIndex % 8 == 0)) crash(drums, t, 0.8f, seed++);

        // Bass: each note lasts until the next one (at most two steps).
        char b = s.bass[step];
        if (b != '.') {
            int len = 1;
            while (len < 2 && s.bass[(step + len) % 16] == '.') ++len;
            int note = chord.root + (b == 'o' ? 12 : b == 'f' ? 7 : 0);
            BassTone tone;
            tone.cutoff = s.bassCutoff;
            if (s.swell) tone.cutoff += 1200 * (bar - s.startBar) / 4;
            tone.wobbleHz = s.wobbleHz;
            if (tone.wobbleHz > 0) tone.envelope = 600;
            bass(low, t, len * STEP * 0.9, note, 0.55f, tone);
        }

        // Arpeggios: plucks or bells walking up and down the chord.
        static const int walk[8] = {0, 1, 2, 3, 4, 3, 2, 1};
        if (s.arp == 1 && step % 2 == 0) {
            float level = s.swell ? 0.08f + 0.14f * static_cast<float>((bar - s.startBar) / 4) : 0.22f;
            pluck(echo, t, toneOf(chord, walk[(k / 2) % 8]) + 12, level, (step % 4) ? 0.5f : -0.5f);
        }
        if (s.arp == 2 && step % 4 == 0)
            bell(echo, t, toneOf(chord, walk[(k / 4) % 8]) + 24, 0.16f, (step % 8) ? 0.6f : -0.6f);

        // Once a bar: the pad chord and the melody.
        if (step == 0) {
            if (s.pad) {
                // The opening chord opens up as the programme begins.
                double brightness = bar < 2 ? 700 + 900 * bar / 2 : 2400;
                pad(pads, t, BAR_SECONDS, chord.notes, chord.count, 0.5f, brightness);
            }
            if (s.lead >= 0) {
                int half = barIndex % 2;
                // Every other four-bar phrase answers one chord tone higher.
                int lift = (barIndex / 4) % 2;
                for (const MelodyNote& m : MELODIES[s.lead]) {
                    if (m.step / 16 != half) continue;
                    double at = t + (m.step % 16) * STEP;
                    lead(echo, at, m.length * STEP * 0.92, toneOf(chord, m.tone + lift) + 12, 0.2f, 0.1f);
                }
            }
        }
    }
    // A sub drone under the opening bars.
    BassTone drone;
    drone.cutoff = 200;
    drone.envelope = 0;
    bass(low, 0, barsToSeconds(2), 33, 0.4f, drone);

    // Risers into the big entrances: the column, the spike run, the twist room, the tunnel, the finale.
    riser(effects, barsToSeconds(8), barsToSeconds(10), 0.5f, 901);
    riser(effects, barsToSeconds(16), barsToSeconds(18), 0.6f, 902);
    riser(effects, barsToSeconds(29), barsToSeconds(30), 0.7f, 903);
    riser(effects, barsToSeconds(48), barsToSeconds(50), 0.6f, 904);
    riser(effects, barsToSeconds(60), barsToSeconds(62), 0.6f, 905);
    riser(effects, 0.5, barsToSeconds(2), 0.35f, 906);

    pingPong(echo, 3 * STEP, 0.38f, 0.45f);
    reverb(echo, 1.0f);
    reverb(pads, 0.8f);

    // Mix: pads and bass pump with the kick, a gentle limiter, and the closing fade.
    std::vector<int16_t> out(frames * 2);
    const double fadeFrom = 131.0, fadeTo = SOUNDTRACK_SECONDS;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / SYNTH_RATE;
        float d = duck[i];
        float bassDuck = 0.5f + 0.5f * d;
        float l = drums.left[i] * 0.8f + low.left[i] * bassDuck * 0.5f + pads.left[i] * d * 0.9f + echo.left[i] +
                  effects.left[i] * 0.35f;
        float r = drums.right[i] * 0.8f + low.right[i] * bassDuck * 0.5f + pads.right[i] * d * 0.9f + echo.right[i] +
                  effects.right[i] * 0.35f;
        double gain = 1.0;
        if (t > fadeFrom) gain *= 0.5 + 0.5 * std::cos(PI * std::min(1.0, (t - fadeFrom) / (fadeTo - fadeFrom)));
        if (t < 0.02) gain *= t / 0.02;
        out[2 * i] = static_cast<int16_t>(std::lrint(std::tanh(l * gain) * 30000));
        out[2 * i + 1] = static_cast<int16_t>(std::lrint(std::tanh(r * gain) * 30000));
    }
    return out;
}
