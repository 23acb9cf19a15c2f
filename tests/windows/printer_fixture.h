// Printers of a test's own, installed through the real spooler with the plug-in among the
// driver's files and removed again at scope end, and the scratch files they are made of.
#pragma once

#include "host/printer_setup.h"
#include "spooler.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace cvtest {

// A scratch directory of this test process (emptied and removed at exit), and a file written
// there (ASCII content); the file's full path, empty on failure.
std::wstring ScratchDirectory();
std::wstring WriteScratchFile(const wchar_t* fileName, const std::string& content);
std::string Narrow(const std::wstring& text);

struct TestPrinterOptions {
    bool withDataFile = true;
    bool dataFileAlsoDependent = false; // the PPD listed among the dependent files too
    std::vector<std::wstring> extraDependentFiles;
};

// Driver "Cv <tag> Driver" with a bare PPD of nickname "Corvane <tag>", printer "Cv <tag> Printer".
class TestPrinter {
  public:
    explicit TestPrinter(const std::wstring& tag, const TestPrinterOptions& options = {});
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;
    ~TestPrinter();

    bool ok() const { return error.empty(); } // ASSERT_TRUE(p.ok()) << p.error
    std::wstring driverName, printerName, ppdPath;
    std::string error;
};

// One *OpenUI block of a PPD: `keyword` with `options`, the first being the default unless
// `defaultOption` names another.
std::string PpdFeature(const char* keyword, std::initializer_list<const char*> options,
                       const char* defaultOption = nullptr);

// A printer of a model the test writes (`features` are PPD entries from line 4 on): nickname,
// driver and printer are all "Cv <tag> Model".
class ModelPrinter {
  public:
    ModelPrinter(const std::wstring& tag, const std::string& features);
    ModelPrinter(const ModelPrinter&) = delete;
    ModelPrinter& operator=(const ModelPrinter&) = delete;
    ~ModelPrinter();

    bool ok() const { return error.empty(); }
    std::wstring printerName;
    std::wstring ppdPath; // the PPD written, in the scratch directory
    std::string error;
    cvhost::ModelPrinter setUp; // what the host's set-up filled in (model, warnings)
};

// A TestPrinter named after `tag` and the process (tests side by side never share registry
// keys), open, with its driver's registry tree cleared for the current and the default user.
class RegistryPrinter {
  public:
    explicit RegistryPrinter(const wchar_t* tag);
    ~RegistryPrinter();
    RegistryPrinter(const RegistryPrinter&) = delete;
    RegistryPrinter& operator=(const RegistryPrinter&) = delete;

    HANDLE handle() const { return handle_; }
    const std::wstring& driverName() const { return printer_.driverName; }
    const std::wstring& printerName() const { return printer_.printerName; }
    // "Software\Corvane\PSPlugIn\<driver>".
    std::wstring driverKeyPath() const { return L"Software\\Corvane\\PSPlugIn\\" + driverName(); }

  private:
    void ClearRegistry() const;
    TestPrinter printer_;
    HANDLE handle_ = nullptr;
};

} // namespace cvtest
