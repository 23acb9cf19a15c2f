// Watermark store and preview timings under Wine: one preview repaint into a memory DC, and
// save, read, count and list with 1,000 stored watermarks. Each figure is the median of
// repeated runs, in milliseconds.
#include "core/module.h"
#include "windows/preview_canvas.h"
#include "windows/support.h"
#include "windows/printer_fixture.h"
#include "watermark/preview.h"
#include "ui/bounded_string.h"
#include "watermark/watermark_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
    static const double msPerTick = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1000.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * msPerTick;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs `setup` (untimed) and `body` (timed) `runs` times; the median of the bodies.
template <typename Setup, typename Body> double Measure(int runs, Setup&& setup, Body&& body) {
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        setup();
        const double start = Now();
        body();
        times.push_back(Now() - start);
    }
    return Median(times);
}

void Report(const char* name, double ms, const char* goal) {
    std::printf("%-44s median %9.3f ms   %s\n", name, ms, goal);
}

cv::WatermarkSettings Record(const char16_t* name, const char16_t* text, uint32_t position,
                             double angle) {
    cv::WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    cv::BoundedCopyText(wm.name, name);
    cv::BoundedCopyText(wm.text, text);
    wm.position = position;
    wm.angle = angle;
    wm.color = 0xCDCDCD;
    return wm;
}

void PreviewBenchmarks(HANDLE printer) {
    cvtest::PreviewCanvas canvas(160, 206);
    if (!canvas.ok()) {
        std::printf("preview canvas could not be made\n");
        return;
    }
    auto paint = [&](const cv::WatermarkSettings& wm) {
        cv::PaintWatermarkPreview(canvas.dc(), canvas.control(), &wm, printer);
        GdiFlush();
    };
    const cv::WatermarkSettings plain = Record(u"Draft", u"CONFIDENTIAL", cv::Center, 45);
    cv::WatermarkSettings dynamic = Record(u"Date", u"%Time% %DateLong%", cv::TopRight, 0);
    dynamic.isDynamic = 1;
    cv::WatermarkSettings outline = plain;
    outline.effects = cv::Outline;
    paint(plain); // font cache warm-up; and a check that the text is really drawn
    int ink = 0;
    const RECT page = canvas.clientRect();
    for (int y = page.top; y < page.bottom; ++y)
        for (int x = page.left; x < page.right; ++x)
            ink += canvas.At(x, y) != RGB(255, 255, 255);
    std::printf("  %d text pixels in the painted page\n", ink);
    Report("preview repaint, 45 degrees",
           Measure(
               200, [] {}, [&] { paint(plain); }),
           "(goal well under 16 ms)");
    Report("preview repaint, dynamic text",
           Measure(
               200, [] {}, [&] { paint(dynamic); }),
           "(goal well under 16 ms)");
    Report("preview repaint, outline",
           Measure(
               200, [] {}, [&] { paint(outline); }),
           "(goal well under 16 ms)");
}

void StoreBenchmarks(const cvtest::RegistryPrinter& printer) {
    HANDLE h = printer.handle();
    constexpr int kStored = 1000;
    std::vector<std::u16string> names;
    for (int i = 0; i < kStored; ++i) {
        const std::string n = "Watermark number " + std::to_string(i);
        names.emplace_back(n.begin(), n.end());
    }
    std::vector<double> saves;
    for (const std::u16string& name : names) {
        const cv::WatermarkSettings wm = Record(name.c_str(), u"TEXT", cv::Center, 0);
        const double start = Now();
        cv::SaveWatermark(h, &wm);
        saves.push_back(Now() - start);
    }
    Report("save a new watermark (into 0..999 stored)", Median(saves), "");
    std::printf("  stored: %u values, count value %u\n", cv::CountWatermarks(h),
                cv::ReadWatermarkCount(h));

    const cv::WatermarkSettings again = Record(names[500].c_str(), u"AGAIN", cv::Center, 0);
    Report("save over an existing name (1,000 stored)",
           Measure(
               100, [] {}, [&] { cv::SaveWatermark(h, &again); }),
           "");
    cv::WatermarkSettings read{};
    const std::wstring wide(names[700].begin(), names[700].end());
    Report("read one watermark (1,000 stored)",
           Measure(
               100, [] {}, [&] { cv::ReadWatermark(h, wide.c_str(), &read); }),
           "");
    // The floor under count and list: the enumeration calls alone, on an already open key.
    HKEY raw = nullptr;
    const std::wstring path =
        L"Software\\Corvane\\PSPlugIn\\" + printer.driverName() + L"\\Watermarks";
    RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &raw);
    Report("baseline: RegEnumValueW over 1,000 names",
           Measure(
               20, [] {},
               [&] {
                   wchar_t name[128];
                   for (DWORD i = 0;; ++i) {
                       DWORD length = 128;
                       if (RegEnumValueW(raw, i, name, &length, nullptr, nullptr, nullptr,
                                         nullptr) == ERROR_NO_MORE_ITEMS)
                           break;
                   }
               }),
           "");
    RegCloseKey(raw);
    Report("count watermarks (1,000 stored)",
           Measure(
               20, [] {}, [&] { cv::CountWatermarks(h); }),
           "");

    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS | WS_HSCROLL, 0, 0,
                                200, 300, nullptr, nullptr, nullptr, nullptr);
    Report("fill the watermark list (1,000 stored)",
           Measure(
               20, [&] { SendMessageW(list, LB_RESETCONTENT, 0, 0); },
               [&] { cv::FillWatermarkList(h, list); }),
           "(goal under 50 ms)");
    std::printf("  listed: %ld names\n", static_cast<long>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
    DestroyWindow(list);
}

} // namespace

int main() {
    cv::moduleInstance = cvtest::PluginDll::Get().module;
    if (!cv::moduleInstance) {
        std::printf("cvpsui.dll could not be loaded\n");
        return 1;
    }
    cvtest::RegistryPrinter printer(L"bench");
    if (!printer.handle()) {
        std::printf("no test printer\n");
        return 1;
    }
    PreviewBenchmarks(printer.handle());
    StoreBenchmarks(printer);
    return 0;
}
