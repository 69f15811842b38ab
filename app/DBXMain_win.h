#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bidi/BiDiCtrl_win.h"
#include "data/DBGrid_win.h"
#include "toolkit/Forms_win.h"

using TStringList = std::vector<std::u16string>;

// The one window: connection settings, the statement editor, the history buttons and the
// result grid.
class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    TBiDiLabel* BiDiLabel1;
    TBiDiLabel* BiDiLabel2;
    TBiDiLabel* BiDiLabel3;
    TBiDiEdit* eServer;
    TBiDiComboBox* cbDBKind;
    TBiDiButton* bConnect;
    TBiDiEdit* eDatabase;
    TBiDiEdit* eUser;
    TBiDiEdit* ePwd;
    TBiDiLabel* BiDiLabel4;
    TBiDiLabel* BiDiLabel5;
    TBiDiLabel* lStatus;
    TBiDiMemo* eSQL;
    TBiDiButton* bOpen;
    TBiDiButton* bExecute;
    TBiDiLabel* lRows;
    TBiDiButton* bClose;
    TDBGrid* DBGrid1;
    TToolButton* bPrev;
    TToolButton* bNext;
    TLabel* lCurrent;
    TBiDiButton* bCopy;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);

    // The statement history: slot n (1 to 10) is Memory[n - 1].
    std::int32_t CurrentMem = 0;
    std::array<std::unique_ptr<TStringList>, 10> Memory;
    bool WithLog = false;
};

extern TMainForm* MainForm;
