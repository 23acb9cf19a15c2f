// The plug-in's items in the driver's Advanced tree: counted and filled through CommonUIProp
// from the table of tree_rules, and the callback the host calls when an item changes, when the
// page becomes active and when it is applied. Everything an item points to comes from the
// host's heap for the sheet, which goes with the sheet.
#include "core/page_frame.h"
#include "core/plugin_object.h"
#include "core/sheet_context.h"
#include "core/sheets.h"
#include "core/spooler_query.h"
#include "core/subsystems.h"
#include "treeoptions/factory_profile.h"
#include "treeoptions/tree_rules.h"

#include <string>
#include <vector>

namespace cv {

namespace {

// compstui's text of the booklet entry of a pages-per-sheet list.
constexpr UINT kCompstuiBookletString = 64873;
// The host's page control that the plug-in keeps in the page's bottom-right corner.
constexpr int kCornerControlId = 8000;
constexpr int kCornerMargin = 5;
// Names are loaded into a buffer of this many units, then shrunk to the text.
constexpr int kNameBufferUnits = 260;
constexpr int kTextBufferUnits = 2048;

const char* ItemKeyword(const OPTITEM& item) {
    // The driver keeps the feature's keyword in the third pointer-sized field of its record.
    const auto* record = reinterpret_cast<const char* const*>(item.UserData);
    return record ? record[2] : nullptr;
}

// A string of the plug-in's table in the host's heap, shrunk to its length; null when it does
// not load or the heap has no room.
LPWSTR HeapString(HANDLE heap, HMODULE module, UINT id) {
    auto* text =
        static_cast<LPWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, kNameBufferUnits * sizeof(WCHAR)));
    if (!text) return nullptr;
    const int length = LoadStringW(module, id, text, kNameBufferUnits);
    if (length <= 0) {
        HeapFree(heap, 0, text);
        return nullptr;
    }
    // Shrinking in place keeps the block where it is.
    void* shrunk =
        HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, text, (length + 1) * sizeof(WCHAR));
    return shrunk ? static_cast<LPWSTR>(shrunk) : text;
}

// The OPTTYPE of one item and its parameters, all from the heap; null when any part does not
// fit (nothing is left allocated then).
POPTTYPE MakeOptType(HANDLE heap, HMODULE module, const TreeItemSpec& row,
                     const TreeFeatures& features) {
    BYTE type = 0;
    size_t params = 0;
    switch (row.kind) {
    case TreeItemKind::Heading:
        return nullptr;
    case TreeItemKind::List:
        type = TVOT_COMBOBOX;
        params = TreeEntryCount(row, features);
        break;
    case TreeItemKind::UpDown:
        type = TVOT_UDARROW;
        params = 2;
        break;
    case TreeItemKind::Check:
        type = TVOT_CHKBOX;
        params = 1;
        break;
    }
    auto* optType = static_cast<POPTTYPE>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OPTTYPE)));
    auto* param =
        static_cast<POPTPARAM>(HeapAlloc(heap, HEAP_ZERO_MEMORY, params * sizeof(OPTPARAM)));
    if (!optType || !param) {
        if (optType) HeapFree(heap, 0, optType);
        if (param) HeapFree(heap, 0, param);
        return nullptr;
    }
    optType->cbSize = sizeof(OPTTYPE);
    optType->Type = type;
    optType->Count = static_cast<WORD>(params);
    optType->pOptParam = param;
    for (size_t i = 0; i < params; ++i)
        param[i].cbSize = sizeof(OPTPARAM);
    if (row.kind == TreeItemKind::List) {
        for (size_t i = 0; i < params; ++i)
            param[i].pData = HeapString(heap, module, TreeEntryString(row, i));
    } else if (row.kind == TreeItemKind::UpDown) {
        // No unit text; the second parameter carries the range.
        param[0].pData = static_cast<LPWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(WCHAR)));
        param[1].IconID = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(row.low));
        param[1].lParam = row.high;
    }
    return optType;
}

// Fills one group into `slots` (room for `room` items). When a part of the group cannot be
// allocated the group is still there, count for count, but hidden and without values, so that
// the host's count holds and no item points at nothing; the callback then finds no values.
void FillGroup(const TreeItemSpec* rows, size_t rowCount, const TreeFeatures& features,
               POPTITEM slots, HANDLE heap, HMODULE module, const PluginDevmode& dm) {
    std::vector<const TreeItemSpec*> present;
    for (size_t i = 0; i < rowCount; ++i)
        if (TreeItemPresent(rows[i], features)) present.push_back(&rows[i]);
    for (size_t i = 0; i < present.size(); ++i) {
        ZeroMemory(&slots[i], sizeof(OPTITEM));
        slots[i].cbSize = sizeof(OPTITEM);
    }
    std::vector<POPTTYPE> types(present.size(), nullptr);
    bool complete = heap != nullptr;
    for (size_t i = 0; complete && i < present.size(); ++i)
        if (present[i]->kind != TreeItemKind::Heading)
            complete = (types[i] = MakeOptType(heap, module, *present[i], features)) != nullptr;
    for (size_t i = 0; i < present.size(); ++i) {
        const TreeItemSpec& row = *present[i];
        OPTITEM& item = slots[i];
        item.Level = row.level;
        item.UserItemID = row.id;
        if (!complete) {
            if (types[i]) {
                HeapFree(heap, 0, types[i]->pOptParam);
                HeapFree(heap, 0, types[i]);
            }
            item.Flags = OPTIF_HIDE;
            continue;
        }
        item.pName = HeapString(heap, module, row.nameId);
        item.pOptType = types[i];
        if (row.kind == TreeItemKind::Heading) continue;
        item.Flags = OPTIF_CALLBACK;
        if (TreeInitiallyDisabled(row, dm)) item.Flags |= OPTIF_DISABLED;
        item.Sel = TreeInitialSelection(row, dm);
    }
}

// The plug-in's items as the portable rules see them: found by identifier within the count
// the host gave, never past it.
class OptItemStates final : public TreeItemStates {
  public:
    OptItemStates(POPTITEM items, DWORD count) : items_(items), count_(items ? count : 0) {}
    bool Selection(uint32_t id, int32_t* sel) const override {
        const OPTITEM* item = Find(id);
        if (!item || !item->pOptType) return false;
        *sel = item->Sel;
        return true;
    }
    void SetDisabledAndChanged(uint32_t id, bool disabled) override {
        OPTITEM* item = Find(id);
        if (!item) return;
        if (disabled)
            item->Flags |= OPTIF_DISABLED;
        else
            item->Flags &= ~static_cast<DWORD>(OPTIF_DISABLED);
        item->Flags |= OPTIF_CHANGED;
    }
    void MarkChanged(uint32_t id) override {
        if (OPTITEM* item = Find(id)) item->Flags |= OPTIF_CHANGED;
    }

  private:
    OPTITEM* Find(uint32_t id) const {
        for (DWORD i = 0; i < count_; ++i)
            if (items_[i].UserItemID == id) return &items_[i];
        return nullptr;
    }
    POPTITEM items_;
    DWORD count_;
};

// One string of a module opened as data, into a text (false when it does not load).
bool ModuleString(HMODULE module, UINT id, std::u16string* text) {
    std::vector<WCHAR> buffer(kTextBufferUnits);
    const int length = LoadStringW(module, id, buffer.data(), kTextBufferUnits);
    if (length <= 0) return false;
    text->assign(buffer.begin(), buffer.begin() + length);
    return true;
}

class ScopedDataModule {
  public:
    explicit ScopedDataModule(const wchar_t* path)
        : module_(path ? LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr) {}
    ~ScopedDataModule() {
        if (module_) FreeLibrary(module_);
    }
    ScopedDataModule(const ScopedDataModule&) = delete;
    ScopedDataModule& operator=(const ScopedDataModule&) = delete;
    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};

// The entries of the driver's pages-per-sheet list name string resources of its UI module.
class UIModuleEntryTexts final : public EntryTexts {
  public:
    UIModuleEntryTexts(HMODULE module, const OPTPARAM* params) : module_(module), params_(params) {}
    bool Text(size_t index, std::u16string* text) const override {
        const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(params_[index].pData);
        // An entry that holds a text rather than a resource number is no string of the module.
        if (!IS_INTRESOURCE(id)) return false;
        return ModuleString(module_, static_cast<UINT>(id), text);
    }

  private:
    HMODULE module_;
    const OPTPARAM* params_;
};

// Whether the driver's pages-per-sheet item stands on its booklet entry: the entry whose text
// is compstui's booklet text, or the fallback entry when that cannot be told.
bool NupOnBooklet(HANDLE hPrinter, const OPTITEM* item) {
    if (!hPrinter || !item || item->Sel < 0 || !item->pOptType) return false;
    const OPTTYPE& type = *item->pOptType;
    if (!type.pOptParam || type.Count == 0 || type.Type != TVOT_LISTBOX) return false;
    std::u16string booklet;
    bool haveBooklet = false;
    {
        ScopedDataModule compstui(L"compstui.dll");
        haveBooklet =
            compstui.get() && ModuleString(compstui.get(), kCompstuiBookletString, &booklet);
    }
    int32_t index = kFallbackBookletIndex;
    std::vector<BYTE> buffer;
    const DRIVER_INFO_2W* driver = haveBooklet ? ReadDriverInfo2(hPrinter, &buffer) : nullptr;
    if (driver && driver->pConfigFile) {
        ScopedDataModule uiModule(driver->pConfigFile);
        if (uiModule.get())
            index = BookletIndex(&booklet, type.Count,
                                 UIModuleEntryTexts(uiModule.get(), type.pOptParam));
    }
    return item->Sel == index;
}

// Writes of the tree go into the sheet's devmode and into the pages' working copy, so that no
// page's apply (the Profiles page copies the working copy over the devmode) loses them.
size_t DevmodeTargets(POEMCUIPPARAM param, SheetContext* ctx, PluginDevmode* targets[2]) {
    size_t n = 0;
    if (param->pOEMDM) targets[n++] = static_cast<PluginDevmode*>(param->pOEMDM);
    if (ctx && &ctx->dm != param->pOEMDM) targets[n++] = &ctx->dm;
    return n;
}

LONG Apply(POEMCUIPPARAM param, SheetContext* ctx) {
    if (!param->pOEMDM) return CPSUICB_ACTION_ITEMS_APPLIED;
    if (!ctx || !ctx->pluginObject || !ctx->tree.nupItem || !ctx->tree.pageOrderItem)
        return CPSUICB_ACTION_ITEMS_APPLIED;
    const bool reverse = ReverseOrBooklet(NupOnBooklet(param->hPrinter, ctx->tree.nupItem),
                                          ctx->tree.pageOrderItem->Sel);
    PluginDevmode* targets[2];
    const size_t n = DevmodeTargets(param, ctx, targets);
    for (size_t i = 0; i < n; ++i)
        targets[i]->reverseOrBooklet = reverse ? 1 : 0;
    ctx->changed = 1;
    return CPSUICB_ACTION_ITEMS_APPLIED;
}

// The plug-in's items show the working copy: the tree keeps it in step with every change, and
// a personal profile loaded on another page replaces it, which the tree must show when it is
// active again. Only a working copy a sheet's INIT took counts (a context the tree made for
// itself has none).
void RefreshFromWorkingCopy(POEMCUIPPARAM param, const SheetContext* ctx) {
    if (!ctx || !ctx->uiParam) return;
    for (DWORD i = 0; param->pOEMOptItems && i < param->cOEMOptItems; ++i) {
        OPTITEM& item = param->pOEMOptItems[i];
        const TreeItemSpec* row = FindTreeItemSpec(item.UserItemID);
        if (!row || row->kind == TreeItemKind::Heading || !item.pOptType) continue;
        item.Sel = TreeInitialSelection(*row, ctx->dm);
        if (TreeInitiallyDisabled(*row, ctx->dm))
            item.Flags |= OPTIF_DISABLED;
        else
            item.Flags &= ~static_cast<DWORD>(OPTIF_DISABLED);
    }
}

void MarkAllChanged(POPTITEM items, DWORD count) {
    for (DWORD i = 0; items && i < count; ++i)
        items[i].Flags |= OPTIF_CHANGED;
}

LONG Activate(PCPSUICBPARAM cb, POEMCUIPPARAM param, SheetContext* ctx) {
    RemoveSheetHelpButton(cb->hDlg);
    if (ctx) {
        ctx->tree.drvOptItems = param->pDrvOptItems;
        ctx->tree.drvOptItemCount = param->cDrvOptItems;
        ctx->tree.oemOptItemCount = param->cOEMOptItems;
    }
    RefreshFromWorkingCopy(param, ctx);
    EnsureFactoryProfile(ctx, param->pDrvOptItems, param->cDrvOptItems, param->hPrinter);
    if (HWND corner = cb->hDlg ? GetDlgItem(cb->hDlg, kCornerControlId) : nullptr) {
        RECT client{}, box{};
        GetClientRect(cb->hDlg, &client);
        GetWindowRect(corner, &box);
        const int width = box.right - box.left, height = box.bottom - box.top;
        SetWindowPos(corner, nullptr, client.right - kCornerMargin - width,
                     client.bottom - kCornerMargin - height, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(corner, nullptr, TRUE);
    }
    // The driver's items and the plug-in's may lie apart: each array is walked by itself.
    MarkAllChanged(param->pDrvOptItems, param->cDrvOptItems);
    MarkAllChanged(param->pOEMOptItems, param->cOEMOptItems);
    return CPSUICB_ACTION_REINIT_ITEMS;
}

LONG SelectionChanged(PCPSUICBPARAM cb, POEMCUIPPARAM param, SheetContext* ctx) {
    const OPTITEM* item = cb->pCurItem;
    if (!item) return CPSUICB_ACTION_NONE;
    PluginDevmode* targets[2];
    const size_t n = DevmodeTargets(param, ctx, targets);
    OptItemStates states(param->pOEMOptItems, param->cOEMOptItems);
    return TreeSelectionChanged(item->UserItemID, item->Sel, states, targets, n);
}

LONG APIENTRY TreeItemCallback(PCPSUICBPARAM cb, POEMCUIPPARAM param) {
    if (!cb || !param) return CPSUICB_ACTION_NONE;
    // The context of this sheet's tree, as the filling call left it (two sheets may be open on
    // one object, so the object's own context is not asked).
    auto* ctx = static_cast<SheetContext*>(param->pOEMUserData);
    switch (cb->Reason) {
    case CPSUICB_REASON_APPLYNOW:
        return Apply(param, ctx);
    case CPSUICB_REASON_SETACTIVE:
        return Activate(cb, param, ctx);
    case CPSUICB_REASON_SEL_CHANGED:
        return SelectionChanged(cb, param, ctx);
    default:
        return CPSUICB_ACTION_NONE;
    }
}

TreeFeatures AskFeatures(PluginObject* object, POEMCUIPPARAM param) {
    TreeFeatures f;
    f.manualColor = featureExists(object->coreUI, param->poemuiobj, "HasManualColorCorrection");
    f.newPrintQuality = featureExists(object->coreUI, param->poemuiobj, "HasNewPrintQuality");
    return f;
}

void FindLayoutItems(PluginObject* object, SheetContext* ctx, POEMCUIPPARAM param) {
    LayoutItemFinder finder;
    for (DWORD i = 0; param->pDrvOptItems && i < param->cDrvOptItems; ++i) {
        const OPTITEM& item = param->pDrvOptItems[i];
        finder.See(i, item.DMPubID, (item.Flags & OPTIF_HIDE) != 0, ItemKeyword(item));
    }
    // A model without one of the items has none: nothing is kept from an earlier sheet, whose
    // items went with its heap.
    POPTITEM pageOrder = finder.pageOrder == LayoutItemFinder::kNone
                             ? nullptr
                             : &param->pDrvOptItems[finder.pageOrder];
    POPTITEM nup =
        finder.nup == LayoutItemFinder::kNone ? nullptr : &param->pDrvOptItems[finder.nup];
    object->pageOrderItem = pageOrder;
    object->nupItem = nup;
    if (ctx) {
        ctx->tree.pageOrderItem = pageOrder;
        ctx->tree.nupItem = nup;
    }
}

void FillDocumentItems(PluginObject* object, POEMCUIPPARAM param) {
    bool made = false;
    SheetContext* ctx = DocumentSheetContext(object, param->hOEMHeap, &made);
    if (ctx && made) {
        ctx->coreUI = object->coreUI;
        ctx->pluginObject = object;
        ctx->readOnly = (param->dwFlags & DM_NOPERMISSION) ? 1 : 0;
        if (const auto* dm = static_cast<const PluginDevmode*>(param->pOEMDM))
            ctx->watermark.orderWork = dm->watermarkOrder;
    }
    param->pOEMUserData = ctx;
    param->OEMCUIPCallback = &TreeItemCallback;
    // The driver's items are there from this call on, in the array its tree page will show (the
    // layout items below are kept by the same reasoning): the Profiles page can save and load
    // them even before the tree page is first shown.
    if (ctx) {
        ctx->tree.drvOptItems = param->pDrvOptItems;
        ctx->tree.drvOptItemCount = param->pDrvOptItems ? param->cDrvOptItems : 0;
    }
    FindLayoutItems(object, ctx, param);

    const TreeFeatures features = AskFeatures(object, param);
    PluginDevmode initial{};
    if (param->pOEMDM) initial = *static_cast<const PluginDevmode*>(param->pOEMDM);
    const auto module = static_cast<HMODULE>(param->hModule);
    for (const bool manual : {true, false}) {
        if (!(manual ? features.manualColor : features.newPrintQuality)) continue;
        size_t rows = 0;
        const TreeItemSpec* group = manual ? ManualColorGroup(&rows) : PrintQualityGroup(&rows);
        size_t needed = 0;
        for (size_t i = 0; i < rows; ++i)
            if (TreeItemPresent(group[i], features)) ++needed;
        // The first free slot; a group that does not fit in what the host gave is left out.
        DWORD slot = 0;
        while (slot < param->cOEMOptItems && param->pOEMOptItems[slot].cbSize != 0)
            ++slot;
        if (param->cOEMOptItems - slot < needed) continue;
        FillGroup(group, rows, features, &param->pOEMOptItems[slot], param->hOEMHeap, module,
                  initial);
    }
}

void HidePrinterItems(POEMCUIPPARAM param) {
    for (DWORD i = 0; param->pDrvOptItems && i < param->cDrvOptItems; ++i) {
        OPTITEM& item = param->pDrvOptItems[i];
        if (HiddenInPrinterSheet(ItemKeyword(item))) item.Flags |= OPTIF_HIDE;
    }
}

} // namespace

HRESULT AdvancedTreeItems(PluginObject* object, DWORD mode, POEMCUIPPARAM param) {
    if (!param->pOEMOptItems) {
        param->cOEMOptItems =
            mode == OEMCUIP_DOCPROP ? CountTreeItems(AskFeatures(object, param)) : 0;
        return S_OK;
    }
    if (mode == OEMCUIP_DOCPROP)
        FillDocumentItems(object, param);
    else
        HidePrinterItems(param);
    return S_OK;
}

} // namespace cv
