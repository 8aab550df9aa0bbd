#include "media/mixing_sound_engine.h"

#include <algorithm>

namespace {

constexpr int scratchFrames = 1024;
constexpr std::int64_t rate = CKXAudioDecoder::sampleRate;

}  // namespace

CKXMixingSoundEngine::CKXMixingSoundEngine(Poster post)
    : post(std::move(post)), scratch(static_cast<std::size_t>(scratchFrames) * 2) {}

CKXMixingSoundEngine::~CKXMixingSoundEngine() {
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        for (Channel& channel : channels) channel.stream = nullptr;
    }
    streams.clear();  // joins every decoder thread
}

CKXMixingSoundEngine::OpenStreamEntry* CKXMixingSoundEngine::Find(StreamHandle handle) {
    auto found = streams.find(handle);
    return found == streams.end() ? nullptr : &found->second;
}

void CKXMixingSoundEngine::Unbind(OpenStreamEntry& entry) {
    if (entry.channel >= 0 && channels[entry.channel].stream == entry.stream.get()) {
        channels[entry.channel].stream = nullptr;
    }
    entry.channel = -1;
}

CKXSoundEngine::StreamHandle CKXMixingSoundEngine::OpenStream(const std::string& path, bool looping) {
    lastError = 0;
    std::unique_ptr<CKXAudioDecoder> decoder = OpenAudioFile(path);
    if (!decoder) {
        Fail();
        return 0;
    }
    StreamHandle handle = nextHandle++;
    std::weak_ptr<int> token = alive;
    auto ended = [this, handle, token] {
        post([this, handle, token] {
            if (token.lock()) OnEnded(handle);
        });
    };
    streams[handle].stream = std::make_unique<CKXSoundStream>(std::move(decoder), looping, ended);
    return handle;
}

void CKXMixingSoundEngine::CloseStream(StreamHandle handle) {
    auto found = streams.find(handle);
    if (found == streams.end()) return;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        Unbind(found->second);
    }
    streams.erase(found);  // the decoder thread ends outside the mix lock
    UpdateActivity();
}

bool CKXMixingSoundEngine::PlayStream(int channel, StreamHandle handle) {
    lastError = 0;
    OpenStreamEntry* entry = Find(handle);
    if (!entry || !ValidChannel(channel)) return Fail();
    if (entry->stream->Drained()) entry->stream->Seek(0);
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        Unbind(*entry);
        for (auto& [other, otherEntry] : streams) {
            if (otherEntry.channel == channel) Unbind(otherEntry);
        }
        channels[channel] = {entry->stream.get(), false, 255};
        entry->channel = channel;
    }
    UpdateActivity();
    return true;
}

bool CKXMixingSoundEngine::StopStream(StreamHandle handle) {
    lastError = 0;
    OpenStreamEntry* entry = Find(handle);
    if (!entry) return Fail();
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        Unbind(*entry);
    }
    entry->stream->Seek(0);
    UpdateActivity();
    return true;
}

void CKXMixingSoundEngine::SetStreamLoopMode(StreamHandle handle, bool looping) {
    if (OpenStreamEntry* entry = Find(handle)) entry->stream->SetLooping(looping);
}

void CKXMixingSoundEngine::SetStreamEndCallback(StreamHandle handle, EndCallback callback, int userValue) {
    if (OpenStreamEntry* entry = Find(handle)) {
        entry->callback = std::move(callback);
        entry->userValue = userValue;
    }
}

std::int64_t CKXMixingSoundEngine::GetStreamLengthMs(StreamHandle handle) {
    OpenStreamEntry* entry = Find(handle);
    return entry ? entry->stream->LengthFrames() * 1000 / rate : 0;
}

std::int64_t CKXMixingSoundEngine::GetStreamTimeMs(StreamHandle handle) {
    OpenStreamEntry* entry = Find(handle);
    return entry ? entry->stream->PositionFrames() * 1000 / rate : 0;
}

bool CKXMixingSoundEngine::SetStreamTimeMs(StreamHandle handle, std::int64_t ms) {
    lastError = 0;
    OpenStreamEntry* entry = Find(handle);
    if (!entry || ms < 0 || ms >= GetStreamLengthMs(handle)) return Fail();
    // Rounded up, so that the position reads back as the milliseconds set.
    entry->stream->Seek((ms * rate + 999) / 1000);
    return true;
}

int CKXMixingSoundEngine::GetStreamTagCount(StreamHandle handle) {
    OpenStreamEntry* entry = Find(handle);
    return entry ? static_cast<int>(entry->stream->Tags().size()) : 0;
}

bool CKXMixingSoundEngine::GetStreamTag(StreamHandle handle, int index, Tag& tag) {
    OpenStreamEntry* entry = Find(handle);
    if (!entry || index < 0 || index >= static_cast<int>(entry->stream->Tags().size())) return Fail();
    tag = entry->stream->Tags()[static_cast<std::size_t>(index)];
    return true;
}

bool CKXMixingSoundEngine::IsChannelPlaying(int channel) {
    std::lock_guard<std::mutex> lock(mixMutex);
    return ValidChannel(channel) && channels[channel].stream && !channels[channel].stream->Drained();
}

bool CKXMixingSoundEngine::GetChannelPaused(int channel) {
    std::lock_guard<std::mutex> lock(mixMutex);
    return ValidChannel(channel) && channels[channel].stream && channels[channel].paused;
}

bool CKXMixingSoundEngine::SetChannelPaused(int channel, bool paused) {
    lastError = 0;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        if (!ValidChannel(channel) || !channels[channel].stream) return Fail();
        channels[channel].paused = paused;
    }
    UpdateActivity();
    return true;
}

bool CKXMixingSoundEngine::SetChannelVolume(int channel, int volume) {
    lastError = 0;
    if (!ValidChannel(channel)) return Fail();
    std::lock_guard<std::mutex> lock(mixMutex);
    channels[channel].volume = std::clamp(volume, 0, 255);
    return true;
}

int CKXMixingSoundEngine::GetChannelVolume(int channel) {
    lastError = 0;
    if (!ValidChannel(channel)) {
        Fail();
        return 0;
    }
    std::lock_guard<std::mutex> lock(mixMutex);
    return channels[channel].volume;
}

bool CKXMixingSoundEngine::RewindChannel(int channel) {
    lastError = 0;
    CKXSoundStream* stream = nullptr;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        if (ValidChannel(channel)) stream = channels[channel].stream;
    }
    if (!stream) return Fail();
    stream->Seek(0);
    return true;
}

void CKXMixingSoundEngine::OnEnded(StreamHandle handle) {
    OpenStreamEntry* entry = Find(handle);
    // Closed, or moved by a seek or a new play since its end was seen.
    if (!entry || !entry->stream->Drained()) return;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        Unbind(*entry);
    }
    entry->stream->Seek(0);
    UpdateActivity();
    // The callback may close this stream: call a copy.
    EndCallback callback = entry->callback;
    int userValue = entry->userValue;
    if (callback) callback(userValue);
}

void CKXMixingSoundEngine::UpdateActivity() {
    bool now = false;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        for (const Channel& channel : channels) now = now || (channel.stream && !channel.paused);
    }
    if (now == active) return;
    active = now;
    if (onActivityChanged) onActivityChanged(now);
}

void CKXMixingSoundEngine::Mix(float* out, int frames) {
    std::fill_n(out, static_cast<std::size_t>(frames) * 2, 0.0f);
    std::lock_guard<std::mutex> lock(mixMutex);
    for (Channel& channel : channels) {
        if (!channel.stream || channel.paused) continue;
        float gain = static_cast<float>(channel.volume) / 255.0f;
        for (int done = 0; done < frames;) {
            int want = std::min(frames - done, scratchFrames);
            int got = channel.stream->Pull(scratch.data(), want);
            float* to = out + static_cast<std::size_t>(done) * 2;
            for (int i = 0; i < got * 2; ++i) to[i] += scratch[static_cast<std::size_t>(i)] * gain;
            done += got;
            if (got < want) break;
        }
    }
    for (int i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}
