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

// One millisecond later, carried into the seconds and on up to the year. A time of day (year
// 0) does not pass midnight: false then.
inline bool NextMillisecond(TDateTime& t) {
    if (++t.millisecond < 1000)
        return true;
    t.millisecond = 0;
    if (++t.second < 60)
        return true;
    t.second = 0;
    if (++t.minute < 60)
        return true;
    t.minute = 0;
    if (++t.hour < 24)
        return true;
    if (t.year == 0)
        return false;
    t.hour = 0;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    int inMonth = t.month == 2 && leap ? 29 : days[(t.month - 1) % 12];
    if (++t.day <= inMonth)
        return true;
    t.day = 1;
    if (++t.month <= 12)
        return true;
    t.month = 1;
    ++t.year;
    return true;
}
