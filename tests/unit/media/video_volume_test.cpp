#include "media/video_player.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoVolume, ScriptVolumesMapToHundredthsOfADecibelAndBack) {
    struct Case {
        double volume;
        int hundredths;
        int back;  // what GetVolume then reports
    };
    const Case cases[] = {
        {0, -10000, 0},  {1, -9500, 1}, {10, -5000, 10},  {100, 0, 100}, {50, -1505, 50},
        {-5, -10000, 0}, {250, 0, 100}, {0.5, -10000, 0}, {2, -8495, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VolumeToHundredthsOfDecibel(c.volume), c.hundredths) << c.volume;
        EXPECT_EQ(VolumeFromHundredthsOfDecibel(c.hundredths), c.back) << c.hundredths;
    }
}

}  // namespace
