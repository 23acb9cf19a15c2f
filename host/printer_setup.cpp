#include "host/printer_setup.h"

#include "host/demo_ppd.h"
#include "host/driver_ui.h"
#include "host/spooler.h"

namespace cvhost {

const wchar_t kDemoPrinterName[] = L"Corvane CV-9200 PS";

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

bool SetUpModelPrinter(ModelPrinter* printer, std::wstring* error) {
    PrinterModel model;
    if (!LoadPpdFile(printer->ppdPath, &model, error)) return false;
    const std::u16string nick = Latin1ToUtf16(model.nickName);
    const std::wstring nickName(nick.begin(), nick.end());
    if (printer->driverName.empty()) printer->driverName = nickName;
    if (printer->printerName.empty()) printer->printerName = nickName;
    DriverSetup setup;
    setup.driverName = printer->driverName;
    setup.ppdPath = printer->ppdPath;
    setup.pluginPath = printer->pluginPath;
    // The PostScript driver finds its UI plug-in through the plug-in configuration file that a
    // driver package lists among its dependent files; ship one like a real package does. It has
    // no version resource, so the About page lists it with "N/A".
    const size_t slash = printer->ppdPath.find_last_of(L"\\/");
    const std::wstring iniPath =
        printer->ppdPath.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"cvpsui.ini";
    if (WriteBytesToFile(iniPath, "[OEMFiles]\r\nOEMConfigFile1=cvpsui.dll\r\n"))
        setup.extraDependentFiles.push_back(iniPath);
    std::wstring why;
    if (!InstallDriver(setup, &why)) {
        if (error) *error = L"cannot install the driver \"" + setup.driverName + L"\": " + why;
        return false;
    }
    if (!AddPrinterFor(printer->printerName, printer->driverName, &why)) {
        if (error) *error = L"cannot add the printer \"" + printer->printerName + L"\": " + why;
        return false;
    }
    return true;
}

bool SetUpDemoPrinter(std::wstring* printerName, std::wstring* error) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    if (n == 0 || n > MAX_PATH) {
        if (error) *error = L"no temporary directory for the demo model";
        return false;
    }
    const std::wstring dir = std::wstring(temp) + L"cvhost\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    ModelPrinter printer;
    std::string fileName(kDemoPpdFileName);
    printer.ppdPath = dir + std::wstring(fileName.begin(), fileName.end());
    printer.printerName = kDemoPrinterName;
    if (!WriteBytesToFile(printer.ppdPath, kDemoPpd)) {
        if (error) *error = L"cannot write the demo model to " + printer.ppdPath;
        return false;
    }
    if (!SetUpModelPrinter(&printer, error)) return false;
    if (printerName) *printerName = printer.printerName;
    return true;
}

} // namespace cvhost
