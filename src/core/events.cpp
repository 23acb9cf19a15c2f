// Driver installation and removal, and printer initialisation: registry and spooler work only.
#include "core/sheets.h"
#include "ui/scoped_handles.h"
#include "core/driver_key.h"
#include "core/spooler_query.h"
#include "core/subsystems.h"

#include <shlwapi.h>

#include <vector>

namespace cv {

namespace {

// The companion print processor that turns the plug-in's devmode into printer output.
wchar_t kPrintProcessor[] = L"cvprtprc";
constexpr const wchar_t* kCompanyKey = L"Software\\Corvane";
constexpr DWORD kUserNameUnits = 2048;

// The default user's hive seeds new profiles and is left alone. Windows names it ".DEFAULT",
// Wine ".Default"; the registry compares names without regard to case, so do we.
bool IsDefaultUserHive(const wchar_t* name) {
    return CompareStringOrdinal(name, -1, L".DEFAULT", -1, TRUE) == CSTR_EQUAL;
}

// Removes the driver's store from the current user (with the company keys when nothing else is
// left in them) and from every other loaded user hive but the default user's.
void RemoveDriverStore(const wchar_t* driverName) {
    const std::wstring path = DriverKeyPath(driverName);
    // An empty path would make SHDeleteKeyW delete the whole hive.
    if (path.empty()) return;

    ScopedKey hive;
    if (!hive.Open(HKEY_CURRENT_USER, nullptr, KEY_WRITE)) return;
    SHDeleteKeyW(hive.get(), path.c_str());
    SHDeleteEmptyKeyW(hive.get(), kPluginRegistryRoot);
    SHDeleteEmptyKeyW(hive.get(), kCompanyKey);

    ScopedKey users;
    if (!users.Open(HKEY_USERS, L"", KEY_ALL_ACCESS)) return;
    wchar_t name[kUserNameUnits];
    for (DWORD index = 0;; ++index) {
        const LONG status = RegEnumKeyW(users.get(), index, name, kUserNameUnits);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        name[kUserNameUnits - 1] = L'\0';
        if (IsDefaultUserHive(name)) continue;
        ScopedKey user;
        if (user.Open(users.get(), name, KEY_ALL_ACCESS)) SHDeleteKeyW(user.get(), path.c_str());
    }
}

// Whether the printer's driver names a data file (false when the driver cannot be read).
bool DriverHasDataFile(HANDLE printer) {
    std::vector<BYTE> buffer;
    const DRIVER_INFO_2W* info = ReadDriverInfo2(printer, &buffer);
    return info && info->pDataFile && info->pDataFile[0] != L'\0';
}

} // namespace

void HandleDriverEvent(DWORD event, DWORD level, const BYTE* driverInfo) {
    if (!driverInfo) return;
    const wchar_t* name = nullptr;
    const wchar_t* dataFile = nullptr;
    switch (level) {
    case 1:
        name = reinterpret_cast<const DRIVER_INFO_1W*>(driverInfo)->pName;
        break;
    case 2:
    case 3: { // DRIVER_INFO_3 begins with the fields of DRIVER_INFO_2
        const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(driverInfo);
        name = info->pName;
        dataFile = info->pDataFile;
        break;
    }
    default:
        return;
    }
    // No name, no store: an empty one must not be taken for the whole plug-in tree.
    if (!name || !*name) return;

    if (event == DRIVER_EVENT_INITIALIZE) {
        InstallDefaultWatermarks(name);
    } else if (event == DRIVER_EVENT_DELETE) {
        RemoveDriverStore(name);
        // The print processor goes with a driver that has a data file; a level-1 description
        // cannot tell, so the processor stays.
        if (dataFile) DeletePrintProcessorW(nullptr, nullptr, kPrintProcessor);
    }
}

bool AssignPrintProcessor(const wchar_t* printerName) {
    PrinterHandle printer;
    if (!printer.Open(printerName, PRINTER_ALL_ACCESS)) return false;

    // A driver without data file has no companion processor; a printer left without any
    // processor could not print, so its processor is then left as it is.
    const bool assign = DriverHasDataFile(printer.get());

    std::vector<BYTE> buffer;
    if (!ReadPrinterInfo2(printer.get(), &buffer)) return false;
    if (assign) {
        // The buffer is ours: the structure is changed in place and handed back.
        auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
        info->pPrintProcessor = kPrintProcessor;
        SetPrinterW(printer.get(), 2, buffer.data(), 0); // a refusal leaves the printer as it was
    }
    return true;
}

} // namespace cv
