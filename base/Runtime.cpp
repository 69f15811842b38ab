#include "base/Runtime.h"

TSysLocale SysLocale;
std::uint32_t DefaultSystemCodePage = 0;
TFormatSettings FormatSettings;
