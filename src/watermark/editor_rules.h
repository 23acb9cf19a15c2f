// The rules of the Create/Edit Watermark dialog that need no window: what the dialog shows when
// it opens on a record, the live filters of the angle, intensity and font-size fields, when OK
// may be pressed, how the controls make a record, and the checks OK makes, in their order, up to
// saving the record and removing the old name of a renamed watermark. The Win32 dialog reads its
// controls into EditorControls, shows what these rules answer and moves the focus they name.
#pragma once

#include "core/records.h"
#include "ui/bounded_string.h"
#include "watermark/position_rules.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// The name and text edits hold at most this many characters (the records' 128-unit arrays).
constexpr size_t kWatermarkTextChars = 127;

// Characters of each numeric field that the filters read (the edits' limits) and that
// ReadEditorControls reads.
constexpr size_t kAngleEditChars = 4;
constexpr size_t kIntensityEditChars = 3;
constexpr size_t kSizeEditChars = 4;
constexpr size_t kAngleReadChars = 4;
constexpr size_t kIntensityReadChars = 4;
constexpr size_t kSizeReadChars = 9;

constexpr int32_t kMinAngle = -180;
constexpr int32_t kMaxAngle = 180;
constexpr uint32_t kMinIntensity = 1;
constexpr uint32_t kMaxIntensity = 100;
constexpr uint32_t kMinPointSize = 1;
constexpr uint32_t kMaxPointSize = 500;
// The record's own default, used where a damaged size has to be replaced.
constexpr uint32_t kDefaultPointSize = 72;

// The font-size list: the even sizes 8 to 72, each added as "%d" with the size as item data.
constexpr size_t kFontSizeCount = 33;
constexpr uint32_t FontSizeAt(size_t index) {
    return uint32_t(8 + 2 * index);
}
// Index of the list item for a size, -1 when the size is not in the list.
int32_t FontSizeIndex(uint32_t pointSize);

// True when every character is one of the digits 0-9, except that with `signAllowed` one minus
// sign may stand first, in a text of at least 2 characters. An empty text is true; a missing one
// false. Only ASCII digits count: the fields are read as C integers.
bool IsNumericText(const char16_t* text, bool signAllowed);

// _wtoi of the first `maxChars` characters: leading white space, an optional sign, then digits up
// to the first other character; 0 when there are none; saturated at the int32 range.
int32_t IntegerValue(const char16_t* text, size_t maxChars);

// --- Live filters ------------------------------------------------------------------------------
// Each takes the control's text (cut here to the characters the control holds) and the field's
// last accepted value. A refused text is to be replaced by `replacement`, which the same filter
// always accepts, so the replacement's own notification ends the exchange. A last value that is
// itself out of range (a damaged record) is replaced by the record's repair value first.

struct AngleFilter {
    bool accepted;
    double lastAngle; // the new editAngle
    char16_t replacement[kNumberTextCapacity];
};
// Angle edit, EN_UPDATE: accepted when the value is from -180 to 180 (tested first), the text is
// numeric with a sign allowed, and not blank. The replacement is the last angle rounded, "%d".
AngleFilter FilterAngleText(const char16_t* text, double lastAngle);

struct NumberFilter {
    bool accepted;
    uint32_t lastValue; // the new editIntensity or editPointSize
    char16_t replacement[kNumberTextCapacity];
};
// Intensity edit, EN_UPDATE: the value from 1 to 100 (tested first) and numeric without sign.
NumberFilter FilterIntensityText(const char16_t* text, uint32_t lastIntensity);
// Font-size edit part, CBN_EDITCHANGE: numeric without sign (tested first) and from 1 to 500.
NumberFilter FilterPointSizeText(const char16_t* text, uint32_t lastPointSize);

// OK is enabled exactly when the name and the text both hold a character that is not white
// space.
bool EditorOkEnabled(const char16_t* name, const char16_t* text);

// --- Opening -------------------------------------------------------------------------------------

// What the dialog shows when it opens on `wm`, after repairing the record in place so that every
// field starts from a value its control and filter accept: the repairs of ValidateWatermark
// (terminated texts, angle outside -180..180 or NaN to 0, intensity 0 or above 100 to 100,
// position, units, style and effects), a font size outside 1..500 to 72, and an offset that is
// not finite or lies beyond the Position dialog's limits to 0.0. A sound record is not changed.
struct EditorStart {
    int32_t sizeItem;                       // item to select, -1: put sizeText in the edit part
    char16_t sizeText[kNumberTextCapacity]; // "%u" of the size
    int32_t angle;                          // the rounded angle: the edit's "%d" and the up-down
    char16_t angleText[kNumberTextCapacity];
    char16_t intensityText[kNumberTextCapacity];
    double editAngle;
    uint16_t editIntensity;
    uint32_t editPointSize;
    bool strikeout, underline, outline, italic, bold, dynamic;
};
EditorStart OpenEditor(WatermarkSettings* wm);

// --- Reading the controls ------------------------------------------------------------------------

// A combo box's selection as the dialog read it.
struct ComboChoice {
    enum Kind : uint8_t {
        None,       // nothing selected
        Item,       // an item with `data` as its item data
        Unreadable, // a selection whose item data could not be read (index out of range)
    };
    Kind kind = None;
    uint32_t data = 0;
};

// The controls as a plain record. Texts are terminated and may be longer than their fields; the
// rules cut them to what the controls hold. A null text reads as empty.
struct EditorControls {
    const char16_t* name = nullptr;          // 1157
    const char16_t* text = nullptr;          // 1093
    bool dynamic = false;                    // 1229
    bool strikeout = false;                  // 1090
    bool underline = false;                  // 1091
    bool outline = false;                    // 1092
    bool italic = false;                     // 1159
    bool bold = false;                       // 1158
    const char16_t* angleText = nullptr;     // 1098
    const char16_t* intensityText = nullptr; // 1095
    ComboChoice color;                       // 1100, the COLORREF as item data
    ComboChoice size;                        // 1097's list
    const char16_t* sizeText = nullptr;      // 1097's edit part, read when no item is selected
    const char16_t* faceName = nullptr;      // 1096's selected face, null when none
    PositionValues position; // workVerticalOffset, workHorizontalOffset, workUnits, workPosition
};

// The record the controls describe, from the defaults: name (cut to 127, trailing spaces
// removed), text (cut to 127), effects, isDynamic, fontStyle, angle and intensity (integer values
// of their first 4 characters; a negative intensity reads as 0), colour (0 without a readable
// selection), size (the item's data, 72 for an unreadable selection, else the integer value of
// the edit part's first 9 characters; a negative value reads as 0), face (kept "Arial" when none
// is selected or the name has 64 characters or more), charSet 0, and the four position values.
// The filters keep negative numbers out of those fields; a wrapped unsigned value would paint and
// save as an intensity or size nobody typed. False only for a null record.
bool ReadEditorControls(const EditorControls& controls, WatermarkSettings* wm);

// --- OK ------------------------------------------------------------------------------------------

// Where OK sends the focus after a message.
enum class EditorField { None, Name, Text, FontSize };

// What OK needs from outside the dialog: the watermark store of the sheet's printer and the
// check of dynamic text. The Win32 dialog answers with WatermarkExists, ValidateWatermarkText,
// SaveWatermark and DeleteWatermark.
struct EditorServices {
    virtual ~EditorServices() = default;
    // The store's answer; it compares names without regard to case.
    virtual bool WatermarkExists(const char16_t* name) = 0;
    virtual bool ValidateDynamicText(const char16_t* text) = 0;
    virtual bool SaveWatermark(const WatermarkSettings& wm) = 0;
    virtual bool DeleteWatermark(const char16_t* name) = 0;
};

struct EditorMode {
    bool addMode = true;
    // Edit mode: the stored name of the watermark being edited (editWatermarkName).
    const char16_t* ownName = nullptr;
    // String 88, "(None)", as loaded: the name the Watermark page's lists use for no watermark.
    const char16_t* noneText = nullptr;
};

struct EditorOkResult {
    uint32_t messageId = 0;                // string to show; 0 for none
    EditorField focus = EditorField::None; // where the focus goes after the message
    // The record was saved: end the dialog with IDOK (after showing the message, if any).
    bool saved = false;
    // The message is a notice about a completed save (warning icon), not a refusal.
    bool warning = false;
};

// OK's checks and actions, in this order; the first check that fails ends them with its message
// and focus, and the dialog stays open:
//  1. the name (cut to 127, trailing spaces removed) and the text must not be blank: 84 / 81
//     (OK is disabled then; kept so that the rule never saves a blank name);
//  2. when the name is new (add mode) or differs from the name the watermark is stored under:
//     no control characters (1237), not already stored (98), not "(None)" exactly (152);
//  3. a font size of 0 (102, focus to the size);
//  4. a dynamic text that does not validate (173, focus to the text);
//  5. saving; a failure shows 99 and the focus stays;
//  6. in edit mode under a new name, removing the old name. The new value is written first, so a
//     failed removal loses nothing, but the store then holds both names: the dialog still closes
//     (the record is saved) with notice 1236 telling the user to remove the old one.
// On success `*saved` receives the record as saved (the new workWatermark).
EditorOkResult ConfirmEditor(const EditorControls& controls, const EditorMode& mode,
                             EditorServices& services, WatermarkSettings* saved);

// True when the text holds a C0 or C1 control character or DEL.
bool HasControlCharacters(const char16_t* text);

} // namespace cv
