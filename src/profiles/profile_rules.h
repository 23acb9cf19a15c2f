// Personal profiles without the platform: the value names under which a profile keeps the
// driver's items, the rule that finds an item again by such a name, what a stored value may
// carry into an item or into the working devmode, the comparison of two devmode images, and the
// rules for a profile's name. The Win32 store reads and writes the registry and turns OPTITEMs
// into the plain records below; every decision about the values is taken here.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cv {

// A profile name is at most 127 characters; arrays that hold one have room for the terminator.
constexpr size_t kProfileNameCapacity = 128;
constexpr size_t kProfileNameMaxChars = kProfileNameCapacity - 1;
// A stored text of an edit item is cut to this many characters when it is saved.
constexpr size_t kItemTextMaxChars = 127;

// REG_DWORD; the other value types the store meets are in records.h.
constexpr uint32_t kRegistryDword = 4;

// The value that holds the plug-in's whole devmode, and the one every save writes first (the
// driver's duplex item, DMPUB_DUPLEX, overwrites it when the driver has one).
constexpr char16_t kCustomDevDataName[] = u"CustomDevData";
constexpr char16_t kDuplexValueName[] = u"7";

// compstui's option types (OPTTYPE.Type) as the store tells them apart.
enum ProfileItemType : uint8_t {
    kTypeTwoStates = 0,
    kTypeThreeStates = 1,
    kTypeUpDown = 2,
    kTypeTrackBar = 3,
    kTypeScrollBar = 4,
    kTypeListBox = 5,
    kTypeComboBox = 6,
    kTypeEditBox = 7,
};

// One of the driver's option items as the store sees it.
struct ProfileItem {
    uint8_t dmPubId = 0;
    // The item's name: a text (terminated), or else the number of a string resource.
    const char16_t* nameText = nullptr;
    uint16_t nameId = 0;
    bool hasType = false; // the item has an OPTTYPE
    uint8_t type = 0;
    uint16_t count = 0; // parameters of the OPTTYPE: the entries of a list
    // The range of a number item (up-down, track bar, scroll bar), when its OPTTYPE gives one.
    bool hasRange = false;
    int32_t low = 0, high = 0;
    int32_t sel = 0;
    // An edit item's text (null when it has none) and the units its buffer holds, terminator
    // included.
    const char16_t* text = nullptr;
    size_t textCapacity = 0;
};

// What an item keeps in a profile: its selection (types 0 to 6), its text (an edit item that has
// one), or nothing (push buttons, check boxes, headings).
enum class ItemValueKind { None, Selection, Text };
ItemValueKind StoredKind(const ProfileItem& item);

// The name of the item's value: its DMPubID in decimal when it has one, else its name when that
// is a text (at most 127 characters), else its string number in decimal.
std::u16string ItemValueName(const ProfileItem& item);

// The number at the start of a text as _wtoi reads it: leading white space, a sign, decimal
// digits; 0 when there are none; a number out of range stops at INT32_MAX or INT32_MIN.
int32_t LeadingInteger(const char16_t* text);

bool IsCustomDevDataName(const char16_t* name);

// The first item a stored value name stands for; -1 for none: an item with a DMPubID, or named
// by a string number, whose number the name starts with (as _wtoi reads it; a name without a
// number stands for neither), or an item whose text name (cut as its value name is) equals it.
// "CustomDevData" is the devmode's value and stands for no item.
ptrdiff_t MatchStoredName(const char16_t* valueName, const ProfileItem* items, size_t count);

// A value of a profile as the registry holds it.
struct StoredValue {
    std::u16string name;
    uint32_t type = 0;
    std::vector<unsigned char> data;
};

// The selection a stored value gives an item: a REG_DWORD of 4 bytes that the item can show (an
// entry of its list, a number within its range). False otherwise: the value is not used.
bool DecodeStoredSelection(const ProfileItem& item, const StoredValue& value, int32_t* sel);
// The text a stored value gives an edit item: a REG_SZ, up to its first terminator, cut so that
// it fits the item's buffer with its terminator. False for another type or an item without a
// text buffer.
bool DecodeStoredText(const ProfileItem& item, const StoredValue& value, std::u16string* text);
// The plug-in devmode a "CustomDevData" value holds: binary data of a record of ours (a whole
// header with our signature). An image of another size is converted as a devmode of an older or
// newer release is (the bytes it has, defaults for the rest, never more than it holds) and every
// image is repaired as a merged devmode is. False, with `out` untouched, for anything else.
bool DecodeProfileDevmode(uint32_t type, const void* data, size_t size, PluginDevmode* out);

// What loading a profile changes: the items that take a stored selection or text, in the order
// the values were read, and the devmode image, when the profile holds a usable one. Values that
// name no item or cannot be used for theirs are left out.
struct ProfileLoadPlan {
    struct ItemChange {
        size_t item;
        ItemValueKind kind;
        int32_t sel;
        std::u16string text;
    };
    std::vector<ItemChange> items;
    bool hasDevmode = false;
    PluginDevmode devmode;
};
ProfileLoadPlan PlanProfileLoad(const std::vector<StoredValue>& values, const ProfileItem* items,
                                size_t count);

// Whether the current items and working devmode are what the profile holds. Only what a load
// would take part: a value it would leave out cannot differ, so that a profile always matches the
// settings just loaded from it.
bool ProfileMatches(const std::vector<StoredValue>& values, const ProfileItem* items, size_t count,
                    const PluginDevmode& dm);

// The values a save writes, in order: "7" as 0, one per item that keeps a value (a later item of
// the same value name replaces an earlier one in its place; names are the registry's, so letter
// case does not tell two apart), and "CustomDevData" with the devmode's 7672 bytes.
std::vector<StoredValue> PlanProfileSave(const ProfileItem* items, size_t count,
                                         const PluginDevmode& dm);

// The two devmode images hold the same settings, as a profile compares them: the numbers, texts
// and watermark names of the record (the watermark names without regard to case); not the
// header, jobShortText, the fax cover flags, profileName or the reserved tail.
bool SettingsEqual(const PluginDevmode& a, const PluginDevmode& b);

// --- Names -------------------------------------------------------------------------------------

// The names no profile may have: "Factory Defaults" and "<Unknown Profile>" as the module's
// string table gives them.
struct ReservedProfileNames {
    const char16_t* factory;
    const char16_t* unknown;
};
bool IsReservedProfileName(const char16_t* name, const ReservedProfileNames& reserved);
// None of ".", "/" and "\".
bool ProfileNameCharsValid(const char16_t* name);
bool ProfileNameHasControlChars(const char16_t* name);

// Whether a name is stored already, without regard to case (the store's answer).
class ProfileNameLookup {
  public:
    virtual ~ProfileNameLookup() = default;
    virtual bool IsFree(const char16_t* name) const = 0;
};
// The checks of the name dialog's OK, in order: a trailing space (192), a reserved name (213), a
// period or slash (199), control characters (1242), a name in use (183). 0 when the name may be
// used. A blank name (the dialog keeps OK disabled for one) answers kBlankProfileName: nothing is
// said and nothing is taken.
constexpr uint32_t kBlankProfileName = UINT32_MAX;
uint32_t ProfileNameProblem(const char16_t* name, const ReservedProfileNames& reserved,
                            const ProfileNameLookup& lookup);

// OK of the name dialog: saving wants a name that is not blank; renaming one that is not blank
// and differs from the old name other than in letter case (`trimmed` without trailing spaces).
bool SaveNameAcceptable(const char16_t* text);
bool RenameNameAcceptable(const char16_t* trimmed, const char16_t* oldName);

// A message of the string table with its "%s" filled from `arguments` in order ("%%" is a
// percent sign; any other "%" stays as it is; a "%s" without argument is left out), cut to
// `maxUnits` units.
std::u16string FormatProfileMessage(const std::u16string& format,
                                    const std::vector<std::u16string>& arguments,
                                    size_t maxUnits = 2047);

} // namespace cv
