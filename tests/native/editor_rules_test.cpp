#include "watermark/editor_rules.h"
#include "watermark/watermark_resource.h"

#include "test_text.h"
#include "ui/text_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

using namespace cv;

namespace {

// A store and dynamic-text check with fixed answers that records what OK asked, in order.
struct FakeServices : EditorServices {
    std::set<std::u16string> stored{u"draft", u"confidential"}; // folded, as the registry compares
    std::string calls;
    std::u16string askedName, savedName, deletedName;
    void Call(const char* what) { calls += (calls.empty() ? "" : " ") + std::string(what); }
    bool WatermarkExists(const char16_t* name) override {
        Call("exists");
        askedName = name;
        return stored.count(FoldedText(name)) != 0;
    }
    bool ValidateDynamicText(const char16_t* text) override {
        Call("validate");
        return std::u16string(text) != u"%bogus%";
    }
    bool SaveWatermark(const WatermarkSettings& wm) override {
        Call("save");
        savedName = Text(wm.name);
        return Text(wm.text) != u"full";
    }
    bool DeleteWatermark(const char16_t* name) override {
        Call("delete");
        deletedName = name;
        return deletedName != u"Locked";
    }
};

EditorControls Filled() {
    EditorControls c;
    c.name = u"Sketch";
    c.text = u"SKETCH";
    c.angleText = u"45";
    c.intensityText = u"100";
    c.size = {ComboChoice::Item, 72};
    c.faceName = u"Arial";
    return c;
}

} // namespace

TEST(EditorText, IntegerValueAndItsText) {
    // clang-format off
    // A text, how many of its characters are read, and their value.
    const std::tuple<const char16_t*, size_t, int32_t> values[] = {
        {u" 12", 4, 12}, {u"-12x", 4, -12}, {u"+7", 4, 7}, {u"12345", 4, 1234}, {u"", 4, 0},
        {u"x1", 4, 0}, {u"- 5", 4, 0}, {u"\x3000\t5", 4, 5}, {u"  12", 3, 1}, {u"\x0661", 4, 0},
        {u"99999999999", 20, INT32_MAX}, {u"-99999999999", 20, INT32_MIN},
        {u"-2147483648", 20, INT32_MIN}};
    // clang-format on
    for (const auto& [text, chars, value] : values)
        EXPECT_EQ(IntegerValue(text, chars), value) << value;
    EXPECT_EQ(IntegerValue(nullptr, 4), 0);

    char16_t text[kNumberTextCapacity];
    EXPECT_EQ(FormatInteger(INT32_MIN, text), 11u);
    EXPECT_EQ(Text(text), u"-2147483648");
    EXPECT_EQ(FormatInteger(int64_t(UINT32_MAX) + 1, text), 0u) << "wider than the buffer";
    EXPECT_EQ(Text(text), u"");
    EXPECT_EQ(FormatInteger(int64_t(INT32_MIN) - 1, text), 0u);
}

// A refused text is replaced by the last value (a damaged one by the default); an accepted one
// has no replacement, and a replacement is accepted in turn. The angle edit holds 4 characters,
// intensity 3, the size combo 4; the range is checked before the digits (only the angle takes a
// minus sign, but then a digit after it).
TEST(EditorFilters, RangeAndDigitsOfAngleIntensityAndFontSize) {
    enum Edit { Angle, Intensity, Size };
    const auto filter = [](Edit edit, const char16_t* text, double last) {
        if (edit == Angle) {
            const AngleFilter f = FilterAngleText(text, last);
            return std::make_tuple(f.accepted, f.lastAngle, Text(f.replacement));
        }
        const NumberFilter f =
            (edit == Size ? FilterPointSizeText : FilterIntensityText)(text, uint32_t(last));
        return std::make_tuple(f.accepted, double(f.lastValue), Text(f.replacement));
    };
    const double nan = std::nan("");
    // clang-format off
    const struct {
        Edit edit;
        const char16_t* text;
        double last, newLast;
        const char16_t* replacement;
    } rows[] = {
        {Angle, u"-180", 30, -180, u""},     {Angle, u"180", 30, 180, u""},
        {Angle, u"-1805", 30, -180, u""},    {Angle, u"181", 30, 30, u"30"},
        {Angle, u"-181", 30, 30, u"30"},     {Angle, u"", 30, 30, u"30"},
        {Angle, u"-", 30, 30, u"30"},        {Angle, u" 5", 30, 30, u"30"},
        {Angle, u"\x0661", 30, 30, u"30"},   {Angle, u"12a", 45.5, 45.5, u"46"},
        {Angle, u"x", -30.5, -30.5, u"-31"}, {Angle, u"x", -180, -180, u"-180"},
        {Angle, u"x", 180, 180, u"180"},     {Angle, u"x", 200, 0, u"0"},
        {Angle, u"x", nan, 0, u"0"},         {Intensity, u"1", 50, 1, u""},
        {Intensity, u"100", 50, 100, u""},   {Intensity, u"1000", 50, 100, u""},
        {Intensity, u"0", 50, 50, u"50"},    {Intensity, u"101", 50, 50, u"50"},
        {Intensity, u"5 ", 50, 50, u"50"},   {Intensity, u"+5", 50, 50, u"50"},
        {Intensity, u"x", 0, 100, u"100"},   {Intensity, u"x", 250, 100, u"100"},
        {Size, u"1", 72, 1, u""},            {Size, u"500", 72, 500, u""},
        {Size, u"501", 72, 72, u"72"},       {Size, u"0", 13, 13, u"13"},
        {Size, u"12a", 13, 13, u"13"},       {Size, u"5-", 13, 13, u"13"},
        {Size, u"0100x", 13, 100, u""},      {Size, u"x", 0, 72, u"72"},
        {Size, u"x", 1000, 72, u"72"}};
    // clang-format on
    for (const auto& r : rows) {
        EXPECT_EQ(filter(r.edit, r.text, r.last),
                  std::make_tuple(!*r.replacement, r.newLast, std::u16string(r.replacement)))
            << &r - rows;
        if (*r.replacement) {
            EXPECT_TRUE(std::get<0>(filter(r.edit, r.replacement, r.newLast))) << &r - rows;
        }
    }
}

TEST(EditorOk, EnabledOnlyWithANameAndATextThatAreNotBlank) {
    const char16_t* const none = nullptr;
    const std::tuple<const char16_t*, const char16_t*, bool> rows[] = {
        {u"a", u"b", true},         {u"   ", u"b", false}, {u"a", u"", false},
        {u"a", u"\t\x3000", false}, {none, u"b", false},   {u"a", none, false}};
    for (const auto& r : rows)
        EXPECT_EQ(EditorOkEnabled(std::get<0>(r), std::get<1>(r)), std::get<2>(r)) << &r - rows;
    EXPECT_FALSE(HasControlCharacters(nullptr));
    // Both ends of the C0 and C1 ranges, and the characters just outside them.
    for (const char16_t* text : {u"a\x1F", u"a\x7F", u"a\x9F"})
        EXPECT_TRUE(HasControlCharacters(text)) << int(text[1]);
    for (const char16_t* text : {u"a ", u"a~", u"a\xA0"})
        EXPECT_FALSE(HasControlCharacters(text)) << int(text[1]);
}

// Each record as stored, then as the editor opens it: repaired (the offsets within the limits of
// their units, the size within 1 to 500), and the controls it fills. Flags: italic, bold,
// underline, strikeout, outline, dynamic.
TEST(EditorOpen, ControlsShowTheRecordRepaired) {
    const double nan = std::nan("");
    constexpr uint8_t In = Inches, Mm = Millimeters;
    const struct {
        double angle, offset;
        uint16_t intensity;
        uint32_t pointSize;
        uint8_t units;
        uint32_t style, effects;
        double wantAngle, wantOffset;
        uint16_t wantIntensity;
        uint32_t wantSize;
        int32_t sizeItem;
        const char16_t* angleText;
        const char* flags;
    } rows[] = {
        // clang-format off
        {200, 10000, 0, 0, In, BoldItalic, Strikeout | Outline, 0, 0, 100, 72, 32, u"0", "110111"},
        {-180, 10000, 250, 501, Mm, Italic, Underline, -180, 10000, 100, 72, 32, u"-180", "101000"},
        {nan, nan, 1, 500, In, Bold, 0, 0, 0, 1, 500, -1, u"0", "010000"},
        {180, -9999.9, 100, 1, In, Regular, 0, 180, -9999.9, 100, 1, -1, u"180", "000000"},
        {-30.5, 0.25, 40, 8, In, Regular, 0, -30.5, 0.25, 40, 8, 0, u"-31", "000000"},
        // clang-format on
    };
    for (const auto& r : rows) {
        WatermarkSettings wm = DefaultWatermark();
        wm.angle = r.angle;
        wm.intensity = r.intensity;
        wm.pointSize = r.pointSize;
        wm.verticalOffset = wm.horizontalOffset = r.offset;
        wm.units = r.units;
        wm.fontStyle = r.style;
        wm.effects = r.effects;
        wm.isDynamic = r.effects & Strikeout ? 1 : 0;
        const WatermarkSettings before = wm;
        const EditorStart s = OpenEditor(&wm);
        EXPECT_EQ(std::tie(wm.angle, wm.intensity, wm.pointSize, wm.verticalOffset),
                  std::tie(r.wantAngle, r.wantIntensity, r.wantSize, r.wantOffset))
            << &r - rows;
        EXPECT_EQ(wm.horizontalOffset, r.wantOffset) << &r - rows;
        EXPECT_EQ(std::tie(s.editAngle, s.editIntensity, s.editPointSize),
                  std::tie(wm.angle, wm.intensity, wm.pointSize))
            << &r - rows;
        EXPECT_EQ(s.sizeItem, r.sizeItem) << &r - rows;
        EXPECT_EQ(IntegerValue(s.sizeText, 9), int32_t(r.wantSize)) << &r - rows;
        EXPECT_EQ(IntegerValue(s.intensityText, 4), r.wantIntensity) << &r - rows;
        EXPECT_EQ(Text(s.angleText), r.angleText) << &r - rows;
        EXPECT_EQ(s.angle, IntegerValue(s.angleText, 4)) << &r - rows;
        std::string flags;
        for (bool f : {s.italic, s.bold, s.underline, s.strikeout, s.outline, s.dynamic})
            flags += f ? '1' : '0';
        EXPECT_EQ(flags, r.flags) << &r - rows;
        if (&r == std::end(rows) - 1) {
            EXPECT_EQ(std::memcmp(&before, &wm, sizeof wm), 0) << "a sound record is not changed";
        }
    }
    EXPECT_EQ(OpenEditor(nullptr).editPointSize, 0u);
}

TEST(EditorRead, RecordFromTheControls) {
    EditorControls c = Filled();
    c.name = u"Draft  ";
    c.text = u"DRAFT %Username%";
    c.dynamic = true;
    c.underline = c.outline = true;
    c.bold = true;
    c.angleText = u"-45";
    c.intensityText = u"40";
    c.position.position = TopRight; // the position dialog's values, which its own rules apply
    WatermarkSettings wm{};
    ASSERT_TRUE(ReadEditorControls(c, &wm));
    EXPECT_EQ(Text(wm.name), u"Draft");
    EXPECT_EQ(Text(wm.text), u"DRAFT %Username%");
    EXPECT_EQ(wm.isDynamic, 1u);
    EXPECT_EQ(wm.effects, uint32_t(Underline | Outline));
    EXPECT_EQ(wm.fontStyle, uint32_t(Bold));
    EXPECT_EQ(wm.angle, -45.0);
    EXPECT_EQ(wm.intensity, 40);
    EXPECT_EQ(wm.position, uint32_t(TopRight));
    c.intensityText = u"-7";
    ReadEditorControls(c, &wm);
    EXPECT_EQ(wm.intensity, 0);
    EXPECT_FALSE(ReadEditorControls(c, nullptr));
}

TEST(EditorRead, SelectionsStylesAndOverlongTexts) {
    using C = ComboChoice;
    const std::u16string longText(200, u'w'), face63(63, u'f'), face64(64, u'f');
    const struct {
        ComboChoice color, size;
        const char16_t *sizeText, *face;
        bool bold, italic, strikeout;
        uint32_t wantColor, wantSize;
        std::u16string wantFace;
        uint32_t wantStyle, wantEffects;
    } rows[] = {
        // clang-format off
        {{C::None, 5}, {C::Unreadable, 9}, u"13", nullptr, false, true, true, 0, 72, u"Arial",
         Italic, Strikeout},
        {{C::Unreadable, 5}, {C::None, 0}, u"123456789012", face63.c_str(), true, true, false, 0,
         123456789, face63, BoldItalic, 0},
        {{C::Item, 0}, {C::None, 0}, u"-5", face64.c_str(), false, false, false, 0, 0, u"Arial",
         Regular, 0},
        {{C::Item, 0xFFFFFF}, {C::Item, 8}, u"99", u"Times New Roman", false, false, false,
         0xFFFFFF, 8, u"Times New Roman", Regular, 0},
        // clang-format on
    };
    for (const auto& r : rows) {
        EditorControls c = Filled();
        c.name = longText.c_str();
        c.text = longText.c_str();
        c.color = r.color;
        c.size = r.size;
        c.sizeText = r.sizeText;
        c.faceName = r.face;
        c.bold = r.bold;
        c.italic = r.italic;
        c.strikeout = r.strikeout;
        WatermarkSettings wm{};
        ReadEditorControls(c, &wm);
        EXPECT_EQ(wm.color, r.wantColor) << &r - rows;
        EXPECT_EQ(wm.pointSize, r.wantSize) << &r - rows;
        EXPECT_EQ(Text(wm.faceName), r.wantFace) << &r - rows;
        EXPECT_EQ(wm.fontStyle, r.wantStyle) << &r - rows;
        EXPECT_EQ(wm.effects, r.wantEffects) << &r - rows;
        EXPECT_EQ(Text(wm.name), longText.substr(0, 127)) << &r - rows;
        EXPECT_EQ(Text(wm.text), longText.substr(0, 127)) << &r - rows;
    }
}

TEST(EditorOk, ChecksInOrderWithMessageAndFocus) {
    using F = EditorField;
    const std::u16string longName = std::u16string(130, u'L');
    constexpr uint32_t kOldLeft = IDS_WM_RENAME_OLD_LEFT;
    // No own name: add mode. The fake refuses "%bogus%", cannot save the text "full" and cannot
    // remove "Locked".
    const struct {
        const char16_t *own, *name, *text;
        bool dynamic;
        uint32_t size, message;
        F focus;
        const char* calls;
    } rows[] = {
        {nullptr, u"   ", u"x", false, 72, IDS_WM_NAME_MISSING, F::Name, ""},
        {nullptr, u"Sketch", u" ", false, 72, IDS_WM_TEXT_MISSING, F::Text, ""},
        // Trailing spaces go before the store is asked; the store ignores letter case.
        {nullptr, u"Draft  ", u"x", false, 72, IDS_WM_NAME_EXISTS, F::Name, "exists"},
        {nullptr, u"DRAFT", u"x", false, 0, IDS_WM_NAME_EXISTS, F::Name, "exists"},
        {nullptr, u"Dr\taft", u"x", false, 72, IDS_WM_NAME_CONTROL_CHARS, F::Name, ""},
        {nullptr, u"(None)", u"x", false, 72, IDS_WM_NAME_IS_NONE, F::Name, "exists"},
        {nullptr, u"(none)", u"x", false, 72, 0, F::None, "exists save"},
        {nullptr, u"Sketch", u"x", false, 0, IDS_WM_SIZE_NOT_POSITIVE, F::FontSize, "exists"},
        {nullptr, u"Sketch", u"%bogus%", true, 72, IDS_WM_DYNAMIC_INVALID, F::Text,
         "exists validate"},
        {nullptr, u"Sketch", u"%bogus%", false, 72, 0, F::None, "exists save"},
        {nullptr, u"Sketch", u"full", true, 72, IDS_WM_SAVE_FAILED, F::None,
         "exists validate save"},
        // Edit mode: the own name, unchanged, is not checked and is saved over.
        {u"Draft", u"Draft ", u"x", false, 72, 0, F::None, "save"},
        // A change of letter case only is refused: saving it would be saving over itself.
        {u"Draft", u"DRAFT", u"x", false, 72, IDS_WM_NAME_EXISTS, F::Name, "exists"},
        // A rename removes the old name, and only after the new one is saved.
        {u"Draft", u"Sketch", u"x", false, 72, 0, F::None, "exists save delete"},
        {u"Draft", u"Sketch", u"full", false, 72, IDS_WM_SAVE_FAILED, F::None, "exists save"},
        // The old name left in the store: the dialog closes on the saved record, but says so.
        {u"Locked", u"Sketch", u"x", false, 72, kOldLeft, F::None, "exists save delete"},
        // Edit mode without a stored name to edit behaves like add mode.
        {u"", u"Sketch", u"x", false, 72, 0, F::None, "exists save"},
        // A name pasted past the field is judged and saved as the field holds it.
        {nullptr, longName.c_str(), u"x", false, 72, 0, F::None, "exists save"},
    };
    for (const auto& r : rows) {
        FakeServices services;
        EditorControls c = Filled();
        c.name = r.name;
        c.text = r.text;
        c.dynamic = r.dynamic;
        c.size = {ComboChoice::Item, r.size};
        EditorMode mode;
        mode.addMode = !r.own;
        mode.ownName = r.own;
        mode.noneText = u"(None)";
        WatermarkSettings saved = DefaultWatermark();
        const EditorOkResult result = ConfirmEditor(c, mode, services, &saved);
        EXPECT_EQ(result.messageId, r.message) << &r - rows;
        EXPECT_EQ(result.focus, r.focus) << &r - rows;
        EXPECT_EQ(services.calls, r.calls) << &r - rows;
        EXPECT_EQ(result.saved, r.message == 0 || r.message == kOldLeft) << &r - rows;
        EXPECT_EQ(result.warning, r.message == kOldLeft) << &r - rows;
        if (result.saved) {
            EXPECT_EQ(Text(saved.name), services.savedName) << &r - rows;
            // The store is asked about the name that is then saved.
            if (!r.own) {
                EXPECT_EQ(services.askedName, services.savedName) << &r - rows;
            }
        }
        EXPECT_EQ(services.deletedName,
                  services.calls.find("delete") != std::string::npos ? r.own : u"")
            << &r - rows;
    }
    EditorMode add;
    FakeServices services;
    EXPECT_TRUE(ConfirmEditor(Filled(), add, services, nullptr).saved) << "the record is optional";
}
