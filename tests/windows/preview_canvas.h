// A preview control and a memory bitmap to paint it into, for tests and benchmarks that look at
// the preview's pixels without a display.
#pragma once

#include "core/plugin_abi.h"

#include <cstdint>

namespace cvtest {

class PreviewCanvas {
  public:
    // A bordered static control (ID 1171) with a client area of width x height in a hidden
    // parent, and a 32-bit top-down DIB section that holds its window rectangle with `margin`
    // pixels all round. The DC's viewport is set so that logical coordinates are the control's
    // client coordinates.
    PreviewCanvas(int width, int height, int margin = 8);
    ~PreviewCanvas();
    PreviewCanvas(const PreviewCanvas&) = delete;
    PreviewCanvas& operator=(const PreviewCanvas&) = delete;

    HWND parent() const { return parent_; }
    HWND control() const { return control_; }
    HDC dc() const { return dc_; }
    bool ok() const { return control_ && dc_ && bits_; }

    void Fill(COLORREF color); // the whole bitmap
    // The pixel at control client coordinates (x, y); outside the bitmap 0xFFFFFFFF.
    COLORREF At(int x, int y) const;
    int bitmapWidth() const { return bitmapWidth_; }
    int bitmapHeight() const { return bitmapHeight_; }
    POINT clientOrigin() const { return origin_; } // where client (0, 0) lies in the bitmap
    RECT clientRect() const;
    RECT frameRect() const; // the window rectangle, in client coordinates

  private:
    HWND parent_ = nullptr;
    HWND control_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    int bitmapWidth_ = 0;
    int bitmapHeight_ = 0;
    POINT origin_{};
};

} // namespace cvtest
