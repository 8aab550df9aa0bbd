#include "media/fmod_sound_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <string>
#include <vector>

#include "fake_sound_engine.h"
#include "project/audio_bg_music.h"
#include "temp_folder.h"

namespace {

class RecordingHost : public CKXAudioHost {
public:
    bool HasCurrentPage() override { return hasPage; }
    void SendAudioEvent(int state, int channel) override { events.push_back(Text("send", state, channel)); }
    void PostAudioEvent(int state, int channel) override { events.push_back(Text("post", state, channel)); }
    std::string ResolveTrackPath(const std::string& name) override { return "/music/" + name; }

    static std::string Text(const char* how, int state, int channel) {
        static const char* const names[] = {"Finish", "Pause", "Play", "Stop"};
        return std::string(how) + " " + names[state] + " " + std::to_string(channel);
    }
    bool hasPage = true;
    std::vector<std::string> events;
};

class ManagerTest : public ::testing::Test {
protected:
    ManagerTest() {
        manager.SetHost(&host);
        manager.SetPlaylist(&music);
    }
    FakeSoundEngine engine;
    RecordingHost host;
    CAudioBGMusic music;
    CFMODSoundManager manager{&engine};
};

constexpr int narration = 6, background = 5, effects = 0;

TEST(SoundManager, WithoutTheSoundSystemEveryOperationIsRefused) {
    CFMODSoundManager silent;
    std::vector<COggTag> tags;
    int volume = 0;
    long long ms = 0;
    for (int channel : {0, 5, 6}) {
        EXPECT_EQ(silent.Load(channel, "/x.wav", false), 3);
        EXPECT_EQ(silent.Play(channel), 3);
        EXPECT_EQ(silent.Stop(channel), 3);
        EXPECT_EQ(silent.Pause(channel, true, true), 3);
        EXPECT_EQ(silent.SetVolume(channel, 10), 3);
        EXPECT_EQ(silent.GetVolume(channel, volume), 3);
        EXPECT_EQ(silent.GetPosition(channel, ms), 3);
        EXPECT_EQ(silent.SetPosition(channel, 5), 3);
        EXPECT_EQ(silent.TogglePlay(channel), 3);
        EXPECT_EQ(silent.ToggleMute(channel), 1);
        EXPECT_EQ(silent.GetOggTags(channel, tags), 3);
        EXPECT_EQ(silent.GetLength(channel), 0);
        EXPECT_FALSE(silent.SetLooping(channel, true));
        EXPECT_FALSE(silent.IsLooping(channel));
        EXPECT_EQ(silent.GetFilename(channel), "");
    }
}

TEST_F(ManagerTest, ChannelsOutsideZeroToSixAndEmptyChannelsGiveTheirCodes) {
    std::vector<COggTag> tags;
    int volume = 0;
    long long ms = 0;
    for (int channel : {-3, -1, 7, 100}) {
        EXPECT_EQ(manager.Load(channel, "/x.wav", false), 1);
        EXPECT_EQ(manager.Play(channel), 1);
        EXPECT_EQ(manager.GetVolume(channel, volume), 1);
        EXPECT_EQ(manager.GetOggTags(channel, tags), 1);
        EXPECT_EQ(manager.ToggleMute(channel), 1);
    }
    EXPECT_EQ(manager.Play(narration), 2);
    EXPECT_EQ(manager.Stop(narration), 2);
    EXPECT_EQ(manager.Pause(narration, true, true), 2);
    EXPECT_EQ(manager.SetVolume(narration, 9), 2);
    EXPECT_EQ(manager.GetVolume(narration, volume), 2);
    EXPECT_EQ(manager.GetPosition(narration, ms), 2);
    EXPECT_EQ(manager.SetPosition(narration, 1), 2);
    EXPECT_EQ(manager.GetOggTags(narration, tags), 5);
    EXPECT_EQ(manager.TogglePlay(narration), 0);
    EXPECT_EQ(manager.GetLength(narration), 0);
    EXPECT_FALSE(manager.SetLooping(narration, true));
    EXPECT_TRUE(host.events.empty());
}

TEST_F(ManagerTest, AFailedLoadTellsAMissingFileFromOneThatDoesNotOpenAndLeavesNothingLoaded) {
    TempFolder folder;
    std::string broken = folder.Write("broken.wav", "not sound");
    engine.unopenable = {broken, folder / "missing.wav"};
    EXPECT_EQ(manager.Load(narration, folder / "missing.wav", false), 2);
    EXPECT_EQ(manager.Load(narration, broken, false), 3);
    EXPECT_EQ(manager.GetFilename(narration), broken);
    int volume = 0;
    EXPECT_EQ(manager.GetVolume(narration, volume), 2);
    EXPECT_EQ(manager.Play(narration), 2);
}

TEST_F(ManagerTest, LoadingNeverPlaysAndVolumeAndMuteSurviveTheNextLoad) {
    ASSERT_EQ(manager.Load(narration, "/a.wav", true), 0);
    EXPECT_FALSE(engine.IsChannelPlaying(narration));
    EXPECT_TRUE(manager.IsLooping(narration));
    ASSERT_EQ(manager.Play(narration), 0);
    ASSERT_EQ(manager.SetVolume(narration, 100), 0);
    ASSERT_EQ(manager.ToggleMute(narration), 0);
    ASSERT_EQ(manager.Load(narration, "/b.wav", false), 0);
    EXPECT_EQ(engine.streams.size(), 1u) << "the first file is closed";
    ASSERT_EQ(manager.Play(narration), 0);
    int volume = -1;
    EXPECT_EQ(manager.GetVolume(narration, volume), 0);
    EXPECT_EQ(volume, 0) << "still muted";
    ASSERT_EQ(manager.ToggleMute(narration), 0);
    EXPECT_EQ(manager.GetVolume(narration, volume), 0);
    EXPECT_EQ(volume, 100);
}

TEST_F(ManagerTest, PlayStartsAStoppedChannelResumesAPausedOneAndRestartsAPlayingOne) {
    ASSERT_EQ(manager.Load(narration, "/a.wav", false), 0);
    ASSERT_EQ(manager.SetVolume(narration, 77), 0);
    EXPECT_EQ(manager.Play(narration), 0);
    EXPECT_EQ(engine.channels[narration].volume, 77) << "the stored volume is applied when it starts";
    engine.streams[engine.StreamOn(narration)].timeMs = 4000;
    EXPECT_EQ(manager.Pause(narration, true, true), 0);
    EXPECT_EQ(manager.Play(narration), 0);
    EXPECT_FALSE(engine.channels[narration].paused);
    EXPECT_EQ(engine.streams[engine.StreamOn(narration)].timeMs, 4000) << "resumed where it was";
    EXPECT_EQ(manager.Play(narration), 0);
    EXPECT_EQ(engine.streams[engine.StreamOn(narration)].timeMs, 0) << "restarted";
    EXPECT_EQ(host.events, (std::vector<std::string>{"send Play 6", "send Pause 6", "send Play 6", "send Play 6"}));

    // A channel that cannot rewind keeps playing silently; one that will not start again stays muted.
    host.events.clear();
    engine.refuseRewind = true;
    EXPECT_EQ(manager.Play(narration), 0);
    engine.refuseRewind = false;
    manager.ToggleMute(narration);
    engine.refusePlay = true;
    EXPECT_EQ(manager.Play(narration), 0);
    EXPECT_EQ(engine.channels[narration].volume, 0);
    EXPECT_TRUE(host.events.empty());
    engine.StopStream(engine.StreamOn(narration));
    EXPECT_EQ(manager.Play(narration), 3) << "a stopped channel the engine will not start";
}

TEST_F(ManagerTest, EngineRefusalsGiveThree) {
    ASSERT_EQ(manager.Load(narration, "/a.wav", false), 0);
    ASSERT_EQ(manager.Play(narration), 0);
    int volume = 0;
    long long ms = 0;
    engine.refuseStop = engine.refusePause = engine.refuseVolume = true;
    EXPECT_EQ(manager.Stop(narration), 3);
    EXPECT_EQ(manager.Pause(narration, true, true), 3);
    EXPECT_EQ(manager.SetVolume(narration, 5), 3);
    engine.channels[narration].volume = 0;
    engine.engineError = 1;
    EXPECT_EQ(manager.GetVolume(narration, volume), 3);
    EXPECT_EQ(manager.GetPosition(narration, ms), 3) << "a position of 0 cannot be told from a failure";
    EXPECT_EQ(manager.SetPosition(narration, 999999), 3);
}

TEST_F(ManagerTest, TogglePlayPausesResumesAndStarts) {
    // Every road that pauses or resumes a channel is logged as the plain operations are.
    std::vector<std::string> logged;
    manager.onEvent = [&](const char* what, int, const std::string&, int result) {
        logged.push_back(std::string(what) + " " + std::to_string(result));
    };
    ASSERT_EQ(manager.Load(narration, "/a.wav", false), 0);
    EXPECT_EQ(manager.TogglePlay(narration), 0);
    EXPECT_TRUE(engine.IsChannelPlaying(narration));
    EXPECT_EQ(manager.TogglePlay(narration), 0);
    EXPECT_TRUE(engine.GetChannelPaused(narration));
    EXPECT_EQ(manager.TogglePlay(narration), 0);
    EXPECT_FALSE(engine.GetChannelPaused(narration));
    EXPECT_EQ(host.events, (std::vector<std::string>{"send Play 6", "send Pause 6", "send Play 6"}));
    // A pause that fails restarts the channel from its beginning.
    engine.refusePause = true;
    engine.streams[engine.StreamOn(narration)].timeMs = 3000;
    EXPECT_EQ(manager.TogglePlay(narration), 0);
    EXPECT_EQ(engine.rewinds, 1);
    EXPECT_EQ(host.events.back(), "send Play 6");
    EXPECT_EQ(logged, (std::vector<std::string>{"load 0", "play 0", "pause 0", "play 0", "play 0"}));
}

TEST_F(ManagerTest, MuteMarksTheChannelAndSetVolumeMakesItAudibleWithoutClearingTheMark) {
    ASSERT_EQ(manager.Load(narration, "/a.wav", false), 0);
    ASSERT_EQ(manager.Play(narration), 0);
    ASSERT_EQ(manager.SetVolume(narration, 200), 0);
    int volume = -1;
    manager.ToggleMute(narration);
    manager.GetVolume(narration, volume);
    EXPECT_EQ(volume, 0);
    manager.ToggleMute(narration);
    manager.GetVolume(narration, volume);
    EXPECT_EQ(volume, 200);
    manager.ToggleMute(narration);
    manager.SetVolume(narration, 150);
    manager.GetVolume(narration, volume);
    EXPECT_EQ(volume, 150) << "audible again";
    manager.ToggleMute(narration);  // only clears the mark
    manager.GetVolume(narration, volume);
    EXPECT_EQ(volume, 150);
    EXPECT_TRUE(host.events.size() == 1) << "mute raises no event";
}

TEST_F(ManagerTest, StateEventsAreSentFinishIsPostedAndTheEffectsChannelRaisesNone) {
    ASSERT_EQ(manager.Load(narration, "/a.wav", false), 0);
    ASSERT_EQ(manager.Play(narration), 0);
    ASSERT_EQ(manager.Stop(narration), 0);
    ASSERT_EQ(manager.Play(narration), 0);
    engine.End(narration);
    ASSERT_EQ(manager.Load(effects, "/click.wav", false), 0);
    ASSERT_EQ(manager.Play(effects), 0);
    ASSERT_EQ(manager.Pause(effects, true, true), 0);
    engine.End(effects);
    EXPECT_EQ(host.events, (std::vector<std::string>{"send Play 6", "send Stop 6", "send Play 6", "post Finish 6"}));
    host.hasPage = false;
    ASSERT_EQ(manager.Play(narration), 0);
    EXPECT_EQ(host.events.size(), 4u) << "no page, no event";
}

TEST_F(ManagerTest, TheEffectsVolumeIsGivenOnTheFirstLoadOfTheEffectsChannelOnly) {
    music.effectsVolume = 40;
    ASSERT_EQ(manager.Load(effects, "/click.wav", false), 0);
    int volume = -1;
    ASSERT_EQ(manager.Play(effects), 0);
    manager.GetVolume(effects, volume);
    EXPECT_EQ(volume, 40);
    ASSERT_EQ(manager.SetVolume(effects, 90), 0);
    ASSERT_EQ(manager.Load(effects, "/hover.wav", false), 0);
    ASSERT_EQ(manager.Play(effects), 0);
    manager.GetVolume(effects, volume);
    EXPECT_EQ(volume, 90);
}

TEST_F(ManagerTest, OggTagsListTheFifteenNamesAndTheRawTags) {
    using Tag = CKXSoundEngine::Tag;
    struct Case {
        std::vector<Tag> fields;
        int result;
        std::string artist;
        const char* raw;  // nullptr: no RAWTAGS entry
    } cases[] = {
        {{}, 0, "", nullptr},
        {{{0, "ARTIST", "A"}, {0, "artist", "b"}}, 0, "A", "ARTIST=A,artist=b"},
        {{{0, "ARTIST", "first"}, {0, "ARTIST", "second"}}, 0, "second", "ARTIST=first,ARTIST=second"},
        {{{1, "TITLE", "id3"}}, 2, "", nullptr},
        {{{0, "TITLE", "x,"}}, 0, "", "TITLE=x"},
    };
    for (const Case& c : cases) {
        engine.tagsForNextOpen = c.fields;
        ASSERT_EQ(manager.Load(narration, "/a.ogg", false), 0);
        std::vector<COggTag> list;
        EXPECT_EQ(manager.GetOggTags(narration, list), c.result);
        std::map<std::string, std::string> table;
        for (const COggTag& tag : list) table[tag.name] = tag.value;  // later names win, as in the script table
        EXPECT_EQ(table["ARTIST"], c.artist);
        EXPECT_EQ(table.count("ALBUM"), 1u);
        EXPECT_EQ(table.count("ISRC"), 1u);
        EXPECT_EQ(table.count("RAWTAGS"), c.raw ? 1u : 0u);
        if (c.raw) {
            EXPECT_EQ(table["RAWTAGS"], c.raw);
        }
        if (c.fields.empty()) {
            EXPECT_EQ(list.size(), 15u);
        }
    }
}

// The tracks the background channel was given, in order.
std::vector<std::string> BackgroundLoads(const FakeSoundEngine& engine) {
    return engine.opened;
}

TEST_F(ManagerTest, ASequentialPlaylistPlaysInOrderAndLoopsOrStops) {
    music.tracks = CKXStringList{"one.ogg", "two.ogg"};
    music.RebuildPool();
    music.musicVolume = 60;
    manager.PlayNext(true);
    int volume = 0;
    manager.GetVolume(background, volume);
    EXPECT_EQ(volume, 60);
    engine.End(background);
    engine.End(background);
    EXPECT_EQ(BackgroundLoads(engine),
              (std::vector<std::string>{"/music/one.ogg", "/music/two.ogg", "/music/one.ogg"}));
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "post Finish 5"), 0)
        << "the background channel's end starts the next track instead";

    music.loopList = 0;
    engine.End(background);  // two.ogg
    engine.End(background);  // the end of the list
    EXPECT_EQ(engine.opened.size(), 4u);
    EXPECT_EQ(manager.GetFilename(background), "") << "the channel is unloaded";
}

TEST_F(ManagerTest, ARandomPlaylistPlaysEachTrackOncePerCycle) {
    music.tracks = CKXStringList{"a", "b", "c"};
    music.RebuildPool();
    music.randomOrder = 1;
    music.loopList = 0;
    int r = 0;
    manager.random = [&r] { return r++ * 7; };
    manager.PlayNext(true);
    engine.End(background);
    engine.End(background);
    std::vector<std::string> played = engine.opened;
    std::sort(played.begin(), played.end());
    EXPECT_EQ(played, (std::vector<std::string>{"/music/a", "/music/b", "/music/c"}));
    engine.End(background);
    EXPECT_EQ(engine.opened.size(), 3u);
    EXPECT_EQ(manager.GetFilename(background), "");

    music.loopList = 1;
    manager.PlayNext(false);
    EXPECT_EQ(engine.opened.size(), 4u) << "a new cycle";
    EXPECT_EQ(music.pool.size(), 2u);
}

TEST_F(ManagerTest, APlaylistOfMissingTracksStopsAtTheFirst) {
    std::vector<std::string> names(10000, "missing.ogg");
    music.tracks = CKXStringList(names);
    music.RebuildPool();
    for (const std::string& name : names) engine.unopenable.insert("/music/" + name);
    manager.PlayNext(true);
    EXPECT_EQ(engine.opened.size(), 1u);
    music.tracks = CKXStringList{};
    music.RebuildPool();
    music.randomOrder = 1;
    manager.PlayNext(true);  // an empty random list must not divide by zero
    EXPECT_EQ(engine.opened.size(), 1u);
}

}  // namespace
