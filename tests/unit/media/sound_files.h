#pragma once

// Sound files made by the tests: tones in the formats libsndfile writes, a small MIDI file and a
// small tracker module, and the loudness of a stretch of interleaved stereo frames.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

struct ToneSpec {
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    int rate = 22050;
    int channels = 1;
    double seconds = 0.5;
    double frequency = 440;
    double amplitude = 0.5;
};

inline bool WriteTone(const std::string& path, const ToneSpec& spec = {}) {
    SF_INFO info{};
    info.samplerate = spec.rate;
    info.channels = spec.channels;
    info.format = spec.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    auto frames = static_cast<sf_count_t>(spec.seconds * spec.rate);
    std::vector<float> samples(static_cast<std::size_t>(frames * spec.channels));
    for (sf_count_t i = 0; i < frames; ++i) {
        float value = static_cast<float>(spec.amplitude * std::sin(2 * M_PI * spec.frequency * i / spec.rate));
        for (int c = 0; c < spec.channels; ++c) samples[static_cast<std::size_t>(i * spec.channels + c)] = value;
    }
    bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// One track: a middle C held for half a second at 120 beats a minute.
inline std::string MidiBytes() {
    std::string track = {0x00, char(0x90), 60, 100, char(0x83), 0x60, char(0x80), 60, 0, 0x00, char(0xFF), 0x2F, 0x00};
    std::string bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, char(0xE0)};  // 480 ticks a beat
    bytes += {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<char>(track.size())};
    return bytes + track;
}

// A four-channel module with one sample (a square wave) played for one pattern.
inline std::string ModuleBytes() {
    std::string bytes(20, 'x');  // title
    const int sampleWords = 64;
    for (int s = 0; s < 31; ++s) {
        std::string sample(30, '\0');
        if (s == 0) {
            sample.replace(0, 4, "tone");
            sample[22] = 0;
            sample[23] = static_cast<char>(sampleWords);
            sample[25] = 64;  // volume
            sample[27] = 0;   // loop start
            sample[29] = static_cast<char>(sampleWords);
        }
        bytes += sample;
    }
    bytes += {1, 0};                  // song length, restart
    bytes += std::string(128, '\0');  // order list: pattern 0
    bytes += "M.K.";
    std::string pattern(64 * 4 * 4, '\0');
    // Row 0, channel 0: sample 1, period 428 (C-2).
    pattern[0] = 0x01;
    pattern[1] = static_cast<char>(0xAC);
    pattern[2] = 0x10;
    bytes += pattern;
    for (int i = 0; i < sampleWords * 2; ++i) bytes += static_cast<char>(i % 16 < 8 ? 100 : -100);
    return bytes;
}

// The largest absolute sample of frames [from, to) of interleaved stereo.
inline float Peak(const std::vector<float>& stereo, std::size_t from, std::size_t to) {
    float peak = 0;
    for (std::size_t i = from * 2; i < std::min(to * 2, stereo.size()); ++i)
        peak = std::max(peak, std::fabs(stereo[i]));
    return peak;
}
