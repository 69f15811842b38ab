#include "grid/DBGridEditor_win.h"

#include <algorithm>

#include "base/Runtime_win.h"
#include "base/WideText_win.h"
#include "grid/DBGrid_win.h"
#include "grid/GridInput_win.h"
#include "grid/GridText_win.h"

TGridEditor::TGridEditor(TDBGrid& grid, bool rightAligned, DWORD exStyle)
    : grid_(grid), rightAligned_(rightAligned), exStyle_(exStyle) {
    CreateNativeWindow(L"EDIT", L"",
                       WS_CHILD | ES_AUTOHSCROLL | (rightAligned ? ES_RIGHT : ES_LEFT), exStyle, 0,
                       0, 0, 0, grid.Handle());
}

LRESULT TGridEditor::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Tab, Enter and Esc belong to the grid, not to the dialog navigation.
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_HASSETSEL;
    case WM_KEYDOWN:
        if (PassesKey(wParam)) {
            grid_.OnKeyDown(wParam);
            return 0;
        }
        break;
    case WM_CHAR: {
        auto c = wchar_t(wParam);
        if (c == L'\r' || c == L'\t' || c == 0x1B)
            return 0; // handled as keys
        if (c >= 0x20 && !grid_.model_.EditorAccepts(char16_t(c))) {
            MessageBeep(MB_OK);
            return 0;
        }
        break;
    }
    case WM_KILLFOCUS: {
        LRESULT result = TWindow::WndProc(message, wParam, lParam);
        if (reinterpret_cast<HWND>(wParam) != grid_.Handle())
            grid_.FocusLeft(reinterpret_cast<HWND>(wParam));
        return result;
    }
    default:
        break;
    }
    return TWindow::WndProc(message, wParam, lParam);
}

bool TGridEditor::PassesKey(WPARAM key) const {
    DWORD start = 0, end = 0;
    SendMessageW(Handle(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return EditorPassesKey(KeyOf(key), CurrentShift(), start, end,
                           std::size_t(GetWindowTextLengthW(Handle())));
}

HWND TDBGrid::EditorHandle() const {
    return editor_ ? editor_->Handle() : nullptr;
}

// Shows, places and fills the edit control as the model's editor stands.
void TDBGrid::SyncEditor() {
    if (!model_.EditorOpen()) {
        if (editor_ && IsWindowVisible(editor_->Handle())) {
            bool focused = GetFocus() == editor_->Handle();
            ShowWindow(editor_->Handle(), SW_HIDE);
            if (focused)
                SetFocus(Handle());
        }
        return;
    }
    int column = model_.CurrentColumn();
    bool rightAligned = model_.Column(column).rightAligned;
    DWORD exStyle =
        BiDi().ExStyleBits(rightAligned ? taRightJustify : taLeftJustify, SysLocale.MiddleEast);
    if (editor_ && !editor_->Made(rightAligned, exStyle)) {
        // An edit control takes its alignment and reading order when it is made.
        bool focused = GetFocus() == editor_->Handle();
        editor_.reset();
        if (focused)
            SetFocus(Handle());
    }
    if (!editor_) {
        editor_ = std::make_unique<Window<TGridEditor>>(*this, rightAligned, exStyle);
        SendMessageW(editor_->Handle(), WM_SETFONT, WPARAM(font_), FALSE);
        SendMessageW(editor_->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        editorRevision_ = model_.EditorRevision() - 1; // a new control has its text to get
    }
    HWND edit = editor_->Handle();
    int line = int(model_.CurrentRow() - model_.TopRow());
    int left = model_.ColumnLeft(column) + GridTextMargin;
    int top = model_.LineTop(line) + GridTextMargin;
    int width = model_.Column(column).width - 2 * GridTextMargin;
    // A column scrolled partly out of view keeps its editor off the indicator column.
    if (left < model_.DataLeft()) {
        width -= model_.DataLeft() - left;
        left = model_.DataLeft();
    }
    width = std::max(0, width);
    int height = std::max(0, model_.LineHeight() - GridTextMargin);
    MoveWindow(edit, left, top, width, height, TRUE);
    if (editorRevision_ != model_.EditorRevision()) {
        editorRevision_ = model_.EditorRevision();
        settingEditorText_ = true;
        SetWindowTextW(edit, W(model_.EditorText()));
        settingEditorText_ = false;
        SendMessageW(edit, EM_SETREADONLY, model_.EditorReadOnly(), 0);
        SendMessageW(edit, EM_LIMITTEXT, WPARAM(model_.EditorLimit()), 0);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    bool focused = GetFocus() == Handle();
    if (!IsWindowVisible(edit))
        ShowWindow(edit, SW_SHOW);
    if (focused)
        SetFocus(edit);
}

void TDBGrid::OnChar(wchar_t c) {
    if (!model_.Active() || (c != L'\b' && c < 0x20))
        return;
    // The editor opens with its text selected, so the character replaces it.
    Refresh refresh(*this);
    model_.OpenEditor();
    SyncEditor();
    if (editor_ && IsWindowVisible(editor_->Handle()))
        SendMessageW(editor_->Handle(), WM_CHAR, WPARAM(c), 0);
}

void TDBGrid::OnEditorChange() {
    if (settingEditorText_ || !editor_)
        return;
    Refresh refresh(*this);
    model_.EditorTextChanged(WindowText(editor_->Handle()));
}
