#include "media/video_player.h"

#include <algorithm>
#include <cmath>

int VolumeToHundredthsOfDecibel(double volume) {
    volume = std::clamp(volume, 0.0, 100.0);
    if (volume < 1) return -10000;
    if (volume == 1) return -9500;
    int hundredths = static_cast<int>(std::floor(5000 * std::log10(volume) + 0.5)) - 10000;
    return std::clamp(hundredths, -10000, 0);
}

int VolumeFromHundredthsOfDecibel(int hundredths) {
    if (hundredths <= -10000) return 0;
    return static_cast<int>(std::floor(std::pow(10.0, (hundredths + 10000) / 5000.0) + 0.5));
}
