// The rules of the Watermark page that need no window: how each watermark order looks (which
// radio button, which captions, which controls the user may change), what the page shows for a
// devmode, which list selections count when the user leaves, what goes into a devmode, and which
// names the lists select again after a watermark was edited or removed. The Win32 page reads its
// radio buttons and lists into the records below and does what these rules answer.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// PluginDevmode.watermarkOrder, which is also the page's order state.
enum WatermarkOrder : uint32_t {
    OrderNone = 0,
    OrderAllPages = 1,
    OrderOddEven = 2,
    OrderFirstOther = 3,
};

// How the page shows an order state.
struct OrderLook {
    int radio;              // the order radio button that is checked
    bool selection;         // the selection controls (lists, captions, placement) are enabled
    bool secondList;        // the second list and its caption are enabled
    uint32_t firstCaption;  // string shown over the first list
    uint32_t secondCaption; // string shown over the second list
};
// Any state but 1 to 3 looks like No Watermarks; the captions of any state but 1 and 2 are
// "First &Page" and "Other Page&s".
OrderLook LookOfOrder(uint32_t state);

// The state an order radio button stands for; -1 for any other control.
int32_t OrderOfRadio(int controlId);

// The order radio buttons as checked.
struct OrderRadios {
    bool none = false;
    bool allPages = false;
    bool oddEven = false;
    bool firstOther = false;
};
// The order written for radio buttons other than No Watermarks: All Pages, else Odd/Even, else
// First/Other, else All Pages.
uint32_t WrittenOrder(const OrderRadios& radios);

// The watermark store of the sheet's printer (WatermarkExists and ReadWatermark).
struct WatermarkLookup {
    virtual ~WatermarkLookup() = default;
    virtual bool Exists(const char16_t* name) = 0;
    virtual bool Read(const char16_t* name, WatermarkSettings* wm) = 0;
};

// --- Showing a devmode -------------------------------------------------------------------------

struct ShownDevmode {
    // Watermarks are off: No Watermarks with both lists on "(None)" and the selection disabled;
    // the captions keep to `state` (at initialisation) or stay as they are (at activation).
    bool off = false;
    uint32_t state = OrderNone;
    // The names the lists select (without regard to case); null selects "(None)".
    const char16_t* firstName = nullptr;
    const char16_t* secondName = nullptr;
};
// `state` is the order the page starts from: the working order at initialisation, the devmode's
// at activation. A devmode that names a watermark the store no longer holds (the other one only
// when the order uses it) shows as No Watermarks; empty names are never looked up. The devmode
// itself is not changed.
ShownDevmode ShowDevmode(const PluginDevmode& dm, uint32_t state, WatermarkLookup& store);

// --- Leaving and writing -----------------------------------------------------------------------

// A list's selection: its index (-1 for none) and, above index 0, the item's text.
struct ListPick {
    int32_t index = -1;
    const char16_t* text = nullptr;
};

enum class LeaveProblem { None, FirstList, SecondList };
// With No Watermarks the user may always leave. Otherwise the first list needs a selection, the
// second too unless All Pages is checked (then it counts as "(None)"), and one of the lists that
// count must hold a watermark; the answer names the list to correct (the second unless All Pages).
LeaveProblem CheckLeave(const OrderRadios& radios, const ListPick& first, const ListPick& second);

// Writes the page into a devmode (the working copy when the page is left, the job's on apply).
// No Watermarks: both records reset, watermarks off, order 0, the placement untouched. Otherwise
// the order of the radio buttons with full copies of the chosen records (from the store; "(None)"
// leaves a record reset) and the placement. The second list is read only when the order uses
// it. A chosen record that cannot be read (removed, damaged, or a name too long for a record)
// turns watermarks off (order 0): the job must not print a watermark the user did not see.
void WriteWatermarkChoice(PluginDevmode* target, const OrderRadios& radios, const ListPick& first,
                          const ListPick& second, bool overPage, WatermarkLookup& store);

// --- After the dialogs -------------------------------------------------------------------------

// An edit of the watermark stored as `editedName` changes the job when a list that counts has it
// selected (the job's copies are taken when the page is left or applied).
bool EditTouchesChoice(const OrderRadios& radios, const ListPick& first, const ListPick& second,
                       const char16_t* editedName);

// After a rename from `oldName` to `newName` the lists are filled again: the name a list selects
// (exactly that name), null for "(None)".
const char16_t* ReselectAfterRename(const ListPick& noted, const char16_t* oldName,
                                    const char16_t* newName);

struct Reselection {
    const char16_t* name = nullptr; // exactly this name; null for "(None)"
    bool changed = false;           // the selected watermark is gone: the sheet changed
};
// After the remove dialog the lists are filled again: a selected watermark that is still stored
// is selected again, one that is gone falls back to "(None)".
Reselection ReselectAfterRemove(const ListPick& noted, WatermarkLookup& store);

} // namespace cv
