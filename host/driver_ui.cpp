#include "host/driver_ui.h"

#include "host/spooler.h"

#include <vector>

namespace cvhost {

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

std::wstring FromMessage(const std::string& text) {
    const std::u16string wide = MessageToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

// File names travel through the portable reader as UTF-8.
std::string ToUtf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

// The whole file, at most kMaxPpdBytes; else false with a reason that names it.
bool ReadPpdBytes(const std::wstring& path, std::string* text, std::wstring* problem) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = path + L" cannot be read: " + SystemMessage(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    bool read = GetFileSizeEx(file, &size) != 0;
    DWORD error = read ? ERROR_SUCCESS : GetLastError();
    if (read && size.QuadPart > kMaxPpdBytes) {
        CloseHandle(file);
        *problem = path + L" is over the size limit of " + std::to_wstring(kMaxPpdBytes >> 20) +
                   L" MB (" + std::to_wstring(size.QuadPart) + L" bytes)";
        return false;
    }
    if (read) {
        text->resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        read = text->empty() ||
               (ReadFile(file, &(*text)[0], static_cast<DWORD>(text->size()), &got, nullptr) &&
                got == text->size());
        if (!read) error = GetLastError();
    }
    CloseHandle(file);
    if (!read) *problem = path + L" cannot be read: " + SystemMessage(error);
    return read;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (written == 0 || written >= n) return path;
    full.resize(written);
    return full;
}

// *Include names a file relative to the folder of the file that names it. A driver installs
// every file flat beside its PPD, so a name with folders is also looked for there by file name.
bool ReadInclude(const std::string& name, const std::string& from, std::string* path,
                 std::string* text, std::string* problem) {
    const std::u16string latin1 = Latin1ToUtf16(name);
    const std::wstring wideName(latin1.begin(), latin1.end());
    const std::wstring includer = FromUtf8(from);
    const size_t slash = includer.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : includer.substr(0, slash + 1);
    const bool absolute =
        wideName[0] == L'\\' || wideName[0] == L'/' || (wideName.size() > 1 && wideName[1] == L':');
    std::wstring candidate = FullPath(absolute ? wideName : folder + wideName);
    const size_t nameSlash = wideName.find_last_of(L"\\/");
    if (!absolute && nameSlash != std::wstring::npos &&
        GetFileAttributesW(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::wstring flat = FullPath(folder + wideName.substr(nameSlash + 1));
        if (GetFileAttributesW(flat.c_str()) != INVALID_FILE_ATTRIBUTES) candidate = flat;
    }
    *path = ToUtf8(candidate);
    std::wstring why;
    if (ReadPpdBytes(candidate, text, &why)) return true;
    *problem = ToUtf8(why);
    return false;
}

} // namespace

bool LoadPpdFile(const std::wstring& path, PrinterModel* model, std::wstring* error,
                 std::vector<std::wstring>* warnings) {
    std::string text;
    std::wstring problem;
    if (!ReadPpdBytes(path, &text, &problem)) {
        if (error) *error = L"PPD file " + problem;
        return false;
    }
    PpdSource source;
    source.text = text;
    source.path = ToUtf8(path);
    source.readInclude = &ReadInclude;
    std::string why;
    std::vector<std::string> lines;
    if (!ParsePpd(source, model, &why, &lines)) {
        if (error) *error = L"malformed PPD file " + FromMessage(why);
        return false;
    }
    if (warnings)
        for (const std::string& line : lines)
            warnings->push_back(FromMessage(line));
    return true;
}

std::vector<std::wstring> IncludedFilePaths(const PrinterModel& model) {
    std::vector<std::wstring> paths;
    for (const std::string& path : model.includedFiles)
        paths.push_back(FromUtf8(path));
    return paths;
}

std::unique_ptr<DriverUI> DriverUI::Open(const std::wstring& printerName,
                                         const std::wstring& pluginPath, std::wstring* error,
                                         std::shared_ptr<const PrinterModel> model) {
    std::unique_ptr<DriverUI> ui(new DriverUI());
    ui->printerName_ = printerName;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(const_cast<wchar_t*>(printerName.c_str()), &ui->printer_, &defaults)) {
        ui->printer_ = nullptr;
        if (error) *error = L"no printer named \"" + printerName + L"\"";
        return nullptr;
    }
    DWORD needed = 0;
    GetPrinterDriverW(ui->printer_, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!needed || !GetPrinterDriverW(ui->printer_, nullptr, 2, buffer.data(), needed, &needed)) {
        if (error) *error = L"cannot read the driver of printer \"" + printerName + L"\"";
        return nullptr;
    }
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    ui->driverName_ = info->pName ? info->pName : L"";
    ui->dataFile_ = info->pDataFile ? info->pDataFile : L"";
    ui->configFile_ = info->pConfigFile ? info->pConfigFile : L"";
    if (ui->dataFile_.empty()) {
        if (error) *error = L"the driver of printer \"" + printerName + L"\" has no PPD data file";
        return nullptr;
    }
    if (!model) {
        auto read = std::make_shared<PrinterModel>();
        if (!LoadPpdFile(ui->dataFile_, read.get(), error, &ui->warnings_)) return nullptr;
        model = std::move(read);
    }
    ui->coreUI_.reset(HostCoreUI::Create(std::move(model)));
    if (!ui->coreUI_ || !ui->LoadPlugin(pluginPath, error)) return nullptr;
    return ui;
}

bool DriverUI::SendDriverInstalled() {
    std::vector<BYTE> info;
    return plugin_ && ReadDriverInfo3(printerName_, &info) &&
           SUCCEEDED(plugin_->DriverEvent(DRIVER_EVENT_INITIALIZE, 3, info.data(), 0));
}

bool DriverUI::LoadPlugin(const std::wstring& path, std::wstring* error) {
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
        if (error)
            *error = L"cannot load the plug-in " + path + L": " + SystemMessage(GetLastError());
        return false;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    if (!getClassObject || FAILED(getClassObject(CLSID_CorvanePlugin, IID_IClassFactory,
                                                 reinterpret_cast<void**>(&factory)))) {
        if (error) *error = L"the plug-in " + path + L" has no class factory for its class";
        return false;
    }
    const HRESULT created =
        factory->CreateInstance(nullptr, IID_IPrintOemUI2_, reinterpret_cast<void**>(&plugin_));
    factory->Release();
    if (FAILED(created) || !plugin_) {
        plugin_ = nullptr;
        if (error) *error = L"the plug-in's class factory made no IPrintOemUI2 object";
        return false;
    }
    if (FAILED(plugin_->PublishDriverInterface(static_cast<IPrintCoreUI2*>(coreUI_.get())))) {
        if (error) *error = L"the plug-in refused the driver's IPrintCoreUI2";
        return false;
    }
    return true;
}

DriverUI::~DriverUI() {
    if (plugin_) plugin_->Release();
    if (module_) FreeLibrary(module_);
    if (printer_) ClosePrinter(printer_);
}

} // namespace cvhost
