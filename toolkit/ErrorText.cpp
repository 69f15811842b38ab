#include "toolkit/ErrorText.h"

#include "base/Text.h"

std::u16string CompleteWithFullStop(std::u16string message) {
    if (!message.empty() && message.back() > u'.')
        message += u'.';
    return message;
}

std::u16string ApplicationTitle(std::u16string_view programPath) {
    auto slash = programPath.find_last_of(u"\\/:");
    std::u16string_view name =
        slash == std::u16string_view::npos ? programPath : programPath.substr(slash + 1);
    name = name.substr(0, name.find(u'.'));
    std::u16string title(name);
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = ToLowerChar(title[i]);
    return title;
}

std::u16string LastChanceText(std::u16string_view typeName, std::u16string_view moduleName,
                              std::uint64_t offset, std::u16string_view message) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    std::u16string address(16, u'0');
    for (int i = 15; i >= 0; --i, offset >>= 4)
        address[static_cast<std::size_t>(i)] = digits[offset & 0xF];

    std::u16string text = u"Exception ";
    text.append(typeName).append(u" in module ").append(moduleName);
    text.append(u" at ").append(address).append(u".\r\n").append(message);
    if (message.empty() || message.back() != u'.')
        text += u'.';
    text += u"\r\n";
    return text;
}
