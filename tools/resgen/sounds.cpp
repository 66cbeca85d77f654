#include "sounds.h"

#include <QtEndian>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace resgen {

namespace {

enum class Timbre { Sine, Square, Bell, Marimba, Brass };

struct Note {
    double start;    // seconds
    double duration; // seconds
    double from;     // frequency in Hz at the start
    double to;       // frequency at the end (a sweep when it differs)
    Timbre timbre;
};

// Partials of a timbre: frequency ratio, level, extra decay per second.
struct Partial {
    double ratio, level, decay;
};

std::vector<Partial> partials(Timbre t) {
    switch (t) {
    case Timbre::Sine:
        return {{1, 1, 0}, {2, 0.15, 0}};
    case Timbre::Square:
        return {{1, 1, 0}, {3, 0.3, 0}, {5, 0.15, 0}, {7, 0.07, 0}};
    case Timbre::Bell:
        return {{1, 1, 2.5}, {2.76, 0.5, 4}, {5.4, 0.25, 6}, {8.93, 0.12, 9}};
    case Timbre::Marimba:
        return {{1, 1, 7}, {4, 0.35, 16}, {10, 0.1, 30}};
    case Timbre::Brass:
        return {{1, 1, 0}, {2, 0.6, 0}, {3, 0.4, 0}, {4, 0.25, 0}, {5, 0.12, 0}};
    }
    return {};
}

void render(std::vector<double>& out, const Note& n) {
    const auto first = size_t(n.start * kSampleRate);
    const auto count = size_t(n.duration * kSampleRate);
    if (out.size() < first + count) out.resize(first + count, 0.0);
    const auto parts = partials(n.timbre);
    const bool sustained =
        n.timbre == Timbre::Sine || n.timbre == Timbre::Square || n.timbre == Timbre::Brass;
    double phase = 0; // cycles of the fundamental, accumulated so that sweeps stay smooth
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double f = n.from + (n.to - n.from) * t / n.duration;
        phase += f / kSampleRate;
        // short attack and release against clicks; struck timbres die away on their own
        double env = std::min(1.0, t / 0.006);
        const double left = n.duration - t;
        if (sustained)
            env *= std::min(1.0, left / 0.025);
        else
            env *= std::min(1.0, left / 0.04);
        double v = 0;
        for (const Partial& p : parts)
            if (f * p.ratio < kSampleRate / 2.0)
                v += p.level * std::exp(-p.decay * t) * std::sin(2 * M_PI * phase * p.ratio);
        out[first + i] += env * v;
    }
}

std::vector<Note> score(int n) {
    const double C5 = 523.25, E5 = 659.25, G5 = 783.99, C6 = 1046.5, G4 = 392.0, A5 = 880.0;
    std::vector<Note> s;
    switch (n) {
    case 1: // two-tone beeps, twice
        for (int r = 0; r < 2; ++r) {
            s.push_back({r * 0.5, 0.14, A5, A5, Timbre::Square});
            s.push_back({r * 0.5 + 0.18, 0.14, 660, 660, Timbre::Square});
        }
        break;
    case 2: // rising arpeggio
        s = {{0, 0.15, C5, C5, Timbre::Sine},
             {0.16, 0.15, E5, E5, Timbre::Sine},
             {0.32, 0.15, G5, G5, Timbre::Sine},
             {0.48, 0.4, C6, C6, Timbre::Sine}};
        break;
    case 3: // alarm clock: two groups of four quick beeps
        for (int g = 0; g < 2; ++g)
            for (int b = 0; b < 4; ++b)
                s.push_back({g * 0.7 + b * 0.12, 0.07, 1000, 1000, Timbre::Square});
        break;
    case 4: // one bell stroke
        s = {{0, 1.4, A5, A5, Timbre::Bell}};
        break;
    case 5: // falling triad
        s = {{0, 0.17, G5, G5, Timbre::Sine},
             {0.18, 0.17, E5, E5, Timbre::Sine},
             {0.36, 0.45, C5, C5, Timbre::Sine}};
        break;
    case 6: // door chime
        s = {{0, 0.9, E5, E5, Timbre::Bell}, {0.45, 1.0, C5, C5, Timbre::Bell}};
        break;
    case 7: // trill
        for (int i = 0; i < 16; ++i) {
            const double f = i % 2 ? 1174.66 : 1318.51;
            s.push_back({i * 0.055, 0.05, f, f, Timbre::Sine});
        }
        break;
    case 8: // marimba phrase
        s = {{0, 0.3, C5, C5, Timbre::Marimba},
             {0.2, 0.3, G5, G5, Timbre::Marimba},
             {0.4, 0.3, E5, E5, Timbre::Marimba},
             {0.6, 0.5, C6, C6, Timbre::Marimba}};
        break;
    case 9: // siren, up and down
        s = {{0, 0.6, 600, 1200, Timbre::Sine}, {0.6, 0.6, 1200, 600, Timbre::Sine}};
        break;
    case 10: // fanfare
        s = {{0, 0.13, G4, G4, Timbre::Brass},
             {0.14, 0.13, C5, C5, Timbre::Brass},
             {0.28, 0.13, E5, E5, Timbre::Brass},
             {0.42, 0.5, G5, G5, Timbre::Brass}};
        break;
    }
    return s;
}

void putLE32(QByteArray& b, quint32 v) {
    char d[4];
    qToLittleEndian(v, d);
    b.append(d, 4);
}

void putLE16(QByteArray& b, quint16 v) {
    char d[2];
    qToLittleEndian(v, d);
    b.append(d, 2);
}

} // namespace

QByteArray alarmSound(int n) {
    std::vector<double> mix;
    for (const Note& note : score(n))
        render(mix, note);
    mix.resize(mix.size() + kSampleRate / 20, 0.0); // a short silence at the end
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    const double gain = peak > 0 ? 0.7 * 32767 / peak : 0;

    const quint32 dataBytes = quint32(mix.size() * 2);
    QByteArray wav;
    wav.append("RIFF");
    putLE32(wav, 36 + dataBytes);
    wav.append("WAVEfmt ");
    putLE32(wav, 16);              // size of the format chunk
    putLE16(wav, 1);               // PCM
    putLE16(wav, 1);               // mono
    putLE32(wav, kSampleRate);     // samples per second
    putLE32(wav, kSampleRate * 2); // bytes per second
    putLE16(wav, 2);               // bytes per sample frame
    putLE16(wav, 16);              // bits per sample
    wav.append("data");
    putLE32(wav, dataBytes);
    for (double v : mix)
        putLE16(wav, quint16(qint16(std::lround(v * gain))));
    return wav;
}

} // namespace resgen
