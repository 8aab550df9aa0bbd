#include "platform/local_clock.h"

#include <ctime>

namespace {

std::function<LocalTime()>& Override() {
    static std::function<LocalTime()> clock;
    return clock;
}

}  // namespace

LocalTime CurrentLocalTime() {
    if (Override()) return Override()();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday + 1,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

void SetLocalClockForTesting(std::function<LocalTime()> clock) {
    Override() = std::move(clock);
}
