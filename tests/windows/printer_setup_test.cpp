// The host setting up printers of vendors' PPDs through the real spooler: files the PPD includes
// installed beside it, the warnings and errors a user acts on, and printer names Windows takes.
#include "host/driver_ui.h"
#include "host/printer_setup.h"
#include "printer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cvtest::ModelPrinter;
using cvtest::Narrow;

namespace {

std::wstring Pid() {
    return std::to_wstring(GetCurrentProcessId());
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The installed driver's data file and dependent files.
struct InstalledDriver {
    std::wstring dataFile;
    std::vector<std::wstring> dependents;
};
InstalledDriver Installed(const std::wstring& printerName) {
    InstalledDriver result;
    std::vector<BYTE> buffer;
    if (!cvhost::ReadDriverInfo3(printerName, &buffer)) return result;
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    result.dataFile = info->pDataFile ? info->pDataFile : L"";
    for (const wchar_t* d = info->pDependentFiles; d && *d; d += wcslen(d) + 1)
        result.dependents.emplace_back(d);
    return result;
}

// A printer set up straight through the host's set-up (names of its own choosing), removed at
// scope end.
struct SetUpPrinter {
    cvhost::ModelPrinter printer;
    std::wstring error;
    bool ok = false;
    explicit SetUpPrinter(const std::string& ppd, const wchar_t* file,
                          const std::wstring& driverName = L"") {
        printer.ppdPath = cvtest::WriteScratchFile(file, ppd);
        printer.driverName = driverName;
        ok = cvhost::SetUpModelPrinter(&printer, &error);
    }
    ~SetUpPrinter() {
        if (!ok) return;
        cvhost::DeletePrinterNamed(printer.printerName);
        cvhost::DeleteDriverNamed(printer.driverName);
    }
};

TEST(PrinterSetup, IncludedFilesAreInstalledBesideThePpdAndReadFromThere) {
    const std::wstring include = L"cv" + Pid() + L"-common.ppd";
    ASSERT_FALSE(
        cvtest::WriteScratchFile(include.c_str(), cvtest::PpdFeature("FaxCard", {"True", "False"}))
            .empty());
    ModelPrinter printer(L"Include", "*Include: \"" + Narrow(include) + "\"\n");
    ASSERT_TRUE(printer.ok()) << printer.error;

    const InstalledDriver driver = Installed(printer.printerName);
    std::wstring installedInclude;
    for (const std::wstring& d : driver.dependents)
        if (d.size() >= include.size() &&
            d.compare(d.size() - include.size(), include.size(), include) == 0)
            installedInclude = d;
    ASSERT_FALSE(installedInclude.empty()) << "the included file is among the driver's files";
    EXPECT_EQ(FolderOf(installedInclude), FolderOf(driver.dataFile));

    // The UI module reads the installed copies, as a driver does (no model handed over).
    std::wstring why;
    auto ui =
        cvhost::DriverUI::Open(printer.printerName, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    ASSERT_TRUE(ui) << Narrow(why);
    EXPECT_EQ(ui->DataFile(), driver.dataFile);
    EXPECT_EQ(ui->CoreUI().SelectedOption("FaxCard"), "True");
    ui.reset();
    DeleteFileW(installedInclude.c_str());
}

TEST(PrinterSetup, ErrorsAndWarningsNameFileAndLine) {
    // Lines 1 to 3 are the fixture's header; the test's entries start on line 4.
    ModelPrinter missing(L"Gone", "*Include: \"gone.ppd\"\n");
    EXPECT_EQ(missing.error,
              Narrow(L"malformed PPD file " + missing.ppdPath +
                     L": line 4: *Include \"gone.ppd\": " + cvtest::ScratchDirectory() +
                     L"gone.ppd cannot be read: " + cvhost::SystemMessage(ERROR_FILE_NOT_FOUND)));

    ModelPrinter unknown(L"Unknown", cvtest::PpdFeature("FaxCard", {"True", "False"}, "Unknown"));
    ASSERT_TRUE(unknown.ok()) << unknown.error;
    EXPECT_EQ(unknown.setUp.warnings,
              std::vector<std::wstring>{unknown.ppdPath +
                                        L": line 5: *DefaultFaxCard: Unknown is not an option of "
                                        L"*FaxCard; the first option, True, is the default"});

    const std::wstring big =
        cvtest::WriteScratchFile(L"big.ppd", std::string((16u << 20) + 1, '*'));
    ASSERT_FALSE(big.empty());
    cvhost::PrinterModel model;
    std::wstring why;
    EXPECT_FALSE(cvhost::LoadPpdFile(big, &model, &why));
    EXPECT_EQ(why, L"PPD file " + big + L" is over the size limit of 16 MB (16777217 bytes)");
    DeleteFileW(big.c_str());
}

TEST(PrinterSetup, SpoolerFailuresAreTextWithTheNameCut) {
    // The system's own words, not a bare number.
    EXPECT_EQ(cvhost::SystemMessage(ERROR_UNKNOWN_PRINTER_DRIVER).find(L"error"),
              std::wstring::npos);
    std::wstring why;
    EXPECT_FALSE(cvhost::AddPrinterFor(L"Cv Orphan " + Pid(), L"Cv No Such Driver", &why));
    EXPECT_EQ(why, L"AddPrinterW failed: " + cvhost::SystemMessage(ERROR_UNKNOWN_PRINTER_DRIVER) +
                       L" (1797)");
    EXPECT_FALSE(cvhost::PrinterHandle(L"Cv Orphan " + Pid()).valid());
    cvhost::DriverSetup absent;
    absent.driverName = L"Cv Missing Driver " + Pid();
    absent.ppdPath = cvtest::ScratchDirectory() + L"absent.ppd";
    EXPECT_FALSE(cvhost::InstallDriver(absent, &why));
    EXPECT_NE(why.find(L"absent.ppd"), std::wstring::npos) << Narrow(why);

    // A driver name the spooler refuses (longer than it keeps).
    const std::wstring longName(300, L'd');
    SetUpPrinter tooLong("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Long\"\n", L"long.ppd", longName);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.error, L"cannot install the driver \"" + std::wstring(77, L'd') +
                                 L"...\": AddPrinterDriverExW failed: " +
                                 cvhost::SystemMessage(ERROR_INVALID_PARAMETER) + L" (87)");
}

// The rule's every case is in the native table; here the one name carries both refusals, and
// the spooler must take the 220 characters it is cut to.
TEST(PrinterSetup, NicknamesWindowsRefusesNameThePrinterValidly) {
    const std::wstring nickName =
        L"Cv " + Pid() + L" Laser, Duplex\\Mono" + std::wstring(230, L'n');
    std::wstring name = L"Cv " + Pid() + L" Laser Duplex/Mono" + std::wstring(230, L'n');
    name.resize(220);
    SetUpPrinter printer("*PPD-Adobe: \"4.3\"\n*NickName: \"" + Narrow(nickName) + "\"\n",
                         L"nick.ppd");
    ASSERT_TRUE(printer.ok) << Narrow(printer.error);
    EXPECT_EQ(printer.printer.printerName, name);
    EXPECT_EQ(printer.printer.driverName, name);
    EXPECT_TRUE(cvhost::PrinterHandle(name).valid());
    EXPECT_EQ(printer.printer.warnings,
              std::vector<std::wstring>{L"the nickname \"" + nickName.substr(0, 77) +
                                        L"...\" is no printer name Windows takes (no ',' or "
                                        L"'\\', at most 220 characters): named \"" +
                                        name.substr(0, 77) + L"...\""});
}

std::string FileContent(const std::wstring& path) {
    char buffer[256];
    DWORD got = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(none)";
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

// Installed beside the driver from the build; in a folder written where it is missing and mended
// where it is wrong.
TEST(PrinterSetup, ConfigurationFileComesFromTheBuildNotThePpdFolder) {
    const std::string content = "[OEMFiles]\r\nOEMConfigFile1=cvpsui.dll\r\n";
    ModelPrinter printer(L"Config", cvtest::PpdFeature("FaxCard", {"True", "False"}, "False"));
    ASSERT_TRUE(printer.ok()) << printer.error;
    EXPECT_EQ(FileContent(FolderOf(printer.ppdPath) + L"cvpsui.ini"), "(none)");
    std::wstring installed;
    for (const std::wstring& d : Installed(printer.printerName).dependents)
        if (d.find(L"cvpsui.ini") != std::wstring::npos) installed = d;
    EXPECT_EQ(FileContent(installed), content);
    const std::wstring folder = cvtest::ScratchDirectory();
    for (const char* before : {"", "[OEMFiles]\r\nOEMConfigFile1=other.dll\r\n"}) {
        if (*before) cvtest::WriteScratchFile(L"cvpsui.ini", before);
        EXPECT_EQ(cvhost::PluginConfigFile(folder), folder + L"cvpsui.ini");
        EXPECT_EQ(FileContent(folder + L"cvpsui.ini"), content);
    }
    EXPECT_EQ(cvhost::PluginConfigFile(folder + L"no such folder\\"), L"");
}

} // namespace
