// Writes the demo menu's sounds: two music tracks in two formats (an Ogg Vorbis theme and a FLAC
// interlude), a hover blip, a click, and a narration track with Vorbis comments.
//   vx_demo_sounds FOLDER
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;

// A note: frequency (Hz, 0 for a rest) and length in beats.
struct Note {
    double frequency;
    double beats;
};

double Frequency(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// Soft plucked notes with a fifth above, one after the other.
std::vector<float> Melody(const std::vector<Note>& notes, double beatSeconds, double loudness) {
    std::vector<float> samples;
    for (const Note& note : notes) {
        auto frames = static_cast<std::size_t>(note.beats * beatSeconds * rate);
        for (std::size_t i = 0; i < frames; ++i) {
            double t = static_cast<double>(i) / rate;
            double envelope = std::min(1.0, t * 200) * std::exp(-3.0 * t);
            double value = note.frequency > 0 ? std::sin(2 * M_PI * note.frequency * t) +
                                                    0.3 * std::sin(2 * M_PI * note.frequency * 1.5 * t)
                                              : 0;
            samples.push_back(static_cast<float>(loudness * envelope * value / 1.3));
        }
    }
    return samples;
}

std::vector<float> Blip(double frequency, double seconds, double decay) {
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        double t = static_cast<double>(i) / rate;
        samples[i] = static_cast<float>(0.6 * std::exp(-decay * t) * std::sin(2 * M_PI * frequency * t));
    }
    return samples;
}

bool Write(const std::string& path, int format, const std::vector<float>& mono,
           const std::vector<std::pair<int, const char*>>& strings = {}) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "vx_demo_sounds: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    for (const auto& [field, text] : strings) sf_set_string(file, field, text);
    sf_writef_float(file, mono.data(), static_cast<sf_count_t>(mono.size()));
    return sf_close(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_demo_sounds FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    auto n = [](int semitones, double beats) { return Note{Frequency(semitones), beats}; };
    // C major, rising and falling.
    std::vector<Note> theme = {n(3, 1), n(7, 1), n(10, 1), n(15, 1), n(10, 1), n(7, 1), n(3, 2),
                               n(5, 1), n(8, 1), n(12, 1), n(17, 1), n(12, 1), n(8, 1), n(5, 2)};
    // A minor, slower.
    std::vector<Note> interlude = {n(0, 2), n(3, 1), n(7, 1), n(12, 2), n(7, 2), n(-2, 2), n(2, 1), n(5, 1), n(10, 4)};
    std::vector<Note> narration;
    for (int bar = 0; bar < 5; ++bar) {
        for (int step : {0, 4, 7, 4}) narration.push_back(n(-12 + step + bar, 0.5));
    }
    bool ok = Write(folder + "/theme.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, Melody(theme, 0.35, 0.5),
                    {{SF_STR_TITLE, "Theme"}, {SF_STR_ARTIST, "Vantorix demo"}});
    ok = Write(folder + "/interlude.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, Melody(interlude, 0.45, 0.5)) && ok;
    ok = Write(folder + "/hover.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, Blip(1400, 0.05, 60)) && ok;
    ok = Write(folder + "/click.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, Blip(700, 0.12, 35)) && ok;
    ok = Write(folder + "/narration.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, Melody(narration, 0.5, 0.7),
               {{SF_STR_TITLE, "Narration"}, {SF_STR_ARTIST, "Vantorix demo"}, {SF_STR_ALBUM, "The demo menu"}}) &&
         ok;
    return ok ? 0 : 1;
}
