#pragma once

// A local date and time as the clock reports it.
struct TDateTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    bool IsMidnight() const { return hour == 0 && minute == 0 && second == 0 && millisecond == 0; }
};
