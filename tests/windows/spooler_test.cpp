// The stand-in host's driver and printer set-up through Wine's real spooler: what the About
// page and the printer events later read must be real installed files and real printers. And the
// plug-in's two-call questions to the spooler, against a spooler that answers as scripted.
#include "core/spooler_query.h"
#include "import_hook.h"
#include "printer_fixture.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace cvtest;

namespace {

std::wstring FileName(const wchar_t* path) {
    std::wstring p = path ? path : L"";
    return p.substr(p.find_last_of(L'\\') + 1);
}

std::vector<std::wstring> DependentFiles(const DRIVER_INFO_3W* info) {
    std::vector<std::wstring> files;
    for (const wchar_t* f = info->pDependentFiles; f && *f; f += wcslen(f) + 1)
        files.push_back(FileName(f));
    return files;
}

TEST(Spooler, InstallsDriverFilesAndPrinterAndReplacesThem) {
    TestPrinter printer(L"Spool Install");
    ASSERT_TRUE(printer.ok()) << printer.error;
    std::vector<BYTE> buffer;
    ASSERT_TRUE(cvhost::ReadDriverInfo3(printer.printerName, &buffer));
    auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    EXPECT_EQ(FileName(info->pDriverPath), L"cvpsdrv.dll");
    EXPECT_EQ(FileName(info->pConfigFile), L"cvpsdrvui.dll");
    EXPECT_EQ(FileName(info->pDataFile), FileName(printer.ppdPath.c_str()));
    EXPECT_EQ(DependentFiles(info), std::vector<std::wstring>{L"cvpsui.dll"});
    // Real files in the spooler's driver directory, with their version resources.
    for (const wchar_t* path : {info->pDriverPath, info->pConfigFile, info->pDependentFiles}) {
        DWORD handle = 0;
        EXPECT_GT(GetFileVersionInfoSizeW(path, &handle), 0u) << Narrow(path);
    }
    EXPECT_EQ(cvhost::PrintProcessorOf(printer.printerName), L"winprint");

    // In use by this process (the spooler keeps its UI module loaded) and installed already:
    // installing both again must still succeed.
    cvhost::PrinterHandle open(printer.printerName);
    ASSERT_TRUE(open.valid());
    std::wstring error;
    cvhost::DriverSetup setup;
    setup.driverName = printer.driverName;
    setup.ppdPath = printer.ppdPath;
    setup.extraDependentFiles = {WriteScratchFile(L"cvextra.txt", "extra")};
    ASSERT_TRUE(cvhost::InstallDriver(setup, &error)) << Narrow(error);
    ASSERT_TRUE(cvhost::AddPrinterFor(printer.printerName, printer.driverName, &error))
        << Narrow(error);
    ASSERT_TRUE(cvhost::ReadDriverInfo3(printer.printerName, &buffer));
    info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    EXPECT_EQ(DependentFiles(info), (std::vector<std::wstring>{L"cvpsui.dll", L"cvextra.txt"}));
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

// One answer of the scripted spooler: the call's result, its last error and the size it reports.
struct Answer {
    BOOL ok;
    DWORD error;
    DWORD needed;
};
std::vector<Answer> answers;
size_t answered = 0;
BOOL WINAPI ScriptedGetPrinter(HANDLE, DWORD, LPBYTE data, DWORD size, LPDWORD needed) {
    const Answer a = answered < answers.size() ? answers[answered] : Answer{FALSE, 87, 0};
    ++answered;
    *needed = a.needed;
    if (a.ok && data) std::memset(data, 0x11, size);
    SetLastError(a.error);
    return a.ok;
}

// Size first, then the data; one more round when the printer grew in between; anything else,
// and an answer too short for the structure, is no answer.
TEST(SpoolerQuery, SizeThenDataWithOneRetryWhenItGrew) {
    ImportHook hook(GetModuleHandleW(nullptr), "winspool.drv", "GetPrinterW",
                    reinterpret_cast<void*>(&ScriptedGetPrinter));
    ASSERT_TRUE(hook.installed());
    const DWORD more = ERROR_INSUFFICIENT_BUFFER, big = sizeof(PRINTER_INFO_2W) + 64;
    const struct {
        std::vector<Answer> script;
        size_t read; // the buffer's size when the answer is taken, else 0
    } cases[] = {
        {{{FALSE, more, big}, {TRUE, 0, big}}, big},
        {{{FALSE, more, big}, {FALSE, more, big + 8}, {FALSE, more, big + 8}, {TRUE, 0, big + 8}},
         big + 8},
        {{{FALSE, more, big}, {FALSE, more, big + 8}, {FALSE, more, big + 16}, {FALSE, more, 0}},
         0},
        {{{FALSE, more, big}, {FALSE, ERROR_ACCESS_DENIED, big}}, 0},
        {{{TRUE, 0, 0}}, 0},
        {{{FALSE, ERROR_INVALID_HANDLE, big}}, 0},
        {{{FALSE, more, sizeof(PRINTER_INFO_2W) - 1}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        answers = c.script;
        answered = 0;
        std::vector<BYTE> buffer;
        const PRINTER_INFO_2W* info = cv::ReadPrinterInfo2(reinterpret_cast<HANDLE>(1), &buffer);
        EXPECT_EQ(info ? buffer.size() : size_t(0), c.read);
        EXPECT_EQ(answered, c.script.size()) << "every scripted answer, and no more, was asked";
    }
}

} // namespace
