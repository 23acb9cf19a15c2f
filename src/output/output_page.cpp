// The Output Options page: where a job goes (printer, fax card, or one of the held-job kinds),
// with the user name and PIN of a held job and the recipient and cover page of a fax. The page
// keeps nothing of its own: it rebuilds from the sheet's working devmode and the remembered
// registry values whenever it becomes active, writes the working devmode when the user leaves it
// with valid entries, and the job's devmode on apply.
#include "core/page_frame.h"
#include "core/subsystems.h"
#include "core/sheet_context.h"
#include "core/sheets.h"
#include "output/cover_page_dialog.h"
#include "output/output_page.h"
#include "output/output_registry.h"
#include "output/output_resource.h"
#include "output/output_rules.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"

#include <iterator>
#include <string>

namespace cv {

namespace {

// The Fax Information set, in the order it is shown, hidden and enabled.
const int kFaxControls[] = {
    IDC_FAX_GROUP,     IDC_RECIPIENT_NAME_LABEL, IDC_RECIPIENT_NAME, IDC_RECIPIENT_FAX_LABEL,
    IDC_RECIPIENT_FAX, IDC_STATION_LABEL,        IDC_STATION,        IDC_RESOLUTION_LABEL,
    IDC_RESOLUTION,    IDC_SEND_COVER,           IDC_SETUP_COVER,
};

// Edit widths the page offers (the fields behind them are wider for the fax texts).
constexpr size_t kRecipientNameLimit = 45;
constexpr size_t kRecipientFaxLimit = 60;
constexpr size_t kStationLimit = 24;
// GetUserNameW's buffer: a logon name of up to 25 characters is read and offered cut to the
// field's 24; a longer one is not offered at all.
constexpr DWORD kLogonNameBuffer = 26;

// The cover page is edited only while the sheet it belongs to is whole.
bool CoverEditable(const SheetContext* ctx) {
    return ctx && ctx->uiParam && ctx->uiParam->pPublicDM && ctx->uiParam->pOEMDM && ctx->coreUI;
}

// Everything the page needs from its sheet; without it the page stays as the template made it.
bool Usable(const SheetContext* ctx) {
    return ctx && ctx->uiParam && ctx->uiParam->hPrinter && ctx->coreUI && ctx->uiParam->poemuiobj;
}

OutputFeatures QueryFeatures(const SheetContext* ctx) {
    IPrintCoreUI2* core = ctx->coreUI;
    POEMUIOBJ ui = SheetUIObject(ctx);
    OutputFeatures f;
    f.faxCard = driverSettingIsTrue(core, ui, "FaxCard");
    f.printAndHold = featureExists(core, ui, "HasPrintandHold");
    f.newPin = featureExists(core, ui, "HasNewPin");
    f.keepPreviousJobs = featureExists(core, ui, "HasKeepPreviousPHJobs");
    return f;
}

int FieldControl(OutputField field) {
    switch (field) {
    case OutputField::UserName: return IDC_USERNAME;
    case OutputField::Pin: return IDC_PIN;
    case OutputField::RecipientName: return IDC_RECIPIENT_NAME;
    case OutputField::RecipientFax: return IDC_RECIPIENT_FAX;
    case OutputField::Station: return IDC_STATION;
    default: return 0;
    }
}

} // namespace

// --- The operations named for this page ------------------------------------------------------------

uint32_t GetSelectedDestination(HWND list) {
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return DestPrinter;
    const LRESULT code = SendMessageW(list, LB_GETITEMDATA, WPARAM(index), 0);
    return code == LB_ERR ? uint32_t(DestPrinter) : static_cast<uint32_t>(code);
}

void ShowFaxControls(HWND page, bool show) {
    for (int id : kFaxControls) ShowControl(page, id, show);
}

void EnableFaxControls(HWND page, bool faxSelected, bool coverChecked) {
    for (int id : kFaxControls)
        EnableControl(page, id, id == IDC_SETUP_COVER ? faxSelected && coverChecked : faxSelected);
}

namespace {

void FillDestinationList(HWND page, const OutputFeatures& features) {
    HWND list = GetDlgItem(page, IDC_OUTPUT_LIST);
    if (!list) return;
    uint32_t codes[6];
    const size_t count = OfferedDestinations(features, codes);
    for (size_t i = 0; i < count; ++i) {
        const std::wstring text = LoadText(DestinationStringId(codes[i]));
        const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, LPARAM(text.c_str()));
        if (index >= 0) SendMessageW(list, LB_SETITEMDATA, WPARAM(index), LPARAM(codes[i]));
    }
}

// Selects the entry of the devmode's destination. A code out of range is Printer (and the devmode
// is repaired); a code the list does not offer (File, EPS, or a held job on a printer without
// them) leaves no selection. Entries are matched by their code, not their text, so that no
// translation can make one entry's text select another.
void SelectDestination(HWND page, PluginDevmode* dm) {
    dm->outputTo = ShownDestination(dm->outputTo);
    HWND list = GetDlgItem(page, IDC_OUTPUT_LIST);
    if (!list) return;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    LRESULT found = -1;
    for (LRESULT i = 0; i < count && found < 0; ++i)
        if (SendMessageW(list, LB_GETITEMDATA, WPARAM(i), 0) == LRESULT(dm->outputTo)) found = i;
    SendMessageW(list, LB_SETCURSEL, WPARAM(found), 0);
}

// Recipient, station, resolution and cover page from the remembered "FaxInfo" when it names a
// recipient, else from the devmode; the cover part becomes the page's working cover.
void ShowFaxSource(HWND page, SheetContext* ctx, bool firstTime) {
    const bool stored = ReadFaxInfo(SheetPrinter(ctx), &ctx->output.faxStored);
    const FaxSettings* source =
        ChooseFaxSource(stored ? &ctx->output.faxStored : nullptr, &ctx->dm.fax);

    LimitControlText(page, IDC_RECIPIENT_NAME, kRecipientNameLimit);
    SetControlText(page, IDC_RECIPIENT_NAME, source->recipientName);
    LimitControlText(page, IDC_RECIPIENT_FAX, kRecipientFaxLimit);
    SetControlText(page, IDC_RECIPIENT_FAX, source->recipientFax);
    LimitControlText(page, IDC_STATION, kStationLimit);
    SetControlText(page, IDC_STATION, source->station);
    if (firstTime) {
        const std::wstring fine = LoadText(IDS_RESOLUTION_FINE);
        SendDlgItemMessageW(page, IDC_RESOLUTION, CB_ADDSTRING, 0, LPARAM(fine.c_str()));
        if (source->resolution == 0) SendDlgItemMessageW(page, IDC_RESOLUTION, CB_SETCURSEL, 0, 0);
    }
    const bool cover = source->sendCoverPage != 0;
    SetChecked(page, IDC_SEND_COVER, cover);
    EnableControl(page, IDC_SETUP_COVER, cover);
    CopyFaxCover(&ctx->output.coverWork, &source->cover);

    ShowFaxControls(page, true);
    EnableFaxControls(page, ctx->dm.outputTo == DestFax, cover);
}

// The user name offered: the remembered one, else the devmode's, else the logged-on user's.
void OfferedUserName(const SheetContext* ctx, char16_t (&name)[kUserNameChars + 1]) {
    if (ReadLastUserName(SheetPrinter(ctx), name, std::size(name))) return;
    if (ctx->dm.userName[0] != 0) {
        BoundedCopy(name, ctx->dm.userName);
        return;
    }
    wchar_t logon[kLogonNameBuffer] = {};
    DWORD size = kLogonNameBuffer;
    if (!GetUserNameW(logon, &size)) logon[0] = 0;
    BoundedCopy(name, std::size(name), reinterpret_cast<const char16_t*>(logon), kLogonNameBuffer);
}

// Brings every control in line with the working devmode (and the registry), at initialisation
// and whenever the page becomes active again.
void RebuildPage(HWND page, SheetContext* ctx, const OutputFeatures& features, bool firstTime) {
    FillingGuard filling(page);
    SelectDestination(page, &ctx->dm);
    if (features.faxCard)
        ShowFaxSource(page, ctx, firstTime);
    else
        ShowFaxControls(page, false);

    const DestinationFields fields = GetDestinationFields(ctx->dm.outputTo);
    if (features.printAndHold) {
        LimitControlText(page, IDC_PIN, kPinChars);
        if (fields.pinUsed)
            SetControlText(page, IDC_PIN, ctx->dm.pin);
        else
            SetDlgItemTextW(page, IDC_PIN, L"");
    }
    for (int id : {IDC_PIN, IDC_PIN_LABEL}) {
        EnableControl(page, id, fields.pinUsed);
        ShowControl(page, id, features.printAndHold);
    }

    EnableControl(page, IDC_KEEP_JOBS, fields.keepUsed);
    ShowControl(page, IDC_KEEP_JOBS, features.keepPreviousJobs);
    SetChecked(page, IDC_KEEP_JOBS, ctx->dm.keepPreviousJobs != 0);

    if (features.printAndHold) {
        LimitControlText(page, IDC_USERNAME, kUserNameChars);
        char16_t name[kUserNameChars + 1];
        OfferedUserName(ctx, name);
        SetControlText(page, IDC_USERNAME, name);
    }
    for (int id : {IDC_USERNAME, IDC_USERNAME_LABEL}) {
        EnableControl(page, id, fields.userNameUsed);
        ShowControl(page, id, features.printAndHold);
    }

    if (ctx->readOnly) DisableAllControls(page);
}

// The controls' state as the rules read it; owns the texts the entries point to.
struct PageEntries {
    std::u16string userName, pin, recipientName, recipientFax, station;
    OutputEntries entries;

    explicit PageEntries(HWND page) {
        entries.destination = GetSelectedDestination(GetDlgItem(page, IDC_OUTPUT_LIST));
        const struct {
            int id;
            std::u16string* text;
            const char16_t** entry;
        } reads[] = {
            {IDC_USERNAME, &userName, &entries.userName},
            {IDC_PIN, &pin, &entries.pin},
            {IDC_RECIPIENT_NAME, &recipientName, &entries.recipientName},
            {IDC_RECIPIENT_FAX, &recipientFax, &entries.recipientFax},
            {IDC_STATION, &station, &entries.station},
        };
        for (const auto& r : reads)
            if (ReadControlText(page, r.id, r.text)) *r.entry = r.text->c_str();
        entries.keepChecked = IsChecked(page, IDC_KEEP_JOBS);
        entries.sendCoverPage = IsChecked(page, IDC_SEND_COVER);
        entries.resolutionIsFine = SendDlgItemMessageW(page, IDC_RESOLUTION, CB_GETCURSEL, 0, 0) == 0;
    }
};

void WriteSettings(const SheetContext* ctx, PluginDevmode* target, const OutputEntries& entries) {
    const OutputWrites writes = WriteOutputEntries(target, entries, ctx->output.coverWork);
    if (writes.lastUserName) WriteLastUserName(SheetPrinter(ctx), target->userName);
    if (writes.faxInfo) WriteFaxInfo(SheetPrinter(ctx), &target->fax);
}

BOOL OnInitDialog(HWND page, LPARAM lParam) {
    SheetContext* ctx = KeepPageContext(page, lParam);
    if (!Usable(ctx)) return TRUE;
    const OutputFeatures features = QueryFeatures(ctx);
    FillDestinationList(page, features);
    RebuildPage(page, ctx, features, true);
    return TRUE;
}

void OnSetActive(HWND page) {
    RemoveSheetHelpButton(page);
    SheetContext* ctx = PageContext(page);
    if (Usable(ctx)) RebuildPage(page, ctx, QueryFeatures(ctx), false);
    SetResult(page, 0);
}

// Leaving: the first failed check keeps the user on the page with its message and the focus on
// the field to correct; otherwise the entries go into the working devmode.
void OnKillActive(HWND page) {
    SheetContext* ctx = PageContext(page);
    // A read-only sheet shows the job's settings but takes nothing from the page: the user could
    // not correct a failed check there anyway.
    if (!Usable(ctx) || ctx->readOnly) {
        SetResult(page, FALSE);
        return;
    }
    const PageEntries read(page);
    const OutputProblem problem =
        CheckOutputEntries(read.entries, QueryFeatures(ctx), ctx->output.coverWork.coverFlags);
    if (problem) {
        if (ShowErrorMessage(page, problem.messageId))
            if (HWND field = GetDlgItem(page, FieldControl(problem.focus))) SetFocus(field);
        SetResult(page, TRUE);
        return;
    }
    WriteSettings(ctx, &ctx->dm, read.entries);
    SetResult(page, FALSE);
}

// Apply: the entries (already checked when the page was left) go into the job's devmode.
void OnApply(HWND page) {
    SheetContext* ctx = PageContext(page);
    auto* target = ctx && ctx->uiParam ? static_cast<PluginDevmode*>(ctx->uiParam->pOEMDM) : nullptr;
    if (target && SheetPrinter(ctx) && !ctx->readOnly) {
        const PageEntries read(page);
        WriteSettings(ctx, target, read.entries);
    }
    SetResult(page, PSNRET_NOERROR);
}

void OnDestinationChange(HWND page) {
    MarkChanged(page);
    const uint32_t code = GetSelectedDestination(GetDlgItem(page, IDC_OUTPUT_LIST));
    const bool fax = code == DestFax;
    EnableFaxControls(page, fax, fax && IsChecked(page, IDC_SEND_COVER));
    const DestinationFields fields = GetDestinationFields(code);
    EnableControl(page, IDC_KEEP_JOBS, fields.keepUsed);
    EnableControl(page, IDC_PIN, fields.pinUsed);
    EnableControl(page, IDC_PIN_LABEL, fields.pinUsed);
    EnableControl(page, IDC_USERNAME, fields.userNameUsed);
    EnableControl(page, IDC_USERNAME_LABEL, fields.userNameUsed);
}

BOOL OnCommand(HWND page, int id, int code) {
    SheetContext* ctx = PageContext(page);
    if (!ctx || Filling(page)) return FALSE;
    if (id == IDC_OUTPUT_LIST) {
        if (code != LBN_SELCHANGE) return FALSE;
        OnDestinationChange(page);
        return TRUE;
    }
    if (code == EN_CHANGE) {
        MarkChanged(page);
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    MarkChanged(page);
    if (id == IDC_SETUP_COVER) EditCoverPage(page, &ctx->output.coverWork, CoverEditable(ctx));
    if (id == IDC_SEND_COVER)
        EnableControl(page, IDC_SETUP_COVER, IsChecked(page, IDC_SEND_COVER));
    return TRUE;
}

} // namespace

INT_PTR CALLBACK OutputOptionsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
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
