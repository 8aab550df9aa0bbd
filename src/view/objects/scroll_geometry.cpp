#include "view/objects/scroll_geometry.h"

#include <algorithm>
#include <cstdint>

int ClampScrollPosition(int position, int count, int visible) {
    return std::max(0, std::min(position, count - visible));
}

int ThumbLength(int visible, int count, int trackLength, int barWidth) {
    // Without content to measure against, the thumb is the whole track (it is not drawn then).
    double share = count > 0 ? static_cast<double>(visible) / count : 1.0;
    int length = static_cast<int>(share * trackLength);
    if (length <= barWidth) return barWidth;
    if (length < 2 * barWidth) return 2 * barWidth;
    return length;
}

int ThumbStart(int trackStart, int trackEnd, int position, int count, int thumbLength) {
    int start = trackStart;
    if (count > 0) {
        start += static_cast<int>(static_cast<std::int64_t>(trackEnd - trackStart) * position / count);
    }
    if (start + thumbLength > trackEnd) start = trackEnd - thumbLength;
    return start;
}
