// Arithmetic of the watermark preview: the page shrunk to 0.195 of its size, the watermark's
// font, colour and placement on it. Pure functions of the record, the control's rectangle, the
// screen's pixels per inch and the text extent the painter measured; the GDI calls that use the
// results live in the painter.
//
// The painter's order: colour and font from the record; create and select the font; measure the
// text (GetTextExtentPoint32W); then the origin from that extent.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// Same layout as RECT and POINT (LONG is 32 bits on Windows).
struct PreviewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
struct PreviewPoint {
    int32_t x;
    int32_t y;
};

constexpr double kPreviewScale = 0.195;

// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3). Saturates at the int32 range;
// NaN gives 0.
int32_t RoundToNearest(double x);

// MulDiv: a * b / c rounded half away from zero; -1 when c is 0 or the result leaves the int32
// range, as the Win32 call answers.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// The drawing colour (COLORREF 0x00BBGGRR): `color` faded toward white by `intensity` percent.
uint32_t PreviewColor(uint32_t color, uint32_t intensity);

// The LOGFONTW fields the preview sets; every other field stays 0.
struct PreviewFont {
    int32_t height;     // lfHeight: minus the character height in pixels, at least 1
    int32_t escapement; // lfEscapement and lfOrientation, tenths of a degree
    int32_t weight;     // lfWeight: 400 or 700
    uint8_t italic;     // lfItalic
    uint8_t underline;  // lfUnderline
    uint8_t strikeOut;  // lfStrikeOut
    uint8_t charSet;    // lfCharSet
    bool outline;       // stroke the text's path instead of filling it
    char16_t faceName[32]; // lfFaceName (LF_FACESIZE), always terminated
};

// Font of the record on a screen of `dpiY` pixels per inch (LOGPIXELSY).
PreviewFont MakePreviewFont(const WatermarkSettings& wm, int32_t dpiY);

// lfEscapement of an angle in degrees.
int32_t PreviewEscapement(double angle);

// The record's offsets in preview pixels: `horizontal` positive to the right, `vertical`
// positive upward (as stored; the origin subtracts it).
struct PreviewOffsets {
    int32_t horizontal;
    int32_t vertical;
};
PreviewOffsets MakePreviewOffsets(const WatermarkSettings& wm, int32_t dpiX, int32_t dpiY);

// Top-left corner of the unrotated text box (where TextOutW draws with the default alignment)
// that puts the anchor `position` of a `textWidth` x `textHeight` text, rotated by `angle`
// degrees counter-clockwise, on the same point of `page`. Offsets not applied.
PreviewPoint AnchorTextOrigin(uint32_t position, double angle, int32_t textWidth,
                              int32_t textHeight, const PreviewRect& page);

// Where the painter draws the record's text: the anchor origin moved by the record's offsets.
// `page` is the control's client rectangle; the extent is the text's in the selected preview
// font (0 x 0 when it could not be measured).
PreviewPoint PreviewTextOrigin(const WatermarkSettings& wm, const PreviewRect& page,
                               int32_t textWidth, int32_t textHeight, int32_t dpiX,
                               int32_t dpiY);

} // namespace cv
