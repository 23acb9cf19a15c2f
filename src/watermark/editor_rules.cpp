#include "watermark/editor_rules.h"

#include "ui/bounded_string.h"
#include "watermark/preview_geometry.h"
#include "watermark/watermark_resource.h"

#include <cstring>

namespace cv {

namespace {

bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The first `chars` characters of a control's text, terminated.
template <size_t N> void CutText(char16_t (&dst)[N], const char16_t* src, size_t chars) {
    BoundedCopy(dst, chars + 1 < N ? chars + 1 : N, src, SIZE_MAX);
}

bool SameName(const char16_t (&name)[kWatermarkTextChars + 1], const char16_t* other) {
    return BoundedEqual(name, kWatermarkTextChars + 1, other, kWatermarkTextChars + 1);
}

bool InRange(int64_t value, int64_t low, int64_t high) {
    return value >= low && value <= high;
}

} // namespace

int32_t FontSizeIndex(uint32_t pointSize) {
    for (size_t i = 0; i < kFontSizeCount; ++i)
        if (FontSizeAt(i) == pointSize) return int32_t(i);
    return -1;
}

bool IsNumericText(const char16_t* text, bool signAllowed) {
    if (!text) return false;
    const char16_t* c = text;
    if (signAllowed && *c == u'-') {
        if (!c[1]) return false; // a minus sign needs a digit after it
        ++c;
    }
    for (; *c; ++c)
        if (!IsAsciiDigit(*c)) return false;
    return true;
}

int32_t IntegerValue(const char16_t* text, size_t maxChars) {
    if (!text) return 0;
    size_t i = 0;
    while (i < maxChars && text[i] && IsWideSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < maxChars && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < maxChars && IsAsciiDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1; // saturate
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    return int32_t(value);
}

AngleFilter FilterAngleText(const char16_t* text, double lastAngle) {
    AngleFilter result{};
    char16_t cut[kAngleEditChars + 1];
    CutText(cut, text, kAngleEditChars);
    const int32_t value = IntegerValue(cut, kAngleEditChars);
    if (InRange(value, kMinAngle, kMaxAngle) && IsNumericText(cut, true) && !IsBlankText(cut)) {
        result.accepted = true;
        result.lastAngle = value;
        return result;
    }
    // Written so that a NaN is repaired too.
    result.lastAngle = (lastAngle >= kMinAngle && lastAngle <= kMaxAngle) ? lastAngle : 0.0;
    FormatInteger(RoundToNearest(result.lastAngle), result.replacement);
    return result;
}

NumberFilter FilterIntensityText(const char16_t* text, uint32_t lastIntensity) {
    NumberFilter result{};
    char16_t cut[kIntensityEditChars + 1];
    CutText(cut, text, kIntensityEditChars);
    const int32_t value = IntegerValue(cut, kIntensityEditChars);
    if (InRange(value, kMinIntensity, kMaxIntensity) && IsNumericText(cut, false)) {
        result.accepted = true;
        result.lastValue = uint32_t(value);
        return result;
    }
    result.lastValue =
        InRange(lastIntensity, kMinIntensity, kMaxIntensity) ? lastIntensity : kMaxIntensity;
    FormatInteger(result.lastValue, result.replacement);
    return result;
}

NumberFilter FilterPointSizeText(const char16_t* text, uint32_t lastPointSize) {
    NumberFilter result{};
    char16_t cut[kSizeEditChars + 1];
    CutText(cut, text, kSizeEditChars);
    if (IsNumericText(cut, false)) {
        const int32_t value = IntegerValue(cut, kSizeEditChars);
        if (InRange(value, kMinPointSize, kMaxPointSize)) {
            result.accepted = true;
            result.lastValue = uint32_t(value);
            return result;
        }
    }
    result.lastValue =
        InRange(lastPointSize, kMinPointSize, kMaxPointSize) ? lastPointSize : kDefaultPointSize;
    FormatInteger(result.lastValue, result.replacement);
    return result;
}

bool EditorOkEnabled(const char16_t* name, const char16_t* text) {
    // IsBlankText counts an empty text as blank and a missing one as not.
    return name && text && !IsBlankText(name) && !IsBlankText(text);
}

EditorStart OpenEditor(WatermarkSettings* wm) {
    EditorStart start{};
    if (!wm) return start;
    ValidateWatermark(wm);
    if (!InRange(wm->pointSize, kMinPointSize, kMaxPointSize)) wm->pointSize = kDefaultPointSize;
    const bool millimetres = wm->units == Millimeters;
    if (!OffsetWithinLimits(wm->verticalOffset, millimetres)) wm->verticalOffset = 0.0;
    if (!OffsetWithinLimits(wm->horizontalOffset, millimetres)) wm->horizontalOffset = 0.0;

    start.sizeItem = FontSizeIndex(wm->pointSize);
    FormatInteger(wm->pointSize, start.sizeText);
    start.angle = RoundToNearest(wm->angle);
    FormatInteger(start.angle, start.angleText);
    FormatInteger(wm->intensity, start.intensityText);
    start.editAngle = wm->angle;
    start.editIntensity = wm->intensity;
    start.editPointSize = wm->pointSize;
    start.strikeout = (wm->effects & Strikeout) != 0;
    start.underline = (wm->effects & Underline) != 0;
    start.outline = (wm->effects & Outline) != 0;
    start.italic = wm->fontStyle == Italic || wm->fontStyle == BoldItalic;
    start.bold = wm->fontStyle == Bold || wm->fontStyle == BoldItalic;
    start.dynamic = wm->isDynamic != 0;
    return start;
}

bool ReadEditorControls(const EditorControls& c, WatermarkSettings* wm) {
    if (!wm) return false;
    ResetWatermark(wm);
    CutText(wm->name, c.name, kWatermarkTextChars);
    TrimTrailingSpaces(wm->name);
    CutText(wm->text, c.text, kWatermarkTextChars);
    wm->effects = (c.strikeout ? Strikeout : 0u) | (c.underline ? Underline : 0u) |
                  (c.outline ? Outline : 0u);
    wm->isDynamic = c.dynamic ? 1 : 0;
    wm->fontStyle = c.bold ? (c.italic ? BoldItalic : Bold) : (c.italic ? Italic : Regular);
    wm->angle = IntegerValue(c.angleText, kAngleReadChars);
    const int32_t intensity = IntegerValue(c.intensityText, kIntensityReadChars);
    wm->intensity = uint16_t(intensity < 0 ? 0 : intensity);
    wm->color = c.color.kind == ComboChoice::Item ? c.color.data : 0;
    if (c.size.kind == ComboChoice::Item) {
        wm->pointSize = c.size.data;
    } else if (c.size.kind == ComboChoice::Unreadable) {
        wm->pointSize = kDefaultPointSize;
    } else {
        const int32_t size = IntegerValue(c.sizeText, kSizeReadChars);
        wm->pointSize = uint32_t(size < 0 ? 0 : size);
    }
    const size_t faceChars = sizeof wm->faceName / sizeof wm->faceName[0];
    if (c.faceName && BoundedLength(c.faceName, faceChars) < faceChars)
        BoundedCopy(wm->faceName, faceChars, c.faceName, faceChars);
    ApplyPositionValues(c.position, wm);
    return true;
}

bool HasControlCharacters(const char16_t* text) {
    if (!text) return false;
    for (; *text; ++text)
        if (*text < 0x20 || (*text >= 0x7F && *text <= 0x9F)) return true;
    return false;
}

EditorOkResult ConfirmEditor(const EditorControls& controls, const EditorMode& mode,
                             EditorServices& services, WatermarkSettings* saved) {
    EditorOkResult result;
    auto refuse = [&result](uint32_t messageId, EditorField focus) {
        result.messageId = messageId;
        result.focus = focus;
        return result;
    };

    char16_t name[kWatermarkTextChars + 1];
    CutText(name, controls.name, kWatermarkTextChars);
    TrimTrailingSpaces(name);
    char16_t text[kWatermarkTextChars + 1];
    CutText(text, controls.text, kWatermarkTextChars);
    if (IsBlankText(name)) return refuse(IDS_WM_NAME_MISSING, EditorField::Name);
    if (IsBlankText(text)) return refuse(IDS_WM_TEXT_MISSING, EditorField::Text);

    // The name the watermark is stored under is its own: keeping it skips the name checks, and
    // leaving it is a rename. Both decisions use that one name, so a name the store already
    // holds (in any letter case) can never be saved over and then removed as the "old" one.
    const bool editing = !mode.addMode && mode.ownName && *mode.ownName;
    const bool newName = !editing || !SameName(name, mode.ownName);
    if (newName) {
        if (HasControlCharacters(name)) return refuse(IDS_WM_NAME_CONTROL_CHARS, EditorField::Name);
        if (services.WatermarkExists(name)) return refuse(IDS_WM_NAME_EXISTS, EditorField::Name);
        if (mode.noneText && SameName(name, mode.noneText))
            return refuse(IDS_WM_NAME_IS_NONE, EditorField::Name);
    }

    WatermarkSettings wm{};
    ReadEditorControls(controls, &wm);
    if (wm.pointSize == 0) return refuse(IDS_WM_SIZE_NOT_POSITIVE, EditorField::FontSize);
    if (wm.isDynamic && !services.ValidateDynamicText(wm.text))
        return refuse(IDS_WM_DYNAMIC_INVALID, EditorField::Text);
    if (!services.SaveWatermark(wm)) return refuse(IDS_WM_SAVE_FAILED, EditorField::None);

    result.saved = true;
    if (saved) *saved = wm;
    if (editing && newName && !services.DeleteWatermark(mode.ownName)) {
        result.messageId = IDS_WM_RENAME_OLD_LEFT;
        result.warning = true;
    }
    return result;
}

} // namespace cv
