// The host setting up printers of vendors' PPDs through Wine's real spooler: files the PPD
// includes installed beside it, the warnings and errors a user acts on, printer names Windows
// takes, and installing again while the driver is in use.
#include "host/driver_ui.h"
#include "host/printer_setup.h"
#include "printer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cvtest::Narrow;
using cvtest::ScratchDirectory;
using Lines = std::vector<std::wstring>;

namespace {

const std::wstring kPid = std::to_wstring(GetCurrentProcessId());
const char kIni[] = "[OEMFiles]\r\nOEMConfigFile1=cvpsui.dll\r\n";

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
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

// The installed driver's dependent file whose name ends in `name`, else "".
std::wstring Dependent(const std::wstring& printerName, const std::wstring& name) {
    std::vector<BYTE> buffer;
    if (!cvhost::ReadDriverInfo3(printerName, &buffer)) return L"";
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    for (const wchar_t* d = info->pDependentFiles; d && *d; d += wcslen(d) + 1) {
        const std::wstring path = d;
        if (path.size() >= name.size() &&
            path.compare(path.size() - name.size(), name.size(), name) == 0)
            return path;
    }
    return L"";
}

// One printer of a PPD as vendors ship them: a nickname Windows refuses, and an included file with
// a defect. The name rule's every case is in the native table. (A name of 220 characters is set
// up, but Wine's GetPrinterDriverW then fails with 122 and no size: no sheet would open.)
TEST(PrinterSetup, VendorPpdIsSetUpWithItsIncludesWarningsAndAValidName) {
    const std::wstring include = L"cv" + kPid + L"-common.ppd";
    const std::wstring includePath = cvtest::WriteScratchFile(
        include.c_str(), cvtest::PpdFeature("FaxCard", {"True", "False"}, "Unknown"));
    ASSERT_FALSE(includePath.empty());
    // The fixture's nickname is "Cv <tag> Model".
    cvtest::ModelPrinter printer(kPid + L" Laser, Duplex",
                                 "*Include: \"" + Narrow(include) + "\"\n");
    ASSERT_TRUE(printer.ok()) << printer.error;
    const std::wstring name = L"Cv " + kPid + L" Laser Duplex Model";
    EXPECT_EQ(printer.printerName, name);
    EXPECT_EQ(printer.setUp.driverName, name);
    EXPECT_EQ(printer.setUp.warnings,
              (Lines{includePath + L": line 2: *DefaultFaxCard: Unknown is not an option of "
                                   L"*FaxCard; the first option, True, is the default",
                     L"the nickname \"Cv " + kPid +
                         L" Laser, Duplex Model\" is no printer name "
                         L"Windows takes (no ',' or '\\', at most 220 characters): named \"" +
                         name + L"\""}));

    // The UI module reads the installed copies, as a driver does (no model handed over): the
    // included file beside the PPD. The plug-in's configuration file is the build's, never
    // written beside the user's PPD.
    std::wstring why;
    auto ui = cvhost::DriverUI::Open(name, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    ASSERT_TRUE(ui) << Narrow(why);
    EXPECT_EQ(ui->CoreUI().SelectedOption("FaxCard"), "True");
    EXPECT_NE(ui->DataFile(), printer.ppdPath);
    const std::wstring installedInclude = Dependent(name, include);
    EXPECT_EQ(FolderOf(installedInclude), FolderOf(ui->DataFile()));
    EXPECT_EQ(FileContent(Dependent(name, L"\\cvpsui.ini")), kIni);
    EXPECT_EQ(FileContent(ScratchDirectory() + L"cvpsui.ini"), "(none)");

    // Installing the driver and the printer again while this process holds the printer open (the
    // spooler keeps its UI module loaded; tests side by side do this) must still succeed and take
    // the new dependent files.
    const cvhost::DriverSetup again{
        name, printer.ppdPath, L"", {cvtest::WriteScratchFile(L"cvextra.txt", "extra")}};
    ASSERT_TRUE(cvhost::InstallDriver(again, &why)) << Narrow(why);
    ASSERT_TRUE(cvhost::AddPrinterFor(name, name, &why)) << Narrow(why);
    EXPECT_NE(Dependent(name, L"\\cvextra.txt"), L"");
    ui.reset();
    DeleteFileW(installedInclude.c_str());

    // The configuration file is written where it is missing and mended where it is wrong.
    const std::wstring folder = ScratchDirectory();
    for (const char* before : {"", "[OEMFiles]\r\nOEMConfigFile1=other.dll\r\n"}) {
        if (*before) cvtest::WriteScratchFile(L"cvpsui.ini", before);
        EXPECT_EQ(cvhost::PluginConfigFile(folder), folder + L"cvpsui.ini");
        EXPECT_EQ(FileContent(folder + L"cvpsui.ini"), kIni);
    }
    EXPECT_EQ(cvhost::PluginConfigFile(folder + L"no such folder\\"), L"");
}

// What is refused names file and line, or is the spooler's own words with the code, a long name
// cut in the message.
TEST(PrinterSetup, RefusalsNameFileAndLineOrTheSpoolersWords) {
    // Lines 1 to 3 are the fixture's header; the test's entries start on line 4.
    cvtest::ModelPrinter missing(L"Gone", "*Include: \"gone.ppd\"\n");
    EXPECT_EQ(missing.error,
              Narrow(L"malformed PPD file " + missing.ppdPath +
                     L": line 4: *Include \"gone.ppd\": " + ScratchDirectory() +
                     L"gone.ppd cannot be read: " + cvhost::SystemMessage(ERROR_FILE_NOT_FOUND)));
    const std::wstring big =
        cvtest::WriteScratchFile(L"big.ppd", std::string((16u << 20) + 1, '*'));
    ASSERT_FALSE(big.empty());
    cvhost::PrinterModel model;
    std::wstring why;
    EXPECT_FALSE(cvhost::LoadPpdFile(big, &model, &why));
    EXPECT_EQ(why, L"PPD file " + big + L" is over the size limit of 16 MB (16777217 bytes)");
    DeleteFileW(big.c_str());

    // The system's own words, not a bare number.
    EXPECT_EQ(cvhost::SystemMessage(ERROR_UNKNOWN_PRINTER_DRIVER).find(L"error"),
              std::wstring::npos);
    EXPECT_FALSE(cvhost::AddPrinterFor(L"Cv Orphan " + kPid, L"Cv No Such Driver", &why));
    EXPECT_EQ(why, L"AddPrinterW failed: " + cvhost::SystemMessage(ERROR_UNKNOWN_PRINTER_DRIVER) +
                       L" (1797)");
    cvhost::DriverSetup absent;
    absent.driverName = L"Cv Missing Driver " + kPid;
    absent.ppdPath = ScratchDirectory() + L"absent.ppd";
    EXPECT_FALSE(cvhost::InstallDriver(absent, &why));
    EXPECT_NE(why.find(L"absent.ppd"), std::wstring::npos) << Narrow(why);

    // A driver name the spooler refuses (longer than it keeps).
    cvhost::ModelPrinter tooLong;
    tooLong.ppdPath =
        cvtest::WriteScratchFile(L"long.ppd", "*PPD-Adobe: \"4.3\"\n*NickName: \"L\"\n");
    tooLong.driverName = std::wstring(300, L'd');
    EXPECT_FALSE(cvhost::SetUpModelPrinter(&tooLong, &why));
    EXPECT_EQ(why, L"cannot install the driver \"" + std::wstring(77, L'd') +
                       L"...\": AddPrinterDriverExW failed: " +
                       cvhost::SystemMessage(ERROR_INVALID_PARAMETER) + L" (87)");
}

} // namespace
