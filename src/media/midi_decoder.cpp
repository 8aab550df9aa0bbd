#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <fluidsynth.h>

#include "media/audio_decoder.h"
#include "platform/host_path.h"

namespace {

// MIDI files are small; a larger one is damage.
constexpr std::int64_t maximumMidiBytes = std::int64_t{16} << 20;
// The General MIDI sound font: Debian's small one (6 MB), then whatever the system calls its default.
const char* const soundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"};
constexpr int warmUpFrames = 64;

// Loading the sound font takes a while; the synthesizer of a closed MIDI file is kept for the next.
struct Synthesizer {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
};
std::mutex spareMutex;
Synthesizer spare;

Synthesizer TakeSynthesizer(const char* soundFont) {
    {
        std::lock_guard<std::mutex> lock(spareMutex);
        if (spare.synth) return std::exchange(spare, Synthesizer{});
    }
    Synthesizer made;
    made.settings = new_fluid_settings();
    if (!made.settings) return made;
    fluid_settings_setnum(made.settings, "synth.sample-rate", CKXAudioDecoder::sampleRate);
    fluid_settings_setstr(made.settings, "player.timing-source", "sample");
    made.synth = new_fluid_synth(made.settings);
    if (made.synth && fluid_synth_sfload(made.synth, soundFont, 1) == FLUID_FAILED) {
        delete_fluid_synth(made.synth);
        made.synth = nullptr;
    }
    return made;
}

void GiveBack(Synthesizer used) {
    if (used.synth) fluid_synth_system_reset(used.synth);
    {
        std::lock_guard<std::mutex> lock(spareMutex);
        if (!spare.synth && used.synth) std::swap(spare, used);
    }
    if (used.synth) delete_fluid_synth(used.synth);
    if (used.settings) delete_fluid_settings(used.settings);
}

class MidiDecoder : public CKXAudioDecoder {
public:
    MidiDecoder(std::vector<unsigned char> file, int division) : file(std::move(file)), division(division) {}
    ~MidiDecoder() override {
        if (player) delete_fluid_player(player);
        GiveBack({settings, synth});
    }

    bool Start(const char* soundFont) {
        Synthesizer taken = TakeSynthesizer(soundFont);
        settings = taken.settings;
        synth = taken.synth;
        if (!synth || !Restart(0)) return false;
        // The player reads the file on its first block; after it the length is known.
        pending.resize(warmUpFrames * 2);
        fluid_synth_write_float(synth, warmUpFrames, pending.data(), 0, 2, pending.data(), 1, 2);
        int ticks = fluid_player_get_total_ticks(player);
        int tempo = fluid_player_get_midi_tempo(player);
        if (division > 0 && ticks > 0 && tempo > 0) {
            microsecondsPerTick = static_cast<double>(tempo) / division;
            length = static_cast<std::int64_t>(ticks * microsecondsPerTick * sampleRate / 1e6);
        }
        return fluid_player_get_status(player) == FLUID_PLAYER_PLAYING;
    }

    int Read(float* out, int frames) override {
        int produced = 0;
        if (!pending.empty()) {
            produced = std::min(frames, static_cast<int>(pending.size() / 2));
            std::copy_n(pending.begin(), produced * 2, out);
            pending.erase(pending.begin(), pending.begin() + produced * 2);
        }
        if (produced < frames && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
            float* rest = out + produced * 2;
            fluid_synth_write_float(synth, frames - produced, rest, 0, 2, rest, 1, 2);
            produced = frames;
        }
        return produced;
    }

    bool Seek(std::int64_t frame) override {
        pending.clear();
        double at = microsecondsPerTick > 0 ? static_cast<double>(frame) * 1e6 / sampleRate / microsecondsPerTick : 0;
        int ticks = static_cast<int>(std::clamp(at, 0.0, 2147483647.0));
        return Restart(ticks);
    }

    std::int64_t LengthFrames() const override { return length; }

private:
    // A new player for the file, from a tick, with every sounding note cut.
    bool Restart(int ticks) {
        if (player) delete_fluid_player(player);
        fluid_synth_all_sounds_off(synth, -1);
        player = new_fluid_player(synth);
        if (!player || fluid_player_add_mem(player, file.data(), file.size()) != FLUID_OK) return false;
        if (fluid_player_play(player) != FLUID_OK) return false;
        if (ticks > 0) fluid_player_seek(player, ticks);
        return true;
    }

    std::vector<unsigned char> file;
    int division;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    std::vector<float> pending;
    double microsecondsPerTick = 0;
    std::int64_t length = 0;
};

const char* SoundFont() {
    for (const char* path : soundFonts) {
        if (IsRegularFile(path)) return path;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CKXAudioDecoder> OpenMidiDecoder(std::unique_ptr<CKXByteSource>& bytes) {
    unsigned char header[14] = {};
    if (bytes->Read(header, sizeof header) != sizeof header || std::memcmp(header, "MThd", 4) != 0) return nullptr;
    std::int64_t size = bytes->Size();
    const char* soundFont = SoundFont();
    if (size > maximumMidiBytes || !soundFont) return nullptr;
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        for (int level = 0; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
    });
    std::vector<unsigned char> file(static_cast<std::size_t>(size));
    bytes->Seek(0, SEEK_SET);
    if (bytes->Read(file.data(), size) != size) return nullptr;
    // A negative division counts SMPTE frames; the length is then not told.
    int division = static_cast<std::int16_t>(header[12] << 8 | header[13]);
    auto decoder = std::make_unique<MidiDecoder>(std::move(file), division);
    if (!decoder->Start(soundFont)) return nullptr;
    bytes.reset();
    return decoder;
}
