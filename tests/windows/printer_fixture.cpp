#include "printer_fixture.h"

#include <windows.h>

#include <cstdio>
#include <vector>

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

std::wstring WriteTestPpd(const wchar_t* fileName, const char* nickName) {
    std::string ppd = "*PPD-Adobe: \"4.3\"\r\n*FormatVersion: \"4.3\"\r\n*LanguageVersion: English\r\n"
                      "*Manufacturer: \"Corvane\"\r\n*ModelName: \"";
    ppd += nickName;
    ppd += "\"\r\n*NickName: \"";
    ppd += nickName;
    ppd += "\"\r\n*ColorDevice: True\r\n";
    return WriteScratchFile(fileName, ppd);
}

TestPrinter::TestPrinter(const std::wstring& tag, const TestPrinterOptions& options)
    : driverName(L"Cv " + tag + L" Driver"), printerName(L"Cv " + tag + L" Printer") {
    ppdPath = WriteTestPpd((L"cv" + std::to_wstring(GetCurrentProcessId()) + L".ppd").c_str(),
                           Narrow(L"Corvane " + tag).c_str());
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

void RemovePrinterAndDriver(const std::wstring& printerName, const std::wstring& driverName) {
    // The model file is this process's own (its name carries the process id); the shared
    // modules stay in the driver directory for the other tests.
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

TestPrinter::~TestPrinter() { RemovePrinterAndDriver(printerName, driverName); }

} // namespace cvtest
