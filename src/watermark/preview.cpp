#include "watermark/preview.h"

#include "ui/bounded_string.h"
#include "ui/scoped_handles.h"
#include "core/spooler_query.h"
#include "watermark/dynamic_text.h"
#include "watermark/dynamic_text_platform_win.h"
#include "watermark/preview_geometry.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace cv {

namespace {

static_assert(sizeof(PreviewRect) == sizeof(RECT) && sizeof(PreviewPoint) == sizeof(POINT));

PreviewRect ToPreviewRect(const RECT& r) {
    return PreviewRect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                       static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}

// The text a repaint draws: the record's own text, or its expansion with the values of now.
bool TextToDraw(const WatermarkSettings& wm, HANDLE printer, HDC dc, std::vector<char16_t>* out) {
    char16_t text[128];
    BoundedCopy(text, wm.text);
    if (!wm.isDynamic) {
        out->assign(text, text + BoundedLength(text, 128));
        return true;
    }
    out->assign(kDynamicTextCapacity, 0);
    size_t capacity = kDynamicTextCapacity;
    DynamicTextPlatform& platform = SystemDynamicTextPlatform();
    if (!ExpandWatermarkText(platform, printer, dc, text, 1, platform.CurrentLocalTime(),
                             ExpansionMode::Preview, out->data(), &capacity) ||
        capacity == 0 || capacity > kDynamicTextCapacity)
        return false;
    out->resize(capacity - 1);
    return true;
}

void DrawPage(HDC dc, const RECT& frame, const RECT& page) {
    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ScopedSelect brush(dc, white);
    {
        ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        ScopedSelect selectedPen(dc, pen.get());
        Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    FillRect(dc, &page, white);
}

void DrawWatermarkText(HDC dc, const std::vector<char16_t>& text, const WatermarkSettings& wm,
                       const RECT& page, COLORREF color) {
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const PreviewFont pf = MakePreviewFont(wm, dpiY);
    LOGFONTW lf{};
    lf.lfHeight = pf.height;
    lf.lfEscapement = pf.escapement;
    lf.lfOrientation = pf.escapement;
    lf.lfWeight = pf.weight;
    lf.lfItalic = pf.italic;
    lf.lfUnderline = pf.underline;
    lf.lfStrikeOut = pf.strikeOut;
    lf.lfCharSet = pf.charSet;
    static_assert(sizeof(lf.lfFaceName) == sizeof(pf.faceName));
    std::memcpy(lf.lfFaceName, pf.faceName, sizeof lf.lfFaceName);

    ScopedGdiObject<HFONT> font(CreateFontIndirectW(&lf));
    if (!font) return;
    ScopedSelect selectedFont(dc, font.get());
    if (!selectedFont.ok()) return;

    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    SIZE extent{0, 0};
    if (!GetTextExtentPoint32W(dc, wide, length, &extent)) extent = SIZE{0, 0};
    const PreviewPoint origin =
        PreviewTextOrigin(wm, ToPreviewRect(page), extent.cx, extent.cy, dpiX, dpiY);

    if (pf.outline) {
        // Clipped to the page like the filled text, so that a stroke never covers the frame
        // (a BeginPaint DC clips to the client area anyway; a memory DC does not).
        IntersectClipRect(dc, page.left, page.top, page.right, page.bottom);
        if (!BeginPath(dc)) return;
        TextOutW(dc, origin.x, origin.y, wide, length);
        EndPath(dc);
        ScopedSelect pen(dc, GetStockObject(DC_PEN));
        SetDCPenColor(dc, color);
        StrokePath(dc);
    } else {
        SetTextColor(dc, color);
        ExtTextOutW(dc, origin.x, origin.y, ETO_CLIPPED, &page, wide, static_cast<UINT>(length),
                    nullptr);
    }
}

} // namespace

bool PaintWatermarkPreview(HDC dc, HWND preview, const WatermarkSettings* wm, HANDLE printer) {
    if (!dc || !preview || !wm || !printer) return false;
    std::vector<char16_t> text;
    try {
        if (!TextToDraw(*wm, printer, dc, &text)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }

    // Everything this paint changes in the DC (mode, colours, objects, clipping) is put back,
    // so a caller's DC, painted into again and again, stays as it was.
    const int saved = SaveDC(dc);
    const int previousBackground = SetBkMode(dc, TRANSPARENT);
    const COLORREF color = PreviewColor(wm->color, wm->intensity);

    RECT page{}, frame{};
    GetClientRect(preview, &page);
    GetWindowRect(preview, &frame);
    POINT corners[2] = {{frame.left, frame.top}, {frame.right, frame.bottom}};
    ScreenToClient(preview, &corners[0]);
    ScreenToClient(preview, &corners[1]);
    frame = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};

    // The page is drawn in the compatible mode: in the advanced one Rectangle takes in its right
    // and bottom edges, and the frame would run one pixel beyond the control's window.
    DrawPage(dc, frame, page);
    // Rotated text is drawn rotated only in the advanced mode.
    SetGraphicsMode(dc, GM_ADVANCED);
    if (!text.empty()) DrawWatermarkText(dc, text, *wm, page, color);

    SetBkMode(dc, previousBackground);
    if (saved) RestoreDC(dc, saved);
    return true;
}

LRESULT CALLBACK PreviewWindowProc(HWND preview, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<PreviewData*>(GetWindowLongPtrW(preview, GWLP_USERDATA));
    const WNDPROC previous = data ? data->previousProc : nullptr;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(preview, &ps);
        if (dc && data) {
            WatermarkSettings record{};
            ResetWatermark(&record);
            bool paintable = true;
            if (data->buildRecord)
                paintable = data->buildRecord(GetParent(preview), data, &record);
            else
                record = data->watermark;
            if (paintable) PaintWatermarkPreview(dc, preview, &record, data->printer);
        }
        EndPaint(preview, &ps);
        return 0;
    }
    case WM_DESTROY:
        SetWindowLongPtrW(preview, GWLP_USERDATA, 0);
        delete data;
        // The control's own procedure takes over again, so that WM_NCDESTROY and whatever else
        // still arrives reaches it rather than being answered here without data.
        if (previous)
            SetWindowLongPtrW(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return previous ? CallWindowProcW(previous, preview, msg, wParam, lParam) : 0;
    default:
        return previous ? CallWindowProcW(previous, preview, msg, wParam, lParam) : 1;
    }
}

bool InstallPreview(HWND preview, const WatermarkSettings* wm, HANDLE printer,
                    PreviewRecordBuilder buildRecord) {
    if (!preview) return false;
    auto* data = new (std::nothrow) PreviewData{};
    if (!data) return false;
    if (wm)
        data->watermark = *wm;
    else
        ResetWatermark(&data->watermark);
    data->printer = printer;
    data->buildRecord = buildRecord;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(preview, GWLP_WNDPROC));
    if (current == &PreviewWindowProc) {
        // Installed already: the new data takes over the control's own procedure. Taking
        // PreviewWindowProc as the procedure to pass on to would make every message call itself.
        auto* old = reinterpret_cast<PreviewData*>(GetWindowLongPtrW(preview, GWLP_USERDATA));
        data->previousProc = old ? old->previousProc : nullptr;
        SetWindowLongPtrW(preview, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
        delete old;
        return true;
    }
    data->previousProc = current;
    SetWindowLongPtrW(preview, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    SetWindowLongPtrW(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PreviewWindowProc));
    return true;
}

void RefreshPreview(HWND dialog) {
    RefreshPreviewWindow(GetDlgItem(dialog, kPreviewControlId));
}

void RefreshPreviewWindow(HWND preview) {
    if (!preview) return;
    RECT r{};
    GetWindowRect(preview, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(preview, &corners[0]);
    ScreenToClient(preview, &corners[1]);
    r = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    InvalidateRect(preview, &r, TRUE);
}

namespace {

struct FontListContext {
    HWND combo;
    const OEMUIPSPARAM* param;
};

int CALLBACK AddFontFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lParam) {
    const auto* ctx = reinterpret_cast<const FontListContext*>(lParam);
    if (!ctx->param->pOEMDM) return 0;
    const LPARAM face = reinterpret_cast<LPARAM>(lf->lfFaceName);
    if (SendMessageW(ctx->combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), face) == CB_ERR)
        SendMessageW(ctx->combo, CB_ADDSTRING, 0, face);
    return 1;
}

// The base name of the printer driver's configuration module ("PS5UI" for the PostScript
// driver's), which names the driver to CreateDCW.
std::wstring ConfigModuleBaseName(HANDLE printer) {
    std::wstring name = L"PS5UI";
    if (!printer) return name;
    try {
        std::vector<BYTE> buffer;
        const DRIVER_INFO_2W* info = ReadDriverInfo2(printer, &buffer);
        if (!info || !info->pConfigFile) return name;
        std::wstring file = info->pConfigFile;
        const size_t slash = file.find_last_of(L'\\');
        if (slash != std::wstring::npos) file.erase(0, slash + 1);
        const size_t dot = file.find_last_of(L'.');
        if (dot != std::wstring::npos) file.erase(dot);
        if (!file.empty()) name = file;
    } catch (const std::bad_alloc&) {
    }
    return name;
}

} // namespace

void FillFontList(HWND dialog, const OEMUIPSPARAM* param) {
    if (!dialog || !param) return;
    HWND combo = GetDlgItem(dialog, kFontComboId);
    if (!combo) return;
    FontListContext ctx{combo, param};
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;

    const std::wstring driver = ConfigModuleBaseName(param->hPrinter);
    ScopedCreatedDC printerDC(param->pPrinterName
                                  ? CreateDCW(driver.c_str(), param->pPrinterName, nullptr, nullptr)
                                  : nullptr);
    if (printerDC.get()) {
        EnumFontFamiliesExW(printerDC.get(), &query, AddFontFace, reinterpret_cast<LPARAM>(&ctx),
                            0);
        return;
    }
    // Without the printer driver's rendering module (Wine has no PostScript driver DLL for our
    // printers, so CreateDCW fails) the printer's own faces cannot be asked for. The faces the
    // system renders on screen are the nearest real source: the printer driver substitutes
    // system fonts it lacks, and the preview draws with exactly these.
    ScopedWindowDC screen(nullptr);
    if (screen.get())
        EnumFontFamiliesExW(screen.get(), &query, AddFontFace, reinterpret_cast<LPARAM>(&ctx), 0);
}

} // namespace cv
