// A printer of its own for a test: a driver installed through the real spooler with the
// plug-in among its files, and a printer using it; both removed again at scope end.
#pragma once

#include "spooler.h"

#include <string>
#include <vector>

namespace cvtest {

// A scratch directory of this test process, emptied and removed at process exit.
std::wstring ScratchDirectory();
// Writes `content` (ASCII) to a file in the scratch directory and returns its full path.
std::wstring WriteScratchFile(const wchar_t* fileName, const std::string& content);
// A PPD with the given *NickName, enough for the driver's data file.
std::wstring WriteTestPpd(const wchar_t* fileName, const char* nickName);

struct TestPrinterOptions {
    bool withDataFile = true;
    bool dataFileAlsoDependent = false; // the PPD listed among the dependent files too
    std::vector<std::wstring> extraDependentFiles;
};

class TestPrinter {
  public:
    // `tag` makes the driver and printer names unique to the test ("Cv <tag> Driver"/"Printer").
    explicit TestPrinter(const std::wstring& tag, const TestPrinterOptions& options = {});
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    ~TestPrinter();

    bool ok() const { return error.empty(); } // ASSERT_TRUE(p.ok()) << p.error
    std::wstring driverName, printerName, ppdPath;
    std::string error;
};

std::string Narrow(const std::wstring& text);

// Deletes a printer and its driver, and the driver's installed PPD (a test's own file).
void RemovePrinterAndDriver(const std::wstring& printerName, const std::wstring& driverName);

} // namespace cvtest
