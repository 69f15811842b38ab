#pragma once

#include <memory>

#include "data/DataSource.h"
#include "grid/GridModel.h"
#include "grid/QueryRowSource.h"
#include "toolkit/Control_win.h"

class TGridEditor;

// The result grid: paints the model's visible cells and turns the window's messages into the
// model's keys, clicks, wheel notches and scroll-bar actions. Bound to a data source, it shows
// the source's query and follows its data events. With no open result it shows one empty
// column under an empty title and one empty line, beside the row-indicator column.
class TDBGrid : public TCustomControl {
public:
    explicit TDBGrid(TForm* owner);
    ~TDBGrid() override;

    // Links the grid to a data source, or to none. Either may go first.
    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return link_.DataSource(); }
    const GridModel& Model() const { return model_; }
    // The cell editor's window while it has been created, else null.
    HWND EditorHandle() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BiDiModeChanged() override;

private:
    friend class TGridEditor;

    // Brings the picture, the scroll bars and the editor up to date with the model when it
    // goes, however the handler that holds it ends: a refused value or write leaves the grid
    // as it was, and that must show too.
    class Refresh {
    public:
        explicit Refresh(TDBGrid& grid) : grid_(grid) {}
        ~Refresh();
        Refresh(const Refresh&) = delete;
        Refresh& operator=(const Refresh&) = delete;

    private:
        TDBGrid& grid_;
    };

    // The core (DBGrid_win.cpp): fonts, the data source, keys and the focus.
    GridMetrics Measure();
    int TitleWidth(std::u16string_view title);
    // Shows the rows of the source's query.
    void ShowQuery(TADOQuery* query);
    void DataChange(TDataEvent event);
    // Brings the scroll bars, the picture and the editor up to date with the model.
    void Changed();
    void OnKeyDown(WPARAM key);
    // The focus went from the grid or its editor to `to`, which is neither.
    void FocusLeft(HWND to);
    bool ConfirmDelete();

    // The cell editor (DBGridEditor_win.cpp).
    void SyncEditor();
    void OnChar(wchar_t c);
    void OnEditorChange();

    // The scroll bars and the wheel (DBGridScroll_win.cpp).
    // What a scroll bar was last given; all zero hides it.
    struct BarValues {
        int min = 0;
        int max = 0;
        int page = 0;
        int position = 0;
        bool operator==(const BarValues&) const = default;
    };
    void UpdateScrollBars();
    void SetBar(int bar, const BarValues& values);
    void OnMouseWheel(int delta);
    void OnScroll(int bar, WORD code);

    // Painting (DBGridPaint_win.cpp).
    void Paint(HDC dc, const RECT& client) override;
    void PaintTitles(HDC dc, int right);
    void PaintLines(HDC dc, int right, bool focused);
    void PaintIndicator(HDC dc);
    void PaintGridLines(HDC dc, int right, int bottom);
    void PaintDropMark(HDC dc, int bottom);
    void DrawMarker(HDC dc, GridMarker marker, const RECT& cell);

    // The mouse: clicks, dragging a title to move its column, dragging a title's edge to resize
    // it, and the title under the mouse (DBGridMouse_win.cpp).
    enum class Drag { None, Press, Move, Resize };
    void OnMouseDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnMouseUp(int x, int y);
    bool OnSetCursor();
    void SetHotColumn(int column);

    QueryRowSource rows_;
    GridModel model_;
    TDataLink link_{[this](TDataEvent event) { DataChange(event); }};
    HFONT font_ = nullptr;
    int wheelDelta_ = 0;
    int hotColumn_ = -1;
    Drag drag_ = Drag::None;
    int dragColumn_ = -1;
    int dragStartX_ = 0;
    int dragOffset_ = 0;
    int dropIndex_ = -1;
    bool trackingLeave_ = false;
    bool updatingBars_ = false;
    bool barsShown_ = false;
    BarValues shownVertical_;
    BarValues shownHorizontal_;
    std::unique_ptr<TGridEditor> editor_;
    unsigned editorRevision_ = 0;
    bool settingEditorText_ = false;
};
