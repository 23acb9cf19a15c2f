// The Create/Edit Watermark dialog under Wine, opened from the Watermark page of a real document
// sheet as the page's buttons open it, each figure against its floor timed in the same rounds:
// - opening the editor, from the call to the end of the preview's first paint, against what the
//   opening must ask of the system (the driver's configuration module from the spooler, a device
//   context for the printer, one enumeration of its fonts), and against that floor plus what the
//   window system takes to make and paint the same template with a procedure that does nothing;
// - one preview refresh after a keystroke in the text (the edit's notifications, the controls
//   read, the page repainted): plain text against its 1 ms goal, dynamic text against the
//   spooler question its printer variable needs.
#include "core/modal_dialog.h"
#include "core/module.h"
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "harness.h"
#include "ui/bounded_string.h"
#include "watermark/editor_dialog.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"
#include "windows/printer_fixture.h"
#include "windows/support.h"
#include "windows/ui_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const char* why) {
    std::fprintf(stderr, "watermark_editor_bench: %s\n", why);
    return 1;
}

// The end of the first paint of an editor's preview: the editor is then closed at once. The
// preview is watched from its activation (which precedes any paint) through a subclass that
// goes again at that first paint.
double firstPaintEnd = 0;
LRESULT CALLBACK WatchPaint(HWND preview, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR) {
    const LRESULT result = DefSubclassProc(preview, msg, wParam, lParam);
    if (msg == WM_PAINT) {
        firstPaintEnd = cvbench::Now();
        RemoveWindowSubclass(preview, &WatchPaint, id);
        PostMessageW(GetParent(preview), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return result;
}
LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && GetDlgItem(window, IDC_WM_NAME))
        SetWindowSubclass(GetDlgItem(window, IDC_WM_PREVIEW), &WatchPaint, 1, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The editor's template under the plug-in's activation context with a procedure that only waits
// for the first paint of the preview control: what Wine takes to make and show the dialog.
INT_PTR CALLBACK BareEditor(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        SetWindowSubclass(GetDlgItem(dialog, IDC_WM_PREVIEW), &WatchPaint, 1, 0);
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// What opening the editor cannot do without: the spooler's driver information (whose
// configuration module names the printer's driver to CreateDCW), the printer's device context
// (Wine has no rendering module for it, so the screen's, as the font list then takes) and one
// enumeration of every face in every character set.
int OpeningFloor(HANDLE printer, const std::wstring& printerName, bool* printerDC = nullptr) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    std::wstring module = L"PS5UI";
    if (needed && GetPrinterDriverW(printer, nullptr, 2, info.data(), needed, &needed)) {
        const wchar_t* config = reinterpret_cast<const DRIVER_INFO_2W*>(info.data())->pConfigFile;
        if (config) {
            module = config;
            module.erase(0, module.find_last_of(L'\\') + 1);
            const size_t dot = module.find_last_of(L'.');
            if (dot != std::wstring::npos) module.erase(dot);
        }
    }
    HDC dc = CreateDCW(module.c_str(), printerName.c_str(), nullptr, nullptr);
    const bool created = dc != nullptr;
    if (printerDC) *printerDC = created;
    if (!created) dc = GetDC(nullptr);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    int faces = 0;
    EnumFontFamiliesExW(dc, &query, &CountFace, reinterpret_cast<LPARAM>(&faces), 0);
    if (created)
        DeleteDC(dc);
    else
        ReleaseDC(nullptr, dc);
    return faces;
}

} // namespace

int main() {
    cv::moduleInstance = cvtest::PluginDll::Get().module;
    if (!cv::moduleInstance) return Fail("cvpsui.dll could not be loaded");
    cvtest::ModelPrinter printer(L"Editor Bench", "");
    if (!printer.ok()) return Fail(printer.error.c_str());
    cvtest::SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
    if (!sheet.ok() || !sheet.SelectPage(L"Watermark")) return Fail("no Watermark page");
    HWND page = sheet.CurrentPage();
    const cv::SheetContext* ctx = cv::PageContext(page);
    HANDLE handle = cv::SheetPrinter(ctx);
    cv::WatermarkSettings stamp{};
    cv::ResetWatermark(&stamp);
    cv::BoundedCopyText(stamp.name, u"Stamp");
    cv::BoundedCopyText(stamp.text, u"CONFIDENTIAL");
    stamp.angle = 45;
    stamp.color = 0xCDCDCD;
    if (!cv::SaveWatermark(handle, &stamp)) return Fail("cannot store a watermark");

    std::printf("Create/Edit Watermark dialog under Wine (medians of rounds; ratio to the floor "
                "of the same round)\n");
    bool printerDC = false;
    const int faces = OpeningFloor(handle, printer.printerName, &printerDC);
    std::printf("  font list: %d faces enumerated on the %s device context\n", faces,
                printerDC ? "printer's" : "screen's (no printer DC under Wine)");

    HHOOK hook = SetWindowsHookExW(WH_CBT, &OnActivate, nullptr, GetCurrentThreadId());
    bool painted = true;
    const auto open = [&] {
        firstPaintEnd = 0;
        cv::WatermarkSettings saved{};
        const double start = cvbench::Now();
        cv::EditWatermark(page, ctx, L"Stamp", &saved);
        if (firstPaintEnd == 0) painted = false;
        return firstPaintEnd > start ? firstPaintEnd - start : 0.0;
    };
    const auto floor = [&] {
        OpeningFloor(handle, printer.printerName);
        return 0.0;
    };
    const auto bare = [&] {
        firstPaintEnd = 0;
        const double start = cvbench::Now();
        cv::RunModalDialog(page, IDD_WATERMARK_EDITOR, &BareEditor, nullptr);
        if (firstPaintEnd == 0) painted = false;
        return firstPaintEnd > start ? firstPaintEnd - start : 0.0;
    };
    const auto opening = cvbench::Interleaved(5, 21, 3, 1, floor, bare, open);
    UnhookWindowsHookEx(hook);
    if (!painted) return Fail("a dialog closed without painting its preview");
    std::vector<double> both;
    for (size_t i = 0; i < opening[0].size(); ++i)
        both.push_back(opening[0][i] + opening[1][i]);
    cvbench::ReportRounds("floor: driver info + DC + font enumeration", opening[0], nullptr);
    cvbench::ReportRounds("the template alone: made, shown, painted", opening[1], nullptr);
    cvbench::ReportRounds("editor: open to first preview paint (goal 1.5x)", opening[2],
                          &opening[0]);
    cvbench::ReportRounds("  the same against floor + template alone", opening[2], &both);

    // Keystrokes into the open editor's text: each one's notifications, then its repaint.
    std::vector<std::vector<double>> refresh;
    cvtest::DialogScript script;
    script.Then([&](HWND dialog) {
        HWND text = GetDlgItem(dialog, IDC_WM_TEXT);
        HWND preview = GetDlgItem(dialog, IDC_WM_PREVIEW);
        int n = 0;
        const auto keystroke = [&](const wchar_t* a, const wchar_t* b) {
            SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(++n % 2 ? a : b));
            UpdateWindow(preview);
            return 0.0;
        };
        // The check box is set to each kind in the untimed warm-up calls of its measurement.
        const auto dynamicText = [&](bool on) {
            if (cvtest::IsChecked(dialog, IDC_WM_DYNAMIC) != on)
                SendDlgItemMessageW(dialog, IDC_WM_DYNAMIC, BM_CLICK, 0, 0);
        };
        const auto plain = [&] {
            dynamicText(false);
            return keystroke(L"CONFIDENTIAL", L"CONFIDENTIAl");
        };
        const auto dynamic = [&] {
            dynamicText(true);
            return keystroke(L"%printer% %time%", L"%printer% %time%.");
        };
        const auto spooler = [&] {
            DWORD needed = 0;
            GetPrinterW(handle, 2, nullptr, 0, &needed);
            std::vector<BYTE> info(needed ? needed : 1);
            GetPrinterW(handle, 2, info.data(), needed, &needed);
            return 0.0;
        };
        // The window system's part of a keystroke and a repaint: an edit and a static of the same
        // size as the preview, in a window of their own, without any code of the plug-in.
        HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                    nullptr, nullptr);
        RECT previewRect{};
        GetClientRect(preview, &previewRect);
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, host,
                                    nullptr, nullptr, nullptr);
        HWND page =
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_WHITERECT, 0, 30,
                            previewRect.right, previewRect.bottom, host, nullptr, nullptr, nullptr);
        ShowWindow(host, SW_SHOWNOACTIVATE);
        const auto window = [&] {
            SendMessageW(edit, WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(++n % 2 ? L"CONFIDENTIAL" : L"CONFIDENTIAl"));
            InvalidateRect(page, nullptr, TRUE);
            UpdateWindow(page);
            return 0.0;
        };
        refresh = cvbench::Interleaved(5, 51, 10, 10, window, plain, spooler, dynamic);
        DestroyWindow(host);
        cvtest::DialogScript::PressButton(dialog, IDCANCEL);
    });
    cv::WatermarkSettings saved{};
    cv::EditWatermark(page, ctx, L"Stamp", &saved);
    if (refresh.size() != 4) return Fail("the editor did not come up for the refresh figures");
    cvbench::ReportRounds("floor: keystroke + repaint, no plug-in code", refresh[0], nullptr);
    cvbench::ReportRounds("preview refresh after a keystroke, plain (goal 1 ms)", refresh[1],
                          &refresh[0]);
    cvbench::ReportRounds("floor: the spooler question of %printer%", refresh[2], nullptr);
    cvbench::ReportRounds("preview refresh after a keystroke, dynamic", refresh[3], &refresh[2]);
    return 0;
}
