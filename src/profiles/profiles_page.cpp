// The Profiles page: the printer's stored personal profiles, the one the current settings came
// from (the display), and loading, saving, overwriting (Change), renaming and deleting them. The
// page is also where the working devmode goes into the sheet's own on apply. Its only state is
// its controls; the store does the registry work and the page says what went wrong.
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "core/subsystems.h"
#include "profiles/profile_name_dialog.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_resource.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/strings.h"

#include <cwchar>
#include <string>

namespace cv {

namespace {

const int kEntryButtons[] = {IDC_PROFILE_LOAD, IDC_PROFILE_CHANGE, IDC_PROFILE_RENAME,
                             IDC_PROFILE_DELETE};

HWND List(HWND page) {
    return GetDlgItem(page, IDC_PROFILE_LIST);
}

std::wstring Display(HWND page) {
    wchar_t text[kProfileNameCapacity] = {};
    GetDlgItemTextW(page, IDC_PROFILE_CURRENT, text, static_cast<int>(kProfileNameCapacity));
    return text;
}

void SetDisplay(HWND page, const std::wstring& text) {
    SetDlgItemTextW(page, IDC_PROFILE_CURRENT, text.c_str());
}

// The selected entry's text; false without a selection.
bool SelectedEntry(HWND page, std::wstring* text) {
    HWND list = List(page);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return false;
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length == LB_ERR) return false;
    text->assign(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&(*text)[0]));
    text->resize(wcslen(text->c_str()));
    return true;
}

// Selects the entry equal to `name` without regard to case; false (and no selection) when the
// list has none.
bool SelectEntry(HWND page, const wchar_t* name) {
    HWND list = List(page);
    const LRESULT found =
        name && *name ? SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(name)) : LB_ERR;
    SendMessageW(list, LB_SETCURSEL, WPARAM(found), 0);
    return found != LB_ERR;
}

void UpdateProfileButtons(HWND page) {
    EnableControl(page, IDC_PROFILE_SAVE, true);
    const std::wstring display = Display(page);
    std::wstring selected;
    const bool other =
        SelectedEntry(page, &selected) && lstrcmpiW(selected.c_str(), display.c_str()) != 0;
    for (int id : kEntryButtons)
        EnableControl(page, id, other);
    EnableControl(page, IDC_PROFILE_FACTORY, display != LoadText(IDS_FACTORY_DEFAULTS));
    SetFocus(List(page));
}

// After a store operation that failed the list shows what the registry holds, not what the
// operation would have made of it.
void RefillList(HWND page, const SheetContext* ctx) {
    SendMessageW(List(page), LB_RESETCONTENT, 0, 0);
    FillProfileList(List(page), SheetPrinter(ctx));
    SelectEntry(page, Display(page).c_str());
    UpdateProfileButtons(page);
}

PluginDevmode* SheetDevmode(const SheetContext* ctx) {
    return ctx && ctx->uiParam ? static_cast<PluginDevmode*>(ctx->uiParam->pOEMDM) : nullptr;
}

// The sheet's devmode records which profile its settings were loaded from.
void RecordLoaded(const SheetContext* ctx, const std::wstring& name) {
    if (PluginDevmode* dm = SheetDevmode(ctx)) {
        BoundedCopyText(dm->profileName, reinterpret_cast<const char16_t*>(name.c_str()));
        dm->profileLoaded = 1;
    }
}

BOOL OnInitDialog(HWND page, LPARAM lParam) {
    SheetContext* ctx = KeepPageContext(page, lParam);
    if (!ctx) return TRUE;
    const HANDLE printer = SheetPrinter(ctx);
    SetDisplay(page, LoadText(IDS_FACTORY_DEFAULTS));
    bool factoryStored = false;
    FillProfileList(List(page), printer, &factoryStored);
    // A sheet opened here first still gets its factory profile from the settings it opened
    // with, as the tree page would have made it: the display claims them.
    if (!factoryStored)
        SaveFactoryProfileIfMissing(ctx, ctx->tree.drvOptItems, ctx->tree.drvOptItemCount, printer);
    if (const PluginDevmode* dm = SheetDevmode(ctx)) {
        char16_t loaded[kProfileNameCapacity];
        BoundedCopy(loaded, dm->profileName);
        if (loaded[0] && SelectEntry(page, AsWide(loaded))) {
            std::wstring selected;
            if (SelectedEntry(page, &selected)) SetDisplay(page, selected);
        }
    }
    UpdateProfileButtons(page);
    if (ctx->readOnly) DisableAllControls(page);
    return TRUE;
}

void OnSetActive(HWND page) {
    RemoveSheetHelpButton(page);
    const SheetContext* ctx = PageContext(page);
    if (ctx && !ctx->readOnly) {
        const std::wstring display = Display(page);
        const std::wstring unknown = LoadText(IDS_UNKNOWN_PROFILE);
        // Settings changed on other pages since the profile was loaded: it is no longer theirs.
        if (display != unknown &&
            !ProfileMatchesSettings(display.c_str(), SheetPrinter(ctx), ctx)) {
            SetDisplay(page, unknown);
            UpdateProfileButtons(page);
            SendMessageW(List(page), LB_SETCURSEL, 0, 0);
        }
        UpdateProfileButtons(page);
    }
    if (ctx && ctx->readOnly) DisableAllControls(page);
    SetResult(page, 0);
}

// Apply: the working devmode, with the name of the profile it still matches, goes into the
// sheet's own; a read-only sheet takes nothing.
void OnApply(HWND page) {
    SheetContext* ctx = PageContext(page);
    if (ctx && SheetDevmode(ctx) && !ctx->readOnly) {
        const std::wstring display = Display(page);
        const std::wstring unknown = LoadText(IDS_UNKNOWN_PROFILE);
        // A profile the settings no longer match leaves the name as it was.
        if (display == unknown || ProfileMatchesSettings(display.c_str(), SheetPrinter(ctx), ctx))
            BoundedCopyText(ctx->dm.profileName,
                            reinterpret_cast<const char16_t*>(display.c_str()));
        CopyDevmodeSettings(ctx, nullptr);
        ctx->changed = 1;
    }
    SetResult(page, PSNRET_NOERROR);
}

void OnLoad(HWND page, SheetContext* ctx, const std::wstring& name) {
    if (!LoadProfile(ctx, name.c_str(), SheetPrinter(ctx))) {
        ShowProfileMessage(page, IDS_PROFILE_LOAD_FAILED, {name.c_str()}, MB_ICONERROR);
        RefillList(page, ctx);
        return;
    }
    RecordLoaded(ctx, name);
    SetDisplay(page, name);
    UpdateProfileButtons(page);
    MarkChanged(page);
}

void OnSave(HWND page, SheetContext* ctx) {
    char16_t typed[kProfileNameCapacity] = {};
    if (!AskProfileName(page, ProfileNameMode::Save, SheetPrinter(ctx), nullptr, typed)) return;
    const std::wstring name = AsWide(typed);
    if (!SaveProfile(ctx->tree.drvOptItems, ctx->tree.drvOptItemCount, name.c_str(),
                     SheetPrinter(ctx), ctx)) {
        ShowProfileMessage(page, IDS_PROFILE_SAVE_FAILED, {}, MB_ICONERROR);
        RefillList(page, ctx);
        return;
    }
    HWND list = List(page);
    const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, LPARAM(name.c_str()));
    const int wanted = ListNameExtent(list, name.size());
    if (SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0) < wanted)
        SendMessageW(list, LB_SETHORIZONTALEXTENT, WPARAM(wanted), 0);
    SendMessageW(list, LB_SETCURSEL, WPARAM(index), 0);
    SetDisplay(page, name);
    UpdateProfileButtons(page);
}

void OnChange(HWND page, SheetContext* ctx, const std::wstring& name) {
    if (ShowProfileMessage(page, IDS_PROFILE_OVERWRITE_QUESTION, {name.c_str()},
                           MB_YESNO | MB_ICONQUESTION) != IDYES) {
        UpdateProfileButtons(page);
        return;
    }
    // Written over the stored profile, never removed first: a failure leaves it there.
    if (!SaveProfile(ctx->tree.drvOptItems, ctx->tree.drvOptItemCount, name.c_str(),
                     SheetPrinter(ctx), ctx)) {
        ShowProfileMessage(page, IDS_PROFILE_SAVE_FAILED, {}, MB_ICONERROR);
        RefillList(page, ctx);
        return;
    }
    SetDisplay(page, name);
    UpdateProfileButtons(page);
}

void OnRename(HWND page, SheetContext* ctx, const std::wstring& source) {
    char16_t typed[kProfileNameCapacity] = {};
    if (!AskProfileName(page, ProfileNameMode::Rename, SheetPrinter(ctx), source.c_str(), typed))
        return;
    const std::wstring name = AsWide(typed);
    if (!RenameProfile(source.c_str(), name.c_str(), SheetPrinter(ctx))) {
        ShowProfileMessage(page, IDS_PROFILE_SAVE_FAILED, {}, MB_ICONERROR);
        RefillList(page, ctx);
        return;
    }
    HWND list = List(page);
    const LRESULT old = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (old != LB_ERR) SendMessageW(list, LB_DELETESTRING, WPARAM(old), 0);
    const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, LPARAM(name.c_str()));
    SendMessageW(list, LB_SETCURSEL, WPARAM(index), 0);
    UpdateProfileButtons(page);
}

void OnDelete(HWND page, SheetContext* ctx, const std::wstring& name) {
    if (ShowProfileMessage(page, IDS_PROFILE_DELETE_QUESTION, {name.c_str()},
                           MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!DeleteProfile(name.c_str(), SheetPrinter(ctx))) {
        ShowProfileMessage(page, IDS_PROFILE_DELETE_FAILED, {name.c_str()}, MB_ICONERROR);
        RefillList(page, ctx);
        return;
    }
    HWND list = List(page);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) SendMessageW(list, LB_DELETESTRING, WPARAM(index), 0);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SetDisplay(page, LoadText(IDS_UNKNOWN_PROFILE));
    UpdateProfileButtons(page);
}

void OnLoadFactory(HWND page, SheetContext* ctx) {
    const std::wstring factory = LoadText(IDS_FACTORY_DEFAULTS);
    if (!LoadProfile(ctx, factory.c_str(), SheetPrinter(ctx))) {
        ShowProfileMessage(page, IDS_PROFILE_LOAD_FAILED, {factory.c_str()}, MB_ICONERROR);
        return;
    }
    RecordLoaded(ctx, factory);
    SetDisplay(page, factory);
    UpdateProfileButtons(page);
    MarkChanged(page);
}

BOOL OnCommand(HWND page, int id, int code) {
    SheetContext* ctx = PageContext(page);
    if (!ctx || ctx->readOnly || Filling(page)) return FALSE;
    if (id == IDC_PROFILE_LIST) {
        if (code != LBN_SELCHANGE) return FALSE;
        UpdateProfileButtons(page);
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    std::wstring selected;
    const bool hasSelection = SelectedEntry(page, &selected);
    switch (id) {
    case IDC_PROFILE_SAVE:
        OnSave(page, ctx);
        return TRUE;
    case IDC_PROFILE_FACTORY:
        OnLoadFactory(page, ctx);
        return TRUE;
    case IDC_PROFILE_LOAD:
    case IDC_PROFILE_CHANGE:
    case IDC_PROFILE_RENAME:
    case IDC_PROFILE_DELETE:
        if (!hasSelection) return TRUE;
        if (id == IDC_PROFILE_LOAD) OnLoad(page, ctx, selected);
        if (id == IDC_PROFILE_CHANGE) OnChange(page, ctx, selected);
        if (id == IDC_PROFILE_RENAME) OnRename(page, ctx, selected);
        if (id == IDC_PROFILE_DELETE) OnDelete(page, ctx, selected);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
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
        case PSN_APPLY:
            OnApply(page);
            return TRUE;
        }
        break;
    }
    return CommonPageProc(page, msg, wParam, lParam);
}

} // namespace cv
