#include "app/ActivityLogText.h"

#include "base/Text.h"

std::u16string TwoDigits(std::int32_t Number) {
    std::u16string text = IntToStr(Number);
    return text.size() == 1 ? u"0" + text : text;
}

std::u16string DateStamp(const TDateTime& Date) {
    return IntToStr(Date.day) + TwoDigits(Date.month) + TwoDigits(Date.year);
}

std::u16string LogFileName(const TDateTime& Date) {
    return u"Qrydesk_" + DateStamp(Date) + u".txt";
}

std::u16string LogLine(const TDateTime& now, std::u16string_view shortDate,
                       std::u16string_view longTime, std::u16string_view message) {
    std::u16string line(shortDate);
    if (!now.IsMidnight())
        line.append(u" ").append(longTime);
    line.append(u": ").append(message).append(u"\r\n");
    return line;
}
