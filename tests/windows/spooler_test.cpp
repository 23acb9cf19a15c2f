// The stand-in host's driver and printer set-up through Wine's real spooler: what the About
// page and the printer events later read must be real installed files and real printers.
#include "printer_fixture.h"
#include "support.h"

#include <gtest/gtest.h>

using namespace cvtest;

namespace {

std::wstring FileName(const wchar_t* path) {
    std::wstring p = path ? path : L"";
    const size_t slash = p.find_last_of(L'\\');
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
}

TEST(Spooler, InstallsDriverFilesAndPrinter) {
    TestPrinter printer(L"Spool Install");
    ASSERT_TRUE(printer.ok()) << printer.error;

    std::vector<BYTE> buffer;
    ASSERT_TRUE(cvhost::ReadDriverInfo3(printer.printerName, &buffer));
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    EXPECT_EQ(std::wstring(info->pName), printer.driverName);
    EXPECT_EQ(FileName(info->pDriverPath), L"cvpsdrv.dll");
    EXPECT_EQ(FileName(info->pConfigFile), L"cvpsdrvui.dll");
    EXPECT_EQ(FileName(info->pDataFile), FileName(printer.ppdPath.c_str()));
    ASSERT_TRUE(info->pDependentFiles);
    EXPECT_EQ(FileName(info->pDependentFiles), L"cvpsui.dll");
    // Every listed file is a real file in the spooler's driver directory, with a version
    // resource where a module has one.
    for (const wchar_t* path : {info->pDriverPath, info->pConfigFile, info->pDependentFiles}) {
        DWORD handle = 0;
        EXPECT_GT(GetFileVersionInfoSizeW(path, &handle), 0u) << Narrow(path);
    }
    EXPECT_NE(GetFileAttributesW(info->pDataFile), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(cvhost::PrintProcessorOf(printer.printerName), L"winprint");
    cvhost::PrinterHandle handle(printer.printerName);
    ASSERT_TRUE(handle.valid());
    DWORD needed = 0;
    GetPrinterW(handle.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> p2(needed);
    ASSERT_TRUE(GetPrinterW(handle.get(), 2, p2.data(), needed, &needed));
    const auto* pi = reinterpret_cast<const PRINTER_INFO_2W*>(p2.data());
    EXPECT_EQ(std::wstring(pi->pPortName), L"FILE:");
    EXPECT_EQ(std::wstring(pi->pDatatype), L"RAW");
    // The UI module answered the spooler's default DEVMODE for the new printer.
    ASSERT_TRUE(pi->pDevMode);
    EXPECT_EQ(std::wstring(pi->pDevMode->dmDeviceName), printer.printerName);
}

TEST(Spooler, ReplacesDriverAndPrinterOfTheSameName) {
    TestPrinter first(L"Spool Replace");
    ASSERT_TRUE(first.ok()) << first.error;
    // The printer is in use by this process (the spooler keeps its UI module loaded), and the
    // driver's files are installed already: installing both again must still succeed.
    cvhost::PrinterHandle open(first.printerName);
    ASSERT_TRUE(open.valid());
    std::wstring error;
    cvhost::DriverSetup setup;
    setup.driverName = first.driverName;
    setup.ppdPath = first.ppdPath;
    setup.extraDependentFiles = {WriteScratchFile(L"cvextra.txt", "extra")};
    ASSERT_TRUE(cvhost::InstallDriver(setup, &error)) << Narrow(error);
    ASSERT_TRUE(cvhost::AddPrinterFor(first.printerName, first.driverName, &error))
        << Narrow(error);

    std::vector<BYTE> buffer;
    ASSERT_TRUE(cvhost::ReadDriverInfo3(first.printerName, &buffer));
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    std::vector<std::wstring> dependents;
    for (const wchar_t* f = info->pDependentFiles; f && *f; f += wcslen(f) + 1)
        dependents.push_back(FileName(f));
    EXPECT_EQ(dependents, (std::vector<std::wstring>{L"cvpsui.dll", L"cvextra.txt"}));
}

TEST(Spooler, ReportsMissingFilesAndUnknownDrivers) {
    std::wstring error;
    cvhost::DriverSetup setup;
    setup.driverName = L"Cv Spool Missing Driver";
    setup.ppdPath = ScratchDirectory() + L"absent.ppd";
    EXPECT_FALSE(cvhost::InstallDriver(setup, &error));
    EXPECT_NE(error.find(L"absent.ppd"), std::wstring::npos) << Narrow(error);

    EXPECT_FALSE(cvhost::AddPrinterFor(L"Cv Spool Orphan Printer", L"Cv No Such Driver", &error));
    EXPECT_FALSE(cvhost::PrinterHandle(L"Cv Spool Orphan Printer").valid());
}

TEST(Spooler, DriverWithoutDataFile) {
    TestPrinterOptions options;
    options.withDataFile = false;
    TestPrinter printer(L"Spool NoData", options);
    ASSERT_TRUE(printer.ok()) << printer.error;
    std::vector<BYTE> buffer;
    ASSERT_TRUE(cvhost::ReadDriverInfo3(printer.printerName, &buffer));
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    // Wine reports a driver without data file with a null name, as Windows does.
    EXPECT_TRUE(!info->pDataFile || !*info->pDataFile);
}

} // namespace
