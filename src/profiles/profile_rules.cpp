#include "profiles/profile_rules.h"

#include "profiles/profiles_resource.h"
#include "ui/bounded_string.h"
#include "ui/text_case.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <unordered_map>

namespace cv {

namespace {

std::u16string Decimal(int32_t value) {
    char16_t text[kNumberTextCapacity];
    FormatInteger(value, text);
    return text;
}

// Whether LeadingInteger finds any digit.
bool HasLeadingNumber(const char16_t* text) {
    while (IsWideSpace(*text))
        ++text;
    if (*text == u'-' || *text == u'+') ++text;
    return *text >= u'0' && *text <= u'9';
}

bool IsListType(uint8_t type) {
    return type == kTypeTwoStates || type == kTypeThreeStates || type == kTypeListBox ||
           type == kTypeComboBox;
}

// The name of an item as its value name holds it: cut where a stored name is cut.
size_t NameTextLength(const ProfileItem& item) {
    return BoundedLength(item.nameText, kProfileNameMaxChars);
}

// The current text of an edit item, within its buffer.
std::u16string ItemText(const ProfileItem& item) {
    const size_t capacity = item.textCapacity ? item.textCapacity - 1 : 0;
    return std::u16string(item.text, BoundedLength(item.text, capacity));
}

StoredValue DwordValue(std::u16string name, int32_t number) {
    StoredValue v;
    v.name = std::move(name);
    v.type = kRegistryDword;
    v.data.resize(sizeof number);
    std::memcpy(v.data.data(), &number, sizeof number);
    return v;
}

} // namespace

ItemValueKind StoredKind(const ProfileItem& item) {
    if (!item.hasType) return ItemValueKind::None;
    if (item.type <= kTypeComboBox) return ItemValueKind::Selection;
    if (item.type == kTypeEditBox && item.text) return ItemValueKind::Text;
    return ItemValueKind::None;
}

std::u16string ItemValueName(const ProfileItem& item) {
    if (item.dmPubId != 0) return Decimal(item.dmPubId);
    if (item.nameText) return std::u16string(item.nameText, NameTextLength(item));
    return Decimal(item.nameId);
}

int32_t LeadingInteger(const char16_t* text) {
    if (!text) return 0;
    while (IsWideSpace(*text))
        ++text;
    const bool negative = *text == u'-';
    if (*text == u'-' || *text == u'+') ++text;
    int64_t value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        value = value * 10 + (*text - u'0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1; // saturated
    }
    if (negative) return value > INT32_MAX ? INT32_MIN : static_cast<int32_t>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

bool IsCustomDevDataName(const char16_t* name) {
    return EqualTextIgnoringCase(name, kCustomDevDataName);
}

ptrdiff_t MatchStoredName(const char16_t* valueName, const ProfileItem* items, size_t count) {
    if (!valueName || !items || IsCustomDevDataName(valueName)) return -1;
    const int32_t number = LeadingInteger(valueName);
    // A name without a number in front reads as 0, which would hand the value of a text-named
    // item to any item without a name: only a number stands for a DMPubID or a string number.
    const bool numeric = HasLeadingNumber(valueName);
    for (size_t i = 0; i < count; ++i) {
        const ProfileItem& item = items[i];
        bool match;
        if (item.dmPubId != 0)
            match = numeric && item.dmPubId == number;
        else if (!item.nameText)
            match = numeric && item.nameId == number;
        else
            match = BoundedEqual(item.nameText, NameTextLength(item), valueName, SIZE_MAX);
        if (match) return static_cast<ptrdiff_t>(i);
    }
    return -1;
}

bool DecodeStoredSelection(const ProfileItem& item, const StoredValue& value, int32_t* sel) {
    if (StoredKind(item) != ItemValueKind::Selection || value.type != kRegistryDword ||
        value.data.size() != sizeof(int32_t) || !sel)
        return false;
    int32_t stored;
    std::memcpy(&stored, value.data.data(), sizeof stored);
    // The driver indexes its entries with the selection: one it has not would be read past them.
    if (IsListType(item.type)) {
        if (stored < 0 || stored >= item.count) return false;
    } else if (item.hasRange) {
        if (stored < std::min(item.low, item.high) || stored > std::max(item.low, item.high))
            return false;
    }
    *sel = stored;
    return true;
}

bool DecodeStoredText(const ProfileItem& item, const StoredValue& value, std::u16string* text) {
    if (StoredKind(item) != ItemValueKind::Text || value.type != kRegistryString ||
        item.textCapacity == 0 || !text)
        return false;
    const size_t units = value.data.size() / sizeof(char16_t);
    std::u16string stored(units, u'\0');
    if (units) std::memcpy(&stored[0], value.data.data(), units * sizeof(char16_t));
    stored.resize(std::min(BoundedLength(stored.data(), units), item.textCapacity - 1));
    *text = std::move(stored);
    return true;
}

bool DecodeProfileDevmode(uint32_t type, const void* data, size_t size, PluginDevmode* out) {
    constexpr size_t kHeader = 12;
    if (type != kRegistryBinary || !data || size < kHeader || !out) return false;
    // The image goes through the devmode merge from a buffer of a whole record, so that the
    // merge never reads past what the value holds: the size it claims is cut to that, and the
    // merge reads no byte beyond it.
    PluginDevmode image;
    std::memcpy(&image, data, std::min(size, sizeof image));
    if (image.dwSignature != kPluginSignature) return false;
    image.dwSize = static_cast<uint32_t>(std::min<size_t>(image.dwSize, size));
    if (image.dwSize < kHeader) return false;
    PluginDevmode merged;
    std::memset(&merged, 0, sizeof merged);
    defaultPluginDevmode(&merged);
    mergePluginDevmode(&image, &merged);
    // The merge leaves the profile name alone; it is copied with a bounded copy later, but
    // nothing should carry an unterminated text.
    TerminateArray(merged.profileName);
    *out = merged;
    return true;
}

ProfileLoadPlan PlanProfileLoad(const std::vector<StoredValue>& values, const ProfileItem* items,
                                size_t count) {
    ProfileLoadPlan plan;
    std::memset(&plan.devmode, 0, sizeof plan.devmode);
    for (const StoredValue& value : values) {
        if (IsCustomDevDataName(value.name.c_str())) {
            if (DecodeProfileDevmode(value.type, value.data.data(), value.data.size(),
                                     &plan.devmode))
                plan.hasDevmode = true;
            continue;
        }
        const ptrdiff_t index = MatchStoredName(value.name.c_str(), items, count);
        if (index < 0) continue;
        const ProfileItem& item = items[index];
        ProfileLoadPlan::ItemChange change{static_cast<size_t>(index), StoredKind(item), 0, {}};
        const bool usable = change.kind == ItemValueKind::Selection
                                ? DecodeStoredSelection(item, value, &change.sel)
                                : DecodeStoredText(item, value, &change.text);
        if (usable) plan.items.push_back(std::move(change));
    }
    return plan;
}

bool ProfileMatches(const std::vector<StoredValue>& values, const ProfileItem* items, size_t count,
                    const PluginDevmode& dm) {
    for (const StoredValue& value : values) {
        if (IsCustomDevDataName(value.name.c_str())) {
            PluginDevmode stored;
            if (DecodeProfileDevmode(value.type, value.data.data(), value.data.size(), &stored) &&
                !SettingsEqual(stored, dm))
                return false;
            continue;
        }
        const ptrdiff_t index = MatchStoredName(value.name.c_str(), items, count);
        if (index < 0) continue;
        const ProfileItem& item = items[index];
        int32_t sel = 0;
        std::u16string text;
        if (DecodeStoredSelection(item, value, &sel) && sel != item.sel) return false;
        if (DecodeStoredText(item, value, &text) && text != ItemText(item)) return false;
    }
    return true;
}

std::vector<StoredValue> PlanProfileSave(const ProfileItem* items, size_t count,
                                         const PluginDevmode& dm) {
    std::vector<StoredValue> values;
    // The registry does not tell value names apart by letter case; neither does a save.
    std::unordered_map<std::u16string, size_t> byName;
    const auto put = [&](StoredValue v) {
        auto found = byName.find(FoldedText(v.name));
        if (found != byName.end()) {
            values[found->second] = std::move(v);
            return;
        }
        byName.emplace(FoldedText(v.name), values.size());
        values.push_back(std::move(v));
    };
    put(DwordValue(kDuplexValueName, 0));
    for (size_t i = 0; items && i < count; ++i) {
        const ProfileItem& item = items[i];
        switch (StoredKind(item)) {
        case ItemValueKind::Selection:
            put(DwordValue(ItemValueName(item), item.sel));
            break;
        case ItemValueKind::Text: {
            StoredValue v;
            v.name = ItemValueName(item);
            v.type = kRegistryString;
            const size_t length = BoundedLength(item.text, kItemTextMaxChars);
            v.data.resize((length + 1) * sizeof(char16_t), 0);
            std::memcpy(v.data.data(), item.text, length * sizeof(char16_t));
            put(std::move(v));
            break;
        }
        case ItemValueKind::None:
            break;
        }
    }
    StoredValue image;
    image.name = kCustomDevDataName;
    image.type = kRegistryBinary;
    image.data.resize(sizeof dm);
    std::memcpy(image.data.data(), &dm, sizeof dm);
    put(std::move(image));
    return values;
}

bool SettingsEqual(const PluginDevmode& a, const PluginDevmode& b) {
    const auto same = [](const auto& x, const auto& y) {
        return BoundedEqual(x, sizeof x / sizeof x[0], y, sizeof y / sizeof y[0]);
    };
    const auto sameName = [](const WatermarkSettings& x, const WatermarkSettings& y) {
        return EqualTextIgnoringCase(x.name, std::size(x.name), y.name, std::size(y.name));
    };
    const FaxSettings& fa = a.fax;
    const FaxSettings& fb = b.fax;
    return a.jobFlagE == b.jobFlagE && a.jobFlagB == b.jobFlagB &&
           a.keepPreviousJobs == b.keepPreviousJobs && a.profileLoaded == b.profileLoaded &&
           a.jobFlagA == b.jobFlagA && a.jobFlagD == b.jobFlagD && a.jobFlagC == b.jobFlagC &&
           a.reverseOrBooklet == b.reverseOrBooklet && a.watermarkOverPage == b.watermarkOverPage &&
           a.watermarkEnabled == b.watermarkEnabled && a.outputTo == b.outputTo &&
           a.watermarkOrder == b.watermarkOrder && a.jobSelector == b.jobSelector &&
           sameName(a.firstWatermark, b.firstWatermark) &&
           sameName(a.otherWatermark, b.otherWatermark) && same(a.jobText, b.jobText) &&
           same(a.pin, b.pin) && same(a.userName, b.userName) &&
           same(fa.cover.senderAddress, fb.cover.senderAddress) &&
           same(fa.cover.reservedText, fb.cover.reservedText) &&
           same(fa.cover.comments, fb.cover.comments) &&
           same(fa.cover.senderCompany, fb.cover.senderCompany) &&
           same(fa.cover.senderEmail, fb.cover.senderEmail) &&
           same(fa.cover.senderName, fb.cover.senderName) &&
           same(fa.cover.senderFax, fb.cover.senderFax) &&
           same(fa.cover.senderVoice, fb.cover.senderVoice) &&
           same(fa.recipientFax, fb.recipientFax) && same(fa.recipientName, fb.recipientName) &&
           same(fa.station, fb.station) && fa.sendCoverPage == fb.sendCoverPage &&
           fa.resolution == fb.resolution && a.colorBalance == b.colorBalance &&
           a.cmykGraphics == b.cmykGraphics && a.cmykImages == b.cmykImages &&
           a.cmykText == b.cmykText && a.hueMiser == b.hueMiser &&
           a.colorCorrection == b.colorCorrection && a.rgbGraphics == b.rgbGraphics &&
           a.rgbImages == b.rgbImages && a.rgbText == b.rgbText &&
           a.blackBalance == b.blackBalance && a.cyanBalance == b.cyanBalance &&
           a.magentaBalance == b.magentaBalance && a.yellowBalance == b.yellowBalance &&
           a.brightness == b.brightness && a.contrast == b.contrast &&
           a.saturation == b.saturation && a.grayCorrection == b.grayCorrection &&
           a.enhanceFineLines == b.enhanceFineLines;
}

// --- Names -------------------------------------------------------------------------------------

bool IsReservedProfileName(const char16_t* name, const ReservedProfileNames& reserved) {
    return EqualTextIgnoringCase(name, reserved.factory) ||
           EqualTextIgnoringCase(name, reserved.unknown);
}

bool ProfileNameCharsValid(const char16_t* name) {
    for (; name && *name; ++name)
        if (*name == u'.' || *name == u'/' || *name == u'\\') return false;
    return true;
}

bool ProfileNameHasControlChars(const char16_t* name) {
    for (; name && *name; ++name)
        if (*name < 0x20 || (*name >= 0x7F && *name <= 0x9F)) return true;
    return false;
}

uint32_t ProfileNameProblem(const char16_t* name, const ReservedProfileNames& reserved,
                            const ProfileNameLookup& lookup) {
    if (!name || !*name || IsBlankText(name)) return kBlankProfileName;
    size_t length = 0;
    while (name[length])
        ++length;
    if (name[length - 1] == u' ') return IDS_PROFILE_NAME_TRAILING_SPACE;
    if (IsReservedProfileName(name, reserved)) return IDS_PROFILE_NAME_RESERVED;
    if (!ProfileNameCharsValid(name)) return IDS_PROFILE_NAME_CHARS;
    if (ProfileNameHasControlChars(name)) return IDS_PROFILE_NAME_CONTROL_CHARS;
    if (!lookup.IsFree(name)) return IDS_PROFILE_NAME_USED;
    return 0;
}

bool SaveNameAcceptable(const char16_t* text) {
    return text && *text && !IsBlankText(text);
}

bool RenameNameAcceptable(const char16_t* trimmed, const char16_t* oldName) {
    return SaveNameAcceptable(trimmed) && !EqualTextIgnoringCase(trimmed, oldName);
}

std::u16string FormatProfileMessage(const std::u16string& format,
                                    const std::vector<std::u16string>& arguments, size_t maxUnits) {
    std::u16string text;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size()) {
            if (format[i + 1] == u's') {
                if (next < arguments.size()) text += arguments[next];
                ++next;
                ++i;
                continue;
            }
            if (format[i + 1] == u'%') {
                text.push_back(u'%');
                ++i;
                continue;
            }
        }
        text.push_back(format[i]);
    }
    if (text.size() > maxUnits) text.resize(maxUnits);
    return text;
}

} // namespace cv
