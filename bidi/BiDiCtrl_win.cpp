#include "bidi/BiDiCtrl_win.h"

void TBiDiCustomLabel::Loaded() {
    TBiDiSwitch::Loaded();
    if (Hebrew())
        SetAlignment(taLeftJustify);
}
