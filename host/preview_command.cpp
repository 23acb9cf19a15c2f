#include "preview_command.h"

#include "core/module.h"
#include "core/records.h"
#include "ui/bounded_string.h"
#include "watermark/preview.h"
#include "watermark/preview_geometry.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kPositionNames[] = {
    L"Center",    L"BottomLeft",  L"TopLeft",  L"CenterLeft",  L"BottomCenter",
    L"TopCenter", L"BottomRight", L"TopRight", L"CenterRight",
};
constexpr int kMargin = 8;

struct Options {
    cv::WatermarkSettings wm;
    std::wstring printer;
    std::wstring out;
};

int Usage(const std::wstring& problem) {
    if (!problem.empty()) std::fwprintf(stderr, L"preview: %ls\n", problem.c_str());
    std::fwprintf(stderr,
                  L"usage: preview --text TEXT [--dynamic] [--angle DEG] [--position NAME|0-8]\n"
                  L"         [--size PT] [--color 0xBBGGRR] [--intensity 1-100] [--face NAME]\n"
                  L"         [--style 0-3] [--effects 0-7] [--offset VERTICAL HORIZONTAL] [--mm]\n"
                  L"         [--printer NAME] [--out FILE.bmp]\n"
                  L"positions: Center BottomLeft TopLeft CenterLeft BottomCenter TopCenter\n"
                  L"           BottomRight TopRight CenterRight\n");
    return 2;
}

bool ParseDouble(const wchar_t* text, double* value) {
    wchar_t* end = nullptr;
    *value = std::wcstod(text, &end);
    return end != text && *end == 0;
}

bool ParseUnsigned(const wchar_t* text, unsigned long maximum, uint32_t* value) {
    wchar_t* end = nullptr;
    const unsigned long v = std::wcstoul(text, &end, 0);
    if (end == text || *end != 0 || v > maximum || text[0] == L'-') return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

bool ParsePosition(const wchar_t* text, uint32_t* position) {
    for (uint32_t code = 0; code < 9; ++code)
        if (_wcsicmp(text, kPositionNames[code]) == 0) {
            *position = code;
            return true;
        }
    return ParseUnsigned(text, 8, position);
}

// Fills `options` from argv[1...]; an empty result means success, otherwise it says what is
// wrong.
std::wstring ParseOptions(int argc, wchar_t** argv, Options* options) {
    cv::WatermarkSettings& wm = options->wm;
    cv::ResetWatermark(&wm);
    bool haveText = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        // How many values the option takes, and whether they are there.
        const int values = option == L"--offset"                           ? 2
                           : (option == L"--dynamic" || option == L"--mm") ? 0
                                                                           : 1;
        if (values > 0 && i + values > argc - 1) return option + L" needs a value";
        const wchar_t* value = values > 0 ? argv[i + 1] : nullptr;
        uint32_t number = 0;
        if (option == L"--text") {
            cv::BoundedCopyText(wm.text, reinterpret_cast<const char16_t*>(value));
            haveText = true;
        } else if (option == L"--dynamic") {
            wm.isDynamic = 1;
        } else if (option == L"--angle") {
            if (!ParseDouble(value, &wm.angle) || wm.angle < -180.0 || wm.angle > 180.0)
                return L"--angle takes degrees from -180 to 180";
        } else if (option == L"--position") {
            if (!ParsePosition(value, &wm.position)) return L"unknown --position";
        } else if (option == L"--size") {
            if (!ParseUnsigned(value, 500, &number) || number == 0)
                return L"--size takes points from 1 to 500";
            wm.pointSize = number;
        } else if (option == L"--color") {
            if (!ParseUnsigned(value, 0xFFFFFF, &number)) return L"--color takes 0xBBGGRR";
            wm.color = number;
        } else if (option == L"--intensity") {
            if (!ParseUnsigned(value, 100, &number) || number == 0)
                return L"--intensity takes a percentage from 1 to 100";
            wm.intensity = static_cast<uint16_t>(number);
        } else if (option == L"--face") {
            cv::BoundedCopyText(wm.faceName, reinterpret_cast<const char16_t*>(value));
        } else if (option == L"--style") {
            if (!ParseUnsigned(value, 3, &wm.fontStyle)) return L"--style takes 0 to 3";
        } else if (option == L"--effects") {
            if (!ParseUnsigned(value, 7, &wm.effects)) return L"--effects takes 0 to 7";
        } else if (option == L"--offset") {
            if (!ParseDouble(value, &wm.verticalOffset) ||
                !ParseDouble(argv[i + 2], &wm.horizontalOffset))
                return L"--offset takes two numbers";
        } else if (option == L"--mm") {
            wm.units = cv::Millimeters;
        } else if (option == L"--printer") {
            options->printer = value;
        } else if (option == L"--out") {
            options->out = value;
        } else {
            return L"unknown option " + option;
        }
        i += values;
    }
    if (!haveText) return L"--text is required";
    cv::BoundedCopyText(wm.name, u"Preview");
    return {};
}

std::wstring BesideExe(const wchar_t* fileName) {
    wchar_t path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring dir(path, n < MAX_PATH * 4 ? n : 0);
    const size_t slash = dir.find_last_of(L"\\/");
    dir.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return dir + fileName;
}

// The printer whose names "%printer%" and "%modelname%" show: the one named, else the default
// printer. With none at all the preview still paints; those two variables then expand to
// nothing, since no printer information can be read through a handle that names no printer.
struct PreviewPrinter {
    HANDLE handle = nullptr;
    bool opened = false;
    ~PreviewPrinter() {
        if (opened) ClosePrinter(handle);
    }
    bool Open(const std::wstring& named) {
        std::wstring name = named;
        if (name.empty()) {
            wchar_t buffer[512];
            DWORD size = 512;
            if (GetDefaultPrinterW(buffer, &size)) name = buffer;
        }
        if (!name.empty() && OpenPrinterW(name.data(), &handle, nullptr)) {
            opened = true;
            return true;
        }
        if (!named.empty()) return false;
        handle = INVALID_HANDLE_VALUE;
        return true;
    }
};

// A window holding a bordered preview control the size of a US Letter page at preview scale.
struct PreviewWindow {
    HWND frame = nullptr;
    HWND control = nullptr;

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    bool Create(const cv::WatermarkSettings& wm, HANDLE printer) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"CvWatermarkPreview";
        RegisterClassW(&wc);

        HDC screen = GetDC(nullptr);
        const int dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        const int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        const int width = cv::RoundToNearest(8.5 * dpiX * cv::kPreviewScale);
        const int height = cv::RoundToNearest(11.0 * dpiY * cv::kPreviewScale);

        RECT outer{0, 0, width + 2 + 2 * kMargin, height + 2 + 2 * kMargin};
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        AdjustWindowRect(&outer, style, FALSE);
        frame = CreateWindowExW(0, wc.lpszClassName, L"Watermark preview", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top,
                                nullptr, nullptr, instance, nullptr);
        if (!frame) return false;
        control =
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | SS_WHITERECT,
                            kMargin, kMargin, width + 2, height + 2, frame,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(cv::kPreviewControlId)),
                            instance, nullptr);
        return control && cv::InstallPreview(control, &wm, printer, nullptr);
    }
};

// Paints the control into a 24-bit bitmap of its window rectangle with a margin of the dialog
// colour, and writes it as a .bmp file.
bool PaintToFile(const PreviewWindow& window, const cv::WatermarkSettings& wm, HANDLE printer,
                 const std::wstring& path) {
    RECT r{};
    GetWindowRect(window.control, &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(window.control, &corners[0]);
    ScreenToClient(window.control, &corners[1]);
    const int width = corners[1].x - corners[0].x + 2 * kMargin;
    const int height = corners[1].y - corners[0].y + 2 * kMargin;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a .bmp file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    bool painted = false;
    if (bitmap && dc) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        SetViewportOrgEx(dc, kMargin - corners[0].x, kMargin - corners[0].y, nullptr);
        painted = cv::PaintWatermarkPreview(dc, window.control, &wm, printer);
        GdiFlush();
        SelectObject(dc, old);
    }
    bool written = false;
    if (painted) {
        const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD size = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42; // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + size;
        info.bmiHeader.biSizeImage = size;
        if (FILE* f = _wfopen(path.c_str(), L"wb")) {
            written = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
                      std::fwrite(bits, size, 1, f) == 1;
            written = std::fclose(f) == 0 && written;
        }
    }
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    return written;
}

} // namespace

int RunPreviewCommand(int argc, wchar_t** argv) {
    Options options;
    const std::wstring problem = ParseOptions(argc, argv, &options);
    if (!problem.empty()) return Usage(problem);

    // The variable names of dynamic text are in the plug-in's string table.
    cv::moduleInstance = LoadLibraryW(BesideExe(L"cvpsui.dll").c_str());
    if (!cv::moduleInstance) {
        std::fwprintf(stderr, L"preview: cannot load cvpsui.dll (error %lu)\n", GetLastError());
        return 1;
    }
    PreviewPrinter printer;
    if (!printer.Open(options.printer)) {
        std::fwprintf(stderr, L"preview: cannot open printer \"%ls\"\n", options.printer.c_str());
        return 1;
    }
    PreviewWindow window;
    if (!window.Create(options.wm, printer.handle)) {
        std::fwprintf(stderr, L"preview: cannot create the preview window\n");
        return 1;
    }
    if (!options.out.empty()) {
        const bool ok = PaintToFile(window, options.wm, printer.handle, options.out);
        DestroyWindow(window.frame);
        if (!ok) std::fwprintf(stderr, L"preview: cannot write %ls\n", options.out.c_str());
        return ok ? 0 : 1;
    }
    ShowWindow(window.frame, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
