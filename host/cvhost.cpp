// cvhost: the demo of the stand-in host. It sets up a printer of a model (the demo model unless
// told otherwise), opens its document or printer properties with the plug-in's pages as the
// PostScript driver would, and on OK prints what the job's plug-in devmode now carries.
//
//   cvhost doc     [--printer NAME] [--ppd FILE] [--page TITLE] [--readonly] [--capture DIR]
//   cvhost printer [--printer NAME] [--ppd FILE] [--page TITLE] [--capture DIR]
//   cvhost preview --text TEXT [options]   (the watermark preview; see preview_command.h)
//
// --printer NAME  an installed printer (with --ppd: the name of the printer to set up)
// --ppd FILE      set up a printer of the model in FILE first
// --page TITLE    open the sheet on the page of that title ("Advanced"), as applications that
//                 remember the last page do
// --readonly      the user may look but not change (DM_NOPERMISSION)
// --capture DIR   no user: save a picture of every page into DIR, then press OK
#include "core/records.h"
#include "host/capture.h"
#include "host/devmode_summary.h"
#include "host/driver_ui.h"
#include "host/job_devmode.h"
#include "host/preview_command.h"
#include "host/printer_setup.h"
#include "host/sheet_host.h"
#include "host/spooler.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(FILE* to, const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n,
                            nullptr, nullptr);
    std::fputs(utf8.c_str(), to);
    std::fflush(to);
}

int Fail(const std::wstring& message, int code = 1) {
    Print(stderr, L"cvhost: " + message + L"\n");
    return code;
}

const wchar_t kUsage[] =
    L"usage: cvhost doc [--printer NAME] [--ppd FILE] [--page TITLE] [--readonly] [--capture DIR]\n"
    L"       cvhost printer [--printer NAME] [--ppd FILE] [--page TITLE] [--capture DIR]\n"
    L"       cvhost preview --text TEXT [--dynamic] [--angle DEG] [--position NAME|CODE]\n"
    L"              [--size PT] [--color 0xBBGGRR] [--intensity PCT] [--face NAME] [--style 0-3]\n"
    L"              [--effects 0-7] [--offset VERTICAL HORIZONTAL] [--mm] [--printer NAME]\n"
    L"              [--out FILE.bmp]\n";

struct Options {
    cvhost::SheetKind kind = cvhost::SheetKind::Document;
    std::wstring printer, ppd, captureDir, page;
    bool readOnly = false;
};

// Returns 0 when the options are complete, else the exit code after reporting the problem.
int ParseArguments(int argc, wchar_t** argv, Options* o) {
    if (argc < 2) return Fail(L"no command given\n" + std::wstring(kUsage), 2);
    const std::wstring command = argv[1];
    if (command == L"--help" || command == L"-h") {
        Print(stdout, kUsage);
        return -1;
    }
    if (command == L"doc")
        o->kind = cvhost::SheetKind::Document;
    else if (command == L"printer")
        o->kind = cvhost::SheetKind::Printer;
    else
        return Fail(L"unknown command \"" + command + L"\" (try cvhost --help)", 2);
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        auto value = [&](std::wstring* into) {
            if (i + 1 >= argc) return false;
            *into = argv[++i];
            return !into->empty();
        };
        if (arg == L"--printer") {
            if (!value(&o->printer)) return Fail(L"--printer needs a printer name", 2);
        } else if (arg == L"--ppd") {
            if (!value(&o->ppd)) return Fail(L"--ppd needs a file name", 2);
        } else if (arg == L"--page") {
            if (!value(&o->page)) return Fail(L"--page needs a page title", 2);
        } else if (arg == L"--capture") {
            if (!value(&o->captureDir)) return Fail(L"--capture needs a directory", 2);
        } else if (arg == L"--readonly" && o->kind == cvhost::SheetKind::Document) {
            o->readOnly = true;
        } else {
            return Fail(L"unknown option \"" + arg + L"\" for " + command + L" (try cvhost --help)",
                        2);
        }
    }
    return 0;
}

void Warn(const std::vector<std::wstring>& warnings) {
    for (const std::wstring& w : warnings)
        Print(stderr, L"cvhost: warning: " + w + L"\n");
}

// Which printer to open: set one up from a PPD, take an installed one, or set up the demo. A
// printer set up here comes with its model, read once.
bool ChoosePrinter(const Options& o, cvhost::ModelPrinter* printer, std::wstring* error) {
    if (!o.ppd.empty()) {
        printer->ppdPath = o.ppd;
        printer->printerName = o.printer;
        const bool ok = cvhost::SetUpModelPrinter(printer, error);
        Warn(printer->warnings);
        return ok;
    }
    if (!o.printer.empty()) {
        printer->printerName = o.printer;
        return true;
    }
    const bool ok = cvhost::SetUpDemoPrinter(printer, error);
    Warn(printer->warnings);
    return ok;
}

// The demo's job comes from an application that printed with the watermark "Draft" on all pages
// before: its devmode carries the record as the user's store holds it.
std::vector<unsigned char> DemoJobDevmode(const std::wstring& driverName) {
    const std::wstring store = L"Software\\Corvane\\PSPlugIn\\" + driverName + L"\\Watermarks";
    cv::WatermarkSettings stored{};
    DWORD size = sizeof stored;
    cv::PluginDevmode dm{};
    cv::defaultPluginDevmode(&dm);
    if (RegGetValueW(HKEY_CURRENT_USER, store.c_str(), L"Draft", RRF_RT_REG_BINARY, nullptr,
                     &stored, &size) != ERROR_SUCCESS ||
        !cv::DecodeWatermark(cv::kRegistryBinary, &stored, size, &dm.firstWatermark))
        return {};
    dm.watermarkEnabled = 1;
    dm.watermarkOrder = 1;
    return cvhost::MakeIncomingDevmode(&dm, sizeof dm);
}

// Without a user: every page is pictured, then the sheet is closed with OK.
bool CaptureAndAccept(cvhost::PropertySheetHost& sheet, const Options& o, std::wstring* error) {
    HWND window = sheet.ShowModeless(error);
    if (!window) return false;
    CreateDirectoryW(o.captureDir.c_str(), nullptr);
    std::vector<std::wstring> files;
    const bool captured = cvhost::CaptureSheetPages(
        window, o.captureDir, o.kind == cvhost::SheetKind::Document ? L"doc" : L"printer", &files,
        error);
    // The driver's tree page once more, with the plug-in's groups in view.
    if (captured && sheet.Advanced()) {
        PropSheet_SetCurSel(window, nullptr, 0);
        sheet.Advanced()->ShowPluginItems();
        cvhost::PumpMessagesFor(150);
        const std::wstring path =
            o.captureDir + (o.kind == cvhost::SheetKind::Document ? L"\\advanced-doc.bmp"
                                                                  : L"\\advanced-printer.bmp");
        if (cvhost::SaveWindowBitmap(window, path, error)) files.push_back(path);
    }
    for (const std::wstring& f : files)
        Print(stdout, L"saved " + f + L"\n");
    PropSheet_PressButton(window, PSBTN_OK);
    if (!sheet.PumpUntilClosed(10000)) {
        sheet.Finish();
        if (error) *error = L"the sheet did not close on OK";
        return false;
    }
    sheet.Finish();
    return captured;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"preview")
        return RunPreviewCommand(argc - 1, argv + 1);
    Options o;
    if (const int code = ParseArguments(argc, argv, &o)) return code < 0 ? 0 : code;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    cvhost::ModelPrinter printer;
    std::wstring error;
    if (!ChoosePrinter(o, &printer, &error)) return Fail(error);
    auto driver = cvhost::DriverUI::Open(printer.printerName, cvhost::BesideProgram(L"cvpsui.dll"),
                                         &error, printer.model);
    if (!driver) return Fail(error);
    Warn(driver->Warnings());
    const bool setUpHere = !o.ppd.empty() || o.printer.empty();
    if (setUpHere && !driver->SendDriverInstalled())
        Print(stderr, L"cvhost: warning: the plug-in was not told that the driver was installed\n");

    cvhost::PropertySheetHost sheet(*driver);
    cvhost::SheetOptions options;
    options.kind = o.kind;
    options.readOnly = o.readOnly;
    options.startPage = o.page;
    std::vector<unsigned char> demoJob;
    if (o.printer.empty() && o.ppd.empty() && o.kind == cvhost::SheetKind::Document) {
        demoJob = DemoJobDevmode(driver->DriverName());
        if (!demoJob.empty()) options.incoming = reinterpret_cast<const DEVMODEW*>(demoJob.data());
    }
    if (!sheet.Init(options, &error)) return Fail(error);
    const bool shown =
        o.captureDir.empty() ? sheet.RunModal(&error) : CaptureAndAccept(sheet, o, &error);
    if (!shown) return Fail(error);

    if (sheet.startPageMissing)
        Print(stderr, L"cvhost: warning: the sheet has no page \"" + o.page +
                          L"\"; it opened on its first page\n");
    Print(stdout, sheet.Caption() + (sheet.closedWithOk ? L": OK\n" : L": cancelled\n"));
    if (!sheet.closedWithOk) return 0;
    const cv::PluginDevmode* dm = sheet.Devmode().PluginRecord();
    if (!dm) return Fail(L"the job's devmode holds no plug-in record of this release");
    const std::string summary = cvhost::DescribePluginDevmode(*dm);
    std::fputs(summary.c_str(), stdout);
    if (!sheet.setResults.empty())
        Print(stdout, L"The plug-in reported a changed devmode (CPSFUNC_SET_RESULT).\n");
    return 0;
}
