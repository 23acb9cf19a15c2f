// The driver's own option items of the Advanced tree, as the PostScript driver builds them from
// the printer model: the standard items with their DMPubID, one item for every other feature of
// the PPD, and in the printer sheet the items of the installable options. Everything lives in
// the sheet's heap, as the driver allocates it, and goes with it.
#pragma once

#include "core/plugin_abi.h"
#include "host/ppd.h"

#include <string>

namespace cvhost {

class HostCoreUI;

// String numbers of the driver's UI module (host/driverfiles/ui_module.rc): the entries of the
// pages-per-sheet list. The booklet entry is not the list's seventh (index 6): compstui's
// fallback for a list whose booklet entry it cannot find by its text is the seventh.
constexpr UINT kNupStringFirst = 2001;
constexpr UINT kNupEntryCount = 8;
constexpr UINT kNupBookletIndex = 7; // "Booklet"; the entries before it are 1, 2, 4, 6, 8, 9, 16

// What the driver keeps behind a feature item's UserData. Plug-ins read the keyword as the third
// pointer-sized field.
struct DriverItemData {
    void* reserved[2];
    const char* keyword;       // ANSI feature keyword, in the heap
    const PpdFeature* feature; // the model's feature
};

// The keyword of a driver item (null for the items that stand for no feature).
const char* DriverItemKeyword(const OPTITEM& item);

struct DriverItems {
    POPTITEM items = nullptr; // `count` records in one block of the heap
    DWORD count = 0;
};

// The document tree's driver items (`document`) or the printer sheet's device items. Selections
// start from the model's current options (`ui`) and the job's public devmode (orientation).
// False when the heap has no room; nothing is then kept.
bool BuildDriverItems(HANDLE heap, const PrinterModel& model, const HostCoreUI& ui, bool document,
                      const DEVMODEW* publicDm, DriverItems* out, std::wstring* error);

} // namespace cvhost
