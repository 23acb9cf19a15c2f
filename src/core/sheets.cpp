// The plug-in's part of the document and printer property sheets: the compstui reasons, the
// shared SheetContext, the pages and the conditions under which they appear.
#include "core/sheets.h"

#include "core/modal_dialog.h"
#include "core/module.h"
#include "core/subsystems.h"
#include "core/plugin_object.h"
#include "core/sheet_context.h"
#include "resources/resource.h"

#include <memory>
#include <new>
#include <type_traits>

namespace cv {

// The context lives in the host's heap and is freed with HeapFree, never destroyed as a C++
// object: it must stay plain data.
static_assert(std::is_trivially_destructible<SheetContext>::value, "SheetContext is heap data");
static_assert(std::is_trivially_copyable<SheetContext>::value, "SheetContext is heap data");

namespace {

// Title the plug-in reports for its part of the sheet (GET_INFO_HEADER). The header's pTitle is
// not const, so the text is a writable array that outlives the call.
wchar_t kInfoHeaderTitle[] = L"In-Box UI Page";

bool EqualsIgnoringAsciiCase(const char* text, size_t length, const char* expected) {
    size_t i = 0;
    for (; i < length && expected[i]; ++i) {
        char a = text[i], b = expected[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return i == length && expected[i] == 0;
}

// Adds one page through compstui; the answer of pfnComPropSheet is returned.
LONG_PTR AddPage(PPROPSHEETUI_INFO info, SheetContext* ctx, WORD templateId, DLGPROC proc) {
    if (!info->pfnComPropSheet) return 0;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = moduleInstance;
    page.pszTemplate = MAKEINTRESOURCEW(templateId);
    page.pfnDlgProc = proc;
    page.lParam = reinterpret_cast<LPARAM>(ctx);
    if (EnsurePluginActCtx()) {
        page.hActCtx = pluginActCtx;
        page.dwFlags |= PSP_USEFUSIONCONTEXT;
    }
    return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                 reinterpret_cast<LPARAM>(&page), 0);
}

void SetSharedFields(SheetContext* ctx, PluginObject* object, PPROPSHEETUI_INFO info,
                     POEMUIPSPARAM param) {
    ctx->hComPropSheet = info->hComPropSheet;
    ctx->pfnComPropSheet = info->pfnComPropSheet;
    ctx->uiParam = param;
    ctx->coreUI = object->coreUI;
    ctx->pluginObject = object;
}

SheetContext* NewContext(HANDLE heap) {
    if (!heap) return nullptr;
    void* memory = HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(SheetContext));
    if (!memory) return nullptr;
    auto* ctx = new (memory) SheetContext{};
    ctx->heap = heap;
    return ctx;
}

// Freed through the heap it came from: a parameter block handed to the context later (another
// sheet's, or none) says nothing about where its memory lives.
void FreeContext(SheetContext* ctx) {
    if (ctx && ctx->heap) HeapFree(ctx->heap, 0, ctx);
}

// The answers that are the same for both sheets; false for the reasons each handles itself.
bool AnswerCommonReason(PPROPSHEETUI_INFO info, LPARAM lParam) {
    switch (info->Reason) {
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        if (lParam) reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam)->pTitle = kInfoHeaderTitle;
        info->Result = 1;
        return true;
    case PROPSHEETUI_REASON_SET_RESULT:
        info->Result = lParam ? reinterpret_cast<PSETRESULT_INFO>(lParam)->Result : 0;
        return true;
    case PROPSHEETUI_REASON_INIT:
    case PROPSHEETUI_REASON_DESTROY:
        return false;
    default:
        info->Result = 0;
        return true;
    }
}

void InitDocumentSheet(PluginObject* object, PPROPSHEETUI_INFO info) {
    auto* param = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
    if (!param) {
        info->Result = 1;
        return;
    }
    SheetContext* ctx = DocumentSheetContext(object, param->hOEMHeap);
    if (ctx) {
        SetSharedFields(ctx, object, info, param);
        ctx->readOnly = (param->dwFlags & DM_NOPERMISSION) ? 1 : 0;
        if (const auto* dm = static_cast<const PluginDevmode*>(param->pOEMDM)) {
            ctx->watermark.orderWork = dm->watermarkOrder;
            copyWorkingDevmode(&ctx->dm, dm);
        }
    }
    info->UserData = reinterpret_cast<ULONG_PTR>(ctx);

    IPrintCoreUI2* coreUI = object->coreUI;
    POEMUIOBJ uiObject = param->poemuiobj;
    if (driverSettingIsTrue(coreUI, uiObject, "FaxCard") ||
        featureExists(coreUI, uiObject, "HasPrintandHold")) {
        const WORD outputTemplate = featureExists(coreUI, uiObject, "HasNewPin")
                                        ? IDD_OUTPUT_OPTIONS_NEWPIN
                                        : IDD_OUTPUT_OPTIONS;
        AddPage(info, ctx, outputTemplate, &OutputOptionsPageProc);
    }
    AddPage(info, ctx, IDD_WATERMARK, &WatermarkPageProc);
    AddPage(info, ctx, IDD_PROFILES, &ProfilesPageProc);
    info->Result = static_cast<ULONG_PTR>(AddPage(info, ctx, IDD_ABOUT_DOC, &AboutPageProc));
}

void DestroyDocumentSheet(PluginObject* object, PPROPSHEETUI_INFO info) {
    auto* ctx = reinterpret_cast<SheetContext*>(info->UserData);
    // The object lets go of this sheet's context, and of one the Advanced tree made that no
    // sheet ever took (an INIT without a parameter block): either would be stale from now on.
    SheetContext* held = object->sheetContext;
    if (held && (held == ctx || !held->uiParam)) object->sheetContext = nullptr;
    if (!ctx) {
        info->Result = 1;
        return;
    }
    // Everything needed after the context is gone is read first.
    const bool changed = ctx->changed != 0;
    const HANDLE sheet = ctx->hComPropSheet;
    const PFNCOMPROPSHEET comPropSheet = ctx->pfnComPropSheet;
    FreeContext(ctx);
    info->UserData = 0;
    if (changed && comPropSheet)
        info->Result = static_cast<ULONG_PTR>(comPropSheet(sheet, CPSFUNC_SET_RESULT, 0, CPSUI_OK));
    else
        info->Result = 1;
}

} // namespace

SheetContext* DocumentSheetContext(PluginObject* object, HANDLE heap, bool* made) {
    if (made) *made = false;
    SheetContext* held = object->sheetContext;
    if (held && held->heap == heap) return held;
    SheetContext* ctx = NewContext(heap);
    if (!ctx) return nullptr;
    object->sheetContext = ctx;
    if (made) *made = true;
    return ctx;
}

bool driverSettingIsTrue(IPrintCoreUI2* coreUI, POEMUIOBJ uiObject, const char* keyword) {
    if (!coreUI || !uiObject || !keyword) return false;
    DWORD needed = 0, options = 0;
    coreUI->DrvGetDriverSetting(uiObject, keyword, nullptr, 0, &needed, &options);
    if (needed == 0) return false;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[needed]);
    if (!buffer) return false;
    const DWORD capacity = needed;
    if (coreUI->DrvGetDriverSetting(uiObject, keyword, buffer.get(), capacity, &needed, &options) !=
        S_OK)
        return false;
    // The answer is read within the buffer only, whether or not the host terminated it.
    size_t length = 0;
    while (length < capacity && buffer[length])
        ++length;
    return EqualsIgnoringAsciiCase(buffer.get(), length, "True");
}

bool featureExists(IPrintCoreUI2* coreUI, POEMUIOBJ uiObject, const char* keyword) {
    if (!coreUI || !uiObject || !keyword) return false;
    DWORD needed = 0;
    return coreUI->EnumOptions(uiObject, 0, keyword, nullptr, 0, &needed) == E_OUTOFMEMORY &&
           needed > 0;
}

void DocumentSheets(PluginObject* object, PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (AnswerCommonReason(info, lParam)) return;
    if (info->Reason == PROPSHEETUI_REASON_INIT)
        InitDocumentSheet(object, info);
    else
        DestroyDocumentSheet(object, info);
}

void DeviceSheets(PluginObject* object, PPROPSHEETUI_INFO info, LPARAM lParam) {
    if (AnswerCommonReason(info, lParam)) return;
    if (info->Reason == PROPSHEETUI_REASON_DESTROY) {
        FreeContext(reinterpret_cast<SheetContext*>(info->UserData));
        info->UserData = 0;
        info->Result = 0;
        return;
    }
    auto* param = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
    if (!param) {
        info->Result = 1;
        return;
    }
    // The printer sheet's context is its own: the document sheet's (in the object) is untouched.
    SheetContext* ctx = NewContext(param->hOEMHeap);
    if (ctx) SetSharedFields(ctx, object, info, param);
    info->UserData = reinterpret_cast<ULONG_PTR>(ctx);
    info->Result = static_cast<ULONG_PTR>(AddPage(info, ctx, IDD_ABOUT_PRINTER, &AboutPageProc));
}

} // namespace cv
