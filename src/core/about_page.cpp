// About page: the printer model, the plug-in's version and the installed driver files with
// their file versions, for support staff. Filled once at initialisation; stores nothing.
#include "core/about_resource.h"
#include "core/spooler_query.h"
#include "core/subsystems.h"
#include "core/sheet_context.h"
#include "resources/resource.h"
#include "core/page_frame.h"
#include "ui/strings.h"

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace cv {

namespace {

constexpr const wchar_t* kPluginVersionText = L"3.1";
constexpr int kTextUnits = 2048;
// A model name longer than this is not a name; refuse it rather than allocate for it.
constexpr DWORD kMaxAttributeBytes = 64 * 1024;
// No version resource of a driver file comes near this.
constexpr DWORD kMaxVersionInfoBytes = 16 * 1024 * 1024;

// Formats a string-table format holding one %s, bounded to the text buffer size.
std::wstring FormatText(UINT formatId, const wchar_t* argument) {
    const std::wstring format = LoadText(formatId);
    wchar_t text[kTextUnits] = {};
    if (_snwprintf(text, kTextUnits - 1, format.c_str(), argument) < 0) text[kTextUnits - 1] = 0;
    return text;
}

// The file-version text of a driver file: "N/A" without a version resource; empty when the
// resource cannot be read or names no language or no file version (the file is then not listed).
std::wstring FileVersionText(const wchar_t* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return LoadText(IDS_NOT_AVAILABLE);
    if (size > kMaxVersionInfoBytes) return {};
    std::vector<BYTE> info(size, 0);
    if (!GetFileVersionInfoW(path, 0, size, info.data())) return {};

    void* translation = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &translation,
                        &translationBytes) ||
        !translation || translationBytes < 2 * sizeof(WORD))
        return {};
    const WORD* languageAndCodePage = static_cast<const WORD*>(translation);
    wchar_t query[64] = {};
    _snwprintf(query, 63, L"\\StringFileInfo\\%08lx\\FileVersion",
               (static_cast<unsigned long>(languageAndCodePage[0]) << 16) |
                   languageAndCodePage[1]);

    void* value = nullptr;
    UINT units = 0;
    if (!VerQueryValueW(info.data(), query, &value, &units) || !value || units == 0) return {};
    const auto* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, units));
}

// Offers one driver file to the list; the list keeps its rows sorted by file name, so the row
// actually taken is the one the insertion reports.
void AddFileRow(HWND list, const wchar_t* path, int position) {
    if (!path || !*path) return;
    const std::wstring version = FileVersionText(path);
    if (version.empty()) return;
    const wchar_t* slash = wcsrchr(path, L'\\');
    std::wstring name = slash ? slash + 1 : path;

    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.pszText = &name[0];
    const auto row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0,
                                                   reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    std::wstring versionText = version;
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = &versionText[0];
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
}

void InsertColumn(HWND list, int index, UINT textId, int width) {
    std::wstring text = LoadText(textId);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = &text[0];
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void FillFileList(HWND page, HANDLE printer) {
    HWND list = GetDlgItem(page, IDC_ABOUT_FILES);
    if (!printer || !list) return;

    RECT bounds{};
    GetWindowRect(list, &bounds);
    int usable = static_cast<int>(bounds.right - bounds.left) - 25;
    if (usable < 0) usable = 0;
    InsertColumn(list, 0, IDS_FILE, usable / 3);
    InsertColumn(list, 1, IDS_VERSION, usable - usable / 3);

    std::vector<BYTE> buffer;
    const DRIVER_INFO_3W* driver = ReadDriverInfo3(printer, &buffer);
    if (!driver) return;

    int position = 0;
    AddFileRow(list, driver->pConfigFile, position++);
    AddFileRow(list, driver->pDriverPath, position++);
    for (const wchar_t* file = driver->pDependentFiles; file && *file;
         file += wcslen(file) + 1)
        AddFileRow(list, file, position++);
}

void FillModelAndVersion(HWND page, IPrintCoreUI2* coreUI, POEMUIOBJ uiObject) {
    HWND model = GetDlgItem(page, IDC_ABOUT_MODEL);
    HWND version = GetDlgItem(page, IDC_ABOUT_VERSION);
    if (!coreUI || !uiObject || !model || !version) return;

    DWORD type = 0, needed = 0;
    coreUI->GetGlobalAttribute(uiObject, 0, "NickName", &type, nullptr, 0, &needed);
    if (needed > 0 && needed <= kMaxAttributeBytes) {
        // One unit more than asked for, zeroed: the answer need not be terminated.
        std::vector<wchar_t> nickName(needed / sizeof(wchar_t) + 1, L'\0');
        const HRESULT read = coreUI->GetGlobalAttribute(
            uiObject, 0, "NickName", &type, reinterpret_cast<BYTE*>(nickName.data()), needed,
            &needed);
        if (SUCCEEDED(read))
            SetWindowTextW(model, FormatText(IDS_DRIVER_FORMAT, nickName.data()).c_str());
    }
    SetWindowTextW(version, FormatText(IDS_VERSION_FORMAT, kPluginVersionText).c_str());
}

} // namespace

// The page shows facts, not settings: it stays enabled on a read-only sheet.
INT_PTR CALLBACK AboutPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        if (SheetContext* ctx = KeepPageContext(page, lParam)) {
            FillFileList(page, SheetPrinter(ctx));
            FillModelAndVersion(page, ctx->coreUI, SheetUIObject(ctx));
        }
        return TRUE;
    }
    return CommonPageProc(page, msg, wParam, lParam);
}

} // namespace cv
