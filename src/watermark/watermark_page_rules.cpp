#include "watermark/watermark_page_rules.h"

#include "ui/bounded_string.h"
#include "watermark/watermark_resource.h"

namespace cv {

namespace {

constexpr size_t kNameCapacity = sizeof(WatermarkSettings::name) / sizeof(char16_t);

// A devmode's name, or null when it is empty (an empty name is "(None)" and is never looked up).
const char16_t* NameOrNull(const WatermarkSettings& wm) {
    return wm.name[0] ? wm.name : nullptr;
}

bool Stored(const char16_t* name, WatermarkLookup& store) {
    return !name || store.Exists(name);
}

bool SameText(const char16_t* a, const char16_t* b) {
    return a && b && BoundedEqual(a, SIZE_MAX, b, SIZE_MAX);
}

// A list that counts picks a watermark of that name.
bool Picks(const ListPick& pick, const char16_t* name) {
    return pick.index > 0 && SameText(pick.text, name);
}

// One list into one record: "(None)" (or no selection) leaves it reset; false when the chosen
// record cannot be had.
bool ReadPick(const ListPick& pick, WatermarkSettings* wm, WatermarkLookup& store) {
    if (pick.index <= 0) return true;
    if (!pick.text || BoundedLength(pick.text, kNameCapacity) >= kNameCapacity) return false;
    return store.Read(pick.text, wm);
}

} // namespace

OrderLook LookOfOrder(uint32_t state) {
    switch (state) {
    case OrderAllPages:
        return {IDC_WMP_ALL_PAGES, true, false, IDS_WMP_ALL_PAGES, IDS_WMP_OTHER_PAGES};
    case OrderOddEven:
        return {IDC_WMP_ODD_EVEN, true, true, IDS_WMP_ODD_PAGES, IDS_WMP_EVEN_PAGES};
    case OrderFirstOther:
        return {IDC_WMP_FIRST_OTHER, true, true, IDS_WMP_FIRST_PAGE, IDS_WMP_OTHER_PAGES};
    default:
        return {IDC_WMP_NONE, false, false, IDS_WMP_FIRST_PAGE, IDS_WMP_OTHER_PAGES};
    }
}

int32_t OrderOfRadio(int controlId) {
    switch (controlId) {
    case IDC_WMP_NONE:
        return OrderNone;
    case IDC_WMP_ALL_PAGES:
        return OrderAllPages;
    case IDC_WMP_ODD_EVEN:
        return OrderOddEven;
    case IDC_WMP_FIRST_OTHER:
        return OrderFirstOther;
    default:
        return -1;
    }
}

uint32_t WrittenOrder(const OrderRadios& radios) {
    if (radios.allPages) return OrderAllPages;
    if (radios.oddEven) return OrderOddEven;
    if (radios.firstOther) return OrderFirstOther;
    return OrderAllPages;
}

ShownDevmode ShowDevmode(const PluginDevmode& dm, uint32_t state, WatermarkLookup& store) {
    ShownDevmode shown;
    shown.state = state;
    if (!dm.watermarkEnabled) {
        shown.off = true;
        return shown;
    }
    const bool usesOther =
        dm.watermarkOrder == OrderOddEven || dm.watermarkOrder == OrderFirstOther;
    const char16_t* first = NameOrNull(dm.firstWatermark);
    const char16_t* other = usesOther ? NameOrNull(dm.otherWatermark) : nullptr;
    if (!Stored(first, store) || !Stored(other, store) || state < OrderAllPages ||
        state > OrderFirstOther) {
        shown.state = OrderNone;
        return shown;
    }
    shown.firstName = first;
    shown.secondName = state == OrderAllPages ? nullptr : other;
    return shown;
}

LeaveProblem CheckLeave(const OrderRadios& radios, const ListPick& first, const ListPick& second) {
    if (radios.none) return LeaveProblem::None;
    if (first.index < 0) return LeaveProblem::FirstList;
    const int32_t secondIndex = radios.allPages ? 0 : second.index;
    if (secondIndex < 0) return LeaveProblem::SecondList;
    if (first.index == 0 && secondIndex == 0)
        return radios.allPages ? LeaveProblem::FirstList : LeaveProblem::SecondList;
    return LeaveProblem::None;
}

void WriteWatermarkChoice(PluginDevmode* target, const OrderRadios& radios, const ListPick& first,
                          const ListPick& second, bool overPage, WatermarkLookup& store) {
    ResetWatermark(&target->firstWatermark);
    ResetWatermark(&target->otherWatermark);
    if (radios.none) {
        target->watermarkEnabled = 0;
        target->watermarkOrder = OrderNone;
        return;
    }
    const uint32_t order = WrittenOrder(radios);
    bool readable = ReadPick(first, &target->firstWatermark, store);
    if (order != OrderAllPages)
        readable = ReadPick(second, &target->otherWatermark, store) && readable;
    target->watermarkEnabled = readable ? 1 : 0;
    target->watermarkOrder = readable ? order : uint32_t(OrderNone);
    target->watermarkOverPage = overPage ? 1 : 0;
}

bool EditTouchesChoice(const OrderRadios& radios, const ListPick& first, const ListPick& second,
                       const char16_t* editedName) {
    if (radios.none) return false;
    return Picks(first, editedName) || (!radios.allPages && Picks(second, editedName));
}

const char16_t* ReselectAfterRename(const ListPick& noted, const char16_t* oldName,
                                    const char16_t* newName) {
    if (noted.index <= 0 || !noted.text) return nullptr;
    return SameText(noted.text, oldName) ? newName : noted.text;
}

Reselection ReselectAfterRemove(const ListPick& noted, WatermarkLookup& store) {
    Reselection r;
    if (noted.index <= 0 || !noted.text) return r;
    if (store.Exists(noted.text))
        r.name = noted.text;
    else
        r.changed = true;
    return r;
}

} // namespace cv
