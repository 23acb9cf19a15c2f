// Driver and printer events through the DLL's entry points, against Wine's real registry and
// spooler. Every test works on user hives of its own: the current user's hive is redirected to
// a hive file loaded under HKEY_USERS (RegOverridePredefKey), so tests running beside each other
// never see each other's plug-in tree.
#include "import_hook.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace cvtest;

namespace {

const std::wstring kRoot = L"Software\\Corvane\\PSPlugIn";

std::wstring StorePath(const std::wstring& driver) {
    return kRoot + L"\\" + driver;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A store as the plug-in leaves it: a value and a nested key, so that removal must recurse.
void WriteStore(HKEY root, const std::wstring& driver) {
    const DWORD one = 1;
    ASSERT_EQ(RegSetKeyValueW(root, (StorePath(driver) + L"\\WaterMarks\\Draft").c_str(),
                              L"Intensity", REG_DWORD, &one, sizeof one),
              ERROR_SUCCESS);
}

void EnableHivePrivileges() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token)) return;
    for (const wchar_t* privilege : {SE_BACKUP_NAME, SE_RESTORE_NAME}) {
        TOKEN_PRIVILEGES change{1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        if (LookupPrivilegeValueW(nullptr, privilege, &change.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &change, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

// A user profile's hive: a hive file made with RegSaveKeyW and loaded under HKEY_USERS with
// RegLoadKeyW, as the system loads a logged-on user's NTUSER.DAT.
struct LoadedHive {
    std::wstring tag, name, file;
    HKEY key = nullptr;
    explicit LoadedHive(int number)
        : tag(std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(number)),
          name(L"S-1-5-21-7000-" + tag), file(ScratchDirectory() + L"user-" + tag + L".hive") {
        EnableHivePrivileges();
        const std::wstring seed = L"Software\\CvTestSeed-" + tag;
        HKEY seedKey = nullptr;
        if (RegCreateKeyW(HKEY_CURRENT_USER, seed.c_str(), &seedKey) != ERROR_SUCCESS) return;
        DeleteFileW(file.c_str());
        const LONG saved = RegSaveKeyW(seedKey, file.c_str(), nullptr);
        RegCloseKey(seedKey);
        RegDeleteKeyW(HKEY_CURRENT_USER, seed.c_str());
        if (saved == ERROR_SUCCESS && RegLoadKeyW(HKEY_USERS, name.c_str(), file.c_str()) == 0)
            RegOpenKeyExW(HKEY_USERS, name.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    ~LoadedHive() {
        if (key) RegCloseKey(key);
        RegUnLoadKeyW(HKEY_USERS, name.c_str());
        DeleteFileW(file.c_str());
    }
};

// The fixture's current user: HKEY_CURRENT_USER of this process points at a hive of its own.
class EventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        currentUser_ = std::make_unique<LoadedHive>(0);
        ASSERT_TRUE(currentUser_->key) << "RegLoadKeyW of a saved hive failed";
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_->key), ERROR_SUCCESS);
        plugin_.p = PluginDll::Get().CreatePlugin();
        ASSERT_TRUE(plugin_.get());
        counter_ = std::make_unique<ResourceCounter>();
    }
    // The walk over the user hives closes every key it opened.
    void TearDown() override {
        if (counter_) {
            EXPECT_EQ(counter_->Leaks(), "");
            EXPECT_GT(counter_->Opened(Resource::RegistryKey), 0);
        }
        counter_.reset();
        plugin_.reset();
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        currentUser_.reset();
    }

    HKEY user() const { return currentUser_->key; }

    // An event with the description the spooler passes at `level` (1: nothing but the name).
    HRESULT Event(DWORD event, DWORD level, const wchar_t* name,
                  const wchar_t* dataFile = nullptr) {
        DRIVER_INFO_1W info1{const_cast<wchar_t*>(name)};
        DRIVER_INFO_3W info3{3, const_cast<wchar_t*>(name)};
        info3.pDataFile = const_cast<wchar_t*>(dataFile);
        void* info = level == 1 ? static_cast<void*>(&info1) : &info3;
        return plugin_->DriverEvent(event, level, static_cast<BYTE*>(info), 0);
    }

    std::unique_ptr<LoadedHive> currentUser_;
    ComPtr<IPrintOemUI2> plugin_;
    std::unique_ptr<ResourceCounter> counter_;
};

// What the plug-in asked the spooler to delete. Wine's DeletePrintProcessorW succeeds without
// doing anything, so the call is observed at the DLL's import instead.
int processorDeletions = 0;
std::wstring deletedProcessor;
BOOL WINAPI RecordDeletePrintProcessor(LPWSTR server, LPWSTR environment, LPWSTR name) {
    ++processorDeletions;
    deletedProcessor = name ? name : L"(null)";
    return server == nullptr && environment == nullptr;
}

TEST_F(EventsTest, DriverEventsInstallAndRemoveTheStores) {
    ImportHook hook(PluginDll::Get().module, "winspool.drv", "DeletePrintProcessorW",
                    reinterpret_cast<void*>(&RecordDeletePrintProcessor));
    ASSERT_TRUE(hook.installed());
    // Installation brings the built-in watermarks, whichever description names the driver
    // (their fields are proven in the store's tests).
    const wchar_t* one = L"Cv Ev One";
    const wchar_t* three = L"Cv Ev Three";
    EXPECT_EQ(Event(DRIVER_EVENT_INITIALIZE, 1, one), S_OK);
    EXPECT_EQ(Event(DRIVER_EVENT_INITIALIZE, 3, three), S_OK);
    for (const wchar_t* driver : {one, three})
        for (const wchar_t* name : {L"Draft", L"Confidential", L"Username", L"Date and Time"})
            EXPECT_EQ(RegGetValueW(user(), (StorePath(driver) + L"\\Watermarks").c_str(), name,
                                   RRF_RT_REG_BINARY, nullptr, nullptr, nullptr),
                      ERROR_SUCCESS)
                << Narrow(driver) << " " << Narrow(name);

    // What cannot be read is ignored: level 4, no description, another event, no name, and an
    // empty name, which must not be read as the whole plug-in tree ("...\PSPlugIn\").
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 4, three, L"model.ppd"), S_OK);
    EXPECT_EQ(plugin_->DriverEvent(DRIVER_EVENT_DELETE, 3, nullptr, 0), S_OK);
    EXPECT_EQ(Event(7, 3, three, L"model.ppd"), S_OK);
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 3, nullptr), S_OK);
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 3, L"", L"model.ppd"), S_OK);
    EXPECT_TRUE(KeyExists(user(), StorePath(three)));
    EXPECT_EQ(processorDeletions, 0);

    // Other users' hives, and the default user's, which seeds new users and must stay whatever
    // the letter case of its name (Wine names it ".Default").
    const std::wstring users = L"Cv Ev Users " + std::to_wstring(GetCurrentProcessId());
    std::vector<std::unique_ptr<LoadedHive>> others;
    for (int i = 1; i <= 3; ++i) {
        others.push_back(std::make_unique<LoadedHive>(i));
        ASSERT_TRUE(others.back()->key);
        WriteStore(others.back()->key, users);
        WriteStore(others.back()->key, L"Cv Ev Other");
    }
    WriteStore(user(), users);
    HKEY defaultUser = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_USERS, L".Default", 0, KEY_ALL_ACCESS, &defaultUser),
              ERROR_SUCCESS);
    WriteStore(defaultUser, users);
    RegCloseKey(defaultUser);
    const std::wstring seeded = L".DEFAULT\\" + StorePath(users);
    ASSERT_TRUE(KeyExists(HKEY_USERS, seeded));

    // Each removal takes its own store (with what lies below it) and leaves the rest; the print
    // processor goes only with a data file, which a level-1 description cannot name.
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 1, one), S_OK);
    EXPECT_FALSE(KeyExists(user(), StorePath(one)));
    EXPECT_TRUE(KeyExists(user(), StorePath(three) + L"\\Watermarks"));
    EXPECT_EQ(processorDeletions, 0);
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 3, three, L"model.ppd"), S_OK);
    EXPECT_FALSE(KeyExists(user(), StorePath(three)));
    EXPECT_EQ(processorDeletions, 1);
    EXPECT_EQ(Event(DRIVER_EVENT_DELETE, 1, users.c_str()), S_OK);
    EXPECT_FALSE(KeyExists(user(), StorePath(users)));
    EXPECT_EQ(deletedProcessor, L"cvprtprc");
    for (const auto& hive : others) {
        EXPECT_FALSE(KeyExists(hive->key, StorePath(users)));
        EXPECT_TRUE(KeyExists(hive->key, StorePath(L"Cv Ev Other"))) << "only this driver's goes";
    }
    EXPECT_TRUE(KeyExists(HKEY_USERS, seeded + L"\\WaterMarks\\Draft"));
    RegDeleteTreeW(HKEY_USERS, seeded.c_str());
    RegDeleteKeyW(HKEY_USERS, seeded.c_str());

    // The company keys go with the last store, unless another product of the company keeps
    // "Software\Corvane".
    EXPECT_FALSE(KeyExists(user(), kRoot));
    EXPECT_FALSE(KeyExists(user(), L"Software\\Corvane"));
    EXPECT_TRUE(KeyExists(user(), L"Software")) << "only the plug-in's keys go";
    WriteStore(user(), L"Cv Ev Again");
    ASSERT_EQ(RegSetKeyValueW(user(), L"Software\\Corvane\\Scanner", nullptr, REG_SZ, L"", 2),
              ERROR_SUCCESS);
    Event(DRIVER_EVENT_DELETE, 1, L"Cv Ev Again");
    EXPECT_FALSE(KeyExists(user(), kRoot));
    EXPECT_TRUE(KeyExists(user(), L"Software\\Corvane\\Scanner"));
}

BOOL WINAPI RefusingGetPrinter(HANDLE, DWORD, LPBYTE, DWORD, LPDWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(PrinterEvent, InitializeAssignsProcessorOnlyWithDataFileAndFailsForUnknownPrinters) {
    ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
    ASSERT_TRUE(plugin.get());
    ResourceCounter counter;

    TestPrinter withData(L"Ev Proc Data");
    ASSERT_TRUE(withData.ok()) << withData.error;
    ASSERT_EQ(cvhost::PrintProcessorOf(withData.printerName), L"winprint");
    EXPECT_EQ(plugin->PrinterEvent(&withData.printerName[0], PRINTER_EVENT_INITIALIZE, 0, 0), S_OK);
    // Wine's SetPrinterW stores a processor that is not installed (Windows would refuse it), so
    // the assignment is visible although "cvprtprc" does not exist here.
    EXPECT_EQ(cvhost::PrintProcessorOf(withData.printerName), L"cvprtprc");

    TestPrinterOptions noData;
    noData.withDataFile = false;
    TestPrinter withoutData(L"Ev Proc NoData", noData);
    ASSERT_TRUE(withoutData.ok()) << withoutData.error;
    EXPECT_EQ(plugin->PrinterEvent(&withoutData.printerName[0], PRINTER_EVENT_INITIALIZE, 0, 0),
              S_OK);
    EXPECT_EQ(cvhost::PrintProcessorOf(withoutData.printerName), L"winprint")
        << "a printer must keep a processor it can print with";
    {
        // Settings that cannot be read are a failure, and the printer is still closed.
        ImportHook refuse(PluginDll::Get().module, "winspool.drv", "GetPrinterW",
                          reinterpret_cast<void*>(&RefusingGetPrinter));
        ASSERT_TRUE(refuse.installed());
        EXPECT_EQ(plugin->PrinterEvent(&withData.printerName[0], PRINTER_EVENT_INITIALIZE, 0, 0),
                  E_FAIL);
    }
    // An unknown printer fails only when initialised: other events never open the printer.
    wchar_t unknown[] = L"Cv Ev No Such Printer";
    EXPECT_EQ(plugin->PrinterEvent(unknown, PRINTER_EVENT_INITIALIZE, 0, 0), E_FAIL);
    EXPECT_EQ(plugin->PrinterEvent(nullptr, PRINTER_EVENT_INITIALIZE, 0, 0), E_FAIL);
    EXPECT_EQ(plugin->PrinterEvent(unknown, PRINTER_EVENT_ADD_CONNECTION, 0, 0), S_OK);
    EXPECT_EQ(counter.Opened(Resource::Printer), 3);
    EXPECT_EQ(counter.Leaks(), "");
}

} // namespace
