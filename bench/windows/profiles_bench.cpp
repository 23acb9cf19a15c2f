// Personal profiles under Wine, each against the registry and spooler calls it cannot do
// without (its floor), timed in interleaved rounds: the Profiles page's initialisation and
// activation with 200 stored profiles and a driver tree of 100 items, saving one profile, and
// loading one.
#include "core/module.h"
#include "core/sheet_context.h"
#include "core/subsystems.h"
#include "harness.h"
#include "host/core_ui.h"
#include "profiles/profile_store.h"
#include "resources/resource.h"
#include "windows/printer_fixture.h"
#include "windows/support.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 100;
constexpr int kProfiles = 200;

// The driver's tree: 100 lists of four entries, named by their texts.
struct DriverTree {
    std::vector<std::wstring> names;
    std::vector<OPTPARAM> params;
    std::vector<OPTTYPE> types;
    std::vector<OPTITEM> items;
    DriverTree() : names(kItems), params(4 * kItems), types(kItems), items(kItems) {
        for (int i = 0; i < kItems; ++i) {
            names[i] = L"Feature " + std::to_wstring(i);
            types[i].cbSize = sizeof(OPTTYPE);
            types[i].Type = TVOT_COMBOBOX;
            types[i].Count = 4;
            types[i].pOptParam = &params[4 * i];
            items[i].cbSize = sizeof(OPTITEM);
            items[i].pName = &names[i][0];
            items[i].pOptType = &types[i];
            items[i].Sel = i % 4;
        }
    }
};

// The spooler's answer for the driver's name, as every operation asks it.
std::wstring DriverName(HANDLE h) {
    DWORD needed = 0;
    GetPrinterDriverW(h, nullptr, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(h, nullptr, 1, buffer.data(), needed, &needed)) return L"";
    return reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data())->pName;
}

HKEY Open(HKEY parent, const std::wstring& path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    RegOpenKeyExW(parent, path.c_str(), 0, access, &key);
    return key;
}

// Every value of a key, read with its data.
void ReadAllValues(HKEY key) {
    DWORD count = 0, name = 0, data = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &name,
                     &data, nullptr, nullptr);
    std::vector<wchar_t> n(name + 1);
    std::vector<BYTE> d(data + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nl = name + 1, dl = data + 1, type = 0;
        if (RegEnumValueW(key, i, n.data(), &nl, nullptr, &type, d.data(), &dl) != ERROR_SUCCESS)
            break;
    }
}

double pageTime = 0;
constexpr DLGPROC TimedPageProc = cvbench::TimedPageProc<cv::ProfilesPageProc, &pageTime>;

int Fail(const char* why) {
    std::fprintf(stderr, "profiles_bench: %s\n", why);
    return 1;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    cvtest::RegistryPrinter printer(L"bench profiles");
    const HANDLE h = printer.handle();
    if (!h) return Fail("no test printer");
    cv::moduleInstance = cvtest::PluginDll::Get().module;

    auto model = std::make_shared<cvhost::PrinterModel>();
    std::string error;
    cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Bench\"\n", model.get(), &error);
    cvhost::CoreUIPtr coreUI(cvhost::HostCoreUI::Create(model));
    DriverTree tree;
    cv::PluginDevmode job{};
    cv::defaultPluginDevmode(&job);
    OEMUIPSPARAM param{};
    param.cbSize = sizeof param;
    param.poemuiobj = coreUI->UIObject();
    param.hPrinter = h;
    param.pOEMDM = &job;
    std::unique_ptr<cv::SheetContext> ctx(new cv::SheetContext{});
    ctx->uiParam = &param;
    ctx->dm = job;
    ctx->tree.drvOptItems = tree.items.data();
    ctx->tree.drvOptItemCount = kItems;

    if (!cv::SaveFactoryProfileIfMissing(ctx.get(), tree.items.data(), kItems, h))
        return Fail("cannot save the factory profile");
    for (int i = 0; i < kProfiles; ++i)
        if (!cv::SaveProfile(tree.items.data(), kItems, (L"Profile " + std::to_wstring(i)).c_str(),
                             h, ctx.get()))
            return Fail("cannot save the profiles");
    const std::wstring driverPath = printer.driverKeyPath();

    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr,
                                  nullptr, nullptr);
    PROPSHEETPAGEW record{};
    record.dwSize = sizeof record;
    record.lParam = reinterpret_cast<LPARAM>(ctx.get());
    bool failed = false;

    // The page's own work when it is made and shown: WM_INITDIALOG (the list filled) and
    // PSN_SETACTIVE (the display compared with the store). Making its window and controls is the
    // dialog manager's, the same for every page, and is not counted.
    const auto page = [&] {
        pageTime = 0;
        HWND window = CreateDialogParamW(cv::moduleInstance, MAKEINTRESOURCEW(IDD_PROFILES), parent,
                                         TimedPageProc, reinterpret_cast<LPARAM>(&record));
        NMHDR active{window, 0, static_cast<UINT>(PSN_SETACTIVE)};
        SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&active));
        if (!window || SendDlgItemMessageW(window, 1051, LB_GETCOUNT, 0, 0) != kProfiles)
            failed = true;
        DestroyWindow(window);
        return pageTime;
    };
    // Its floor, as two operations that each open what they use: the driver's name, the
    // profiles listed and the factory profile's devmode found; then the driver's name again and
    // the displayed (factory) profile read.
    const auto pageFloor = [&] {
        {
            const std::wstring path = L"Software\\Corvane\\PSPlugIn\\" + DriverName(h);
            HKEY driver = Open(HKEY_CURRENT_USER, path);
            HKEY profiles = Open(driver, L"Profiles");
            wchar_t name[128];
            for (DWORD i = 0;; ++i) {
                DWORD length = 128;
                if (RegEnumKeyExW(profiles, i, name, &length, nullptr, nullptr, nullptr, nullptr))
                    break;
            }
            HKEY factory = Open(profiles, L"Factory Defaults");
            RegQueryValueExW(factory, L"CustomDevData", nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(factory);
            RegCloseKey(profiles);
            RegCloseKey(driver);
        }
        const std::wstring path = L"Software\\Corvane\\PSPlugIn\\" + DriverName(h);
        HKEY driver = Open(HKEY_CURRENT_USER, path);
        HKEY profiles = Open(driver, L"Profiles");
        HKEY factory = Open(profiles, L"Factory Defaults");
        ReadAllValues(factory);
        RegCloseKey(factory);
        RegCloseKey(profiles);
        RegCloseKey(driver);
        return 0.0;
    };

    int saved = 0;
    const auto removeSaved = [&](const std::wstring& name) {
        RegDeleteKeyW(HKEY_CURRENT_USER, (driverPath + L"\\Profiles\\" + name).c_str());
    };
    const auto save = [&] {
        const std::wstring name = L"Saved " + std::to_wstring(saved++);
        const double start = cvbench::Now();
        if (!cv::SaveProfile(tree.items.data(), kItems, name.c_str(), h, ctx.get())) failed = true;
        const double elapsed = cvbench::Now() - start;
        removeSaved(name);
        return elapsed;
    };
    // Its floor: the driver's name, the keys made, every value written.
    const std::vector<cv::ProfileItem> records = [&] {
        std::vector<cv::ProfileItem> r;
        for (const OPTITEM& item : tree.items)
            r.push_back(cv::ProfileItemOf(item));
        return r;
    }();
    const std::vector<cv::StoredValue> values =
        cv::PlanProfileSave(records.data(), records.size(), ctx->dm);
    const auto saveFloor = [&] {
        const std::wstring name = L"Floor " + std::to_wstring(saved++);
        const double start = cvbench::Now();
        const std::wstring path = L"Software\\Corvane\\PSPlugIn\\" + DriverName(h);
        HKEY driver = nullptr, profiles = nullptr, key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &driver, nullptr);
        RegCreateKeyExW(driver, L"Profiles", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &profiles, nullptr);
        RegCreateKeyExW(profiles, name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr);
        for (const cv::StoredValue& v : values)
            RegSetValueExW(key, reinterpret_cast<const wchar_t*>(v.name.c_str()), 0, v.type,
                           v.data.data(), static_cast<DWORD>(v.data.size()));
        RegCloseKey(key);
        RegCloseKey(profiles);
        RegCloseKey(driver);
        const double elapsed = cvbench::Now() - start;
        removeSaved(name);
        return elapsed;
    };
    const auto change = [&] {
        if (!cv::SaveProfile(tree.items.data(), kItems, L"Profile 100", h, ctx.get()))
            failed = true;
        return 0.0;
    };
    const auto load = [&] {
        if (!cv::LoadProfile(ctx.get(), L"Profile 100", h)) failed = true;
        return 0.0;
    };
    // Its floor: the driver's name and every value of the profile read.
    const auto loadFloor = [&] {
        const std::wstring path = L"Software\\Corvane\\PSPlugIn\\" + DriverName(h);
        HKEY driver = Open(HKEY_CURRENT_USER, path);
        HKEY profiles = Open(driver, L"Profiles");
        HKEY key = Open(profiles, L"Profile 100");
        ReadAllValues(key);
        RegCloseKey(key);
        RegCloseKey(profiles);
        RegCloseKey(driver);
        return 0.0;
    };

    const auto rounds = cvbench::Interleaved(5, 15, 2, 1, pageFloor, page, saveFloor, save, change,
                                             loadFloor, load);
    DestroyWindow(parent);
    if (failed) return Fail("an operation failed");
    std::printf("Profiles, %d stored, a driver tree of %d items; 5 rounds interleaved:\n",
                kProfiles, kItems);
    cvbench::ReportRounds("page init + activation: floor", rounds[0], nullptr);
    cvbench::ReportRounds("page init + activation", rounds[1], &rounds[0]);
    cvbench::ReportRounds("save one profile: floor", rounds[2], nullptr);
    cvbench::ReportRounds("save one profile (new)", rounds[3], &rounds[2]);
    cvbench::ReportRounds("save over a stored one (Change)", rounds[4], &rounds[2]);
    cvbench::ReportRounds("load one profile: floor", rounds[5], nullptr);
    cvbench::ReportRounds("load one profile", rounds[6], &rounds[5]);
    return 0;
}
