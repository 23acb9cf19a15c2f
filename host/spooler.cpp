#include "spooler.h"

#include <winspool.h>

#include <memory>

namespace cvhost {

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// "AddPrinterW failed: The printer driver is unknown (1797)".
std::wstring LastErrorText(const wchar_t* what) {
    const DWORD code = GetLastError();
    return std::wstring(what) + L" failed: " + SystemMessage(code) + L" (" + std::to_wstring(code) +
           L")";
}

bool Fail(std::wstring* error, std::wstring text) {
    if (error) *error = std::move(text);
    return false;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::wstring& path, std::vector<char>* content) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30)) return false;
    content->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < content->size()) {
        DWORD chunk = 0;
        const DWORD want = static_cast<DWORD>(
            content->size() - done < (1u << 20) ? content->size() - done : (1u << 20));
        if (!ReadFile(file.get(), content->data() + done, want, &chunk, nullptr) || chunk == 0)
            return false;
        done += chunk;
    }
    return true;
}

bool SameContent(const std::wstring& a, const std::wstring& b) {
    std::vector<char> left, right;
    return ReadWholeFile(a, &left) && ReadWholeFile(b, &right) && left == right;
}

// The directory into which AddPrinterDriverExW puts a version-3 driver's files.
std::wstring VersionedDriverDirectory() {
    wchar_t dir[MAX_PATH * 2] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir),
                                    sizeof dir - sizeof(wchar_t), &needed))
        return {};
    return std::wstring(dir) + L"\\3\\";
}

// The installed DRIVER_INFO_3 of one driver of the current environment.
bool FindInstalledDriver(const std::wstring& driverName, std::vector<BYTE>* buffer,
                         const DRIVER_INFO_3W** info) {
    // Called under SpoolerSetupLock: no other set-up changes the list between the two calls.
    DWORD needed = 0, count = 0;
    EnumPrinterDriversW(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
    if (needed == 0) return false;
    buffer->assign(needed, 0);
    if (!EnumPrinterDriversW(nullptr, nullptr, 3, buffer->data(), needed, &needed, &count))
        return false;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_3W*>(buffer->data());
    for (DWORD i = 0; i < count; ++i) {
        if (drivers[i].pName && driverName == drivers[i].pName) {
            *info = &drivers[i];
            return true;
        }
    }
    return false;
}

// Wine's spooler runs inside each client process and keeps its driver and printer lists in the
// registry without any lock of its own, so set-ups in parallel processes (tests running side by
// side) can lose each other's updates: a driver just added is then missing from the list. The
// Windows spooler service serialises these calls; the host does the same across processes.
class SpoolerSetupLock {
  public:
    SpoolerSetupLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\CorvaneHostSpoolerSetup")) {
        if (mutex_) {
            const DWORD wait = WaitForSingleObject(mutex_, 60000);
            owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~SpoolerSetupLock() {
        if (owned_) ReleaseMutex(mutex_);
        if (mutex_) CloseHandle(mutex_);
    }
    SpoolerSetupLock(const SpoolerSetupLock&) = delete;
    SpoolerSetupLock& operator=(const SpoolerSetupLock&) = delete;

  private:
    HANDLE mutex_;
    bool owned_ = false;
};

} // namespace

std::wstring SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : L"error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return message;
}

std::wstring BesideProgram(const wchar_t* fileName) {
    std::wstring path(MAX_PATH, L'\0');
    for (int tries = 0; tries < 8; ++tries) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return fileName;
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + fileName;
}

PrinterHandle::PrinterHandle(const std::wstring& printerName) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<wchar_t*>(printerName.c_str()), &handle_, &defaults))
        handle_ = nullptr;
}

PrinterHandle::~PrinterHandle() {
    if (handle_) ClosePrinter(handle_);
}

bool InstallDriver(const DriverSetup& setup, std::wstring* error) {
    if (setup.driverName.empty()) return Fail(error, L"the driver has no name");
    const std::wstring render =
        setup.renderModulePath.empty() ? BesideProgram(L"cvpsdrv.dll") : setup.renderModulePath;
    const std::wstring ui =
        setup.uiModulePath.empty() ? BesideProgram(L"cvpsdrvui.dll") : setup.uiModulePath;
    const std::wstring plugin =
        setup.pluginPath.empty() ? BesideProgram(L"cvpsui.dll") : setup.pluginPath;

    std::vector<std::wstring> sources{render, ui, plugin};
    if (setup.withDataFile) sources.push_back(setup.ppdPath);
    sources.insert(sources.end(), setup.extraDependentFiles.begin(),
                   setup.extraDependentFiles.end());
    for (const std::wstring& source : sources)
        if (!FileExists(source)) return Fail(error, L"missing driver file: " + source);

    SpoolerSetupLock lock;

    // Wine copies every file again, whatever APD_COPY_NEW_FILES asks. A copy that is already
    // identical may be loaded by another process (a test running beside this one, or this
    // process's own printers); holding it open without write sharing makes that copy fail
    // harmlessly, while a changed file is still replaced.
    const std::wstring target = VersionedDriverDirectory();
    std::vector<FileHandle> pinned;
    for (const std::wstring& source : sources) {
        const std::wstring installed = target + FileNameOf(source);
        if (target.empty() || !FileExists(installed) || !SameContent(source, installed)) continue;
        FileHandle pin(CreateFileW(installed.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (pin.get() != INVALID_HANDLE_VALUE) pinned.push_back(std::move(pin));
    }

    // Dependent files: the plug-in first, then the extras, as one multi-string.
    std::wstring dependents = plugin;
    dependents.push_back(L'\0');
    for (const std::wstring& extra : setup.extraDependentFiles) {
        dependents += extra;
        dependents.push_back(L'\0');
    }
    dependents.push_back(L'\0');

    std::wstring name = setup.driverName;
    std::wstring dataFile = setup.withDataFile ? setup.ppdPath : std::wstring();
    std::wstring driverPath = render, configFile = ui;
    wchar_t raw[] = L"RAW";
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = &name[0];
    info.pEnvironment = nullptr; // the spooler's own
    info.pDriverPath = &driverPath[0];
    // Wine's spooler dereferences every file name, so "no data file" is an empty name.
    info.pDataFile = &dataFile[0];
    info.pConfigFile = &configFile[0];
    info.pDependentFiles = &dependents[0];
    info.pDefaultDataType = raw;
    const BOOL added = AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info),
                                           APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY);
    const DWORD addError = GetLastError();
    pinned.clear();
    if (!added) {
        SetLastError(addError);
        return Fail(error, LastErrorText(L"AddPrinterDriverExW"));
    }

    std::vector<BYTE> buffer;
    const DRIVER_INFO_3W* installed = nullptr;
    if (!FindInstalledDriver(setup.driverName, &buffer, &installed))
        return Fail(error, L"the spooler does not list the driver after installing it");
    std::vector<std::wstring> copies;
    for (const wchar_t* path :
         {installed->pDriverPath, installed->pConfigFile, installed->pDataFile})
        if (path && *path) copies.emplace_back(path);
    for (const wchar_t* dependent = installed->pDependentFiles; dependent && *dependent;
         dependent += wcslen(dependent) + 1)
        copies.emplace_back(dependent);
    for (const std::wstring& source : sources) {
        const std::wstring fileName = FileNameOf(source);
        const std::wstring* copy = nullptr;
        for (const std::wstring& candidate : copies)
            if (_wcsicmp(FileNameOf(candidate).c_str(), fileName.c_str()) == 0) copy = &candidate;
        if (!copy) return Fail(error, L"the spooler lists no installed copy of " + source);
        if (!SameContent(source, *copy)) return Fail(error, *copy + L" is not a copy of " + source);
    }
    return true;
}

bool AddPrinterFor(const std::wstring& printerName, const std::wstring& driverName,
                   std::wstring* error) {
    if (printerName.empty()) return Fail(error, L"the printer has no name");
    DeletePrinterNamed(printerName);
    SpoolerSetupLock lock;

    std::wstring name = printerName, driver = driverName;
    wchar_t port[] = L"FILE:", processor[] = L"winprint", datatype[] = L"RAW", empty[] = L"";
    PRINTER_INFO_2W info{};
    info.pPrinterName = &name[0];
    info.pShareName = empty;
    info.pPortName = port;
    info.pDriverName = &driver[0];
    info.pComment = empty;
    info.pLocation = empty;
    info.pSepFile = empty;
    info.pPrintProcessor = processor;
    info.pDatatype = datatype;
    info.pParameters = empty;
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    info.Priority = 1;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) return Fail(error, LastErrorText(L"AddPrinterW"));
    ClosePrinter(printer);
    return true;
}

void DeletePrinterNamed(const std::wstring& printerName) {
    SpoolerSetupLock lock;
    PrinterHandle printer(printerName);
    if (printer.valid()) DeletePrinter(printer.get());
}

void DeleteDriverNamed(const std::wstring& driverName) {
    SpoolerSetupLock lock;
    std::wstring name = driverName;
    DeletePrinterDriverW(nullptr, nullptr, &name[0]);
}

bool ReadDriverInfo3(const std::wstring& printerName, std::vector<BYTE>* buffer) {
    PrinterHandle printer(printerName);
    if (!printer.valid()) return false;
    DWORD needed = 0;
    GetPrinterDriverW(printer.get(), nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return false;
    buffer->assign(needed, 0);
    return GetPrinterDriverW(printer.get(), nullptr, 3, buffer->data(), needed, &needed) != 0;
}

std::wstring PrintProcessorOf(const std::wstring& printerName) {
    PrinterHandle printer(printerName);
    if (!printer.valid()) return {};
    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return {};
    std::vector<BYTE> buffer(needed, 0);
    if (!GetPrinterW(printer.get(), 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPrintProcessor ? info->pPrintProcessor : L"";
}

} // namespace cvhost
