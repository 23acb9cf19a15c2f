// The rules of the Position Watermark dialog that need no window: the anchor radio buttons, the
// offset texts and their limits, the up-down steps, the unit switch and the values the dialog
// hands back. The Win32 dialog only moves text and check states between these rules and its
// controls.
//
// Offsets are shown with one decimal as a Windows C runtime prints "%.1f". The formatting is
// done here, exactly, rather than by the runtime the module happens to be linked with, because
// the runtimes differ on values that lie exactly halfway: the Universal CRT of Visual Studio
// builds (standard rounding, its default) prints 1.25 as "1.2", as glibc does, while msvcrt.dll,
// which MinGW builds use, prints "1.3". Every build thus shows the same text as the shipped one.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// What the dialog hands back; the four position fields of a WatermarkSettings.
struct PositionValues {
    double verticalOffset = 0.0;   // positive moves the text up
    double horizontalOffset = 0.0; // positive moves the text right
    uint8_t units = Inches;        // WatermarkUnits
    uint32_t position = Center;    // WatermarkPosition anchor code
};

// --- Anchor radio buttons ------------------------------------------------------------------------

// Row of each radio group: vertical Top 0, Center 1, Bottom 2; horizontal Left 0, Center 1,
// Right 2.
struct AnchorRadios {
    uint8_t vertical;
    uint8_t horizontal;
};

// The buttons to check for an anchor code; false (nothing to check) for codes above 8.
bool RadiosForAnchor(uint32_t position, AnchorRadios* radios);

// The row of a group from its three check states: the first checked button counts, and a
// group with none checked counts as its last row (2).
uint8_t CheckedRow(const bool (&checked)[3]);

// The anchor code of a pair of rows (rows above 2 count as 2).
uint32_t AnchorFromRadios(AnchorRadios radios);

// --- Offset texts --------------------------------------------------------------------------------

// Each offset edit holds at most this many characters; longer texts are read cut to it.
constexpr size_t kOffsetEditChars = 10;
// An offset is accepted while its value in inches lies within +-kOffsetLimitInches.
constexpr double kOffsetLimitInches = 9999.9;
constexpr double kMillimetresPerInch = 25.4;
// Room for any offset text the rules produce, terminator included.
constexpr size_t kOffsetTextCapacity = 32;

// True when the text is not empty and holds only the digits 0-9 and at most one point, with one
// minus sign allowed as its very first character. A lone "-" or "." passes (and reads as 0.0).
// Only ASCII digits count: the offsets are read as C numbers, and another script's digits or the
// superscripts some runtimes class as digits would read as nothing.
bool IsDecimalText(const char16_t* text);

// The value of the text as wcstod reads it, for the texts IsDecimalText accepts: the longest
// leading [-]digits[.digits] part, 0.0 when there is none (so "-" and "." are 0.0 and "-0" is
// -0.0). Reads the whole terminated text; the caller cuts it to what its control holds.
double DecimalValue(const char16_t* text);

// True when `value`, shown in millimetres or inches, lies within the limits.
bool OffsetWithinLimits(double value, bool millimetres);

// "%.1f" of `value` as the C runtime prints it: correctly rounded from the value's exact binary
// expansion, halfway cases to the even digit (the standard rounding of the Universal CRT that
// Visual Studio builds use; glibc prints the same). "-0.0" for small negative values. False,
// with an empty text, for values that are not finite or whose magnitude reaches 2^63.
bool FormatOffset(double value, char16_t (&text)[kOffsetTextCapacity]);

// An offset as the dialog shows it: the value formatted "%.1f" and read back, pulled 0.1 toward
// zero when the rounding took it past the limits (253997.46 mm shows as 253997.4). A value that
// is not finite or lies beyond the limits (a damaged record) shows as 0.0. The text always
// passes the offset filter.
struct ShownOffset {
    double value;
    char16_t text[kOffsetTextCapacity];
};
ShownOffset ShowOffset(double value, bool millimetres);

// --- Live filter of an offset edit (EN_UPDATE)
// -----------------------------------------------------

struct OffsetFilter {
    bool accepted;
    // The edit's last accepted value to keep: the text's value when accepted, else the last value
    // as shown (which the replacement text holds).
    double lastValue;
    // When refused: the text to put into the edit. Setting it sends EN_UPDATE again, and that
    // text is always accepted, so the filter never re-enters itself more than once.
    char16_t replacement[kOffsetTextCapacity];
};

// `text` is the edit's text, read cut to kOffsetEditChars. Accepted when it passes
// IsDecimalText, is not blank and its value lies within the limits of the units shown.
OffsetFilter FilterOffsetText(const char16_t* text, bool millimetres, double lastValue);

// --- Up-down step (UDN_DELTAPOS) -----------------------------------------------------------------

// One click moves the offset by 0.1 inch or 1.0 millimetre.
struct OffsetStep {
    bool changed; // false: leave the edit and its last value alone (refresh the preview only)
    double value; // the new value, to store as the edit's last value
    char16_t text[kOffsetTextCapacity]; // the new value "%.1f", for the edit
};

// `text` is the buddy edit's text. The up-down controls keep their default range (100 down to
// 0), so the up arrow gives a negative delta: a negative `delta` raises the offset, any other
// lowers it. Nothing changes when the text fails IsDecimalText or the new value would leave the
// limits.
OffsetStep StepOffset(const char16_t* text, bool millimetres, int32_t delta);

// --- Unit switch ---------------------------------------------------------------------------------

// The offset converted when the other unit button is clicked: x 25.4 into millimetres, / 25.4
// into inches, formatted "%.1f" and read back, pulled 0.1 toward zero when the rounding went past
// the limits. `value` is the edit's current value in the units it is leaving (one its filter
// accepted; anything the pull cannot bring inside becomes 0.0).
ShownOffset ConvertOffset(double value, bool toMillimetres);

// --- Reading and opening -------------------------------------------------------------------------

// The dialog's controls as read for OK and for each repaint of the preview.
struct PositionControls {
    const char16_t* verticalText = nullptr;   // edit 226
    const char16_t* horizontalText = nullptr; // edit 1053
    bool millimetres = false;                 // "&Millimeters" checked
    bool vertical[3] = {};                    // &Top, &Center, &Bottom checked
    bool horizontal[3] = {};                  // &Left, Ce&nter, &Right checked
};

// Both edits are tested, vertical first; each that fails IsDecimalText gets message 83 and the
// focus, in that order, and fails the read.
struct PositionRead {
    bool verticalInvalid = false;
    bool horizontalInvalid = false;
    PositionValues values;
    explicit operator bool() const { return !verticalInvalid && !horizontalInvalid; }
};
PositionRead ReadPositionValues(const PositionControls& controls);

// Sets verticalOffset, horizontalOffset, units and position of the record.
void ApplyPositionValues(const PositionValues& values, WatermarkSettings* wm);

// "Center Watermark": both offsets 0.0 and the Center/Center anchor; the units stay.
PositionValues CenteredPosition(uint8_t units);

// What the dialog shows when it opens on a record: the anchor's buttons (a code above 8, which
// only a damaged record holds, opens as Center), the two offsets in the record's own units, and
// those units (anything but 0 is inches). The offsets are shown as ShowOffset does, so a
// damaged value opens as 0.0 and the edits start from values their filter accepts.
struct PositionStart {
    AnchorRadios radios;
    bool millimetres;
    ShownOffset vertical;
    ShownOffset horizontal;
};
PositionStart OpenPosition(const WatermarkSettings& wm);

} // namespace cv
