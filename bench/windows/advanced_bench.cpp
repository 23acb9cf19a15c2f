// Under Wine, through the DLL and the stand-in host: the document sheet opened on its Advanced
// page for a model of 200 features, with the plug-in's 18 items against the same sheet without
// them (a model whose two feature keywords the plug-in asks about are named otherwise), timed in
// interleaved rounds so that a slow spell of the machine falls on both alike.
#include "harness.h"
#include "host/driver_ui.h"
#include "host/printer_setup.h"
#include "host/sheet_host.h"
#include "host/spooler.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

int Fail(const std::wstring& why) {
    std::fprintf(stderr, "advanced_bench: %ls\n", why.c_str());
    return 1;
}

// 200 features of four options each; the first two are the plug-in's when `withItems`.
std::string Model(bool withItems) {
    std::string ppd = "*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Bench Tree\"\n";
    for (int i = 0; i < 200; ++i) {
        std::string k = "Feature" + std::to_string(i);
        if (i == 0) k = withItems ? "HasManualColorCorrection" : "HasManualColour";
        if (i == 1) k = withItems ? "HasNewPrintQuality" : "HasNewQuality";
        ppd += "*OpenUI *" + k + "/Option " + std::to_string(i) + ": PickOne\n*Default" + k +
               ": A\n";
        for (const char* o : {"A", "B", "C", "D"})
            ppd += "*" + k + " " + o + "/Choice " + o + ": \"\"\n";
        ppd += "*CloseUI: *" + k + "\n";
    }
    return ppd;
}

// The sheet up to its Advanced page shown (the tree built, the plug-in's items filled and
// activated); closing it is not timed.
double OpenOnAdvanced(cvhost::DriverUI& driver) {
    cvhost::PropertySheetHost sheet(driver);
    std::wstring why;
    cvhost::SheetOptions options;
    options.startPage = L"Advanced";
    const double start = cvbench::Now();
    if (!sheet.Init(options, &why)) return -1;
    HWND window = sheet.ShowModeless(&why);
    if (!window || !sheet.Advanced() || !sheet.Advanced()->Window()) return -1;
    const double elapsed = cvbench::Now() - start;
    PropSheet_PressButton(window, PSBTN_CANCEL);
    sheet.PumpUntilClosed(5000);
    sheet.Finish();
    return elapsed;
}

struct BenchPrinter {
    cvhost::ModelPrinter model;
    std::unique_ptr<cvhost::DriverUI> driver;
    bool SetUp(const wchar_t* name, bool withItems, std::wstring* why) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        model.ppdPath = std::wstring(temp) + name + L".ppd";
        model.printerName = model.driverName = name;
        if (!cvhost::WriteBytesToFile(model.ppdPath, Model(withItems))) {
            *why = L"cannot write the PPD";
            return false;
        }
        if (!cvhost::SetUpModelPrinter(&model, why)) return false;
        driver = cvhost::DriverUI::Open(model.printerName, cvhost::BesideProgram(L"cvpsui.dll"),
                                        why, model.model);
        return driver != nullptr;
    }
    ~BenchPrinter() {
        driver.reset();
        cvhost::DeletePrinterNamed(model.printerName);
        cvhost::DeleteDriverNamed(model.driverName);
    }
};

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    std::wstring why;
    BenchPrinter with, without;
    if (!with.SetUp(L"Cv Bench Tree Items", true, &why)) return Fail(why);
    if (!without.SetUp(L"Cv Bench Tree Bare", false, &why)) return Fail(why);

    bool failed = false;
    const auto open = [&](BenchPrinter& p) {
        const double t = OpenOnAdvanced(*p.driver);
        if (t < 0) failed = true;
        return t;
    };
    const auto rounds = cvbench::Interleaved(
        5, 11, 2, 1, [&] { return open(without); }, [&] { return open(with); });
    if (failed) return Fail(L"a sheet did not open on its Advanced page");
    std::printf("Document sheet on its Advanced page, 200 features, 5 rounds interleaved:\n");
    cvbench::ReportRounds("without the plug-in's items (baseline)", rounds[0], nullptr);
    cvbench::ReportRounds("with the plug-in's 18 items", rounds[1], &rounds[0]);
    return 0;
}
