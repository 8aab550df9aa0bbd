// Makes and measures sound files for the tests:
//   vx_sound_tool tone FILE SECONDS [FREQUENCY] [RATE]   a sine tone; the format follows the extension
//   vx_sound_tool peak FILE FROM_MS TO_MS                the largest sample there, 0 to 32767
//   vx_sound_tool span FILE                              "FIRST_MS LAST_MS" of sound (above 1%), or "none"
//   vx_sound_tool midi FILE | module FILE                 a half-second MIDI file, a small tracker module
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound_files.h"

namespace {

int FormatOf(const std::string& path) {
    std::string extension = path.substr(path.rfind('.') + 1);
    if (extension == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (extension == "ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    if (extension == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

bool Read(const std::string& path, std::vector<float>& stereo, int& rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file || info.channels != 2) return false;
    stereo.resize(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_float(file, stereo.data(), info.frames);
    sf_close(file);
    rate = info.samplerate;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "tone") {
        ToneSpec spec;
        spec.format = FormatOf(args[1]);
        spec.seconds = std::atof(args[2].c_str());
        if (args.size() > 3) spec.frequency = std::atof(args[3].c_str());
        if (args.size() > 4) spec.rate = std::atoi(args[4].c_str());
        return WriteTone(args[1], spec) ? 0 : 1;
    }
    if (args.size() == 2 && (args[0] == "midi" || args[0] == "module")) {
        WriteBytes(args[1], args[0] == "midi" ? MidiBytes() : ModuleBytes());
        return 0;
    }
    std::vector<float> stereo;
    int rate = 0;
    if (args.size() >= 2 && !Read(args[1], stereo, rate)) {
        std::fprintf(stderr, "vx_sound_tool: cannot read %s as stereo\n", args[1].c_str());
        return 1;
    }
    if (args.size() == 4 && args[0] == "peak") {
        auto frame = [rate](const std::string& ms) {
            return static_cast<std::size_t>(std::atof(ms.c_str()) * rate / 1000);
        };
        std::printf("%d\n", static_cast<int>(Peak(stereo, frame(args[2]), frame(args[3])) * 32767 + 0.5f));
        return 0;
    }
    if (args.size() == 2 && args[0] == "span") {
        std::size_t first = stereo.size(), last = 0;
        for (std::size_t i = 0; i < stereo.size(); ++i) {
            if (std::fabs(stereo[i]) > 0.01f) {
                first = std::min(first, i / 2);
                last = i / 2;
            }
        }
        if (first == stereo.size()) {
            std::puts("none");
        } else {
            std::printf("%zu %zu\n", first * 1000 / static_cast<std::size_t>(rate),
                        last * 1000 / static_cast<std::size_t>(rate));
        }
        return 0;
    }
    std::fprintf(stderr,
                 "usage: vx_sound_tool tone FILE SECONDS [FREQUENCY] [RATE] | peak FILE FROM_MS TO_MS | span FILE | "
                 "midi FILE | module FILE\n");
    return 2;
}
