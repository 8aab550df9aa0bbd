#include "media/sound_stream.h"

#include <algorithm>

namespace {

constexpr int decodeFrames = 1024;

// The ring's frames from first on, count of them, as the one or two runs that do not wrap: calls
// copy(ring frame, frame of the run's start counted from first, frames in the run).
template <typename Copy>
void ForEachRun(std::uint64_t first, int count, int ringFrames, Copy copy) {
    for (int done = 0; done < count;) {
        auto at = static_cast<std::size_t>((first + static_cast<std::uint64_t>(done)) % ringFrames);
        int run = std::min(count - done, static_cast<int>(static_cast<std::size_t>(ringFrames) - at));
        copy(at, static_cast<std::size_t>(done), run);
        done += run;
    }
}

}  // namespace

CKXSoundStream::CKXSoundStream(std::unique_ptr<CKXAudioDecoder> decoder, bool looping, std::function<void()> ended)
    : decoder(std::move(decoder)),
      length(this->decoder->LengthFrames()),
      tags(this->decoder->Tags()),
      ended(std::move(ended)),
      ring(static_cast<std::size_t>(bufferFrames) * 2),
      looping(looping) {
    // The first frames are decoded here, so that a play right after the open is heard in the
    // very next block; the thread fills the rest of the buffer.
    int got = this->decoder->Read(ring.data(), decodeFrames);
    if (got > 0) written = static_cast<std::uint64_t>(got);
    decoderDone = got <= 0 && !looping;
    thread = std::thread([this] { Run(); });
}

CKXSoundStream::~CKXSoundStream() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    wake.notify_one();
    thread.join();
}

int CKXSoundStream::Pull(float* out, int frames) {
    std::unique_lock<std::mutex> lock(mutex);
    int count = static_cast<int>(std::min<std::size_t>(Buffered(), static_cast<std::size_t>(frames)));
    ForEachRun(taken, count, bufferFrames,
               [&](std::size_t at, std::size_t done, int run) { std::copy_n(&ring[at * 2], run * 2, out + done * 2); });
    taken += static_cast<std::uint64_t>(count);
    position += count;
    if (looping && length > 0 && position >= length) position %= length;
    bool wakeDecoder = Buffered() <= bufferFrames / 2 && !decoderDone;
    if (decoderDone && Buffered() == 0 && !drained.load()) {
        drained = true;
        wakeDecoder = true;
    }
    lock.unlock();
    if (wakeDecoder) wake.notify_one();
    return count;
}

void CKXSoundStream::SetLooping(bool loop) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        looping = loop;
    }
    wake.notify_one();
}

void CKXSoundStream::Seek(std::int64_t frame) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        seekPending = true;
        seekTarget = frame;
        ++generation;
        taken = written;
        position = frame;
        decoderDone = false;
        endReported = false;
        drained = false;
    }
    wake.notify_one();
}

std::int64_t CKXSoundStream::PositionFrames() const {
    std::lock_guard<std::mutex> lock(mutex);
    return position;
}

void CKXSoundStream::Run() {
    std::vector<float> chunk(static_cast<std::size_t>(decodeFrames) * 2);
    bool loopGaveFrames = true;  // a loop pass that decodes nothing ends the stream instead of spinning
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
        if (seekPending) {
            seekPending = false;
            std::int64_t target = seekTarget;
            unsigned seekGeneration = generation;
            lock.unlock();
            bool moved = decoder->Seek(target);
            lock.lock();
            if (!moved && seekGeneration == generation) decoderDone = true;
            loopGaveFrames = true;
            continue;
        }
        if (drained.load() && !endReported) {
            endReported = true;
            lock.unlock();
            if (ended) ended();
            lock.lock();
            continue;
        }
        if (!decoderDone && Buffered() + decodeFrames <= bufferFrames) {
            unsigned decodeGeneration = generation;
            lock.unlock();
            int got = decoder->Read(chunk.data(), decodeFrames);
            lock.lock();
            if (decodeGeneration != generation) continue;  // a seek came meanwhile
            if (got <= 0) {
                if (looping && loopGaveFrames) {
                    loopGaveFrames = false;
                    lock.unlock();
                    bool rewound = decoder->Seek(0);
                    lock.lock();
                    if (!rewound && decodeGeneration == generation) decoderDone = true;
                } else {
                    decoderDone = true;
                }
                continue;
            }
            loopGaveFrames = true;
            ForEachRun(written, got, bufferFrames, [&](std::size_t at, std::size_t done, int run) {
                std::copy_n(&chunk[done * 2], run * 2, &ring[at * 2]);
            });
            written += static_cast<std::uint64_t>(got);
            continue;
        }
        // Full or finished: wait for the mix to take frames, a seek, or the end.
        wake.wait(lock);
    }
}
