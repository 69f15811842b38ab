#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/LongWork_win.h"
#include "app/StatementHistory.h"
#include "bidi/BiDiCtrl_win.h"
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
#include "data/DataSource.h"
#include "grid/DBGrid_win.h"
#include "toolkit/Forms_win.h"

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

    // How the data components wait for the database: the window stays alive, Esc cancels.
    // Declared first, so that it outlives them.
    WindowLongWork Work{*this};
    // Declared so that the query goes before its connection and the data source it reports
    // to goes last.
    TDataSource DataSource;
    TADOConnection ADOConnection;
    TADOQuery ADOQuery;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    // Opens the connection the kind and the edits describe, or closes an open one however it
    // was opened. A failed open raises and leaves the status and the log untouched. The log
    // shows the server with any password a connection string in it names masked.
    void bConnectClick(TObject* Sender);
    // Open, Execute and Close of the editor's statement: each run enters the history first,
    // shows its outcome in lRows and is logged before and after; a data error is shown there
    // rather than in a box.
    void bOpenClick(TObject* Sender);
    void bExecuteClick(TObject* Sender);
    void bCloseClick(TObject* Sender);
    // Ctrl+E runs the statement, by Open when its first row mentions SELECT; the key still
    // reaches the editor.
    void eSQLKeyPress(TObject* Sender, char16_t& Key);
    void bPrevClick(TObject* Sender);
    void bNextClick(TObject* Sender);
    // Puts the whole open result on the clipboard as tab-separated text, walking it from the
    // first row; the query stays on the last row copied. Errors go to the default report.
    void bCopyClick(TObject* Sender);

    // The statement history and the slot the history buttons have reached.
    StatementHistory Memory;
    std::int32_t CurrentMem() const { return Memory.Position(); }
    bool WithLog = false;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // One entry in the activity log while the log is on; never reports a failure.
    void WriteLog(const std::u16string& Text);
    // Stores the editor's displayed lines as the newest statement; Open and Execute call it
    // before anything else.
    void PushMemory();

private:
    void ShowHistory(const StatementHistory::View& view);
    void ShowLongWait(bool waiting);
    std::u16string rowsBeforeWait_;
};

extern TMainForm* MainForm;
