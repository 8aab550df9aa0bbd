#include <gtest/gtest.h>

#include <string>

#include "fake_sound_engine.h"
#include "media/audio_binding.h"
#include "media/fmod_sound_manager.h"
#include "script/project_files.h"
#include "script_fixture.h"

namespace {

// Scripts drive a manager on a fake engine.
class AudioActions : public ::testing::Test, public ScriptFixture {
protected:
    AudioActions() { BindAudioManager(engine->luaState, &manager); }
    // The value an action returns, with the error it leaves.
    std::string Call(const std::string& call) {
        return Eval("(function() local v = " + call +
                    "; return tostring(v) .. ' ' .. Application.GetLastError() end)()");
    }
    FakeSoundEngine sound;
    CFMODSoundManager manager{&sound};
};

TEST_F(AudioActions, OnlyTheEffectsBackgroundAndNarrationChannelsAreAccepted) {
    ASSERT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.wav', false)"), "nil 0");
    struct Case {
        const char* call;
        const char* result;
    } cases[] = {
        {"Audio.Play(CHANNEL_USER1)", "nil 1200"},
        {"Audio.Play(CHANNEL_ALL)", "nil 1200"},
        {"Audio.Stop(4)", "nil 1200"},
        {"Audio.GetVolume(CHANNEL_ALL)", "-1 1200"},
        {"Audio.GetCurrentPos(2)", "-1 1200"},
        {"Audio.GetLength(7)", "-1 1200"},
        {"Audio.IsLooping(1)", "false 1200"},
        {"Audio.GetFilename(3)", " 1200"},
        {"Audio.GetOggTags(-1)", "nil 1200"},
        {"Audio.Seek(1, SEEK_END)", "nil 1200"},
        {"Audio.SetVolume(6.9, 100)", "nil 0"},
        {"Audio.GetVolume(6.9)", "100 0"},
        {"Audio.Load(CHANNEL_USER2, 'a.wav')", "nil 1200"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call(c.call), c.result) << c.call;
    EXPECT_EQ(sound.plays, 0);
}

TEST_F(AudioActions, AChannelWithNothingLoaded) {
    struct Case {
        const char* call;
        const char* result;
    } cases[] = {
        {"Audio.Play(CHANNEL_NARRATION)", "nil 0"},          {"Audio.Stop(CHANNEL_NARRATION)", "nil 0"},
        {"Audio.Pause(CHANNEL_NARRATION)", "nil 0"},         {"Audio.SetVolume(CHANNEL_NARRATION, 9)", "nil 0"},
        {"Audio.GetVolume(CHANNEL_NARRATION)", "-1 1201"},   {"Audio.GetCurrentPos(CHANNEL_NARRATION)", "-1 1201"},
        {"Audio.GetOggTags(CHANNEL_NARRATION)", "nil 1201"}, {"Audio.Seek(CHANNEL_NARRATION, SEEK_END)", "nil 1208"},
        {"Audio.GetLength(CHANNEL_NARRATION)", "0 0"},       {"Audio.GetFilename(CHANNEL_NARRATION)", " 0"},
        {"Audio.ToggleMute(CHANNEL_NARRATION)", "nil 0"},    {"Audio.TogglePlay(CHANNEL_NARRATION)", "nil 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call(c.call), c.result) << c.call;
    sound.unopenable.insert(ResolveSourcePath(document, "missing.wav"));
    EXPECT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'missing.wav')"), "nil 1000");
    EXPECT_EQ(Call("Audio.GetVolume(CHANNEL_NARRATION)"), "-1 1201");
}

TEST_F(AudioActions, WithoutTheSoundSystemTheActionsFailWithTheirCodes) {
    BindAudioManager(engine->luaState, nullptr);
    struct Case {
        const char* call;
        const char* result;
    } cases[] = {
        {"Audio.Load(CHANNEL_NARRATION, 'a.wav')", "nil 1001"}, {"Audio.Play(CHANNEL_NARRATION)", "nil 1101"},
        {"Audio.Stop(CHANNEL_NARRATION)", "nil 1105"},          {"Audio.Pause(CHANNEL_NARRATION)", "nil 1102"},
        {"Audio.SetVolume(CHANNEL_NARRATION, 5)", "nil 1202"},  {"Audio.GetVolume(CHANNEL_NARRATION)", "-1 1205"},
        {"Audio.GetCurrentPos(CHANNEL_NARRATION)", "-1 1206"},  {"Audio.Seek(CHANNEL_NARRATION, 0)", "nil 1208"},
        {"Audio.GetOggTags(CHANNEL_NARRATION)", "nil 1211"},    {"Audio.GetLength(CHANNEL_NARRATION)", "0 0"},
        {"Audio.GetFilename(CHANNEL_NARRATION)", " 0"},         {"Audio.IsLooping(CHANNEL_NARRATION)", "false 0"},
        {"Audio.ToggleMute(CHANNEL_NARRATION)", "nil 1"},       {"Audio.TogglePlay(CHANNEL_NARRATION)", "nil 3"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call(c.call), c.result) << c.call;
}

TEST_F(AudioActions, SeekModes) {
    ASSERT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.wav')"), "nil 0");
    FakeSoundEngine::Stream& stream = sound.streams[sound.StreamOn(6)];
    stream.lengthMs = 10000;
    struct Case {
        long long from;
        const char* call;
        long long to;
        const char* error;
    } cases[] = {
        {5000, "SEEK_BEGINNING", 1, "0"},
        {5000, "SEEK_END", 9999, "0"},
        {8000, "SEEK_FORWARD, 3", 9999, "0"},
        {2000, "SEEK_FORWARD, 1.99", 3000, "0"},
        {2000, "SEEK_BACKWARD, 5", 0, "0"},
        {4000, "SEEK_BACKWARD, 1", 3000, "0"},
        {4000, "SEEK_SPECIFIC, 2.9", 2000, "0"},
        {4000, "SEEK_SPECIFIC, 11", 4000, "1104"},
        {4000, "SEEK_SPECIFIC, -1", 4000, "1104"},
        {4000, "SEEK_SPECIFIC, 1e12", 4000, "1104"},
        {4000, "9", 4000, "1104"},
        {0, "SEEK_FORWARD, 2", 2000, "0"},
    };
    for (const Case& c : cases) {
        stream.timeMs = c.from;
        EXPECT_EQ(Call(std::string("Audio.Seek(CHANNEL_NARRATION, ") + c.call + ")"), std::string("nil ") + c.error)
            << c.call;
        EXPECT_EQ(stream.timeMs, c.to) << c.call;
    }
    stream.lengthMs = 0;
    EXPECT_EQ(Call("Audio.Seek(CHANNEL_NARRATION, SEEK_SPECIFIC, 1)"), "nil 1208");
}

TEST_F(AudioActions, LoadPlaysAtOnceUnlessToldNotToAndTheQueriesReadTheChannel) {
    EXPECT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.ogg', false, true)"), "nil 0");
    EXPECT_FALSE(sound.IsChannelPlaying(6));
    EXPECT_EQ(Call("Audio.IsLooping(CHANNEL_NARRATION)"), "true 0");
    EXPECT_EQ(Call("Audio.GetCurrentPos(CHANNEL_NARRATION)"), "-1 1206") << "not played yet";
    EXPECT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.ogg')"), "nil 0");
    EXPECT_TRUE(sound.IsChannelPlaying(6));
    sound.streams[sound.StreamOn(6)].timeMs = 2500;
    EXPECT_EQ(Call("Audio.GetCurrentPos(CHANNEL_NARRATION)"), "2.5 0");
    EXPECT_EQ(Call("Audio.GetLength(CHANNEL_NARRATION)"), "10 0");
    EXPECT_EQ(Call("Audio.GetFilename(CHANNEL_NARRATION)"), ResolveSourcePath(document, "a.ogg") + " 0");
    EXPECT_EQ(Call("Audio.SetVolume(CHANNEL_NARRATION, -5)"), "nil 0");
    EXPECT_EQ(Call("Audio.GetVolume(CHANNEL_NARRATION)"), "0 0");
    EXPECT_EQ(Call("Audio.SetVolume(CHANNEL_NARRATION, 1e9)"), "nil 0");
    EXPECT_EQ(Call("Audio.GetVolume(CHANNEL_NARRATION)"), "255 0");
    sound.refusePlay = true;
    EXPECT_EQ(Call("Audio.Stop(CHANNEL_NARRATION)"), "nil 0");
    EXPECT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.ogg')"), "nil 1101");
}

TEST_F(AudioActions, OggTagsBecomeATable) {
    sound.tagsForNextOpen = {{0, "ARTIST", "A"}, {0, "artist", "b"}, {0, "TITLE", "x"}};
    ASSERT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.ogg', false)"), "nil 0");
    EXPECT_EQ(Eval("Audio.GetOggTags(CHANNEL_NARRATION).ARTIST .. '|' .. Audio.GetOggTags(CHANNEL_NARRATION).RAWTAGS"),
              "A|ARTIST=A,artist=b,TITLE=x");
    EXPECT_EQ(Eval("Audio.GetOggTags(CHANNEL_NARRATION).ALBUM"), "");
    sound.tagsForNextOpen = {{1, "TITLE", "id3"}};
    ASSERT_EQ(Call("Audio.Load(CHANNEL_NARRATION, 'a.mp3', false)"), "nil 0");
    EXPECT_EQ(Call("Audio.GetOggTags(CHANNEL_NARRATION)"), "nil 1212");
}

}  // namespace
