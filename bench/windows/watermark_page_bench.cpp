// The Watermark page under Wine with 1,000 stored watermarks: its initialisation (both lists
// filled, the devmode's two watermarks looked up, activation, first paint) against its floor,
// one bare enumeration of the stored names on an open key, timed in interleaved rounds. The
// page's own work without the paint, and one list filled alone, are timed beside them; of the
// paint, the time the two lists spend drawing their frames (border and scroll bars).
#include "core/module.h"
#include "core/sheet_context.h"
#include "core/subsystems.h"
#include "harness.h"
#include "host/core_ui.h"
#include "resources/resource.h"
#include "ui/bounded_string.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"
#include "windows/printer_fixture.h"
#include "windows/support.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kStored = 1000;

double pageTime = 0;
constexpr DLGPROC TimedPageProc = cvbench::TimedPageProc<cv::WatermarkPageProc, &pageTime>;

// The lists' non-client paint (border, vertical and horizontal scroll bar), seen through a
// subclass: Wine's drawing, which no page code takes part in.
double frameTime = 0;
WNDPROC listProc = nullptr;
LRESULT CALLBACK FrameTimedList(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_NCPAINT) return CallWindowProcW(listProc, list, msg, wParam, lParam);
    const double start = cvbench::Now();
    const LRESULT result = CallWindowProcW(listProc, list, msg, wParam, lParam);
    frameTime += cvbench::Now() - start;
    return result;
}

int Fail(const char* why) {
    std::fprintf(stderr, "watermark_page_bench: %s\n", why);
    return 1;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    cvtest::RegistryPrinter printer(L"bench wm page");
    const HANDLE h = printer.handle();
    if (!h) return Fail("no test printer");
    cv::moduleInstance = cvtest::PluginDll::Get().module;
    for (int i = 0; i < kStored; ++i) {
        cv::WatermarkSettings wm{};
        cv::ResetWatermark(&wm);
        const std::wstring name = L"Watermark number " + std::to_wstring(i);
        cv::BoundedCopyText(wm.name, reinterpret_cast<const char16_t*>(name.c_str()));
        cv::BoundedCopyText(wm.text, u"TEXT");
        if (!cv::SaveWatermark(h, &wm)) return Fail("cannot store the watermarks");
    }

    auto model = std::make_shared<cvhost::PrinterModel>();
    std::string error;
    cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Bench\"\n", model.get(), &error);
    cvhost::CoreUIPtr coreUI(cvhost::HostCoreUI::Create(model));
    cv::PluginDevmode job{};
    cv::defaultPluginDevmode(&job);
    job.watermarkEnabled = 1;
    job.watermarkOrder = 3;
    cv::BoundedCopyText(job.firstWatermark.name, u"Watermark number 500");
    cv::BoundedCopyText(job.otherWatermark.name, u"Watermark number 900");
    DEVMODEW publicDm{};
    OEMUIPSPARAM param{};
    param.cbSize = sizeof param;
    param.poemuiobj = coreUI->UIObject();
    param.hPrinter = h;
    param.pPublicDM = &publicDm;
    param.pOEMDM = &job;
    std::unique_ptr<cv::SheetContext> ctx(new cv::SheetContext{});
    ctx->uiParam = &param;
    ctx->coreUI = coreUI.get();
    ctx->dm = job;
    ctx->watermark.orderWork = job.watermarkOrder;

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500, nullptr,
                                  nullptr, nullptr, nullptr);
    PROPSHEETPAGEW record{};
    record.dwSize = sizeof record;
    record.lParam = reinterpret_cast<LPARAM>(ctx.get());
    bool failed = false;

    // The page's own work from WM_INITDIALOG to its first paint: the lists filled, the devmode
    // shown, activation, then the page shown and painted. Making its window and controls is the
    // dialog manager's, the same for every page, and is not counted.
    double paintTime = 0;
    const auto page = [&] {
        pageTime = 0;
        HWND window = CreateDialogParamW(cv::moduleInstance, MAKEINTRESOURCEW(IDD_WATERMARK),
                                         parent, TimedPageProc, reinterpret_cast<LPARAM>(&record));
        NMHDR active{window, 0, static_cast<UINT>(PSN_SETACTIVE)};
        SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&active));
        frameTime = 0;
        for (int id : {IDC_WMP_FIRST_LIST, IDC_WMP_SECOND_LIST})
            listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                GetDlgItem(window, id), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameTimedList)));
        const double start = cvbench::Now();
        ShowWindow(window, SW_SHOWNA);
        UpdateWindow(window);
        paintTime = cvbench::Now() - start;
        if (!window ||
            SendDlgItemMessageW(window, IDC_WMP_SECOND_LIST, LB_GETCOUNT, 0, 0) != kStored + 1 ||
            SendDlgItemMessageW(window, IDC_WMP_SECOND_LIST, LB_GETCURSEL, 0, 0) <= 0)
            failed = true;
        DestroyWindow(window);
        return pageTime + paintTime;
    };
    // The same, counting the page's own work only (the paint is Wine's drawing of the controls).
    const auto pageOwn = [&] {
        page();
        return pageTime;
    };
    const auto frames = [&] {
        page();
        return frameTime;
    };
    // The floor: the stored names enumerated once, on a key already open.
    HKEY store = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, (printer.driverKeyPath() + L"\\Watermarks").c_str(), 0,
                  KEY_READ, &store);
    const auto floor = [&] {
        wchar_t name[128];
        for (DWORD i = 0;; ++i) {
            DWORD length = 128;
            if (RegEnumValueW(store, i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_NO_MORE_ITEMS)
                break;
        }
        return 0.0;
    };
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS | WS_HSCROLL, 0, 0,
                                200, 300, nullptr, nullptr, nullptr, nullptr);
    const auto oneList = [&] {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        const double start = cvbench::Now();
        cv::FillWatermarkList(h, list);
        return cvbench::Now() - start;
    };

    const auto rounds = cvbench::Interleaved(5, 9, 1, 1, floor, page, pageOwn, frames, oneList);
    RegCloseKey(store);
    DestroyWindow(list);
    DestroyWindow(parent);
    if (failed) return Fail("the page did not show the stored watermarks");
    std::printf("Watermark page, %d stored watermarks; 5 rounds interleaved:\n", kStored);
    cvbench::ReportRounds("floor: one enumeration of the names", rounds[0], nullptr);
    cvbench::ReportRounds("page init to first paint (goal <= 1.3x)", rounds[1], &rounds[0]);
    cvbench::ReportRounds("  the page's own work (lists, devmode, activation)", rounds[2],
                          &rounds[0]);
    cvbench::ReportRounds("  of the first paint: the lists' frames, scroll bars", rounds[3],
                          &rounds[0]);
    cvbench::ReportRounds("one list filled (for comparison)", rounds[4], &rounds[0]);
    return 0;
}
