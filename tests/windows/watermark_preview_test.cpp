// The watermark preview painted into a memory bitmap under Wine: what lands on which pixel.
#include "core/module.h"
#include "import_hook.h"
#include "preview_canvas.h"
#include "support.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "ui_driver.h"
#include "watermark/preview.h"
#include "watermark/preview_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

constexpr COLORREF kSentinel = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

WatermarkSettings Record(const char16_t* text, uint32_t position) {
    WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    std::memcpy(wm.text, text, (std::char_traits<char16_t>::length(text) + 1) * 2);
    wm.position = position;
    return wm;
}

struct Preview : ::testing::Test {
    RegistryPrinter printer{L"preview"};
    PreviewCanvas canvas{160, 206};
    // The painter runs here, from the linked shell.
    ResourceCounter counter{ResourceCounter::Program()};

    void SetUp() override {
        ASSERT_TRUE(printer.handle());
        ASSERT_TRUE(canvas.ok());
        cv::moduleInstance = PluginDll::Get().module;
        canvas.Fill(kSentinel);
    }
    // Every paint, repaint and font enumeration gives back what it took.
    void TearDown() override {
        EXPECT_EQ(counter.Leaks(), "");
        EXPECT_GT(counter.Opened(Resource::DeviceContext) + counter.Opened(Resource::GdiObject), 0);
    }
    bool Paint(const WatermarkSettings& wm) {
        return cv::PaintWatermarkPreview(canvas.dc(), canvas.control(), &wm, printer.handle());
    }
    // One look at the whole bitmap: nothing outside the frame is touched, the frame's edge is
    // black, and each pixel of the page that is not white is exactly `ink` or a shade between it
    // and white (anti-aliased edges). Returns their bounding box, empty (left > right) when the
    // page is white.
    RECT Look(COLORREF ink, bool* sawInk) {
        const RECT f = canvas.frameRect();
        const POINT o = canvas.clientOrigin();
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        int touched = 0, edge = 0;
        *sawInk = false;
        for (int y = -o.y; y < canvas.bitmapHeight() - o.y; ++y)
            for (int x = -o.x; x < canvas.bitmapWidth() - o.x; ++x) {
                const COLORREF c = canvas.At(x, y);
                if (x < f.left || x >= f.right || y < f.top || y >= f.bottom) {
                    touched += c != kSentinel;
                } else if (x == f.left || x == f.right - 1 || y == f.top || y == f.bottom - 1) {
                    edge += c != RGB(0, 0, 0);
                } else if (c != kWhite) {
                    *sawInk |= c == ink;
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
                    EXPECT_TRUE(GetRValue(c) >= GetRValue(ink) && GetGValue(c) >= GetGValue(ink) &&
                                GetBValue(c) >= GetBValue(ink))
                        << std::hex << c << " at " << std::dec << x << "," << y;
                }
            }
        EXPECT_EQ(touched, 0);
        EXPECT_EQ(edge, 0);
        return box;
    }
};

TEST_F(Preview, FramedWhitePageWithTheTextWhereItsAnchorPutsIt) {
    // An empty text, or a dynamic one that expands to nothing, leaves the page white.
    bool sawInk = false;
    WatermarkSettings nothing = Record(u"%nosuch%", cv::Center);
    nothing.isDynamic = 1;
    for (const WatermarkSettings& wm : {Record(u"", cv::Center), nothing}) {
        canvas.Fill(kSentinel);
        ASSERT_TRUE(Paint(wm));
        const RECT blank = Look(kWhite, &sawInk);
        EXPECT_GT(blank.left, blank.right) << Narrow(reinterpret_cast<const wchar_t*>(wm.text));
    }

    // The text in its anchor's corner, black at 50 % as RGB(127, 127, 127), outlined text stroked
    // in the same colour; the glyphs a word wide, not a speck.
    const RECT page = canvas.clientRect();
    const LONG midX = (page.left + page.right) / 2, midY = (page.top + page.bottom) / 2;
    for (uint32_t position : {cv::TopLeft, cv::BottomRight}) {
        SCOPED_TRACE(position);
        canvas.Fill(kSentinel);
        WatermarkSettings wm = Record(u"DRAFT", position);
        wm.intensity = 50;
        if (position == cv::BottomRight) wm.effects = cv::Outline;
        ASSERT_TRUE(Paint(wm));
        const RECT ink = Look(RGB(127, 127, 127), &sawInk);
        EXPECT_TRUE(sawInk);
        EXPECT_GT(ink.right - ink.left, 30);
        if (position == cv::TopLeft)
            EXPECT_TRUE(ink.left < page.left + 4 && ink.top < page.top + 8 && ink.right < midX &&
                        ink.bottom < midY);
        else
            EXPECT_TRUE(ink.right > page.right - 4 && ink.bottom > page.bottom - 8 &&
                        ink.left > midX && ink.top > midY);
    }

    // A dynamic text is painted expanded, with page number 1: exactly as its plain expansion.
    const auto pixels = [&] {
        std::vector<COLORREF> all;
        for (int y = page.top; y < page.bottom; ++y)
            for (int x = page.left; x < page.right; ++x)
                all.push_back(canvas.At(x, y));
        return all;
    };
    WatermarkSettings wm = Record(u"p%pagenumber%", cv::Center);
    wm.isDynamic = 1;
    ASSERT_TRUE(Paint(wm));
    const std::vector<COLORREF> dynamic = pixels();
    ASSERT_TRUE(Paint(Record(u"p1", cv::Center)));
    EXPECT_TRUE(dynamic == pixels());
    ASSERT_TRUE(Paint(Record(u"p2", cv::Center)));
    EXPECT_FALSE(dynamic == pixels()) << "the pictures tell the page numbers apart";

    // No printer: nothing at all is painted.
    canvas.Fill(kSentinel);
    wm = Record(u"DRAFT", cv::Center);
    EXPECT_FALSE(cv::PaintWatermarkPreview(canvas.dc(), canvas.control(), &wm, nullptr));
    EXPECT_EQ(canvas.At(0, 0), kSentinel);
}

bool CountingBuilder(HWND dialog, cv::PreviewData* data, WatermarkSettings* record) {
    auto* calls = reinterpret_cast<int*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    ++*calls;
    *record = data->watermark;
    return true;
}

// The control's own procedure, counting the last message a window gets.
WNDPROC ownProc = nullptr;
int ncDestroys = 0;
LRESULT CALLBACK CountingOwnProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCDESTROY) ++ncDestroys;
    return CallWindowProcW(ownProc, window, msg, wParam, lParam);
}

TEST_F(Preview, ControlRepaintsThroughItsBuilderUntilDestroyed) {
    int calls = 0;
    SetWindowLongPtrW(canvas.parent(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&calls));
    ownProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        canvas.control(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingOwnProc)));
    // Installing again replaces the data, and the control still ends with the static's own
    // procedure: a second install must not pass messages on to itself.
    WatermarkSettings marks[] = {Record(u"DRAFT", cv::Center), Record(u"COPY", cv::TopLeft)};
    for (WatermarkSettings& wm : marks) {
        ASSERT_TRUE(cv::InstallPreview(canvas.control(), &wm, printer.handle(), CountingBuilder));
        ShowWindow(canvas.parent(), SW_SHOWNA);
        UpdateWindow(canvas.control());
        const int before = calls;
        ValidateRect(canvas.control(), nullptr);
        cv::RefreshPreview(canvas.parent());
        RECT update{};
        EXPECT_TRUE(GetUpdateRect(canvas.control(), &update, FALSE));
        UpdateWindow(canvas.control());
        EXPECT_EQ(calls, before + 1);
    }
    EXPECT_EQ(SendMessageW(canvas.control(), WM_GETTEXTLENGTH, 0, 0), 0);

    // Destroying the control frees its data and hands it back to its own procedure, which
    // then sees the window's last message.
    ncDestroys = 0;
    EXPECT_TRUE(DestroyWindow(canvas.control()));
    EXPECT_EQ(ncDestroys, 1);
}

std::wstring dcDriver, dcDevice;
HDC WINAPI RecordingCreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR, const DEVMODEW*) {
    dcDriver = driver ? driver : L"";
    dcDevice = device ? device : L"";
    return nullptr; // as under Wine, which has no rendering module for these printers
}

TEST_F(Preview, FontListHoldsEachFaceOnceInOrder) {
    HWND dialog = canvas.parent();
    HWND combo = CreateWindowExW(
        0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, 0, 0, 100,
        200, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1096)), nullptr, // Font
        nullptr);
    ASSERT_TRUE(combo);
    std::wstring name = printer.printerName();
    char oemDevmode[16] = {};
    OEMUIPSPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = printer.handle();
    param.pPrinterName = name.data();

    // The printer's DC is asked of the driver its configuration module names ("cvpsdrvui.dll").
    // Without a plug-in devmode the enumeration stops at once.
    {
        ImportHook hook(ResourceCounter::Program(), nullptr, "CreateDCW",
                        reinterpret_cast<void*>(&RecordingCreateDC));
        ASSERT_TRUE(hook.installed());
        cv::FillFontList(dialog, &param);
    }
    EXPECT_EQ(dcDriver, L"cvpsdrvui");
    EXPECT_EQ(dcDevice, name);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);

    param.pOEMDM = oemDevmode;
    cv::FillFontList(dialog, &param);
    cv::FillFontList(dialog, &param);
    const std::vector<std::wstring> faces = ComboEntries(dialog, 1096);
    EXPECT_NE(std::find(faces.begin(), faces.end(), L"Liberation Sans"), faces.end());
    for (size_t i = 1; i < faces.size(); ++i)
        EXPECT_LT(_wcsicmp(faces[i - 1].c_str(), faces[i].c_str()), 0) << faces[i];
    DestroyWindow(combo);
}

} // namespace
