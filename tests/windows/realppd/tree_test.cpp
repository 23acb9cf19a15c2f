// Real vendor PPDs in the driver's tree: each model's document sheet opens with every feature of
// the PPD in its Advanced page once (the installable options once in the printer sheet's Device
// Settings), and both sheets apply. The PPDs come from Debian's PPD packages; CTest extracts the
// ones named here before these tests (RealPpdExtract).
#include "host/advanced_page.h"
#include "host/driver_items.h"
#include "host/printer_setup.h"
#include "host/spooler.h"
#include "windows/printer_fixture.h"
#include "windows/ui_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

using namespace cvtest;

namespace {

const char* const kRealPpds[] = {
    "openprinting-ppds:0/ppd/openprinting/Brother/BR2600CN_GPL.ppd",
    "openprinting-ppds:0/ppd/openprinting/Canon/cnadv400x1g.ppd",
    "openprinting-ppds:0/ppd/openprinting/Canon/cnprc650x1g.ppd",
    "openprinting-ppds:0/ppd/openprinting/Epson/epal2600.ppd",
    "openprinting-ppds:0/ppd/openprinting/Gestetner/PS/Gestetner-10512_PS.ppd",
    "openprinting-ppds:0/ppd/openprinting/HP/HP_Designjet_5500_PS3.ppd",
    "openprinting-ppds:0/ppd/openprinting/KONICA_MINOLTA/KO1050UX.ppd",
    "openprinting-ppds:0/ppd/openprinting/Kyocera/en/Kyocera_CS-C2525E_en.ppd",
    "openprinting-ppds:0/ppd/openprinting/Kyocera/de/Kyocera_Mita_FS-C8026N_de.ppd",
    "openprinting-ppds:0/ppd/openprinting/Lexmark/Lexmark_X544.ppd",
    "openprinting-ppds:0/ppd/openprinting/Lexmark/Lexmark_6500e_Series.ppd",
    "openprinting-ppds:0/ppd/openprinting/NRG/PS/NRG-MP_305+_PS.ppd",
    "openprinting-ppds:0/ppd/openprinting/Oce/Oce-PPC5115PS/1/OP5115_2.ppd",
    "openprinting-ppds:0/ppd/openprinting/Oki/OK5700_a.ppd",
    "openprinting-ppds:0/ppd/openprinting/Ricoh/PS/Ricoh-DDP_92_PS.ppd",
    "openprinting-ppds:0/ppd/openprinting/Sharp/Sharp-AR-N182FG-ps-jp.ppd",
    "openprinting-ppds:0/ppd/openprinting/Toshiba/TOSHIBA_EST205_CUPS.ppd",
    "openprinting-ppds:0/ppd/openprinting/Utax/EU/English/TA300ci.ppd",
    "postscript-hp:0/ppd/hplip/HP/hp-color_laserjet_cm2320_mfp-ps.ppd",
    "postscript-hp:0/ppd/hplip/HP/hp-color_laserjet_cm6049_mfp-ps.ppd",
};

// Where RealPpdExtract left a PPD, as Wine names the file.
std::wstring ExtractedPath(const std::string& name) {
    std::string path = std::string(CV_REAL_PPD_DIR) + "/" + name.substr(name.rfind('/') + 1);
    std::replace(path.begin(), path.end(), '/', '\\');
    return L"Z:" + std::wstring(path.begin(), path.end());
}

// The model's printer, removed with its driver and installed PPD at scope end.
struct VendorPrinter {
    cvhost::ModelPrinter setUp;
    std::string error;
    VendorPrinter(const std::wstring& ppd, int index) {
        setUp.ppdPath = ppd;
        setUp.printerName = setUp.driverName =
            L"Cv Vendor " + std::to_wstring(index) + L" " + std::to_wstring(GetCurrentProcessId());
        std::wstring why;
        if (!cvhost::SetUpModelPrinter(&setUp, &why)) error = Narrow(why);
    }
    ~VendorPrinter() {
        std::vector<BYTE> info;
        std::wstring installed;
        if (cvhost::ReadDriverInfo3(setUp.printerName, &info))
            if (const wchar_t* data =
                    reinterpret_cast<const DRIVER_INFO_3W*>(info.data())->pDataFile)
                installed = data;
        cvhost::DeletePrinterNamed(setUp.printerName);
        cvhost::DeleteDriverNamed(setUp.driverName);
        if (!installed.empty()) DeleteFileW(installed.c_str());
    }
};

class RealPpdTree : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(RealPpdTree, EveryFeatureShowsOnceAndBothSheetsApply) {
    const std::string name = kRealPpds[GetParam()];
    SCOPED_TRACE(name);
    VendorPrinter printer(ExtractedPath(name), GetParam());
    ASSERT_TRUE(printer.error.empty()) << printer.error;
    const cvhost::PrinterModel& model = *printer.setUp.model;
    ASSERT_GT(model.features.size(), 5u);
    const std::set<std::string> hiddenByPlugin{"HasPrintandHold", "HasManualDuplex",
                                               "HasManualColorCorrection", "HasKeepPreviousPHJobs"};
    for (const bool document : {true, false}) {
        SCOPED_TRACE(document ? "document" : "printer");
        cvhost::SheetOptions options;
        options.kind = document ? cvhost::SheetKind::Document : cvhost::SheetKind::Printer;
        SheetDriver sheet(printer.setUp.printerName, options);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        // The feature keyword of every driver item the tree shows.
        const cvhost::AdvancedPage& tree = *sheet.Host().Advanced();
        std::vector<std::string> shown;
        for (DWORD i = 0; i < tree.DriverCount(); ++i)
            if (const char* k = cvhost::DriverItemKeyword(tree.Items()[i]))
                if (tree.NodeOf(static_cast<int>(i))) shown.push_back(k);
        size_t expected = 0;
        for (const cvhost::PpdFeature& f : model.features) {
            // The printer sheet has the installable options, the document sheet the rest.
            if (f.IsInstallable() == document) continue;
            const int once = document || !hiddenByPlugin.count(f.keyword) ? 1 : 0;
            EXPECT_EQ(std::count(shown.begin(), shown.end(), f.keyword), once) << f.keyword;
            expected += once;
        }
        EXPECT_EQ(shown.size(), expected) << "nothing but the model's features";
        ASSERT_TRUE(sheet.Apply());
        EXPECT_TRUE(sheet.PressOk());
    }
}

INSTANTIATE_TEST_SUITE_P(Vendors, RealPpdTree,
                         ::testing::Range(0, static_cast<int>(std::size(kRealPpds))));
