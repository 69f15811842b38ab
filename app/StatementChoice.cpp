#include "app/StatementChoice.h"

#include <string>

bool FirstRowAsksForRows(std::u16string_view firstRow) {
    std::u16string upper(firstRow);
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
    return upper.find(u"SELECT") != std::u16string::npos;
}
