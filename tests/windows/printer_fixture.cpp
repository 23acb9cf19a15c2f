#include "printer_fixture.h"

#include "host/printer_setup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

namespace cvtest {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

namespace {

const std::wstring kProcessTag = std::to_wstring(GetCurrentProcessId());

struct Scratch {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (L"cvtest-" + kProcessTag);
    Scratch() {
        std::error_code ignored;
        std::filesystem::create_directory(dir, ignored);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

// Deletes a printer and its driver, and the driver's installed PPD: the model file is this
// process's own (its name carries the process id); the shared modules stay for other tests.
void RemovePrinterAndDriver(const std::wstring& printerName, const std::wstring& driverName) {
    std::vector<BYTE> info;
    std::wstring installedPpd;
    if (cvhost::ReadDriverInfo3(printerName, &info)) {
        const auto* driver = reinterpret_cast<const DRIVER_INFO_3W*>(info.data());
        if (driver->pDataFile && *driver->pDataFile) installedPpd = driver->pDataFile;
    }
    cvhost::DeletePrinterNamed(printerName);
    cvhost::DeleteDriverNamed(driverName);
    if (!installedPpd.empty()) DeleteFileW(installedPpd.c_str());
}

} // namespace

std::wstring ScratchDirectory() {
    static const Scratch scratch;
    return scratch.dir.wstring() + L"\\";
}

std::wstring WriteScratchFile(const wchar_t* fileName, const std::string& content) {
    const std::wstring path = ScratchDirectory() + fileName;
    return cvhost::WriteBytesToFile(path, content) ? path : std::wstring();
}

TestPrinter::TestPrinter(const std::wstring& tag, const TestPrinterOptions& options)
    : driverName(L"Cv " + tag + L" Driver"), printerName(L"Cv " + tag + L" Printer") {
    const std::string nick = Narrow(L"Corvane " + tag);
    ppdPath =
        WriteScratchFile((L"cv" + kProcessTag + L".ppd").c_str(),
                         "*PPD-Adobe: \"4.3\"\r\n*Manufacturer: \"Corvane\"\r\n*ModelName: \"" +
                             nick + "\"\r\n*NickName: \"" + nick + "\"\r\n");
    cvhost::DriverSetup setup{driverName, ppdPath, L"", options.extraDependentFiles,
                              options.withDataFile};
    if (options.dataFileAlsoDependent)
        setup.extraDependentFiles.insert(setup.extraDependentFiles.begin(), ppdPath);
    std::wstring why;
    if (!cvhost::InstallDriver(setup, &why) ||
        !cvhost::AddPrinterFor(printerName, driverName, &why))
        error = Narrow(why);
}

TestPrinter::~TestPrinter() {
    RemovePrinterAndDriver(printerName, driverName);
}

std::string PpdFeature(const char* keyword, std::initializer_list<const char*> options,
                       const char* defaultOption) {
    const std::string k = keyword;
    std::string block = "*OpenUI *" + k + ": PickOne\n*Default" + k + ": " +
                        (defaultOption ? defaultOption : *options.begin()) + "\n";
    for (const char* option : options)
        block += "*" + k + " " + option + ": \"\"\n";
    return block + "*CloseUI: *" + k + "\n";
}

ModelPrinter::ModelPrinter(const std::wstring& tag, const std::string& features) {
    const std::string ppd = "*PPD-Adobe: \"4.3\"\n*Manufacturer: \"Corvane\"\n*NickName: \"" +
                            Narrow(L"Cv " + tag + L" Model") + "\"\n" + features;
    ppdPath = WriteScratchFile((L"cv" + kProcessTag + L"-" + tag + L".ppd").c_str(), ppd);
    setUp.ppdPath = ppdPath;
    std::wstring why = ppdPath.empty() ? L"cannot write the model's PPD" : L"";
    if (why.empty() && cvhost::SetUpModelPrinter(&setUp, &why)) printerName = setUp.printerName;
    error = Narrow(why);
}

ModelPrinter::~ModelPrinter() {
    if (!printerName.empty()) RemovePrinterAndDriver(printerName, printerName);
}

RegistryPrinter::RegistryPrinter(const wchar_t* tag)
    : printer_(std::wstring(tag) + L" " + kProcessTag) {
    if (!printer_.ok()) {
        ADD_FAILURE() << "printer set-up failed: " << printer_.error;
        return;
    }
    std::wstring name = printer_.printerName;
    if (!OpenPrinterW(name.data(), &handle_, nullptr)) {
        ADD_FAILURE() << "OpenPrinterW failed: " << GetLastError();
        handle_ = nullptr;
    }
    ClearRegistry();
}

RegistryPrinter::~RegistryPrinter() {
    ClearRegistry();
    if (handle_) ClosePrinter(handle_);
}

void RegistryPrinter::ClearRegistry() const {
    RegDeleteTreeW(HKEY_CURRENT_USER, driverKeyPath().c_str());
    RegDeleteTreeW(HKEY_USERS, (L".DEFAULT\\" + driverKeyPath()).c_str());
}

} // namespace cvtest
