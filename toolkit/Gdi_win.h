#pragma once

#include <utility>

#include <windows.h>

// Scoped owners of GDI resources, one small class for each pair of calls, so that whatever is
// taken is given back on every way out, in the reverse order of taking. None can be copied.

// GetDC and ReleaseDC: a window's client area, or the screen for no window.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint, in answer to WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// CreateCompatibleDC and DeleteDC: a device context that draws into a bitmap in memory.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~ScopedMemoryDC() {
        if (dc_)
            DeleteDC(dc_);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;

    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// SaveDC and RestoreDC: clipping, colours and selections put back as they were.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~ScopedSaveDC() { RestoreDC(dc_, saved_); }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC dc_;
    int saved_;
};

// SelectObject, and the object it replaced selected again.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A brush, pen, font or bitmap that was made (CreateSolidBrush, CreatePen, CreateFontW,
// CreateCompatibleBitmap), deleted with DeleteObject. It must no longer be selected into a
// device context when it goes: declare it before the ScopedSelect that selects it.
template <class Handle> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }
    // Deletes the object held, then holds `handle`.
    void Reset(Handle handle = nullptr) {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }
    // Gives up the object without deleting it.
    Handle Release() { return std::exchange(handle_, nullptr); }

private:
    Handle handle_ = nullptr;
};
