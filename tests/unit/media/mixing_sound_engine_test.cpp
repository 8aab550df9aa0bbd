#include "media/mixing_sound_engine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "media/fmod_sound_manager.h"
#include "sound_files.h"
#include "temp_folder.h"

namespace {

constexpr int rate = 44100;

// An engine whose GUI thread is the test: posted work waits in a queue until Serve.
class EngineTest : public ::testing::Test {
protected:
    EngineTest()
        : engine([this](std::function<void()> work) {
              std::lock_guard<std::mutex> lock(mutex);
              posted.push_back(std::move(work));
          }) {}

    // Runs what was posted, waiting a while for the decoder threads to post something.
    int Serve(int waitMs = 0) {
        for (int waited = 0;; waited += 5) {
            std::vector<std::function<void()>> work;
            {
                std::lock_guard<std::mutex> lock(mutex);
                work.swap(posted);
            }
            for (auto& f : work) f();
            if (!work.empty() || waited >= waitMs) return static_cast<int>(work.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Mixes frames the way a device does, in blocks, giving the decoder time to keep up.
    std::vector<float> MixFrames(int frames) {
        std::vector<float> out(static_cast<std::size_t>(frames) * 2);
        for (int done = 0; done < frames; done += 512) {
            int block = std::min(512, frames - done);
            WaitForDecoder();
            engine.Mix(&out[static_cast<std::size_t>(done) * 2], block);
        }
        return out;
    }
    static void WaitForDecoder() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

    std::string Tone(const std::string& name, ToneSpec spec = {}) {
        std::string path = folder / name;
        EXPECT_TRUE(WriteTone(path, spec)) << path;
        return path;
    }

    TempFolder folder;
    std::mutex mutex;
    std::vector<std::function<void()>> posted;
    CKXMixingSoundEngine engine;
};

TEST_F(EngineTest, ATonePlaysForItsLengthAndItsEndIsPostedOnce) {
    auto stream = engine.OpenStream(Tone("tone.wav"), false);
    ASSERT_NE(stream, 0);
    EXPECT_EQ(engine.GetStreamLengthMs(stream), 500);
    int ends = 0;
    engine.SetStreamEndCallback(
        stream, [&ends](int channel) { ends += channel; }, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(engine.PlayStream(3, stream));
    EXPECT_TRUE(engine.IsChannelPlaying(3));
    std::vector<float> mix = MixFrames(rate);
    EXPECT_GT(Peak(mix, 0, 512), 0.3f) << "sound from the first block on";
    EXPECT_GT(Peak(mix, rate / 2 - 600, rate / 2 - 100), 0.3f);
    EXPECT_EQ(Peak(mix, rate / 2 + 100, rate), 0.0f) << "silence after its half second";
    Serve(2000);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(engine.IsChannelPlaying(3));
    MixFrames(2048);
    Serve(50);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(engine.GetStreamTimeMs(stream), 0) << "back at the start for the next play";
}

TEST_F(EngineTest, VolumeScalesTheAmplitudeAndPausedChannelsAreSilent) {
    auto stream = engine.OpenStream(Tone("tone.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 2, 1.0}), false);
    ASSERT_TRUE(engine.PlayStream(6, stream));
    std::vector<float> full = MixFrames(4096);
    ASSERT_TRUE(engine.SetChannelVolume(6, 128));
    std::vector<float> half = MixFrames(4096);
    EXPECT_NEAR(Peak(half, 0, 4096) / Peak(full, 0, 4096), 128.0 / 255.0, 0.01);
    ASSERT_TRUE(engine.SetChannelVolume(6, 1000));
    EXPECT_EQ(engine.GetChannelVolume(6), 255);
    ASSERT_TRUE(engine.SetChannelPaused(6, true));
    std::int64_t at = engine.GetStreamTimeMs(stream);
    EXPECT_EQ(Peak(MixFrames(2048), 0, 2048), 0.0f);
    EXPECT_EQ(engine.GetStreamTimeMs(stream), at);
    EXPECT_TRUE(engine.IsChannelPlaying(6)) << "paused still counts as playing";
    EXPECT_FALSE(engine.SetChannelVolume(11, 5));
    EXPECT_FALSE(engine.SetChannelPaused(2, true)) << "nothing on the channel";
}

TEST_F(EngineTest, ALoopingStreamNeverEnds) {
    auto stream = engine.OpenStream(Tone("short.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 0.1}), true);
    bool ended = false;
    engine.SetStreamEndCallback(
        stream, [&ended](int) { ended = true; }, 0);
    ASSERT_TRUE(engine.PlayStream(1, stream));
    std::vector<float> mix = MixFrames(rate / 2);
    Serve(100);
    EXPECT_FALSE(ended);
    EXPECT_GT(Peak(mix, rate * 4 / 10, rate / 2), 0.3f) << "still sounding after five lengths";
    EXPECT_LT(engine.GetStreamTimeMs(stream), 100);
    engine.SetStreamLoopMode(stream, false);
    MixFrames(rate / 2);
    Serve(2000);
    EXPECT_TRUE(ended);
}

TEST_F(EngineTest, SeeksInsideTheLengthMoveAndOthersAreRefused) {
    auto stream = engine.OpenStream(Tone("tone.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 2.0}), false);
    EXPECT_EQ(engine.GetStreamLengthMs(stream), 2000);
    for (std::int64_t ms : {-1LL, 2000LL, 1000000000000000LL}) EXPECT_FALSE(engine.SetStreamTimeMs(stream, ms)) << ms;
    EXPECT_EQ(engine.GetEngineError(), 1);
    ASSERT_TRUE(engine.SetStreamTimeMs(stream, 1999));
    EXPECT_EQ(engine.GetStreamTimeMs(stream), 1999);
    ASSERT_TRUE(engine.SetStreamTimeMs(stream, 1500));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(engine.PlayStream(5, stream));
    std::vector<float> mix = MixFrames(rate);
    EXPECT_GT(Peak(mix, 0, rate / 2 - 200), 0.3f);
    EXPECT_EQ(Peak(mix, rate / 2 + 200, rate), 0.0f) << "the last half second, from 1.5 s";
    ASSERT_TRUE(engine.PlayStream(5, stream));
    ASSERT_TRUE(engine.RewindChannel(5));
    EXPECT_EQ(engine.GetStreamTimeMs(stream), 0);
}

TEST_F(EngineTest, EveryFormatOpensAndSounds) {
    struct Case {
        const char* name;
        int format;
    } cases[] = {
        {"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},   {"a.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"a.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16}, {"a.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"a.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},    {"a.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
        {"a.au", SF_FORMAT_AU | SF_FORMAT_ULAW},
    };
    std::vector<std::string> files;
    for (const Case& c : cases) {
        ToneSpec spec;
        spec.format = c.format;
        spec.rate = c.format == (SF_FORMAT_OGG | SF_FORMAT_OPUS) ? 48000 : 22050;
        files.push_back(Tone(c.name, spec));
    }
    std::string midi = folder / "a.mid";
    WriteBytes(midi, MidiBytes());
    files.push_back(midi);
    std::string module = folder / "a.mod";
    WriteBytes(module, ModuleBytes());
    files.push_back(module);
    for (const std::string& file : files) {
        auto stream = engine.OpenStream(file, false);
        ASSERT_NE(stream, 0) << file;
        EXPECT_GT(engine.GetStreamLengthMs(stream), 300) << file;
        ASSERT_TRUE(engine.PlayStream(6, stream));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_GT(Peak(MixFrames(rate / 4), 0, rate / 4), 0.01f) << file;
        engine.CloseStream(stream);
    }
}

// Tags read through the manager, as a script gets them.
std::map<std::string, std::string> TagsOf(CKXSoundEngine& engine, const std::string& path, int& result) {
    CFMODSoundManager manager(&engine);
    std::map<std::string, std::string> table;
    if (manager.Load(6, path, false) != 0) return table;
    std::vector<COggTag> tags;
    result = manager.GetOggTags(6, tags);
    for (const COggTag& tag : tags) table[tag.name] = tag.value;
    return table;
}

TEST_F(EngineTest, VorbisCommentsAreReadAndOtherTagsAreNotTakenForThem) {
    std::string wav = Tone("plain.wav");
    ASSERT_EQ(std::system(("oggenc -Q -c ARTIST=A -c artist=b -o " + folder / "pair.ogg" + " " + wav).c_str()), 0);
    ASSERT_EQ(std::system(("oggenc -Q -c ARTIST=one -c ARTIST=two -o " + folder / "two.ogg" + " " + wav).c_str()), 0);
    int result = -1;
    auto pair = TagsOf(engine, folder / "pair.ogg", result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(pair["ARTIST"], "A");
    EXPECT_EQ(pair["RAWTAGS"].substr(0, 17), "ARTIST=A,artist=b");
    EXPECT_EQ(TagsOf(engine, folder / "two.ogg", result)["ARTIST"], "two");

    ToneSpec ogg;
    ogg.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    std::string bare = Tone("none.ogg", ogg);
    // The encoder names itself in a comment; take every comment away.
    ASSERT_EQ(std::system(("vorbiscomment -w -c /dev/null " + bare).c_str()), 0);
    auto none = TagsOf(engine, bare, result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(none.size(), 15u) << "the fifteen names, empty, and no raw tags";
    EXPECT_EQ(none["TITLE"], "");

    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* titled = sf_open((folder / "titled.wav").c_str(), SFM_WRITE, &info);
    ASSERT_NE(titled, nullptr);
    sf_set_string(titled, SF_STR_TITLE, "not a comment");
    short silence[1000] = {};
    sf_writef_short(titled, silence, 1000);
    sf_close(titled);
    TagsOf(engine, folder / "titled.wav", result);
    EXPECT_EQ(result, 2);
}

TEST_F(EngineTest, WhatIsNotSoundDoesNotOpen) {
    std::string folderPath = folder / "folder";
    std::filesystem::create_directory(folderPath);
    std::string riff = std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0", 22);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.wav", ""},
        {"garbage.wav", std::string(5000, 'z')},
        {"text.mp3", "ID3 but nothing else"},
        {"zero-channels.wav", riff + std::string("\0\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data\0\0\0\0", 22)},
        {"megahertz.wav", riff + std::string("\x01\0\x40\x42\x0F\0\x80\x84\x1E\0\x02\0\x10\0data\0\0\0\0", 22)},
        {"garbage.mid", "MThd" + std::string(100, '\xff')},
        {"garbage.mod", std::string(1080, '\x7f') + "M.K." + std::string(100, '\x80')},
    };
    for (const Case& c : cases) {
        WriteBytes(folder / c.name, c.bytes);
        auto stream = engine.OpenStream(folder / c.name, false);
        if (stream) {
            // A file of another kind may open as silence, never as a crash or a hang.
            ASSERT_TRUE(engine.PlayStream(1, stream));
            MixFrames(4096);
            engine.CloseStream(stream);
        }
        EXPECT_TRUE(std::string(c.name) == "garbage.mod" || stream == 0) << c.name;
    }
    EXPECT_EQ(engine.OpenStream(folderPath, false), 0);
    EXPECT_EQ(engine.OpenStream(folder / "missing.wav", false), 0);
}

TEST_F(EngineTest, AFileCutShortWhileItStreamsEndsWhereItWasCut) {
    std::string path = Tone("long.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 2, 10.0});
    auto stream = engine.OpenStream(path, false);
    bool ended = false;
    engine.SetStreamEndCallback(
        stream, [&ended](int) { ended = true; }, 0);
    ASSERT_TRUE(engine.PlayStream(2, stream));
    MixFrames(2048);
    std::filesystem::resize_file(path, 44 + rate * 4 / 2);  // half a second left
    std::filesystem::remove(path);
    MixFrames(rate);
    Serve(2000);
    EXPECT_TRUE(ended);
}

TEST_F(EngineTest, ThousandsOfLoadsOnOneChannelLeaveOneStream) {
    std::string path = Tone("tone.wav");
    CKXSoundEngine::StreamHandle last = 0;
    for (int i = 0; i < 2000; ++i) {
        if (last) engine.CloseStream(last);
        last = engine.OpenStream(path, false);
        ASSERT_NE(last, 0);
        ASSERT_TRUE(engine.PlayStream(0, last));
        float block[64 * 2];
        engine.Mix(block, 64);
    }
    engine.CloseStream(last);
    EXPECT_FALSE(engine.IsChannelPlaying(0));
}

}  // namespace
