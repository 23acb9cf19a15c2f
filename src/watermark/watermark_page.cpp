// The Watermark page: whether watermarks are printed and on which pages, which stored watermark
// goes on which pages, and the buttons to the dialogs that add, edit and remove stored
// watermarks. The page rebuilds from the sheet's working devmode whenever it becomes active,
// writes it when the user leaves with a valid choice, and writes the job's devmode on apply;
// the devmodes carry full copies of the chosen records, taken from the store at those moments.
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "core/subsystems.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/strings.h"
#include "watermark/dialog_support.h"
#include "watermark/editor_dialog.h"
#include "watermark/list_dialogs.h"
#include "watermark/watermark_page_rules.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"

#include <iterator>
#include <string>
#include <utility>

namespace cv {

namespace {

// The controls an order never disables: the order radio buttons and their group, and the
// buttons to the dialogs.
bool AlwaysEnabled(int id) {
    switch (id) {
    case IDC_WMP_NONE:
    case IDC_WMP_ALL_PAGES:
    case IDC_WMP_FIRST_OTHER:
    case IDC_WMP_ODD_EVEN:
    case IDC_WMP_ADD:
    case IDC_WMP_EDIT:
    case IDC_WMP_REMOVE:
    case IDC_WMP_ORDER_GROUP:
        return true;
    default:
        return false;
    }
}

// The store as the rules ask it, through a reader that keeps its key open for all the look-ups of
// one handler.
class StoreLookup final : public WatermarkLookup {
  public:
    explicit StoreLookup(const WatermarkStoreReader& reader) : reader_(reader) {}
    bool Exists(const char16_t* name) override { return reader_.Exists(AsWide(name)); }
    bool Read(const char16_t* name, WatermarkSettings* wm) override {
        return reader_.Read(AsWide(name), wm);
    }

  private:
    const WatermarkStoreReader& reader_;
};

// Set at initialisation when the first activation would show the page exactly as it was just
// built (the sheet activates a page right after making it): that activation is spared the
// store's look-ups and the controls' round trips to the wineserver.
constexpr const wchar_t* kFreshProp = L"CvWatermarkPageFresh";

// Under Wine every GetDlgItem is a round trip to the wineserver: a handler looks up the two
// lists once.
struct Lists {
    HWND first, second;
    explicit Lists(HWND page)
        : first(GetDlgItem(page, IDC_WMP_FIRST_LIST)),
          second(GetDlgItem(page, IDC_WMP_SECOND_LIST)) {}
};

bool Usable(const SheetContext* ctx) {
    return WatermarkDialogsUsable(ctx);
}

void ReloadWatermarkLists(HWND page, const WatermarkStoreReader& store) {
    const Lists lists(page);
    const std::wstring none = LoadText(IDS_WM_NONE);
    for (HWND list : {lists.first, lists.second}) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        if (!none.empty()) SendMessageW(list, LB_ADDSTRING, 0, LPARAM(none.c_str()));
    }
    const HWND both[] = {lists.first, lists.second};
    store.FillLists(both, 2);
}

// The number of stored watermarks the lists show (after "(None)"): Edit and Remove are offered
// while there is one. The lists were filled from the store, which is not enumerated again.
LRESULT ListedWatermarks(HWND firstList) {
    const LRESULT count = SendMessageW(firstList, LB_GETCOUNT, 0, 0);
    return count - (StringResource(IDS_WM_NONE).empty() ? 0 : 1);
}

void SetSelectionCaptions(HWND page, const OrderLook& look) {
    const std::wstring first = LoadText(look.firstCaption);
    const std::wstring second = LoadText(look.secondCaption);
    if (first.empty() || second.empty()) return;
    SetDlgItemTextW(page, IDC_WMP_FIRST_CAPTION, first.c_str());
    SetDlgItemTextW(page, IDC_WMP_SECOND_CAPTION, second.c_str());
}

void EnableSelectionControls(HWND page, bool enable) {
    EnumChildWindows(
        page,
        [](HWND child, LPARAM on) -> BOOL {
            if (!AlwaysEnabled(GetDlgCtrlID(child))) EnableWindow(child, on != 0);
            return TRUE;
        },
        enable);
}

// The controls an order state enables (the captions are set apart: they do not always follow).
void EnableForOrder(HWND page, const OrderLook& look) {
    EnableSelectionControls(page, look.selection);
    if (look.selection && !look.secondList) {
        EnableControl(page, IDC_WMP_SECOND_CAPTION, false);
        EnableControl(page, IDC_WMP_SECOND_LIST, false);
    }
}

void CheckOrderRadio(HWND page, int radio) {
    for (int id : {IDC_WMP_NONE, IDC_WMP_ALL_PAGES, IDC_WMP_FIRST_OTHER, IDC_WMP_ODD_EVEN})
        CheckDlgButton(page, id, id == radio ? BST_CHECKED : BST_UNCHECKED);
}

OrderRadios ReadRadios(HWND page) {
    OrderRadios r;
    r.none = IsChecked(page, IDC_WMP_NONE);
    r.allPages = IsChecked(page, IDC_WMP_ALL_PAGES);
    r.oddEven = IsChecked(page, IDC_WMP_ODD_EVEN);
    r.firstOther = IsChecked(page, IDC_WMP_FIRST_OTHER);
    return r;
}

// Selects the item of `name` (the whole name, without regard to case, as the store compares
// names), searching after "(None)" first; null, or a name no item has, selects "(None)" when
// `fallBack` is set and otherwise leaves the selection.
void SelectName(HWND list, const char16_t* name, bool fallBack = true) {
    const LRESULT found =
        name ? SendMessageW(list, LB_FINDSTRINGEXACT, 0, LPARAM(AsWide(name))) : LB_ERR;
    if (found != LB_ERR)
        SendMessageW(list, LB_SETCURSEL, WPARAM(found), 0);
    else if (fallBack)
        SendMessageW(list, LB_SETCURSEL, 0, 0);
}

// A list's selection and, above "(None)", the item's text, which the pick points into.
struct NotedPick {
    ListPick pick;
    std::u16string text;
    explicit NotedPick(HWND list) {
        const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
        pick.index = index == LB_ERR ? -1 : static_cast<int32_t>(index);
        if (pick.index <= 0) return;
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0);
        if (length == LB_ERR) return;
        text.assign(static_cast<size_t>(length) + 1, u'\0');
        const LRESULT read = SendMessageW(list, LB_GETTEXT, WPARAM(index),
                                          LPARAM(reinterpret_cast<wchar_t*>(&text[0])));
        text.resize(read == LB_ERR ? 0 : static_cast<size_t>(read));
        pick.text = text.c_str();
    }
};

// The devmode shown in the controls: at initialisation (`init`) and at every activation.
void ShowDevmode(HWND page, SheetContext* ctx, const WatermarkStoreReader& reader, bool init) {
    FillingGuard filling(page);
    const Lists lists(page);
    StoreLookup store(reader);
    const uint32_t start = init ? ctx->watermark.orderWork : ctx->dm.watermarkOrder;
    const ShownDevmode shown = ShowDevmode(ctx->dm, start, store);
    const OrderLook look = LookOfOrder(shown.off ? OrderNone : shown.state);
    CheckOrderRadio(page, look.radio);
    if (shown.off) {
        SendMessageW(lists.first, LB_SETCURSEL, 0, 0);
        SendMessageW(lists.second, LB_SETCURSEL, 0, 0);
    } else {
        // A name that is stored but not listed (the store changed behind the page) leaves the
        // list as it was.
        SelectName(lists.first, shown.firstName, !shown.firstName);
        SelectName(lists.second, shown.secondName, !shown.secondName);
    }
    EnableForOrder(page, look);
    // Watermarks off: at initialisation the captions still follow the devmode's order; at
    // activation the captions and the dialog buttons stay as they are.
    if (init || !shown.off) {
        SetSelectionCaptions(page, LookOfOrder(shown.state));
        ctx->watermark.orderWork = shown.state;
        if (ListedWatermarks(lists.first) < 1) {
            EnableControl(page, IDC_WMP_EDIT, false);
            EnableControl(page, IDC_WMP_REMOVE, false);
        }
    }
    CheckRadioButton(page, IDC_WMP_UNDER_PAGE, IDC_WMP_OVER_PAGE,
                     ctx->dm.watermarkOverPage ? IDC_WMP_OVER_PAGE : IDC_WMP_UNDER_PAGE);
    if (ctx->readOnly) DisableAllControls(page);
}

BOOL OnInitDialog(HWND page, LPARAM lParam) {
    SheetContext* ctx = KeepPageContext(page, lParam);
    if (!Usable(ctx)) return TRUE;
    const WatermarkStoreReader store(SheetPrinter(ctx));
    ReloadWatermarkLists(page, store);
    ShowDevmode(page, ctx, store, true);
    if (ctx->watermark.orderWork == ctx->dm.watermarkOrder)
        SetPropW(page, kFreshProp, reinterpret_cast<HANDLE>(1));
    return TRUE;
}

void OnSetActive(HWND page) {
    RemoveSheetHelpButton(page);
    SheetContext* ctx = PageContext(page);
    const bool fresh = RemovePropW(page, kFreshProp) != nullptr;
    if (Usable(ctx) && !fresh)
        ShowDevmode(page, ctx, WatermarkStoreReader(SheetPrinter(ctx)), false);
    SetResult(page, 0);
}

void WriteDevmode(HWND page, const SheetContext* ctx, PluginDevmode* target) {
    const Lists lists(page);
    const NotedPick first(lists.first), second(lists.second);
    const WatermarkStoreReader reader(SheetPrinter(ctx));
    StoreLookup store(reader);
    WriteWatermarkChoice(target, ReadRadios(page), first.pick, second.pick,
                         IsChecked(page, IDC_WMP_OVER_PAGE), store);
}

// Leaving: a choice that names no watermark where one is needed keeps the user on the page with
// the focus on the list to correct; otherwise the choice goes into the working devmode.
void OnKillActive(HWND page) {
    SheetContext* ctx = PageContext(page);
    // A read-only sheet shows the job's settings but takes nothing from the page.
    if (!Usable(ctx) || ctx->readOnly) {
        SetResult(page, FALSE);
        return;
    }
    const Lists lists(page);
    const NotedPick first(lists.first), second(lists.second);
    const LeaveProblem problem = CheckLeave(ReadRadios(page), first.pick, second.pick);
    if (problem != LeaveProblem::None) {
        if (ShowErrorMessage(page, IDS_WM_SELECT_ONE))
            SetFocus(problem == LeaveProblem::FirstList ? lists.first : lists.second);
        SetResult(page, TRUE);
        return;
    }
    WriteDevmode(page, ctx, &ctx->dm);
    SetResult(page, FALSE);
}

void OnApply(HWND page) {
    SheetContext* ctx = PageContext(page);
    if (Usable(ctx) && !ctx->readOnly)
        WriteDevmode(page, ctx, static_cast<PluginDevmode*>(ctx->uiParam->pOEMDM));
    SetResult(page, PSNRET_NOERROR);
}

void OnOrderClicked(HWND page, uint32_t state) {
    const OrderLook look = LookOfOrder(state);
    SetSelectionCaptions(page, look);
    EnableForOrder(page, look);
    PageContext(page)->watermark.orderWork = state;
    MarkChanged(page);
}

void OnAdd(HWND page, const SheetContext* ctx) {
    WatermarkSettings saved{};
    if (!AddWatermark(page, ctx, &saved)) return;
    const Lists lists(page);
    const size_t length = BoundedLength(saved.name, std::size(saved.name));
    const int wanted = ListNameExtent(lists.first, length);
    const bool widen = SendMessageW(lists.first, LB_GETHORIZONTALEXTENT, 0, 0) < wanted;
    for (HWND list : {lists.first, lists.second}) {
        if (widen) SendMessageW(list, LB_SETHORIZONTALEXTENT, WPARAM(wanted), 0);
        SendMessageW(list, LB_ADDSTRING, 0, LPARAM(AsWide(saved.name)));
    }
    EnableControl(page, IDC_WMP_EDIT, true);
    EnableControl(page, IDC_WMP_REMOVE, true);
}

void OnEdit(HWND page, const SheetContext* ctx) {
    char16_t name[kWatermarkNameCapacity] = {};
    if (!ChooseWatermarkToEdit(page, ctx, name)) return;
    WatermarkSettings saved{};
    if (!EditWatermark(page, ctx, AsWide(name), &saved)) return;
    const Lists lists(page);
    const NotedPick first(lists.first), second(lists.second);
    if (EditTouchesChoice(ReadRadios(page), first.pick, second.pick, name)) MarkChanged(page);
    if (BoundedEqual(saved.name, std::size(saved.name), name, std::size(name))) return;

    FillingGuard filling(page);
    ReloadWatermarkLists(page, WatermarkStoreReader(SheetPrinter(ctx)));
    SelectName(lists.first, ReselectAfterRename(first.pick, name, saved.name));
    SelectName(lists.second, ReselectAfterRename(second.pick, name, saved.name));
}

void OnRemove(HWND page, const SheetContext* ctx) {
    RemoveWatermarks(page, ctx);
    const Lists lists(page);
    const NotedPick first(lists.first), second(lists.second);
    FillingGuard filling(page);
    const WatermarkStoreReader reader(SheetPrinter(ctx));
    ReloadWatermarkLists(page, reader);
    StoreLookup store(reader);
    bool changed = false;
    for (const auto& [list, noted] :
         {std::make_pair(lists.first, &first.pick), std::make_pair(lists.second, &second.pick)}) {
        const Reselection r = ReselectAfterRemove(*noted, store);
        SelectName(list, r.name);
        changed = changed || r.changed;
    }
    if (changed) MarkChanged(page);
    if (ListedWatermarks(lists.first) < 1) {
        EnableControl(page, IDC_WMP_EDIT, false);
        EnableControl(page, IDC_WMP_REMOVE, false);
        SetFocus(GetDlgItem(page, IDC_WMP_ADD));
    }
}

BOOL OnCommand(HWND page, int id, int code) {
    SheetContext* ctx = PageContext(page);
    if (!Usable(ctx) || Filling(page)) return FALSE;
    if (code == LBN_SELCHANGE && (id == IDC_WMP_FIRST_LIST || id == IDC_WMP_SECOND_LIST)) {
        MarkChanged(page);
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    const int32_t state = OrderOfRadio(id);
    if (state >= 0)
        OnOrderClicked(page, static_cast<uint32_t>(state));
    else if (id == IDC_WMP_ADD)
        OnAdd(page, ctx);
    else if (id == IDC_WMP_EDIT)
        OnEdit(page, ctx);
    else if (id == IDC_WMP_REMOVE)
        OnRemove(page, ctx);
    else
        MarkChanged(page);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog(page, lParam);
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        if (!lParam) break;
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
        case PSN_SETACTIVE:
            OnSetActive(page);
            return TRUE;
        case PSN_KILLACTIVE:
            OnKillActive(page);
            return TRUE;
        case PSN_APPLY:
            OnApply(page);
            return TRUE;
        }
        break;
    }
    return CommonPageProc(page, msg, wParam, lParam);
}

} // namespace cv
