// The watermark preview painted into a memory bitmap under Wine: what lands on which pixel.
#include "core/module.h"
#include "preview_canvas.h"
#include "support.h"
#include "test_printer.h"
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

WatermarkSettings Record(const char16_t* text, uint32_t position, double angle) {
    WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    std::memcpy(wm.text, text, (std::char_traits<char16_t>::length(text) + 1) * 2);
    wm.position = position;
    wm.angle = angle;
    return wm;
}

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN; // inclusive
    bool empty() const { return left > right; }
    void Add(int x, int y) {
        left = std::min(left, x), top = std::min(top, y);
        right = std::max(right, x), bottom = std::max(bottom, y);
    }
};

struct Preview : ::testing::Test {
    RegistryPrinter printer{L"preview"};
    PreviewCanvas canvas{160, 206};

    void SetUp() override {
        ASSERT_TRUE(printer.handle());
        ASSERT_TRUE(canvas.ok());
        cv::moduleInstance = PluginDll::Get().module;
        canvas.Fill(kSentinel);
    }
    bool Paint(const WatermarkSettings& wm) {
        return cv::PaintWatermarkPreview(canvas.dc(), canvas.control(), &wm, printer.handle());
    }
    // Non-white pixels of the page; every one must be a shade between white and `ink`.
    Box Ink(COLORREF ink) {
        const RECT page = canvas.clientRect();
        Box box;
        for (int y = page.top; y < page.bottom; ++y)
            for (int x = page.left; x < page.right; ++x) {
                const COLORREF c = canvas.At(x, y);
                if (c == kWhite) continue;
                box.Add(x, y);
                EXPECT_TRUE(GetRValue(c) >= GetRValue(ink) && GetGValue(c) >= GetGValue(ink) &&
                            GetBValue(c) >= GetBValue(ink))
                    << std::hex << c << " at " << std::dec << x << "," << y;
            }
        return box;
    }
    bool HasPixel(COLORREF color) {
        const RECT page = canvas.clientRect();
        for (int y = page.top; y < page.bottom; ++y)
            for (int x = page.left; x < page.right; ++x)
                if (canvas.At(x, y) == color) return true;
        return false;
    }
    // The frame's edge pixels are black, and everything outside it is untouched.
    void ExpectFrameAndNothingOutside() {
        const RECT f = canvas.frameRect();
        for (int x = f.left; x < f.right; ++x) {
            EXPECT_EQ(canvas.At(x, f.top), RGB(0, 0, 0)) << x;
            EXPECT_EQ(canvas.At(x, f.bottom - 1), RGB(0, 0, 0)) << x;
        }
        for (int y = f.top; y < f.bottom; ++y) {
            EXPECT_EQ(canvas.At(f.left, y), RGB(0, 0, 0)) << y;
            EXPECT_EQ(canvas.At(f.right - 1, y), RGB(0, 0, 0)) << y;
        }
        const POINT o = canvas.clientOrigin();
        int touched = 0;
        for (int by = 0; by < canvas.bitmapHeight(); ++by)
            for (int bx = 0; bx < canvas.bitmapWidth(); ++bx) {
                const int x = bx - o.x, y = by - o.y;
                const bool inside = x >= f.left && x < f.right && y >= f.top && y < f.bottom;
                if (!inside && canvas.At(x, y) != kSentinel) ++touched;
            }
        EXPECT_EQ(touched, 0);
    }
    // Where the painter must put the text: the same font, measured in the same DC.
    RECT ExpectedTextBox(const WatermarkSettings& wm) {
        const cv::PreviewFont pf = cv::MakePreviewFont(wm, GetDeviceCaps(canvas.dc(), LOGPIXELSY));
        LOGFONTW lf{};
        lf.lfHeight = pf.height;
        lf.lfWeight = pf.weight;
        std::memcpy(lf.lfFaceName, pf.faceName, sizeof lf.lfFaceName);
        HFONT font = CreateFontIndirectW(&lf);
        HGDIOBJ old = SelectObject(canvas.dc(), font);
        const std::wstring text(reinterpret_cast<const wchar_t*>(wm.text));
        SIZE size{};
        GetTextExtentPoint32W(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(canvas.dc(), old);
        DeleteObject(font);
        const RECT page = canvas.clientRect();
        const cv::PreviewPoint o =
            cv::AnchorTextOrigin(wm.position, wm.angle, size.cx, size.cy,
                                 {page.left, page.top, page.right, page.bottom});
        return RECT{o.x, o.y, o.x + size.cx, o.y + size.cy};
    }
};

TEST_F(Preview, EmptyTextPaintsTheFramedWhitePageOnly) {
    ASSERT_TRUE(Paint(Record(u"", cv::Center, 0)));
    ExpectFrameAndNothingOutside();
    EXPECT_TRUE(Ink(kWhite).empty());

    // A dynamic text whose only variable is unknown expands to nothing.
    canvas.Fill(kSentinel);
    WatermarkSettings unknown = Record(u"%nosuchvariable%", cv::Center, 0);
    unknown.isDynamic = 1;
    ASSERT_TRUE(Paint(unknown));
    EXPECT_TRUE(Ink(kWhite).empty());
}

TEST_F(Preview, UnrotatedTextLiesInsideTheBoxItsAnchorPlaces) {
    for (uint32_t position : {cv::TopLeft, cv::BottomRight, cv::Center, cv::TopCenter,
                              cv::CenterRight, cv::BottomLeft}) {
        SCOPED_TRACE(position);
        canvas.Fill(kSentinel);
        WatermarkSettings wm = Record(u"DRAFT", position, 0);
        wm.intensity = 50; // black at 50 % is RGB(127, 127, 127)
        ASSERT_TRUE(Paint(wm));
        ExpectFrameAndNothingOutside();
        const COLORREF faded = RGB(127, 127, 127);
        EXPECT_TRUE(HasPixel(faded));
        const Box ink = Ink(faded);
        ASSERT_FALSE(ink.empty());
        const RECT box = ExpectedTextBox(wm);
        EXPECT_GE(ink.left, box.left);
        EXPECT_GE(ink.top, box.top);
        EXPECT_LT(ink.right, box.right);
        EXPECT_LT(ink.bottom, box.bottom);
        // The glyphs fill most of their box's width: the text was drawn, not a speck.
        EXPECT_GT(ink.right - ink.left, (box.right - box.left) * 3 / 4);
    }
}

TEST_F(Preview, RotatedTextTurnsAboutThePageCentre) {
    const RECT page = canvas.clientRect();
    const int cx = page.right / 2, cy = page.bottom / 2;

    WatermarkSettings wm = Record(u"CONFIDENTIAL", cv::Center, 45);
    wm.color = RGB(255, 0, 0);
    ASSERT_TRUE(Paint(wm));
    ExpectFrameAndNothingOutside();
    EXPECT_TRUE(HasPixel(RGB(255, 0, 0)));
    Box ink = Ink(RGB(255, 0, 0));
    ASSERT_FALSE(ink.empty());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, cx, 3.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, cy, 3.0);
    // At 45 degrees the text climbs as far as it runs: its ink is about as tall as wide.
    const int width = ink.right - ink.left, height = ink.bottom - ink.top;
    EXPECT_NEAR(static_cast<double>(height) / width, 1.0, 0.25);

    canvas.Fill(kSentinel);
    wm.angle = 90;
    ASSERT_TRUE(Paint(wm));
    ink = Ink(RGB(255, 0, 0));
    ASSERT_FALSE(ink.empty());
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, cy, 3.0);
}

TEST_F(Preview, OffsetsOutlinesAndClipping) {
    // Pushed above the top edge, the text is clipped away with the page.
    WatermarkSettings wm = Record(u"DRAFT", cv::TopLeft, 0);
    wm.verticalOffset = 2.0;
    ASSERT_TRUE(Paint(wm));
    ExpectFrameAndNothingOutside();
    EXPECT_TRUE(Ink(RGB(0, 0, 0)).empty());

    // An outline stays inside the frame too, drawn in the faded colour.
    canvas.Fill(kSentinel);
    wm = Record(u"DRAFT", cv::BottomRight, -30);
    wm.effects = cv::Outline;
    wm.color = RGB(0, 0, 255);
    wm.pointSize = 200;
    wm.horizontalOffset = 0.5;
    ASSERT_TRUE(Paint(wm));
    ExpectFrameAndNothingOutside();
    EXPECT_TRUE(HasPixel(RGB(0, 0, 255)));

    // No printer: nothing at all is painted.
    canvas.Fill(kSentinel);
    EXPECT_FALSE(cv::PaintWatermarkPreview(canvas.dc(), canvas.control(), &wm, nullptr));
    EXPECT_EQ(canvas.At(0, 0), kSentinel);
    EXPECT_EQ(canvas.At(canvas.frameRect().left, 0), kSentinel);
}

bool CountingBuilder(HWND dialog, cv::PreviewData* data, WatermarkSettings* record) {
    auto* calls = reinterpret_cast<int*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    ++*calls;
    *record = data->watermark;
    return true;
}

TEST_F(Preview, ControlRepaintsThroughItsBuilderUntilDestroyed) {
    int calls = 0;
    SetWindowLongPtrW(canvas.parent(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&calls));
    WatermarkSettings wm = Record(u"DRAFT", cv::Center, 0);
    ASSERT_TRUE(cv::InstallPreview(canvas.control(), &wm, printer.handle(), CountingBuilder));
    EXPECT_EQ(GetWindowLongPtrW(canvas.control(), GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&cv::PreviewWindowProc));
    ShowWindow(canvas.parent(), SW_SHOWNA);
    UpdateWindow(canvas.control());
    const int before = calls;

    ValidateRect(canvas.control(), nullptr);
    cv::RefreshPreview(canvas.parent());
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(canvas.control(), &update, FALSE));
    UpdateWindow(canvas.control());
    EXPECT_EQ(calls, before + 1);

    // Destroying the control frees its data and hands it back to the static control.
    EXPECT_TRUE(DestroyWindow(canvas.control()));
}

TEST_F(Preview, FontListHoldsEachFaceOnceInOrder) {
    HWND dialog = canvas.parent();
    HWND combo = CreateWindowExW(
        0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, 0, 0, 100,
        200, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(cv::kFontComboId)), nullptr,
        nullptr);
    ASSERT_TRUE(combo);
    std::wstring name = printer.printerName();
    char oemDevmode[16] = {};
    OEMUIPSPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = printer.handle();
    param.pPrinterName = name.data();

    // Without a plug-in devmode the enumeration stops at once.
    cv::FillFontList(dialog, &param);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);

    param.pOEMDM = oemDevmode;
    cv::FillFontList(dialog, &param);
    cv::FillFontList(dialog, &param);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, 0);
    std::vector<std::wstring> faces;
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t face[LF_FACESIZE + 1] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
        faces.emplace_back(face);
    }
    EXPECT_NE(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Liberation Sans")),
              CB_ERR);
    for (size_t i = 1; i < faces.size(); ++i)
        EXPECT_LT(_wcsicmp(faces[i - 1].c_str(), faces[i].c_str()), 0) << faces[i];
}

} // namespace
