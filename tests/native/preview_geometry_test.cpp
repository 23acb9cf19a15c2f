#include "watermark/preview_geometry.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>

using namespace cv;

namespace {

constexpr PreviewRect kPage = {0, 0, 200, 260}; // centre (100, 130)

} // namespace

// Halves away from zero; what no int32_t holds saturates, and what is no number is 0.
TEST(PreviewGeometry, RoundingAndMulDiv) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int32_t> rounded[] = {
        {2.5, 3}, {-2.5, -3},         {2.4999, 2},         {-0.5, -1},       {-0.4, 0},
        {NAN, 0}, {1e300, INT32_MAX}, {-1e300, INT32_MIN}, {-inf, INT32_MIN}};
    for (const auto& r : rounded)
        EXPECT_EQ(RoundToNearest(r.first), r.second) << r.first;
    // As Windows' MulDiv: -1 for a zero divisor or a result out of range.
    const std::tuple<int32_t, int32_t, int32_t, int32_t> products[] = {
        {255, 50, 100, 128}, {-255, 50, 100, -128}, {255, 1, 100, 3},     {5, 1, -2, -3},
        {720, 96, 720, 96},  {7, 3, 0, -1},         {INT32_MAX, 2, 1, -1}};
    for (const auto& [a, b, c, want] : products)
        EXPECT_EQ(MulDivRound(a, b, c), want) << a << " * " << b << " / " << c;
}

TEST(PreviewGeometry, FadedColour) {
    EXPECT_EQ(PreviewColor(0x00123456, 100), 0x00123456u);
    EXPECT_EQ(PreviewColor(0, 50), 0x007F7F7Fu); // MulDiv rounds 127.5 up
    EXPECT_EQ(PreviewColor(0, 1), 0x00FCFCFCu);
    // Each channel on its own: red 200, green 0, blue 100 at half strength.
    EXPECT_EQ(PreviewColor(0x006400C8, 50), (177u << 16) | (127u << 8) | 227u);
    EXPECT_EQ(PreviewColor(0x00FFFFFF, 37), 0x00FFFFFFu);
    EXPECT_EQ(PreviewColor(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(PreviewColor(0x00808080, 300), 0u) << "stronger than full stays a colour";
    EXPECT_EQ(PreviewColor(0xFF000000, 100), 0u) << "the unused high byte is not drawn";
}

TEST(PreviewGeometry, Font) {
    WatermarkSettings wm = DefaultWatermark();
    EXPECT_EQ(MakePreviewFont(wm, 96).height, -19);  // 96 px * 0.195 = 18.72
    EXPECT_EQ(MakePreviewFont(wm, 120).height, -23); // 120 px * 0.195 = 23.4
    for (uint32_t points : {1u, 0u, 0xFFFFFFFFu}) {
        wm.pointSize = points;
        EXPECT_EQ(MakePreviewFont(wm, 96).height, -1) << points;
    }

    // Each style and effect on its own, then all at once: the weight, italic, underline,
    // strike-out and outline.
    const std::tuple<uint32_t, uint32_t, std::tuple<int32_t, int, int, int, bool>> looks[] = {
        {Regular, 0, {400, 0, 0, 0, false}},
        {Italic, 0, {400, 1, 0, 0, false}},
        {Bold, 0, {700, 0, 0, 0, false}},
        {Regular, Strikeout, {400, 0, 0, 1, false}},
        {Regular, Underline, {400, 0, 1, 0, false}},
        {Regular, Outline, {400, 0, 0, 0, true}},
        {BoldItalic, Strikeout | Underline | Outline, {700, 1, 1, 1, true}}};
    for (const auto& [style, effects, look] : looks) {
        wm.fontStyle = style;
        wm.effects = effects;
        const PreviewFont f = MakePreviewFont(wm, 96);
        EXPECT_EQ(
            std::make_tuple(f.weight, int(f.italic), int(f.underline), int(f.strikeOut), f.outline),
            look)
            << style << " " << effects;
    }
    wm.charSet = 0x1A2;
    wm.angle = 45;
    PreviewFont f = MakePreviewFont(wm, 96);
    EXPECT_EQ(std::make_pair(int(f.charSet), f.escapement), std::make_pair(0xA2, 450));

    EXPECT_EQ(PreviewEscapement(-30.25), -303); // -302.5, away from zero
    EXPECT_EQ(PreviewEscapement(-30.27), -303);
    EXPECT_EQ(PreviewEscapement(180.0), 1800);

    // A face name of the full 64 units is cut to what LOGFONTW holds.
    for (char16_t& c : wm.faceName)
        c = u'F';
    f = MakePreviewFont(wm, 96);
    EXPECT_EQ(std::u16string(f.faceName), std::u16string(31, u'F'));
}

// The top left of a box of w x h for each anchor: unrotated; without extent, on its anchor's
// point, but Center Right's, which is the centre (one of height alone, zero-width characters, is
// placed by the rule; a negative extent, which GDI never measures, counts as none); with odd
// extents, whose half is rounded away from zero like every other value; on a page whose corner
// is not at the origin, with an odd size that truncates its centre; upright at 90 degrees.
TEST(PreviewGeometry, AnchorsWithoutRotationOrExtent) {
    const PreviewRect shifted = {-5, 3, 100, 104}; // cx = 52 + -5 = 47, cy = 50 + 3 = 53
    const struct {
        uint32_t position;
        double angle;
        int32_t w, h, x, y;
        PreviewRect page = kPage;
    } rows[] = {
        {TopLeft, 0, 60, 20, 0, 0},          {CenterLeft, 0, 60, 20, 0, 120},
        {BottomLeft, 0, 60, 20, 0, 240},     {TopCenter, 0, 60, 20, 70, 0},
        {TopRight, 0, 60, 20, 140, 0},       {BottomCenter, 0, 60, 20, 70, 240},
        {CenterRight, 0, 60, 20, 140, 120},  {BottomRight, 0, 60, 20, 140, 240},
        {Center, 0, 60, 20, 70, 120},        {42, 0, 60, 20, 70, 120}, // a code no record holds
        {BottomCenter, 30, 0, 0, 100, 260},  {CenterRight, 30, 0, 0, 100, 130},
        {BottomRight, 30, 0, 0, 200, 260},   {CenterRight, 0, 0, 20, 200, 120},
        {BottomRight, 0, 1, 1, 199, 259},    {BottomRight, 0, -8, -8, 200, 260},
        {BottomCenter, 0, 61, 21, 69, 239},  {CenterRight, 0, 61, 21, 139, 119},
        {Center, 0, 10, 4, 42, 51, shifted}, {Center, 90, 60, 20, 90, 160}};
    for (const auto& r : rows) {
        const PreviewPoint p = AnchorTextOrigin(r.position, r.angle, r.w, r.h, r.page);
        EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(r.x, r.y)) << &r - rows;
    }
}

// Whatever the angle, the anchor's named point of the rotated text box lands on the same point
// of the page, within the rounding on the way (Center rounds twice per coordinate).
TEST(PreviewGeometry, RotatedAnchorsLandOnTheirPoint) {
    const double w = 73, h = 19;
    struct Anchor {
        uint32_t position;
        double u, v;   // named point in the text box: along the baseline, downward
        double px, py; // the same point of the page
    } const anchors[] = {
        {TopLeft, 0, 0, 0, 0},
        {CenterLeft, 0, h / 2, 0, 130},
        {BottomLeft, 0, h, 0, 260},
        {TopCenter, w / 2, 0, 100, 0},
        {TopRight, w, 0, 200, 0},
        {BottomCenter, w / 2, h, 100, 260},
        {CenterRight, w, h / 2, 200, 130},
        {BottomRight, w, h, 200, 260},
        {Center, w / 2, h / 2, 100, 130},
    };
    for (double angle = -180; angle <= 180; angle += 7.5) {
        const double t = angle * 3.141592653589793 / 180;
        for (const Anchor& a : anchors) {
            const PreviewPoint o =
                AnchorTextOrigin(a.position, angle, int32_t(w), int32_t(h), kPage);
            const double x = o.x + a.u * std::cos(t) + a.v * std::sin(t);
            const double y = o.y - a.u * std::sin(t) + a.v * std::cos(t);
            EXPECT_NEAR(x, a.px, 1.51) << "position " << a.position << " angle " << angle;
            EXPECT_NEAR(y, a.py, 1.51) << "position " << a.position << " angle " << angle;
        }
    }
}

// The text's origin is its anchor's point moved by the offsets in pixels of the preview:
// R(dpi * offset * 0.195), then for millimetres R(px / 25.4); horizontal ones at the horizontal
// resolution, positive vertical ones upward. NaN is 0; offsets and pages at the ends of the
// range saturate instead of overflowing.
TEST(PreviewGeometry, OriginWithOffsets) {
    const PreviewRect huge = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    const struct {
        uint32_t position;
        uint8_t units;
        double vertical, horizontal;
        int32_t dpiX, dpiY, x, y;
        PreviewRect page = kPage;
    } rows[] = {
        // R(18.72) = 19, R(19 / 25.4) = 1: just above the top edge; R(187.2) = 187, R(187 / 25.4) =
        // 7
        {TopLeft, Millimeters, 1, 10, 96, 96, 7, -1},
        {TopLeft, Millimeters, 10, -10, 96, 96, -7, -7},
        {TopLeft, Inches, 1, -0.5, 96, 96, -9, -19}, // R(-9.36); the painter's clipping cuts it
        {TopLeft, Inches, 1, 0.5, 120, 96, 12, -19},
        {TopLeft, Inches, NAN, 1e300, 96, 96, INT32_MAX, 0},
        {BottomRight, Inches, -1e300, 1e300, 96, 96, INT32_MAX, INT32_MAX, huge}};
    for (const auto& r : rows) {
        WatermarkSettings wm = DefaultWatermark();
        wm.position = r.position;
        wm.units = r.units;
        wm.verticalOffset = r.vertical;
        wm.horizontalOffset = r.horizontal;
        const PreviewPoint p = PreviewTextOrigin(wm, r.page, 60, 20, r.dpiX, r.dpiY);
        EXPECT_EQ(std::make_pair(p.x, p.y), std::make_pair(r.x, r.y)) << &r - rows;
    }
}
