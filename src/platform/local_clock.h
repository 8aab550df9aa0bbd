#pragma once

#include <functional>

// The local date and time as scripts see them.
struct LocalTime {
    int year = 1970;
    int month = 1;    // 1 to 12
    int day = 1;      // 1 to 31
    int weekday = 1;  // 1 Sunday to 7 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalTime CurrentLocalTime();
// Tests fix the clock; an empty function gives the real clock back.
void SetLocalClockForTesting(std::function<LocalTime()> clock);
