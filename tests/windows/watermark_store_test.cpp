// The watermark store against Wine's real registry, for a real printer of the spooler.
#include "core/module.h"
#include "support.h"
#include "ui/bounded_string.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "ui_driver.h"
#include "core/driver_key.h"
#include "core/subsystems.h"
#include "watermark/watermark_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

std::u16string U16(const char16_t* text, size_t capacity) {
    return std::u16string(text, cv::BoundedLength(text, capacity));
}

// Raw registry access for setting up and checking what the store sees.
void Set(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
         DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(root, path.c_str(), name, type, data, size), ERROR_SUCCESS);
}
void SetDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD value) {
    Set(root, path, name, REG_DWORD, &value, 4);
}
using Value = std::pair<DWORD, std::vector<BYTE>>;
// Type and bytes of a value; type REG_NONE with no bytes when it is missing.
Value Get(const std::wstring& path, const wchar_t* name) {
    std::vector<BYTE> data(8192);
    DWORD type = REG_NONE, size = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     data.data(), &size) != ERROR_SUCCESS)
        return {REG_NONE, {}};
    data.resize(size);
    return {type, data};
}
// The names of a key's values, sorted; {"(no key)"} when there is no key.
std::vector<std::wstring> Values(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {L"(no key)"};
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0, n = 256; RegEnumValueW(key, i, name, &n, 0, 0, 0, 0) == 0; ++i, n = 256)
        names.push_back(name);
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}
Value Binary(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return {REG_BINARY, std::vector<BYTE>(bytes, bytes + size)};
}

WatermarkSettings Sample(const char16_t* name) {
    WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    std::memcpy(wm.name, name, std::char_traits<char16_t>::length(name) * 2);
    std::memcpy(wm.text, u"SAMPLE", 12);
    wm.angle = -30.0;
    wm.color = 0x1191EE;
    wm.pointSize = 40;
    wm.horizontalOffset = -2.5;
    return wm;
}

struct WatermarkStore : ::testing::Test {
    RegistryPrinter printer{TestTag().c_str()};
    HANDLE h = printer.handle();
    // The store runs here from the linked shell; the migration from the DLL behind DevMode.
    ResourceCounter counter{PluginDll::Get().module, ResourceCounter::Program()};

    // Each test its own driver, so that no two share a registry key.
    static std::wstring TestTag() {
        const char* n = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return L"store " + std::wstring(n, n + std::strlen(n));
    }
    void SetUp() override {
        ASSERT_TRUE(h);
        // The store loads its default texts from the plug-in module's string table.
        cv::moduleInstance = PluginDll::Get().module;
        ASSERT_TRUE(cv::moduleInstance);
    }
    // Every operation closes what it opened, whichever way it ended.
    void TearDown() override {
        EXPECT_EQ(counter.Leaks(), "");
        EXPECT_GT(counter.Opened(Resource::RegistryKey), 0);
    }
    std::wstring WatermarksPath() const { return printer.driverKeyPath() + L"\\Watermarks"; }
    void SetMark(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        Set(HKEY_CURRENT_USER, WatermarksPath(), name, type, data, size);
    }
    void SetCount(DWORD type, const void* data) {
        Set(HKEY_CURRENT_USER, printer.driverKeyPath(), L"NumberOfWaterMarks", type, data, 4);
    }
};

// What the registry hands the store: a binary value of 1 to 704 bytes, repaired (decoding the
// record is proven natively); nothing else reads as a watermark.
TEST_F(WatermarkStore, ReadsBinaryValuesUpToARecordOnly) {
    WatermarkSettings full = Sample(u"Full");
    full.angle = 500.0;
    SetMark(L"Empty", REG_BINARY, &full, 0);
    SetMark(L"Partial", REG_BINARY, &full, 600);
    SetMark(L"Full", REG_BINARY, &full, 704);
    const std::vector<BYTE> tooLong(705, 1);
    SetMark(L"TooLong", REG_BINARY, tooLong.data(), 705);
    SetMark(L"WrongType", REG_SZ, &full, 704);

    WatermarkSettings wm{};
    for (const wchar_t* refused : {L"Empty", L"TooLong", L"WrongType", L"Missing"})
        EXPECT_FALSE(cv::ReadWatermark(h, refused, &wm)) << refused;
    EXPECT_FALSE(cv::WatermarkExists(h, L"WrongType"));
    EXPECT_TRUE(cv::WatermarkExists(h, L"Partial"));
    EXPECT_FALSE(cv::ReadWatermark(h, nullptr, &wm) || cv::SaveWatermark(h, nullptr) ||
                 cv::DeleteWatermark(h, nullptr) || cv::FillWatermarkList(h, nullptr));
    ASSERT_TRUE(cv::ReadWatermark(h, L"Partial", &wm));
    EXPECT_EQ(wm.pointSize, 72u) << "beyond the stored bytes, the defaults";
    ASSERT_TRUE(cv::ReadWatermark(h, L"Full", &wm));
    full.angle = 0.0;
    EXPECT_EQ(std::memcmp(&wm, &full, 704), 0);
}

// Each operation in turn, and what it leaves: the count the store reads, the values in the
// registry, and the list filled from them. The count follows what was added or removed.
TEST_F(WatermarkStore, OperationsAndWhatTheyLeave) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, 0, 0, 0, 0);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_HASSTRINGS | WS_HSCROLL, 0, 0,
                                200, 100, parent, reinterpret_cast<HMENU>(1), nullptr, nullptr);
    ASSERT_TRUE(list);
    EXPECT_EQ(cv::CountWatermarks(h), 0u);
    EXPECT_FALSE(cv::FillWatermarkList(h, list)) << "no key";
    const auto expect = [&](uint32_t count, const std::vector<std::wstring>& values) {
        EXPECT_EQ(cv::ReadWatermarkCount(h), count);
        EXPECT_EQ(Values(WatermarksPath()), values);
        EXPECT_EQ(cv::CountWatermarks(h), values.size());
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        EXPECT_TRUE(cv::FillWatermarkList(h, list));
        EXPECT_EQ(ListEntries(parent, 1), values);
    };
    HKEY made = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, WatermarksPath().c_str(), &made), ERROR_SUCCESS);
    RegCloseKey(made);
    expect(0, {});

    WatermarkSettings alpha = Sample(u"Alpha"), beta = Sample(u"Beta"), unnamed = Sample(u"");
    for (uint32_t pointSize : {40, 12}) {
        alpha.pointSize = pointSize;
        ASSERT_TRUE(cv::SaveWatermark(h, &alpha));
        EXPECT_EQ(Get(WatermarksPath(), L"Alpha"), Binary(&alpha, 704));
        expect(1, {L"Alpha"});
    }
    // A damaged value of the same name is replaced, not added.
    SetMark(L"Beta", REG_SZ, L"x", 4);
    const DWORD two = 2, zero = 0;
    SetCount(REG_DWORD, &two);
    ASSERT_TRUE(cv::SaveWatermark(h, &beta));
    expect(2, {L"Alpha", L"Beta"});
    EXPECT_TRUE(cv::DeleteWatermark(h, L"Alpha"));
    EXPECT_FALSE(cv::DeleteWatermark(h, L"Alpha"));
    EXPECT_FALSE(cv::SaveWatermark(h, &unnamed));
    expect(1, {L"Beta"});
    // Deleting never takes the count below 0; a count of the wrong type reads as 0.
    SetCount(REG_DWORD, &zero);
    ASSERT_TRUE(cv::DeleteWatermark(h, L"Beta"));
    expect(0, {});
    SetCount(REG_SZ, L"7");
    EXPECT_EQ(cv::ReadWatermarkCount(h), 0u);

    // A name longer than any record's is counted, but not listed; the list scrolls to the end of
    // the longest listed name.
    SetMark(L"A somewhat longer name", REG_BINARY, &beta, 704);
    SetMark(std::wstring(200, L'L').c_str(), REG_BINARY, &beta, 704);
    EXPECT_EQ(cv::CountWatermarks(h), 2u);
    EXPECT_TRUE(cv::FillWatermarkList(h, list));
    EXPECT_EQ(ListEntries(parent, 1), std::vector<std::wstring>{L"A somewhat longer name"});
    EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 22);
    DestroyWindow(parent);
}

// The four built-in watermarks, by the fields that set them apart from a reset record (proven
// natively), and a second install that adds nothing.
TEST_F(WatermarkStore, DefaultsInstallTwiceWithoutAddingOrCounting) {
    const struct {
        const wchar_t* name;
        const char16_t* text;
        double angle;
        uint32_t color, pointSize, position, isDynamic;
    } defaults[] = {
        {L"Draft", u"DRAFT", 45.0, 0xCDCDCD, 72, cv::Center, 0},
        {L"Confidential", u"CONFIDENTIAL", 45.0, 0xCDCDCD, 72, cv::Center, 0},
        {L"Username", u"User:  %Username%", 0.0, 0, 8, cv::TopLeft, 1},
        {L"Date and Time", u"%Time% %DateLong%", 0.0, 0, 8, cv::TopRight, 1},
    };
    const std::wstring driver = printer.driverName();
    ASSERT_TRUE(cv::InstallDefaultWatermarks(driver.c_str()));
    SetMark(L"Draft", REG_BINARY, "x", 1);
    ASSERT_TRUE(cv::InstallDefaultWatermarks(driver.c_str()));
    EXPECT_EQ(
        Values(WatermarksPath()),
        (std::vector<std::wstring>{L"Confidential", L"Date and Time", L"Draft", L"Username"}));
    for (const auto& d : defaults) {
        SCOPED_TRACE(Narrow(d.name));
        EXPECT_EQ(Get(WatermarksPath(), d.name).second.size(), 704u);
        WatermarkSettings wm{};
        ASSERT_TRUE(cv::ReadWatermark(h, d.name, &wm));
        EXPECT_EQ(std::tie(wm.angle, wm.color, wm.pointSize, wm.position, wm.isDynamic),
                  std::tie(d.angle, d.color, d.pointSize, d.position, d.isDynamic));
        EXPECT_EQ(U16(wm.name, 128) + u"|" + U16(wm.text, 128) + u"|" + U16(wm.faceName, 64),
                  std::u16string(d.name, d.name + wcslen(d.name)) + u"|" + d.text + u"|Arial");
    }
    EXPECT_EQ(Get(printer.driverKeyPath(), L"NumberOfWaterMarks").first, DWORD(REG_NONE));
    WatermarkSettings wm{};
    EXPECT_FALSE(cv::MakeDefaultWatermark(4, &wm));
    EXPECT_FALSE(cv::InstallDefaultWatermarks(L""));
}

// The migration runs at the start of every DevMode call of the plug-in object.
struct Migration : WatermarkStore {
    HRESULT CallDevMode() {
        ComPtr<IPrintOemUI2> plugin(PluginDll::Get().CreatePlugin());
        OEMDMPARAM param{};
        param.cbSize = sizeof param;
        param.hPrinter = h;
        return plugin.get() ? plugin->DevMode(OEMDM_SIZE, &param) : E_FAIL;
    }
    std::wstring DefaultPath() const { return L".DEFAULT\\" + printer.driverKeyPath(); }
};

// From nothing to copy to the whole tree, for a user who has no settings yet.
TEST_F(Migration, CopiesTheDefaultUsersTreeOnceWithEveryValueAsItIs) {
    const std::wstring driver = printer.driverKeyPath();
    EXPECT_FALSE(cv::MigrateDefaultUserSettings(h));
    ASSERT_EQ(CallDevMode(), S_OK);
    EXPECT_EQ(Values(driver), std::vector<std::wstring>{L"(no key)"});
    EXPECT_FALSE(cv::MigrateDefaultUserSettings(nullptr));
    // A tree holding only the unnamed value has nothing to copy: the user's key is made, empty.
    Set(HKEY_USERS, DefaultPath(), L"", REG_SZ, L"x", 4);
    EXPECT_FALSE(cv::MigrateDefaultUserSettings(h));
    EXPECT_EQ(Values(driver), std::vector<std::wstring>{});
    // The smallest tree: one value with a one-letter name and no watermarks; the count written
    // is 0.
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, driver.c_str()), ERROR_SUCCESS);
    SetDword(HKEY_USERS, DefaultPath(), L"A", 5);
    EXPECT_TRUE(cv::MigrateDefaultUserSettings(h));
    EXPECT_EQ(Get(driver, L"A").first, DWORD(REG_DWORD));
    EXPECT_EQ(Values(WatermarksPath()), std::vector<std::wstring>{L"(no key)"});
    EXPECT_EQ(Get(driver, L"NumberOfWaterMarks"), (Value{REG_DWORD, {0, 0, 0, 0}}));

    // The whole tree, through DevMode: every value with its type and size, watermarks or not.
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, driver.c_str()), ERROR_SUCCESS);
    RegDeleteKeyW(HKEY_CURRENT_USER, driver.c_str());
    std::vector<BYTE> fax(4748, 0x5A);
    WatermarkSettings wm = Sample(u"Seeded");
    Set(HKEY_USERS, DefaultPath(), L"LastUserName", REG_SZ, L"jane", 10);
    Set(HKEY_USERS, DefaultPath(), L"FaxInfo", REG_BINARY, fax.data(), 4748);
    SetDword(HKEY_USERS, DefaultPath(), L"NumberOfWaterMarks", 9);
    const std::wstring marks = DefaultPath() + L"\\Watermarks";
    Set(HKEY_USERS, marks, L"Seeded", REG_BINARY, &wm, 704);
    Set(HKEY_USERS, marks, L"Short", REG_BINARY, &wm, 600);
    SetDword(HKEY_USERS, marks, L"Odd", 1);
    SetDword(HKEY_USERS, DefaultPath() + L"\\Profiles\\Mine", L"x", 1);
    ASSERT_EQ(CallDevMode(), S_OK);
    EXPECT_EQ(Get(driver, L"LastUserName"),
              (Value{REG_SZ, {'j', 0, 'a', 0, 'n', 0, 'e', 0, 0, 0}}));
    EXPECT_EQ(Get(driver, L"FaxInfo"), Binary(fax.data(), fax.size()));
    EXPECT_EQ(cv::ReadWatermarkCount(h), 3u);
    EXPECT_EQ(Values(WatermarksPath()), (std::vector<std::wstring>{L"Odd", L"Seeded", L"Short"}));
    EXPECT_EQ(Get(WatermarksPath(), L"Short").second.size(), 600u);
    EXPECT_EQ(Get(WatermarksPath(), L"Odd").first, DWORD(REG_DWORD));
    EXPECT_EQ(Values(driver + L"\\Profiles"), std::vector<std::wstring>{L"(no key)"});

    // A user who has settings is never touched again.
    Set(HKEY_USERS, DefaultPath(), L"LastUserName", REG_SZ, L"bob", 8);
    ASSERT_EQ(CallDevMode(), S_OK);
    EXPECT_EQ(Get(driver, L"LastUserName").second.size(), 10u);
    EXPECT_FALSE(cv::MigrateDefaultUserSettings(h));
}

} // namespace
