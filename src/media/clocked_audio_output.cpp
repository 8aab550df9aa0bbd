#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "media/audio_output.h"
#include "media/wav_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::int64_t rate = 44100;
constexpr auto tick = std::chrono::milliseconds(10);

// Takes the mix at the pace of a sound card, from a thread of its own that sleeps between
// blocks and waits without a timeout while nothing plays.
class ClockedOutput : public CKXAudioOutput {
public:
    ClockedOutput(MixFunction mix, std::unique_ptr<CKXWavWriter> file)
        : mix(std::move(mix)), file(std::move(file)), start(Clock::now()) {
        thread = std::thread([this] { Run(); });
    }
    ~ClockedOutput() override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        wake.notify_one();
        thread.join();
        if (file) file->Close();
    }
    void SetActive(bool on) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            active = on;
        }
        wake.notify_one();
    }

private:
    std::int64_t FramesDue() const {
        auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        return elapsed * rate / 1000000 - taken;
    }

    void Run() {
        std::vector<float> block(static_cast<std::size_t>(deviceFrames) * 2);
        std::unique_lock<std::mutex> lock(mutex);
        while (!quit) {
            if (!active) {
                wake.wait(lock, [this] { return quit || active; });
                // The time asleep was silence.
                std::int64_t idle = FramesDue();
                if (file && idle > 0) file->WriteSilence(idle);
                taken += std::max<std::int64_t>(idle, 0);
                continue;
            }
            lock.unlock();
            for (std::int64_t due = FramesDue(); due > 0; due -= deviceFrames) {
                int frames = static_cast<int>(std::min<std::int64_t>(due, deviceFrames));
                mix(block.data(), frames);
                if (file) file->Write(block.data(), frames);
                taken += frames;
            }
            lock.lock();
            wake.wait_for(lock, tick, [this] { return quit || !active; });
        }
    }

    MixFunction mix;
    std::unique_ptr<CKXWavWriter> file;
    const Clock::time_point start;
    std::int64_t taken = 0;  // frames mixed or written as silence since start
    std::mutex mutex;
    std::condition_variable wake;
    bool active = false;
    bool quit = false;
    std::thread thread;
};

}  // namespace

std::unique_ptr<CKXAudioOutput> OpenClockedOutput(CKXAudioOutput::MixFunction mix, std::unique_ptr<CKXWavWriter> file) {
    return std::make_unique<ClockedOutput>(std::move(mix), std::move(file));
}
