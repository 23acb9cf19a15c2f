#include "watermark/preview_geometry.h"

#include "ui/bounded_string.h"

#include <cmath>
#include <limits>

namespace cv {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kMillimetersPerInch = 25.4;
constexpr double kTenthsPerDegree = 10.0;

int32_t Saturate(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int64_t R(double x) { return RoundToNearest(x); }

} // namespace

int32_t RoundToNearest(double x) {
    // Offsets and angles come from stored records that are not range-checked; keep every
    // conversion defined.
    if (std::isnan(x)) return 0;
    const double magnitude = std::fabs(x);
    const double down = std::floor(magnitude);
    double rounded = magnitude - down < 0.5 ? down : std::ceil(magnitude);
    if (x < 0) rounded = -rounded;
    if (rounded >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (rounded <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(rounded);
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * int64_t(b);
    const bool negative = (product < 0) != (c < 0);
    const uint64_t num = product < 0 ? 0u - uint64_t(product) : uint64_t(product);
    const uint64_t den = c < 0 ? 0u - uint64_t(int64_t(c)) : uint64_t(c);
    const uint64_t q = (num + den / 2) / den;
    if (q > uint64_t(std::numeric_limits<int32_t>::max())) return -1;
    return negative ? -int32_t(q) : int32_t(q);
}

uint32_t PreviewColor(uint32_t color, uint32_t intensity) {
    const int32_t percent = intensity > 0xFFFF ? 0xFFFF : int32_t(intensity);
    uint32_t faded = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t c = int32_t((color >> shift) & 0xFF);
        int32_t v = 255 - MulDivRound(255 - c, percent, 100);
        // Only an intensity above 100 leaves the byte range, and only downwards: the fade
        // subtracted from 255 is never negative.
        if (v < 0) v = 0;
        faded |= uint32_t(v) << shift;
    }
    return faded;
}

int32_t PreviewEscapement(double angle) { return RoundToNearest(angle * kTenthsPerDegree); }

PreviewFont MakePreviewFont(const WatermarkSettings& wm, int32_t dpiY) {
    PreviewFont font{};
    // pointSize is not range-checked: a size beyond what MulDiv takes is its failure (-1).
    const uint64_t decipoints = uint64_t(wm.pointSize) * 10u;
    const int32_t pixels =
        decipoints > uint64_t(std::numeric_limits<int32_t>::max())
            ? -1
            : MulDivRound(int32_t(decipoints), dpiY, 720);
    const int32_t fh = RoundToNearest(pixels * kPreviewScale);
    font.height = fh > 0 ? -fh : -1;
    font.italic = (wm.fontStyle == Italic || wm.fontStyle == BoldItalic) ? 1 : 0;
    font.weight = (wm.fontStyle == Bold || wm.fontStyle == BoldItalic) ? 700 : 400;
    font.underline = (wm.effects & Underline) ? 1 : 0;
    font.strikeOut = (wm.effects & Strikeout) ? 1 : 0;
    font.outline = (wm.effects & Outline) != 0;
    font.escapement = PreviewEscapement(wm.angle);
    font.charSet = uint8_t(wm.charSet & 0xFF);
    BoundedCopy(font.faceName, wm.faceName);
    return font;
}

PreviewOffsets MakePreviewOffsets(const WatermarkSettings& wm, int32_t dpiX, int32_t dpiY) {
    PreviewOffsets o;
    o.vertical = RoundToNearest(double(dpiY) * wm.verticalOffset * kPreviewScale);
    o.horizontal = RoundToNearest(double(dpiX) * wm.horizontalOffset * kPreviewScale);
    if (wm.units == Millimeters) {
        o.vertical = RoundToNearest(o.vertical / kMillimetersPerInch);
        o.horizontal = RoundToNearest(o.horizontal / kMillimetersPerInch);
    }
    return o;
}

PreviewPoint AnchorTextOrigin(uint32_t position, double angle, int32_t textWidth,
                              int32_t textHeight, const PreviewRect& page) {
    const double theta = angle * kPi / 180;
    const double s = std::sin(theta);
    const double c = std::cos(theta);
    // GDI never measures a negative extent; treat one as nothing.
    const double w = textWidth > 0 ? textWidth : 0;
    const double h = textHeight > 0 ? textHeight : 0;
    const int64_t left = page.left, top = page.top, right = page.right, bottom = page.bottom;
    // Integer halves truncate toward zero, as C division does.
    const int64_t cx = (right - left) / 2 + left;
    const int64_t cy = (bottom - top) / 2 + top;

    int64_t x, y;
    switch (position) {
    case TopLeft:
        x = left;
        y = top;
        break;
    case CenterLeft:
        x = left - R(s * h * 0.5);
        y = cy - R(c * h * 0.5);
        break;
    case BottomLeft:
        x = left - R(s * h);
        y = bottom - R(c * h);
        break;
    case TopCenter:
        x = cx - R(c * w * 0.5);
        y = top + R(s * w * 0.5);
        break;
    case TopRight:
        x = right - R(c * w);
        y = top + R(s * w);
        break;
    // The three anchors below are stated as a distance r from the anchor to the origin at an
    // angle phi (theta less or plus the angle of the box's half-diagonal). r cos phi and
    // r sin phi are expanded by the angle-sum identities so that an unrotated text gets exactly
    // its axis-aligned place: through asin and cos, w / 2 = 30.5 comes out as 30.4999... and
    // rounds the wrong way. A text without extent (r = 0) needs no angle: the expansions put it
    // on the anchor itself, but for CenterRight, which puts it at the page's centre.
    case BottomCenter: // r = |(w / 2, h)|, phi = theta - asin(h / r)
        x = cx - R(w * 0.5 * c + h * s);
        y = bottom + R(w * 0.5 * s - h * c);
        break;
    case CenterRight: // r = |(h / 2, w)|, phi = asin(w / r) + theta
        if (w == 0 && h == 0) {
            x = cx;
            y = cy;
            break;
        }
        x = right - R(w * c + h * 0.5 * s);
        y = cy - R(h * 0.5 * c - w * s);
        break;
    case BottomRight: // r = |(w, h)|, phi = theta - asin(h / r)
        x = right - R(w * c + h * s);
        y = bottom + R(w * s - h * c);
        break;
    default: { // Center, and any code a record should not hold
        const int64_t a = R(w * c), b = R(w * s), cc = R(h * s), d = R(h * c);
        x = cx - R(double(a) * 0.5) - R(double(cc) * 0.5);
        y = cy + R(double(b) * 0.5) - R(double(d) * 0.5);
        break;
    }
    }
    return {Saturate(x), Saturate(y)};
}

PreviewPoint PreviewTextOrigin(const WatermarkSettings& wm, const PreviewRect& page,
                               int32_t textWidth, int32_t textHeight, int32_t dpiX,
                               int32_t dpiY) {
    const PreviewPoint anchor = AnchorTextOrigin(wm.position, wm.angle, textWidth, textHeight, page);
    const PreviewOffsets o = MakePreviewOffsets(wm, dpiX, dpiY);
    // Positive vertical offsets move up, against the y-down pixel axis.
    return {Saturate(int64_t(anchor.x) + o.horizontal), Saturate(int64_t(anchor.y) - o.vertical)};
}

} // namespace cv
