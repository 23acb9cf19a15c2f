#include "printer_fixture.h"

#include "host/printer_setup.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace cvtest {

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

namespace {

struct Scratch {
    std::wstring dir;
    Scratch() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"cvtest-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    ~Scratch() {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW((dir + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(dir.c_str());
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

std::wstring ProcessTag() { return std::to_wstring(GetCurrentProcessId()); }

} // namespace

std::wstring ScratchDirectory() {
    static const Scratch scratch;
    return scratch.dir;
}

std::wstring WriteScratchFile(const wchar_t* fileName, const std::string& content) {
    const std::wstring path = ScratchDirectory() + fileName;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return written == content.size() ? path : std::wstring();
}

TestPrinter::TestPrinter(const std::wstring& tag, const TestPrinterOptions& options)
    : driverName(L"Cv " + tag + L" Driver"), printerName(L"Cv " + tag + L" Printer") {
    const std::string nick = Narrow(L"Corvane " + tag);
    ppdPath = WriteScratchFile((L"cv" + ProcessTag() + L".ppd").c_str(),
                               "*PPD-Adobe: \"4.3\"\r\n*Manufacturer: \"Corvane\"\r\n*ModelName: \"" +
                                   nick + "\"\r\n*NickName: \"" + nick + "\"\r\n");
    cvhost::DriverSetup setup;
    setup.driverName = driverName;
    setup.ppdPath = ppdPath;
    setup.withDataFile = options.withDataFile;
    if (options.dataFileAlsoDependent) setup.extraDependentFiles.push_back(ppdPath);
    setup.extraDependentFiles.insert(setup.extraDependentFiles.end(),
                                     options.extraDependentFiles.begin(),
                                     options.extraDependentFiles.end());
    std::wstring why;
    if (!cvhost::InstallDriver(setup, &why) || !cvhost::AddPrinterFor(printerName, driverName, &why))
        error = Narrow(why);
}

TestPrinter::~TestPrinter() { RemovePrinterAndDriver(printerName, driverName); }

std::string PpdFeature(const char* keyword, std::initializer_list<const char*> options,
                       const char* defaultOption) {
    const std::string k = keyword;
    std::string block = "*OpenUI *" + k + ": PickOne\n*Default" + k + ": " +
                        (defaultOption ? defaultOption : *options.begin()) + "\n";
    for (const char* option : options) block += "*" + k + " " + option + ": \"\"\n";
    return block + "*CloseUI: *" + k + "\n";
}

ModelPrinter::ModelPrinter(const std::wstring& tag, const std::string& features) {
    const std::string ppd = "*PPD-Adobe: \"4.3\"\n*Manufacturer: \"Corvane\"\n*NickName: \"" +
                            Narrow(L"Cv " + tag + L" Model") + "\"\n" + features;
    ppdPath = WriteScratchFile((L"cv" + ProcessTag() + L"-" + tag + L".ppd").c_str(), ppd);
    setUp.ppdPath = ppdPath;
    std::wstring why = ppdPath.empty() ? L"cannot write the model's PPD" : L"";
    if (why.empty() && cvhost::SetUpModelPrinter(&setUp, &why)) printerName = setUp.printerName;
    error = Narrow(why);
}

ModelPrinter::~ModelPrinter() {
    if (!printerName.empty()) RemovePrinterAndDriver(printerName, printerName);
}

RegistryPrinter::RegistryPrinter(const wchar_t* tag)
    : printer_(std::wstring(tag) + L" " + ProcessTag()) {
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
