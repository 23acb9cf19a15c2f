#include "host/capture.h"

#include <commctrl.h>

#include <cwctype>
#include <iterator>
#include <vector>

namespace cvhost {

void PumpMessagesFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

namespace {

struct DcRelease {
    HWND window;
    HDC dc;
    ~DcRelease() {
        if (dc) ReleaseDC(window, dc);
    }
};
struct MemoryDc {
    HDC dc;
    HGDIOBJ previous = nullptr;
    ~MemoryDc() {
        if (previous) SelectObject(dc, previous);
        if (dc) DeleteDC(dc);
    }
};
struct GdiObject {
    HGDIOBJ object;
    ~GdiObject() {
        if (object) DeleteObject(object);
    }
};

} // namespace

bool SaveWindowBitmap(HWND window, const std::wstring& bmpPath, std::wstring* error) {
    RECT rect{};
    if (!IsWindow(window) || !GetWindowRect(window, &rect)) {
        if (error) *error = L"no window to capture";
        return false;
    }
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessagesFor(50);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        if (error) *error = L"the window has no area";
        return false;
    }
    DcRelease source{window, GetWindowDC(window)};
    MemoryDc memory{CreateCompatibleDC(source.dc)};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file stores rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject dib{CreateDIBSection(source.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!source.dc || !memory.dc || !dib.object || !bits) {
        if (error) *error = L"cannot make a bitmap for the capture";
        return false;
    }
    memory.previous = SelectObject(memory.dc, dib.object);
    if (!BitBlt(memory.dc, 0, 0, width, height, source.dc, 0, 0, SRCCOPY)) {
        if (error) *error = L"BitBlt from the window failed";
        return false;
    }
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;

    HANDLE out = CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        if (error) *error = L"cannot write " + bmpPath;
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info.bmiHeader, sizeof(BITMAPINFOHEADER), &written, nullptr) &&
              WriteFile(out, bits, imageSize, &written, nullptr) && written == imageSize;
    CloseHandle(out);
    if (!ok && error) *error = L"cannot write " + bmpPath;
    return ok;
}

} // namespace cvhost

namespace cvhost {

std::vector<std::wstring> SheetPageTitles(HWND sheet) {
    std::vector<std::wstring> titles;
    HWND tab = PropSheet_GetTabControl(sheet);
    const int count = tab ? TabCtrl_GetItemCount(tab) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        TabCtrl_GetItem(tab, i, &item);
        titles.emplace_back(text);
    }
    return titles;
}

bool CaptureSheetPages(HWND sheet, const std::wstring& dir, const std::wstring& prefix,
                       std::vector<std::wstring>* files, std::wstring* error) {
    const std::vector<std::wstring> titles = SheetPageTitles(sheet);
    if (titles.empty()) {
        if (error) *error = L"the sheet has no pages";
        return false;
    }
    // As a user sees it: the sheet in front and active.
    SetForegroundWindow(sheet);
    SetActiveWindow(sheet);
    for (size_t i = 0; i < titles.size(); ++i) {
        PropSheet_SetCurSel(sheet, nullptr, static_cast<int>(i));
        PumpMessagesFor(150);
        std::wstring slug;
        for (wchar_t c : titles[i]) {
            if (iswalnum(c))
                slug.push_back(static_cast<wchar_t>(towlower(c)));
            else if (!slug.empty() && slug.back() != L'-')
                slug.push_back(L'-');
        }
        while (!slug.empty() && slug.back() == L'-')
            slug.pop_back();
        const std::wstring path =
            dir + L"\\" + prefix + L"-" + std::to_wstring(i + 1) + L"-" + slug + L".bmp";
        if (!SaveWindowBitmap(sheet, path, error)) return false;
        if (files) files->push_back(path);
    }
    return true;
}

} // namespace cvhost
