// The sound engine's speed and resources, on files this program makes:
//   - from a play on a loaded channel to its first sample in the mix (in device blocks);
//   - from a click sound's load and play to its first sample in the mix, mixed at the pace of a
//     sound card;
//   - the time to mix seven playing channels, as a share of one core;
//   - the memory a playing channel takes for a one-hour WAV file, and the time to load a
//     500 MB one (both sparse files: their silence costs no disk);
//   - the processor time of an engine whose channels are all paused.
//
//   vx_bench_audio [FOLDER]   (default: a fresh folder under the temporary directory)
#include <sys/resource.h>
#include <unistd.h>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/audio_output.h"
#include "media/fmod_sound_manager.h"
#include "media/mixing_sound_engine.h"
#include "media/wav_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int rate = 44100;
constexpr int block = CKXAudioOutput::deviceFrames;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Tone(const std::string& path, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> samples(static_cast<std::size_t>(seconds * rate) * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * std::sin(static_cast<float>(i / 2) * 0.06f);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
    sf_close(file);
}

// A 16-bit stereo WAV of the given length whose data is a hole in the file.
void SparseWav(const std::string& path, std::uint64_t dataBytes) {
    std::uint32_t data = static_cast<std::uint32_t>(dataBytes);
    unsigned char header[44] = {'R',  'I',  'F', 'F', 0, 0, 0,  0, 'W', 'A', 'V',  'E',  'f', 'm',
                                't',  ' ',  16,  0,   0, 0, 1,  0, 2,   0,   0x44, 0xAC, 0,   0,
                                0x10, 0xB1, 2,   0,   4, 0, 16, 0, 'd', 'a', 't',  'a'};
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<unsigned char>((data + 36) >> (8 * i));
        header[40 + i] = static_cast<unsigned char>(data >> (8 * i));
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(header), sizeof header);
    std::filesystem::resize_file(path, 44 + dataBytes);
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The index of the first frame above silence, or -1.
int FirstSound(const std::vector<float>& mix) {
    for (std::size_t i = 0; i < mix.size(); ++i) {
        if (std::fabs(mix[i]) > 1e-4f) return static_cast<int>(i / 2);
    }
    return -1;
}

struct Queue {
    std::mutex mutex;
    std::vector<std::function<void()>> work;
    CKXMixingSoundEngine::Poster Poster() {
        return [this](std::function<void()> f) {
            std::lock_guard<std::mutex> lock(mutex);
            work.push_back(std::move(f));
        };
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "vx_bench_audio").string();
    std::filesystem::create_directories(folder);
    std::string tone = folder + "/tone.wav";
    Tone(tone, 2.0);
    Queue queue;
    CKXMixingSoundEngine engine(queue.Poster());
    std::vector<float> mix(block * 2);

    // 1. Play on a loaded channel: the next block the device takes starts with the sound.
    int worstFrame = 0;
    for (int trial = 0; trial < 50; ++trial) {
        auto stream = engine.OpenStream(tone, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // loaded some time before the play
        engine.PlayStream(6, stream);
        engine.Mix(mix.data(), block);
        int first = FirstSound(mix);
        worstFrame = std::max(worstFrame, first < 0 ? block * 100 : first);
        engine.CloseStream(stream);
    }
    std::printf("play to first sample: at most %d frames into the next device block (block %.1f ms): worst %.1f ms\n",
                worstFrame, block * 1000.0 / rate, (block + worstFrame) * 1000.0 / rate);

    // 2. A click: load and play on the effects channel, mixed at a sound card's pace.
    CFMODSoundManager manager(&engine);
    double worstClick = 0;
    for (int trial = 0; trial < 30; ++trial) {
        auto start = Clock::now();
        manager.Load(0, tone, false);
        manager.Play(0);
        double heard = -1;
        for (int b = 0; b < 20 && heard < 0; ++b) {
            auto due = start + std::chrono::microseconds(static_cast<long>(b * block * 1e6 / rate));
            std::this_thread::sleep_until(due);
            engine.Mix(mix.data(), block);
            int first = FirstSound(mix);
            if (first >= 0) heard = Ms(Clock::now() - start) + (block + first) * 1000.0 / rate;
        }
        worstClick = std::max(worstClick, heard < 0 ? 1e9 : heard);
        manager.Unload(0);
    }
    std::printf("click to its sound in the mix: worst %.1f ms of 30 (goal 20 ms)\n", worstClick);

    // 3. Seven playing channels.
    std::vector<CKXSoundEngine::StreamHandle> streams;
    for (int channel = 0; channel < 7; ++channel) {
        streams.push_back(engine.OpenStream(tone, true));
        engine.PlayStream(channel, streams.back());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Clock::duration mixing{};
    const int blocks = 400;
    double cpuBefore = CpuSeconds();
    for (int b = 0; b < blocks; ++b) {
        auto start = Clock::now();
        engine.Mix(mix.data(), block);
        mixing += Clock::now() - start;
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(block * 1e6 / rate)));
    }
    double cpu = CpuSeconds() - cpuBefore;
    double seconds = blocks * block / static_cast<double>(rate);
    std::printf(
        "mixing seven channels: %.3f ms a block of %.1f ms = %.2f%% of a core in the callback; "
        "the whole process with its decoders %.2f%% (goal 1%%)\n",
        Ms(mixing) / blocks, block * 1000.0 / rate, Ms(mixing) / (seconds * 10), cpu / seconds * 100);

    // 4. Memory per channel for a one-hour file; the time to load a 500 MB one.
    for (auto stream : streams) engine.CloseStream(stream);
    std::string hour = folder + "/hour.wav", big = folder + "/big.wav";
    SparseWav(hour, std::uint64_t{rate} * 4 * 3600);
    SparseWav(big, std::uint64_t{500} << 20);
    long before = ResidentKb();
    streams.clear();
    for (int channel = 0; channel < 7; ++channel) {
        streams.push_back(engine.OpenStream(hour, false));
        engine.PlayStream(channel, streams.back());
    }
    for (int b = 0; b < 200; ++b) {
        engine.Mix(mix.data(), block);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    long after = ResidentKb();
    std::printf("memory of a playing one-hour WAV: %.0f KiB a channel (goal below 1024 KiB)\n", (after - before) / 7.0);
    for (auto stream : streams) engine.CloseStream(stream);
    double worstLoad = 0;
    for (int trial = 0; trial < 20; ++trial) {
        auto start = Clock::now();
        manager.Load(6, big, false);
        worstLoad = std::max(worstLoad, Ms(Clock::now() - start));
    }
    manager.Unload(6);
    std::printf("Audio.Load of a 500 MB WAV: worst %.2f ms of 20 (goal 10 ms)\n", worstLoad);

    // 5. Everything paused: the decoders and the output wait without waking.
    auto output = OpenClockedOutput([&engine](float* out, int frames) { engine.Mix(out, frames); }, nullptr);
    engine.onActivityChanged = [&output](bool active) { output->SetActive(active); };
    manager.Load(5, tone, true);
    manager.Play(5);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    manager.Pause(5, true, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    double idleBefore = CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    std::printf("paused for 2 s: %.1f ms of processor time (goal none)\n", (CpuSeconds() - idleBefore) * 1000);
    manager.Unload(5);
    engine.onActivityChanged = nullptr;
    std::filesystem::remove_all(folder);
    return 0;
}
