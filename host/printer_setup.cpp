#include "host/printer_setup.h"

#include "host/demo_ppd.h"
#include "host/driver_ui.h"
#include "host/printer_name.h"
#include "host/spooler.h"

namespace cvhost {

const wchar_t kDemoPrinterName[] = L"Corvane CV-9200 PS";

namespace {

// Names quoted in messages; a nickname may run to hundreds of characters.
constexpr size_t kQuotedNameLength = 80;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Quoted(const std::wstring& name) {
    return L"\"" +
           Wide(CutForMessage(std::u16string(name.begin(), name.end()), kQuotedNameLength)) + L"\"";
}

bool HasContent(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string content(bytes.size() + 1, '\0');
    DWORD got = 0;
    const bool read =
        ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &got, nullptr) != 0;
    CloseHandle(file);
    return read && content.compare(0, got, bytes) == 0 && got == bytes.size();
}

} // namespace

bool WriteBytesToFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::wstring PluginConfigFile(const std::wstring& folder) {
    static const std::string kContent = "[OEMFiles]\r\nOEMConfigFile1=cvpsui.dll\r\n";
    const std::wstring path = folder + L"cvpsui.ini";
    // Processes set up printers side by side (tests); one may be writing the file just now.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (HasContent(path, kContent) ||
            (WriteBytesToFile(path, kContent) && HasContent(path, kContent)))
            return path;
        Sleep(50);
    }
    return {};
}

bool SetUpModelPrinter(ModelPrinter* printer, std::wstring* error) {
    auto model = std::make_shared<PrinterModel>();
    if (!LoadPpdFile(printer->ppdPath, model.get(), error, &printer->warnings)) return false;
    if (printer->driverName.empty() || printer->printerName.empty()) {
        const std::u16string nickName = Latin1ToUtf16(model->nickName);
        const std::wstring name = Wide(ValidPrinterName(nickName));
        if (name != Wide(nickName))
            printer->warnings.push_back(
                L"the nickname " + Quoted(Wide(nickName)) + L" is no printer name Windows takes " +
                L"(no ',' or '\\', at most " + std::to_wstring(kMaxPrinterNameLength) +
                L" characters): named " + Quoted(name));
        if (printer->driverName.empty()) printer->driverName = name;
        if (printer->printerName.empty()) printer->printerName = name;
    }
    DriverSetup setup;
    setup.driverName = printer->driverName;
    setup.ppdPath = printer->ppdPath;
    setup.pluginPath = printer->pluginPath;
    // The host reads the copy of the PPD that the spooler installed: what it includes is
    // installed beside it.
    setup.extraDependentFiles = IncludedFilePaths(*model);
    // The PostScript driver finds its UI plug-in through the plug-in configuration file that a
    // driver package lists among its dependent files; ship one like a real package does. It has
    // no version resource, so the About page lists it with "N/A".
    const std::wstring driverFolder = BesideProgram(L"");
    const std::wstring configFile = PluginConfigFile(driverFolder);
    if (configFile.empty()) {
        if (error) *error = L"cannot write the plug-in configuration file in " + driverFolder;
        return false;
    }
    setup.extraDependentFiles.push_back(configFile);
    std::wstring why;
    if (!InstallDriver(setup, &why)) {
        if (error) *error = L"cannot install the driver " + Quoted(setup.driverName) + L": " + why;
        return false;
    }
    if (!AddPrinterFor(printer->printerName, printer->driverName, &why)) {
        if (error) *error = L"cannot add the printer " + Quoted(printer->printerName) + L": " + why;
        return false;
    }
    printer->model = std::move(model);
    return true;
}

bool SetUpDemoPrinter(ModelPrinter* printer, std::wstring* error) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH) {
        if (error) *error = L"no temporary directory for the demo model";
        return false;
    }
    const std::wstring dir = std::wstring(temp) + L"cvhost\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    std::string fileName(kDemoPpdFileName);
    printer->ppdPath = dir + std::wstring(fileName.begin(), fileName.end());
    printer->printerName = kDemoPrinterName;
    if (!WriteBytesToFile(printer->ppdPath, kDemoPpd)) {
        if (error) *error = L"cannot write the demo model to " + printer->ppdPath;
        return false;
    }
    return SetUpModelPrinter(printer, error);
}

} // namespace cvhost
