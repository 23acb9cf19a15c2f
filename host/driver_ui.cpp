#include "host/driver_ui.h"

#include <vector>

namespace cvhost {

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr DWORD kMaxPpdBytes = 16u << 20;

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

std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (char c : text)
        out.push_back(static_cast<unsigned char>(c));
    return out;
}

} // namespace

bool LoadPpdFile(const std::wstring& path, PrinterModel* model, std::wstring* error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error) *error = L"cannot read PPD file " + path + L": " + SystemMessage(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    std::string text;
    bool read = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxPpdBytes;
    if (read) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        read = text.empty() ||
               (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr) &&
                got == text.size());
    }
    CloseHandle(file);
    if (!read) {
        if (error) *error = L"cannot read PPD file " + path;
        return false;
    }
    std::string why;
    if (!ParsePpd(text, model, &why)) {
        if (error) *error = L"malformed PPD file " + path + L": " + Widen(why);
        return false;
    }
    return true;
}

std::unique_ptr<DriverUI> DriverUI::Open(const std::wstring& printerName,
                                         const std::wstring& pluginPath, std::wstring* error) {
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
    if (ui->dataFile_.empty()) {
        if (error) *error = L"the driver of printer \"" + printerName + L"\" has no PPD data file";
        return nullptr;
    }
    auto model = std::make_shared<PrinterModel>();
    if (!LoadPpdFile(ui->dataFile_, model.get(), error)) return nullptr;
    ui->coreUI_.reset(HostCoreUI::Create(std::move(model)));
    if (!ui->coreUI_ || !ui->LoadPlugin(pluginPath, error)) return nullptr;
    return ui;
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
