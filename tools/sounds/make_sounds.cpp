// marovin-make-sounds FOLDER: writes the program's short sounds into FOLDER as WAV files
// (16-bit mono PCM at 22050 Hz), one per alert: move, capture, check, start, end, tell,
// challenge and alarm. Each is computed from a few tones and a burst of noise with a fast
// decay, so the build makes them and nothing is downloaded. The same build gives the
// same bytes.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note {
    double startSeconds;
    double seconds;
    double hertz;     // 0: noise
    double loudness;  // 0..1
    double decay;     // per second (larger: shorter)
};

std::vector<double> render(const std::vector<Note>& notes)
{
    double end = 0;
    for (const Note& n : notes)
        end = std::max(end, n.startSeconds + n.seconds);
    std::vector<double> samples(static_cast<std::size_t>(end * kRate) + 1, 0.0);
    std::uint32_t noise = 12345;
    for (const Note& n : notes) {
        const auto first = static_cast<std::size_t>(n.startSeconds * kRate);
        const auto count = static_cast<std::size_t>(n.seconds * kRate);
        for (std::size_t i = 0; i < count && first + i < samples.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            // A short attack keeps the start from clicking; the decay shapes the rest.
            const double envelope = std::min(1.0, t * 400.0) * std::exp(-n.decay * t);
            double wave = 0;
            if (n.hertz > 0) {
                wave = std::sin(2 * kPi * n.hertz * t) + 0.3 * std::sin(4 * kPi * n.hertz * t);
            } else {
                noise = noise * 1664525u + 1013904223u;
                wave = static_cast<double>(noise >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
            }
            samples[first + i] += n.loudness * envelope * wave;
        }
    }
    return samples;
}

void put16(std::ofstream& out, std::uint16_t v)
{
    out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8));
}

void put32(std::ofstream& out, std::uint32_t v)
{
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

bool writeWave(const std::string& path, const std::vector<double>& samples)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (const double s : samples) {
        const double clipped = std::max(-1.0, std::min(1.0, s));
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32000))));
    }
    return static_cast<bool>(out);
}

struct Sound {
    const char* name;
    std::vector<Note> notes;
};

std::vector<Sound> sounds()
{
    return {
        // A piece set down on wood: a knock of noise over a low tone.
        {"move", {{0, 0.08, 0, 0.5, 60}, {0, 0.12, 220, 0.35, 45}}},
        // A piece taken: two knocks, the second heavier.
        {"capture", {{0, 0.07, 0, 0.45, 60}, {0.07, 0.12, 0, 0.6, 45}, {0.07, 0.16, 160, 0.4, 30}}},
        // Check: a bright two-tone call.
        {"check", {{0, 0.14, 880, 0.4, 12}, {0.12, 0.22, 1320, 0.4, 10}}},
        // A game starts: a rising triad.
        {"start", {{0, 0.14, 523.25, 0.35, 10}, {0.11, 0.14, 659.25, 0.35, 10}, {0.22, 0.3, 783.99, 0.35, 8}}},
        // A game ends: the triad falling.
        {"end", {{0, 0.14, 783.99, 0.35, 10}, {0.11, 0.14, 659.25, 0.35, 10}, {0.22, 0.35, 523.25, 0.35, 7}}},
        // A tell: one soft bell.
        {"tell", {{0, 0.45, 1046.5, 0.35, 8}}},
        // A challenge: two bells.
        {"challenge", {{0, 0.25, 987.77, 0.35, 10}, {0.2, 0.35, 1318.5, 0.35, 8}}},
        // Low time: three short beeps.
        {"alarm", {{0, 0.09, 1000, 0.45, 5}, {0.15, 0.09, 1000, 0.45, 5}, {0.3, 0.09, 1000, 0.45, 5}}},
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: marovin-make-sounds FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    for (const Sound& sound : sounds()) {
        const std::string path = folder + sound.name + ".wav";
        if (!writeWave(path, render(sound.notes))) {
            std::fprintf(stderr, "marovin-make-sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
