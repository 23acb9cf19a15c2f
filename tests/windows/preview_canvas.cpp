#include "preview_canvas.h"

namespace cvtest {

PreviewCanvas::PreviewCanvas(int width, int height, int margin) {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, width + 100, height + 100, nullptr,
                              nullptr, nullptr, nullptr);
    if (!parent_) return;
    // A 1-pixel border around a client area of the requested size.
    control_ = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_WHITERECT, 20, 20, width + 2,
        height + 2, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1171)), nullptr, nullptr);
    if (!control_) return;
    const RECT frame = frameRect();
    bitmapWidth_ = frame.right - frame.left + 2 * margin;
    bitmapHeight_ = frame.bottom - frame.top + 2 * margin;
    origin_ = POINT{margin - frame.left, margin - frame.top};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bitmapWidth_;
    info.bmiHeader.biHeight = -bitmapHeight_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !dc_) return;
    bits_ = static_cast<uint32_t*>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    SetViewportOrgEx(dc_, origin_.x, origin_.y, nullptr);
}

PreviewCanvas::~PreviewCanvas() {
    if (dc_) {
        if (oldBitmap_) SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    if (parent_) DestroyWindow(parent_);
}

RECT PreviewCanvas::clientRect() const {
    RECT r{};
    GetClientRect(control_, &r);
    return r;
}

RECT PreviewCanvas::frameRect() const {
    RECT r{};
    GetWindowRect(control_, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(control_, &corners[0]);
    ScreenToClient(control_, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void PreviewCanvas::Fill(COLORREF color) {
    GdiFlush();
    const uint32_t pixel = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int i = 0; i < bitmapWidth_ * bitmapHeight_; ++i)
        bits_[i] = pixel;
}

COLORREF PreviewCanvas::At(int x, int y) const {
    const int bx = x + origin_.x, by = y + origin_.y;
    if (bx < 0 || by < 0 || bx >= bitmapWidth_ || by >= bitmapHeight_) return 0xFFFFFFFF;
    GdiFlush();
    const uint32_t p = bits_[by * bitmapWidth_ + bx];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

} // namespace cvtest
