#include "treeoptions/tree_rules.h"

#include <cstring>

namespace cv {

namespace {

// String numbers of the entries.
constexpr uint16_t kPrinterSetting = 104, kOn = 105, kManual = 108, kAuto = 138,
                   kSrgbDisplay = 139, kSrgbVivid = 140, kVivid = 141, kUsCmyk = 142,
                   kEuroCmyk = 143, kOff = 144, kVividCmyk = 146, kDisplayTrueBlack = 1233;

#define CV_FIELD(name) static_cast<uint16_t>(offsetof(PluginDevmode, name))

constexpr TreeItemKind H = TreeItemKind::Heading, L = TreeItemKind::List,
                       U = TreeItemKind::UpDown, C = TreeItemKind::Check;
constexpr TreeItemPresence kAlways = TreeItemPresence::Always;

// clang-format off
const TreeItemSpec kManualColor[] = {
    // id                  lvl name kind presence entries                                                 n  extra               low high fields                                                          n  controller            manual copied reinit
    {kItemManualColor,      1, 214, H, kAlways, {},                                                       0, 0,                  0, 0,  {},                                                              0, 0,                    0,     false, false},
    {kItemColorCorrection,  2, 215, L, kAlways, {kPrinterSetting, kOff, kAuto, kManual},                  4, 0,                  0, 0,  {CV_FIELD(colorCorrection)},                                     1, 0,                    0,     false, false},
    {kItemRgb,              3, 219, H, kAlways, {},                                                       0, 0,                  0, 0,  {},                                                              0, 0,                    0,     false, false},
    {kItemRgbImages,        4, 216, L, kAlways, {kPrinterSetting, kSrgbDisplay, kSrgbVivid, kVivid, kOff}, 5, kDisplayTrueBlack, 0, 0,  {CV_FIELD(rgbImages)},                                           1, kItemColorCorrection, 3,     true,  false},
    {kItemRgbText,          4, 217, L, kAlways, {kPrinterSetting, kSrgbDisplay, kSrgbVivid, kVivid, kOff}, 5, kDisplayTrueBlack, 0, 0,  {CV_FIELD(rgbText)},                                             1, kItemColorCorrection, 3,     true,  false},
    {kItemRgbGraphics,      4, 218, L, kAlways, {kPrinterSetting, kSrgbDisplay, kSrgbVivid, kVivid, kOff}, 5, kDisplayTrueBlack, 0, 0,  {CV_FIELD(rgbGraphics)},                                         1, kItemColorCorrection, 3,     true,  false},
    {kItemCmyk,             3, 220, L, kAlways, {kPrinterSetting, kUsCmyk, kEuroCmyk, kVividCmyk, kOff},  5, 0,                  0, 0,  {CV_FIELD(cmykGraphics), CV_FIELD(cmykImages), CV_FIELD(cmykText)}, 3, kItemColorCorrection, 3,  false, false},
    {kItemColorBalance,     2, 221, L, kAlways, {kPrinterSetting, kManual},                               2, 0,                  0, 0,  {CV_FIELD(colorBalance)},                                        1, 0,                    0,     false, false},
    {kItemCyan,             3, 223, U, kAlways, {},                                                       0, 0,                 -5, 5,  {CV_FIELD(cyanBalance)},                                         1, kItemColorBalance,    1,     true,  false},
    {kItemYellow,           3,  26, U, kAlways, {},                                                       0, 0,                 -5, 5,  {CV_FIELD(yellowBalance)},                                       1, kItemColorBalance,    1,     true,  false},
    {kItemMagenta,          3, 224, U, kAlways, {},                                                       0, 0,                 -5, 5,  {CV_FIELD(magentaBalance)},                                      1, kItemColorBalance,    1,     true,  false},
    {kItemBlack,            3,  25, U, kAlways, {},                                                       0, 0,                 -5, 5,  {CV_FIELD(blackBalance)},                                        1, kItemColorBalance,    1,     true,  false},
    {kItemHueMiser,         2, 222, L, kAlways, {kPrinterSetting, kOff, kOn},                             3, 0,                  0, 0,  {CV_FIELD(hueMiser)},                                            1, 0,                    0,     false, false},
};

const TreeItemSpec kPrintQuality[] = {
    {kItemPrintQuality,     1, 233, H, kAlways,                              {}, 0, 0, 0, 0, {},                           0, 0, 0, false, false},
    {kItemBrightness,       2, 229, U, kAlways,                              {}, 0, 0, -6, 6, {CV_FIELD(brightness)},      1, 0, 0, false, true},
    {kItemContrast,         2, 230, U, kAlways,                              {}, 0, 0, 0, 5, {CV_FIELD(contrast)},         1, 0, 0, false, true},
    {kItemSaturation,       2, 231, U, TreeItemPresence::WithManualColor,    {}, 0, 0, 0, 5, {CV_FIELD(saturation)},       1, 0, 0, false, true},
    {kItemGrayCorrection,   2, 234, C, TreeItemPresence::WithoutManualColor, {}, 0, 0, 0, 0, {CV_FIELD(grayCorrection)},   1, 0, 0, false, false},
    {kItemEnhanceFineLines, 2, 232, C, kAlways,                              {}, 0, 0, 0, 0, {CV_FIELD(enhanceFineLines)}, 1, 0, 0, false, false},
};
// clang-format on

#undef CV_FIELD

struct Group {
    const TreeItemSpec* items;
    size_t count;
};
const Group kGroups[] = {{kManualColor, sizeof kManualColor / sizeof kManualColor[0]},
                         {kPrintQuality, sizeof kPrintQuality / sizeof kPrintQuality[0]}};

int32_t ReadField(const PluginDevmode& dm, uint16_t offset) {
    int32_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&dm) + offset, sizeof value);
    return value;
}

void WriteField(PluginDevmode* dm, uint16_t offset, int32_t value) {
    std::memcpy(reinterpret_cast<unsigned char*>(dm) + offset, &value, sizeof value);
}

void WriteAll(const TreeItemSpec& row, int32_t value, PluginDevmode* const* targets,
              size_t targetCount) {
    for (size_t t = 0; t < targetCount; ++t)
        if (targets[t])
            for (uint8_t f = 0; f < row.fieldCount; ++f)
                WriteField(targets[t], row.fields[f], value);
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
        if (!x) return true;
    }
}

} // namespace

const TreeItemSpec* ManualColorGroup(size_t* count) {
    *count = sizeof kManualColor / sizeof kManualColor[0];
    return kManualColor;
}

const TreeItemSpec* PrintQualityGroup(size_t* count) {
    *count = sizeof kPrintQuality / sizeof kPrintQuality[0];
    return kPrintQuality;
}

const TreeItemSpec* FindTreeItemSpec(uint32_t id) {
    for (const Group& group : kGroups)
        for (size_t i = 0; i < group.count; ++i)
            if (group.items[i].id == id) return &group.items[i];
    return nullptr;
}

bool TreeItemPresent(const TreeItemSpec& row, const TreeFeatures& features) {
    switch (row.presence) {
    case TreeItemPresence::WithManualColor:
        return features.manualColor;
    case TreeItemPresence::WithoutManualColor:
        return !features.manualColor;
    case TreeItemPresence::Always:
        break;
    }
    return true;
}

uint32_t CountTreeItems(const TreeFeatures& features) {
    uint32_t count = 0;
    if (features.manualColor) count += sizeof kManualColor / sizeof kManualColor[0];
    if (features.newPrintQuality)
        for (const TreeItemSpec& s : kPrintQuality)
            if (TreeItemPresent(s, features)) ++count;
    return count;
}

size_t TreeEntryCount(const TreeItemSpec& row, const TreeFeatures& features) {
    if (row.kind != TreeItemKind::List) return 0;
    return row.entryCount + (row.newQualityEntry && features.newPrintQuality ? 1 : 0);
}

uint16_t TreeEntryString(const TreeItemSpec& row, size_t index) {
    if (index < row.entryCount) return row.entries[index];
    return index == row.entryCount ? row.newQualityEntry : 0;
}

int32_t TreeInitialSelection(const TreeItemSpec& row, const PluginDevmode& dm) {
    return row.fieldCount ? ReadField(dm, row.fields[0]) : 0;
}

bool TreeInitiallyDisabled(const TreeItemSpec& row, const PluginDevmode& dm) {
    if (!row.controller) return false;
    const TreeItemSpec* controller = FindTreeItemSpec(row.controller);
    return !controller || TreeInitialSelection(*controller, dm) != row.manualValue;
}

int32_t TreeSelectionChanged(uint32_t id, int32_t sel, TreeItemStates& states,
                             PluginDevmode* const* targets, size_t targetCount) {
    const TreeItemSpec* row = FindTreeItemSpec(id);
    if (!row || !row->fieldCount) return kTreeActionNone;
    // The controller's dependents: their selections go in first, then their marks turn.
    bool controls = false;
    for (const Group& group : kGroups)
        for (size_t i = 0; i < group.count; ++i) {
            const TreeItemSpec& dependent = group.items[i];
            int32_t current = 0;
            if (dependent.controller == id && dependent.copiedByController &&
                states.Selection(dependent.id, &current))
                WriteAll(dependent, current, targets, targetCount);
        }
    for (const Group& group : kGroups)
        for (size_t i = 0; i < group.count; ++i)
            if (group.items[i].controller == id) {
                controls = true;
                states.SetDisabledAndChanged(group.items[i].id, sel != group.items[i].manualValue);
            }
    WriteAll(*row, sel, targets, targetCount);
    if (row->reinitOnChange) states.MarkChanged(id);
    return controls || row->reinitOnChange ? kTreeActionReinitItems : kTreeActionNone;
}

bool HiddenInPrinterSheet(const char* keyword) {
    if (!keyword) return false;
    for (const char* hidden : {"HasPrintandHold", "HasManualColorCorrection",
                               "HasKeepPreviousPHJobs", "HasManualDuplex"})
        if (EqualsIgnoringAsciiCase(keyword, hidden)) return true;
    return false;
}

void LayoutItemFinder::See(size_t index, uint32_t dmPubId, bool hidden, const char* keyword) {
    if (hidden) return;
    const auto at = static_cast<ptrdiff_t>(index);
    if (dmPubId == kPageOrderPubId)
        pageOrder = at;
    else if (dmPubId == kNupPubId)
        nup = at;
    else if (pageOrder == kNone && keyword && std::strcmp(keyword, "OutputOrder") == 0)
        pageOrder = at;
}

int32_t BookletIndex(const std::u16string* bookletText, size_t count, const EntryTexts& texts) {
    if (!bookletText) return kFallbackBookletIndex;
    std::u16string text;
    for (size_t i = 0; i < count; ++i)
        if (texts.Text(i, &text) && text == *bookletText) return static_cast<int32_t>(i);
    return kFallbackBookletIndex;
}

} // namespace cv
