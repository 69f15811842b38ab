#include "bidi/BiDiWin.h"

void SwitchKeyboard(Platform& platform, TLanguage Language) {
    platform.UseKeyboardLayout(Language == ltHebrew ? HebrewKeyboard : EnglishKeyboard);
}
