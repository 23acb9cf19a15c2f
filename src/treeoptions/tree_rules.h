// The plug-in's colour and quality items of the driver's Advanced tree as one table, and the
// rules around them that need no platform: which items a printer model gets, their entries and
// ranges, the values they start from, what a change writes into the devmode, which driver items
// the printer sheet hides, and how the driver's layout items are found and read at apply.
// Portable (no <windows.h>); the Win32 shell turns the table into OPTITEMs.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

enum class TreeItemKind : uint8_t { Heading, List, UpDown, Check };

// Which of the two printer features an item depends on for its presence.
enum class TreeItemPresence : uint8_t {
    Always,
    WithManualColor,    // only when the model also has "HasManualColorCorrection"
    WithoutManualColor, // only when it has not
};

// UserItemID of every item the plug-in adds (3 and 15 are not used).
enum TreeItemId : uint16_t {
    kItemManualColor = 1,
    kItemColorCorrection = 2,
    kItemRgb = 4,
    kItemRgbImages = 5,
    kItemRgbText = 6,
    kItemRgbGraphics = 7,
    kItemCmyk = 8,
    kItemColorBalance = 9,
    kItemCyan = 10,
    kItemYellow = 11,
    kItemMagenta = 12,
    kItemBlack = 13,
    kItemHueMiser = 14,
    kItemPrintQuality = 16,
    kItemBrightness = 17,
    kItemContrast = 18,
    kItemSaturation = 19,
    kItemGrayCorrection = 20,
    kItemEnhanceFineLines = 21,
};

// The printer features that decide the groups, as the model answers them.
struct TreeFeatures {
    bool manualColor = false;     // "HasManualColorCorrection"
    bool newPrintQuality = false; // "HasNewPrintQuality"
};

constexpr size_t kMaxTreeFields = 3;
constexpr size_t kMaxTreeEntries = 6;

struct TreeItemSpec {
    uint16_t id;
    uint8_t level;
    uint16_t nameId; // string-table number
    TreeItemKind kind;
    TreeItemPresence presence;
    // List entries by string number; the index of an entry is the stored value. The last one
    // (`newQualityEntry`, 0 for none) is there only when the model has "HasNewPrintQuality".
    uint16_t entries[kMaxTreeEntries];
    uint8_t entryCount;
    uint16_t newQualityEntry;
    int32_t low, high; // up-down range
    // Byte offsets in PluginDevmode of the 32-bit fields a change writes; the first is shown.
    uint16_t fields[kMaxTreeFields];
    uint8_t fieldCount;
    // A dependent item is enabled only while `controller` stands on `manualValue`.
    uint16_t controller;
    int32_t manualValue;
    // The controller writes this dependent's current selection when it changes.
    bool copiedByController;
    // A change marks the item changed and asks the host to re-read every item.
    bool reinitOnChange;
};

// The Manual Color group (13 items) and the Print Quality group (5 of its 6 rows), in order.
const TreeItemSpec* ManualColorGroup(size_t* count);
const TreeItemSpec* PrintQualityGroup(size_t* count);
// The row of an identifier; null for an unknown one.
const TreeItemSpec* FindTreeItemSpec(uint32_t id);

// Whether an item of a group is added for this model.
bool TreeItemPresent(const TreeItemSpec& row, const TreeFeatures& features);
// How many items the plug-in adds: 13 with manual colour, 5 with the new print quality.
uint32_t CountTreeItems(const TreeFeatures& features);
// The entries a list item shows for this model (0 for other kinds).
size_t TreeEntryCount(const TreeItemSpec& row, const TreeFeatures& features);
uint16_t TreeEntryString(const TreeItemSpec& row, size_t index);

// The selection an item starts from: the raw stored number of the field it shows, signed.
int32_t TreeInitialSelection(const TreeItemSpec& row, const PluginDevmode& dm);
// A dependent item starts disabled unless its controller's stored value is its manual value.
bool TreeInitiallyDisabled(const TreeItemSpec& row, const PluginDevmode& dm);

// The items of the tree as the callback sees them, found by identifier.
class TreeItemStates {
  public:
    virtual ~TreeItemStates() = default;
    // The item's current selection; false when the tree has no such item.
    virtual bool Selection(uint32_t id, int32_t* sel) const = 0;
    // Turns the item's disabled mark on or off and marks it changed; nothing for a missing item.
    virtual void SetDisabledAndChanged(uint32_t id, bool disabled) = 0;
    // Marks the item changed.
    virtual void MarkChanged(uint32_t id) = 0;
};

// Callback answers (CPSUICB_ACTION_*), as numbers the portable core can name.
constexpr int32_t kTreeActionNone = 0;
constexpr int32_t kTreeActionReinitItems = 2;
constexpr int32_t kTreeActionItemsApplied = 4;

// A selection change of item `id` to `sel`: its fields are written into every devmode of
// `targets` (the null ones skipped), a controller first writes its copied dependents' current
// selections and turns their disabled marks. Returns the action for the host.
int32_t TreeSelectionChanged(uint32_t id, int32_t sel, TreeItemStates& states,
                             PluginDevmode* const* targets, size_t targetCount);

// --- Driver items -----------------------------------------------------------------------------

// The printer sheet hides the driver's items for these features, in any letter case.
bool HiddenInPrinterSheet(const char* keyword);

// The driver's page-order and pages-per-sheet items, found in one walk over its items in order.
class LayoutItemFinder {
  public:
    static constexpr uint32_t kPageOrderPubId = 17; // DMPUB_PAGEORDER
    static constexpr uint32_t kNupPubId = 16;       // DMPUB_NUP
    // One item: its DMPubID, whether it is hidden, its feature keyword (null for none).
    void See(size_t index, uint32_t dmPubId, bool hidden, const char* keyword);
    static constexpr ptrdiff_t kNone = -1;
    ptrdiff_t pageOrder = kNone;
    ptrdiff_t nup = kNone;
};

// The entry of the pages-per-sheet list that compstui names the booklet when no entry's text
// matches its booklet text (or a text cannot be read).
constexpr int32_t kFallbackBookletIndex = 6;

// Reads the text of entry `index` of the pages-per-sheet item; false when it cannot be read.
class EntryTexts {
  public:
    virtual ~EntryTexts() = default;
    virtual bool Text(size_t index, std::u16string* text) const = 0;
};
// The index of the first of `count` entries whose text equals `bookletText` exactly; the
// fallback when none does or `bookletText` is missing (null).
int32_t BookletIndex(const std::u16string* bookletText, size_t count, const EntryTexts& texts);

// What the devmode's reverseOrBooklet records at apply.
inline bool ReverseOrBooklet(bool nupOnBooklet, int32_t pageOrderSel) {
    return nupOnBooklet || pageOrderSel == 1;
}

} // namespace cv
