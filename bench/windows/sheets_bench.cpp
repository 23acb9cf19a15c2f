// Under Wine, through the DLL and the stand-in host: how long the document sheet takes from the
// plug-in's INIT to every page initialised, and one DevMode merge with a printer handle (so that
// the registry migration probe runs), each against a bare registry key open and close.
#include "core/records.h"
#include "harness.h"
#include "host/demo_ppd.h"
#include "host/driver_ui.h"
#include "host/printer_setup.h"
#include "host/sheet_host.h"
#include "host/spooler.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::wstring& why) {
    std::fprintf(stderr, "windows_bench: %ls\n", why.c_str());
    return 1;
}

// The document sheet up to every page's WM_INITDIALOG; closing it is not timed.
double OpenDocumentSheet(cvhost::DriverUI& driver) {
    cvhost::PropertySheetHost sheet(driver);
    std::wstring why;
    const double start = cvbench::Now();
    if (!sheet.Init(cvhost::SheetOptions{}, &why)) return -1;
    HWND window = sheet.ShowModeless(&why);
    if (!window) return -1;
    const int pages = static_cast<int>(sheet.Pages().size());
    for (int i = 0; i < pages; ++i)
        PropSheet_SetCurSel(window, nullptr, i);
    const double elapsed = cvbench::Now() - start;
    for (int i = 0; i < pages; ++i)
        if (!PropSheet_IndexToHwnd(window, i)) return -1;
    PropSheet_PressButton(window, PSBTN_CANCEL);
    sheet.PumpUntilClosed(5000);
    sheet.Finish();
    return elapsed;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // A printer of the demo model of its own, so that a benchmark never meets a test's printer.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    cvhost::ModelPrinter model;
    model.ppdPath = std::wstring(temp) + L"cvbench.ppd";
    model.printerName = L"Cv Bench Printer";
    model.driverName = L"Cv Bench Driver";
    std::wstring why;
    if (!cvhost::WriteBytesToFile(model.ppdPath, cvhost::kDemoPpd))
        return Fail(L"cannot write the PPD");
    if (!cvhost::SetUpModelPrinter(&model, &why)) return Fail(why);
    auto driver =
        cvhost::DriverUI::Open(model.printerName, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    if (!driver) return Fail(why);

    std::printf("Windows benchmarks under Wine (medians; ratio = median / baseline median)\n");
    const cvbench::Timing baseline = cvbench::Measure(
        301, 50,
        [] {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key) == ERROR_SUCCESS)
                RegCloseKey(key);
            return 0.0;
        },
        20);
    cvbench::Report("baseline: RegOpenKeyExW + RegCloseKey", baseline, nullptr);

    bool sheetFailed = false;
    const cvbench::Timing sheet = cvbench::Measure(31, 3, [&] {
        const double t = OpenDocumentSheet(*driver);
        if (t < 0) sheetFailed = true;
        return t;
    });
    if (sheetFailed) return Fail(L"the document sheet did not open with all its pages");
    cvbench::Report("document sheet: INIT to every page initialised", sheet, &baseline);

    // DevMode merge with a printer handle. Its floor is what the default-user migration must
    // ask at every call in the common case, a user who has the driver key: the driver's name
    // from the spooler, and one open and close of the key.
    const std::wstring driverKey = L"Software\\Corvane\\PSPlugIn\\" + model.driverName;
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, driverKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return Fail(L"cannot create the driver key");
        RegCloseKey(key);
    }
    cv::PluginDevmode in{}, out{};
    cv::defaultPluginDevmode(&in);
    in.colorCorrection = 7; // something for validation to repair
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = driver->Printer();
    param.pOEMDMIn = &in;
    param.pOEMDMOut = &out;
    param.cbBufSize = sizeof out;
    IPrintOemUI2* plugin = driver->Plugin();
    HANDLE printer = driver->Printer();
    const auto openDriverKey = [&](const wchar_t* name) {
        const std::wstring path = std::wstring(L"Software\\Corvane\\PSPlugIn\\") + name;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
            RegCloseKey(key);
    };
    // Both ways the spooler names a printer's driver, each with the key open and close.
    const auto floorLevel1 = [&] {
        BYTE buffer[1024];
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed);
        if (needed <= sizeof buffer &&
            GetPrinterDriverW(printer, nullptr, 1, buffer, needed, &needed))
            openDriverKey(reinterpret_cast<DRIVER_INFO_1W*>(buffer)->pName);
        return 0.0;
    };
    const auto floorLevel2 = [&] {
        std::vector<BYTE> buffer;
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        buffer.resize(needed);
        if (needed && GetPrinterW(printer, 2, buffer.data(), needed, &needed))
            openDriverKey(reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pDriverName);
        return 0.0;
    };
    const auto merge = [&] {
        plugin->DevMode(OEMDM_MERGE, &param);
        return 0.0;
    };
    const auto rounds = cvbench::Interleaved(5, 101, 20, 10, floorLevel1, merge, floorLevel2);
    std::printf("DevMode merge against its floor, 5 rounds interleaved:\n");
    cvbench::ReportRounds("floor: driver name (GetPrinterDriverW 1) + key", rounds[0], nullptr);
    cvbench::ReportRounds("DevMode merge with a printer handle", rounds[1], &rounds[0]);
    cvbench::ReportRounds("driver name by GetPrinterW 2 + key", rounds[2], &rounds[0]);
    RegDeleteKeyW(HKEY_CURRENT_USER, driverKey.c_str());

    driver.reset();
    cvhost::DeletePrinterNamed(model.printerName);
    cvhost::DeleteDriverNamed(model.driverName);
    return 0;
}
