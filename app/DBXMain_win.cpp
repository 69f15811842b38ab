#include "app/DBXMain_win.h"

#include <algorithm>
#include <cstdint>

#include "app/ActivityLogText.h"
#include "app/ActivityLog_win.h"
#include "app/ConnectionStrings.h"
#include "app/CopyText.h"
#include "app/StartupOptions.h"
#include "app/StatementChoice.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "toolkit/Application_win.h"

TMainForm* MainForm = nullptr;

namespace {

const TForm::Design kDesign{u"Qrydesk", 774, 515, L"Tahoma", -11};

// The background reader's news, posted from its thread.
constexpr UINT WM_ROWS_ARRIVED = WM_APP + 1;

// How much of a result is read ahead in the background: a quarter of the memory, at most
// 2 GB, so that a large result neither starves the machine nor holds the database for long;
// the rows past it are read as the grid or Copy reaches them.
std::size_t ReadAheadBytes() {
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof(memory);
    std::uint64_t quarter =
        GlobalMemoryStatusEx(&memory) ? memory.ullTotalPhys / 4 : std::uint64_t(256) << 20;
    return std::size_t(std::min<std::uint64_t>(quarter, std::uint64_t(2) << 30));
}

// The stored description of every right-to-left control: left-to-right, Hebrew off, not
// following the window's mode, applied in that order whatever the constructor chose.
template <class T> T* StoredBiDi(T* control) {
    control->SetBiDiMode(bdLeftToRight);
    control->SetHebrew(false);
    control->SetParentBiDiMode(false);
    return control;
}

// The button publishes Hebrew after all of its own properties.
TBiDiButton* StoredBiDi(TBiDiButton* button) {
    button->SetBiDiMode(bdLeftToRight);
    button->SetParentBiDiMode(false);
    button->SetHebrew(false);
    return button;
}

template <class T>
T* Place(T* control, int left, int top, int width, int height, int tabOrder,
         const std::u16string& text) {
    control->SetBounds(left, top, width, height);
    control->SetTabOrder(tabOrder);
    if (!text.empty())
        control->SetText(text);
    return control;
}

} // namespace

TMainForm::TMainForm() : TForm(kDesign), ADOQuery(Services()) {
    const int none = -1;
    BiDiLabel1 = StoredBiDi(Place(Make<TBiDiLabel>(), 16, 11, 62, 13, none, u"Server Name"));
    BiDiLabel2 = StoredBiDi(Place(Make<TBiDiLabel>(), 16, 38, 46, 13, none, u"Database"));
    BiDiLabel3 = StoredBiDi(Place(Make<TBiDiLabel>(), 16, 65, 33, 13, none, u"DBKind"));
    BiDiLabel4 = StoredBiDi(Place(Make<TBiDiLabel>(), 16, 91, 48, 13, none, u"Username"));
    BiDiLabel5 = StoredBiDi(Place(Make<TBiDiLabel>(), 16, 118, 46, 13, none, u"Password"));
    lStatus = StoredBiDi(Place(Make<TBiDiLabel>(), 120, 147, 33, 13, none, u"lStatus"));
    lRows = StoredBiDi(Place(Make<TBiDiLabel>(), 360, 158, 3, 13, none, u""));
    bPrev = Place(Make<TToolButton>(), 631, 8, 23, 22, none, u"");
    bNext = Place(Make<TToolButton>(), 631, 75, 23, 22, none, u"");
    lCurrent = Place(Make<TLabel>(), 631, 38, 6, 13, none, u"1");
    eServer = StoredBiDi(Place(Make<TBiDiEdit>(), 96, 8, 121, 21, 0, u""));
    eDatabase = StoredBiDi(Place(Make<TBiDiEdit>(), 96, 35, 121, 21, 1, u""));
    cbDBKind = StoredBiDi(Place(Make<TBiDiComboBox>(), 96, 62, 121, 21, 2, u""));
    cbDBKind->AddItem(u"Oracle");
    cbDBKind->AddItem(u"SQLServer");
    cbDBKind->AddItem(u"SQLite");
    cbDBKind->AddItem(u"ODBC");
    bConnect = StoredBiDi(Place(Make<TBiDiButton>(), 8, 142, 75, 25, 5, u"Connect"));
    eUser = StoredBiDi(Place(Make<TBiDiEdit>(), 96, 88, 121, 21, 3, u""));
    ePwd = StoredBiDi(Place(Make<TBiDiEdit>(), 96, 115, 121, 21, 4, u""));
    ePwd->SetPasswordChar(u'*');
    eSQL = StoredBiDi(Place(Make<TBiDiMemo>(), 256, 8, 369, 89, 6, u""));
    bOpen = StoredBiDi(Place(Make<TBiDiButton>(), 256, 113, 75, 25, 7, u"Open"));
    bExecute = StoredBiDi(Place(Make<TBiDiButton>(), 256, 153, 75, 25, 8, u"Execute"));
    bClose = StoredBiDi(Place(Make<TBiDiButton>(), 360, 113, 75, 25, 9, u"Close"));
    DBGrid1 = Place(Make<TDBGrid>(), 16, 192, 737, 305, 10, u"");
    bCopy = StoredBiDi(Place(Make<TBiDiButton>(), 678, 153, 75, 25, 11, u"Copy"));
    TForm::Loaded();

    ADOConnection.SetLongWork(&Work);
    ADOConnection.SetReadAhead(
        ReadAheadBytes(), [window = Handle()] { PostMessageW(window, WM_ROWS_ARRIVED, 0, 0); });
    ADOQuery.SetConnection(&ADOConnection);
    DataSource.SetDataSet(&ADOQuery);
    DBGrid1->SetDataSource(&DataSource);

    bConnect->OnClick = [this](TObject* Sender) { bConnectClick(Sender); };
    bOpen->OnClick = [this](TObject* Sender) { bOpenClick(Sender); };
    bExecute->OnClick = [this](TObject* Sender) { bExecuteClick(Sender); };
    bClose->OnClick = [this](TObject* Sender) { bCloseClick(Sender); };
    eSQL->OnKeyPress = [this](TObject* Sender, char16_t& Key) { eSQLKeyPress(Sender, Key); };
    bPrev->OnClick = [this](TObject* Sender) { bPrevClick(Sender); };
    bNext->OnClick = [this](TObject* Sender) { bNextClick(Sender); };
    bCopy->OnClick = [this](TObject* Sender) { bCopyClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    // Closing the window while the database works cancels the work; the window closes once it
    // has given way.
    OnCloseQuery = [this] {
        if (!Work.Busy())
            return true;
        Work.Cancel(true);
        return false;
    };
    Work.OnLongWait = [this](bool waiting) { ShowLongWait(waiting); };
    OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
    if (!Application.MainForm())
        Application.SetMainForm(this);
    DoCreate();
}

TMainForm::~TMainForm() {
    DoDestroy();
    if (Application.MainForm() == this)
        Application.SetMainForm(nullptr);
}

LRESULT TMainForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ROWS_ARRIVED) {
        ADOQuery.RowsArrived();
        return 0;
    }
    return TForm::WndProc(message, wParam, lParam);
}

// While the database takes its time, lRows says so and how to stop it; what it said before
// comes back before the handler reports the outcome.
void TMainForm::ShowLongWait(bool waiting) {
    if (waiting) {
        rowsBeforeWait_ = lRows->Text();
        lRows->SetText(u"Working\u2026 press Esc to cancel");
    } else {
        lRows->SetText(rowsBeforeWait_);
    }
}

void TMainForm::FormCreate(TObject*) {
    Memory = StatementHistory();
    WithLog = LogRequested(Application.CommandLine());
}

void TMainForm::FormDestroy(TObject*) {
    Memory = StatementHistory();
}

void TMainForm::WriteLog(const std::u16string& Text) {
    if (WithLog)
        AppendLogEntry(Services(), Text);
}

void TMainForm::PushMemory() {
    Memory.Push(eSQL->Lines());
    lCurrent->SetText(u"1");
}

void TMainForm::bConnectClick(TObject*) {
    if (ADOConnection.Connected()) {
        ADOConnection.Close();
        lStatus->SetText(u"Not Connected");
        WriteLog(u"Disconnect from " + PasswordsMasked(eServer->Text()) + u"/" + eDatabase->Text() +
                 u", " + lStatus->Text());
    } else {
        int kind = cbDBKind->ItemIndex();
        std::u16string server = eServer->Text();
        std::u16string database = eDatabase->Text();
        ADOConnection.SetConnectionString(
            BuildConnectionString(kind, server, database, eUser->Text(), ePwd->Text()));
        ADOConnection.Open();
        lStatus->SetText(u"Connected");
        WriteLog(u"Connect to " + PasswordsMasked(server) + u"/" + database + u", " +
                 lStatus->Text());
    }
}

void TMainForm::bOpenClick(TObject*) {
    PushMemory();
    ADOQuery.SetSQL(eSQL->Lines());
    WriteLog(u"Open Query: " + eSQL->Text());
    try {
        ADOQuery.Open();
        lRows->SetText(u"Query Oppened");
        WriteLog(u"Open Query: " + lRows->Text());
    } catch (const Exception& e) {
        lRows->SetText(u"Error, " + e.Message());
        WriteLog(u"Open Query: " + lRows->Text());
    }
}

void TMainForm::bExecuteClick(TObject*) {
    PushMemory();
    ADOQuery.SetSQL(eSQL->Lines());
    WriteLog(u"Exec Query: " + eSQL->Text());
    try {
        lRows->SetText(IntToStr(ADOQuery.ExecSQL()) + u" Rows Affected");
        WriteLog(u"Exec Query: " + lRows->Text());
    } catch (const Exception& e) {
        lRows->SetText(u"Error, " + e.Message());
        WriteLog(u"Exec Query: " + lRows->Text());
    }
}

void TMainForm::bCloseClick(TObject*) {
    ADOQuery.Close();
    WriteLog(u"Close Query");
}

void TMainForm::eSQLKeyPress(TObject*, char16_t& Key) {
    if (Key != 5) // Ctrl+E
        return;
    auto lines = eSQL->Lines();
    if (FirstRowAsksForRows(lines.empty() ? std::u16string() : lines.front()))
        bOpenClick(this);
    else
        bExecuteClick(this);
}

void TMainForm::bPrevClick(TObject*) {
    if (auto view = Memory.Older())
        ShowHistory(*view);
}

void TMainForm::bNextClick(TObject*) {
    ShowHistory(Memory.Newer());
}

void TMainForm::ShowHistory(const StatementHistory::View& view) {
    eSQL->SetLines(view.editorLines);
    if (view.counter)
        lCurrent->SetText(IntToStr(*view.counter));
}

void TMainForm::bCopyClick(TObject*) {
    QueryCopyRows rows(ADOQuery);
    // Built on this thread, with the window's messages handled now and then; Esc stops it.
    Work.RunHere([&] { CopyToClipboard(rows, Services(), CopyTextLimit, Work); });
}
