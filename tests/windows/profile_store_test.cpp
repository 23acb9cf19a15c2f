// The profile store against Wine's real registry for a real printer, with driver items made here
// (an edit item among them, which the host's tree does not have): what it writes, what it takes
// from values it did not write, and that looking a profile up creates nothing.
#include "core/module.h"
#include "core/sheet_context.h"
#include "host/core_ui.h"
#include "import_hook.h"
#include "printer_fixture.h"
#include "profiles/profile_store.h"
#include "resource_counter.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace cvtest;

namespace {

struct ProfileStore : ::testing::Test {
    RegistryPrinter printer{L"profiles"};
    HANDLE h = printer.handle();
    ResourceCounter counter{PluginDll::Get().module, ResourceCounter::Program()};
    cvhost::CoreUIPtr coreUI;
    cv::PluginDevmode job{};
    OEMUIPSPARAM param{};
    std::unique_ptr<cv::SheetContext> ctx{new cv::SheetContext{}};

    // The driver's items: orientation (two states), pages per sheet (a list of 8), a number of
    // -5 to 5 named by a string number, and an edit item with a buffer of 8 units.
    wchar_t note[8] = L"Hello";
    OPTTYPE types[4]{};
    OPTPARAM params[4][2]{};
    OPTITEM items[4]{};

    void SetUp() override {
        ASSERT_TRUE(h);
        cv::moduleInstance = PluginDll::Get().module;
        auto model = std::make_shared<cvhost::PrinterModel>();
        std::string error;
        ASSERT_TRUE(cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Store\"\n", model.get(),
                                     &error));
        coreUI.reset(cvhost::HostCoreUI::Create(model));
        cv::defaultPluginDevmode(&job);
        param.cbSize = sizeof param;
        param.poemuiobj = coreUI->UIObject();
        param.hPrinter = h;
        param.pOEMDM = &job;
        ctx->uiParam = &param;
        cv::defaultPluginDevmode(&ctx->dm);
        const struct {
            BYTE type;
            WORD count;
            BYTE dmPubId;
            LPWSTR name;
        } made[] = {{TVOT_2STATES, 2, DMPUB_ORIENTATION, const_cast<LPWSTR>(L"Orientation")},
                    {TVOT_LISTBOX, 8, DMPUB_NUP, const_cast<LPWSTR>(L"Pages per Sheet")},
                    {TVOT_UDARROW, 2, 0, MAKEINTRESOURCEW(3120)},
                    {TVOT_EDITBOX, 2, 0, const_cast<LPWSTR>(L"Note")}};
        for (size_t i = 0; i < 4; ++i) {
            types[i].cbSize = sizeof(OPTTYPE);
            types[i].Type = made[i].type;
            types[i].Count = made[i].count;
            types[i].pOptParam = params[i];
            items[i].cbSize = sizeof(OPTITEM);
            items[i].pOptType = &types[i];
            items[i].DMPubID = made[i].dmPubId;
            items[i].pName = made[i].name;
        }
        params[2][1].IconID = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(-5));
        params[2][1].lParam = 5;
        params[3][1].IconID = sizeof note;
        items[3].pSel = note;
        ctx->tree.drvOptItems = items;
        ctx->tree.drvOptItemCount = 4;
    }
    void TearDown() override {
        EXPECT_EQ(counter.Leaks(), "");
        EXPECT_GT(counter.Opened(Resource::RegistryKey), 0);
    }
    std::wstring Path(const wchar_t* profile) const {
        return printer.driverKeyPath() + L"\\Profiles\\" + profile;
    }
    void Set(const wchar_t* profile, const wchar_t* name, DWORD type, const void* data,
             DWORD size) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Path(profile).c_str(), name, type, data, size),
                  ERROR_SUCCESS);
    }
    void SetDword(const wchar_t* profile, const wchar_t* name, DWORD value) {
        Set(profile, name, REG_DWORD, &value, 4);
    }
    int ValueCount(const std::wstring& path) const {
        HKEY key = nullptr;
        DWORD count = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key)) return -1;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return static_cast<int>(count);
    }
    bool KeyExists(const std::wstring& path) const { return ValueCount(path) >= 0; }
};

} // namespace

namespace {
LONG enumAnswer = ERROR_SUCCESS; // what RegEnumValueW answers from the third value on
void* originalEnum = nullptr;
LSTATUS WINAPI AnsweringEnum(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength,
                             LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (index >= 2 && enumAnswer != ERROR_SUCCESS) return enumAnswer;
    return reinterpret_cast<decltype(&RegEnumValueW)>(originalEnum)(key, index, name, nameLength,
                                                                    reserved, type, data, size);
}
} // namespace

// A save writes each item over what an earlier one left, a load takes it back; a value
// enumeration that answers anything but its end stops the load before it changes anything, and
// one that never ends is ended.
TEST_F(ProfileStore, SavesEachItemLoadsItBackAndAnEnumerationThatGoesWrongLoadsNothing) {
    items[0].Sel = 1;
    items[1].Sel = 7;
    items[2].Sel = -3;
    ctx->dm.contrast = 4;
    // Saved by a driver without the edit item, then by one with it over that and a value an
    // earlier release left, in other letters: what it did not write goes, as the page's Change
    // once removed the whole profile first.
    ASSERT_TRUE(cv::SaveProfile(items, 3, L"report", h, ctx.get()));
    SetDword(L"Report", L"Gone Feature", 1);
    ASSERT_TRUE(cv::SaveProfile(items, 4, L"Report", h, ctx.get()));
    // "7", orientation ("1"), pages per sheet ("16"), "3120", "Note", "CustomDevData".
    EXPECT_EQ(ValueCount(Path(L"Report")), 6);

    // Loading it back into changed items.
    items[0].Sel = 0;
    items[1].Sel = 0;
    std::memcpy(note, L"xx", 6);
    ctx->dm.contrast = 0;
    const size_t before = coreUI->Updates().size();
    ASSERT_TRUE(cv::LoadProfile(ctx.get(), L"Report", h));
    EXPECT_EQ(items[0].Sel, 1);
    EXPECT_EQ(items[1].Sel, 7);
    EXPECT_STREQ(note, L"Hello");
    EXPECT_EQ(ctx->dm.contrast, 4);
    EXPECT_TRUE(items[3].Flags & OPTIF_CHANGED);
    EXPECT_EQ(coreUI->Updates().size() - before, 4u) << "orientation, pages per sheet, 3120, Note";
    EXPECT_TRUE(cv::ProfileMatchesSettings(L"Report", h, ctx.get()));

    items[0].Sel = 0;
    ctx->dm.contrast = 0;
    ImportHook hook(ResourceCounter::Program(), nullptr, "RegEnumValueW",
                    reinterpret_cast<void*>(&AnsweringEnum));
    ASSERT_TRUE(hook.installed());
    originalEnum = hook.original();
    for (LONG answer : {LONG(ERROR_INVALID_DATA), LONG(ERROR_MORE_DATA)}) {
        enumAnswer = answer;
        EXPECT_FALSE(cv::LoadProfile(ctx.get(), L"Report", h)) << answer;
        EXPECT_FALSE(cv::ProfileMatchesSettings(L"Report", h, ctx.get())) << answer;
        EXPECT_EQ(items[0].Sel, 0);
        EXPECT_EQ(ctx->dm.contrast, 0);
    }
}

// Look-ups create nothing; names are the registry's, without regard to letter case; values the
// store did not write, and more of them, longer, than it reads, are each taken only as the item
// it finds can hold them (the rule table covers every kind); the rest are passed over.
TEST_F(ProfileStore, LookUpsCreateNothingAndStoredValuesAreTakenOnlyAsTheItemsCanHoldThem) {
    EXPECT_FALSE(cv::FactoryProfileExists(h));
    EXPECT_FALSE(cv::ProfileMatchesSettings(L"Missing", h, ctx.get()));
    EXPECT_FALSE(cv::LoadProfile(ctx.get(), L"Missing", h));
    EXPECT_TRUE(cv::ProfileNameIsFree(L"Missing", h));
    EXPECT_FALSE(cv::RenameProfile(L"Missing", L"Found", h));
    EXPECT_FALSE(KeyExists(printer.driverKeyPath())) << "not even the driver key";

    for (const std::wstring& bad : {std::wstring(), std::wstring(L"a\\b"), std::wstring(128, L'x')})
        EXPECT_FALSE(cv::SaveProfile(items, 4, bad.c_str(), h, ctx.get()));
    EXPECT_FALSE(cv::SaveProfile(items, 4, L"Fine", h, nullptr));
    EXPECT_FALSE(KeyExists(printer.driverKeyPath() + L"\\Profiles\\a"));
    ASSERT_TRUE(cv::SaveProfile(items, 4, std::wstring(127, L'x').c_str(), h, ctx.get()));

    // Names that differ only in letter case are one profile.
    ASSERT_TRUE(cv::SaveProfile(items, 4, L"Brochure", h, ctx.get()));
    ASSERT_TRUE(cv::SaveProfile(items, 4, L"Other", h, ctx.get()));
    EXPECT_FALSE(cv::RenameProfile(L"Brochure", L"BROCHURE", h));
    EXPECT_FALSE(cv::RenameProfile(L"Brochure", L"OTHER", h)) << "never into another profile";
    EXPECT_EQ(ValueCount(Path(L"Brochure")), 6);
    EXPECT_EQ(ValueCount(Path(L"Other")), 6);
    ASSERT_TRUE(cv::RenameProfile(L"Brochure", L"Leaflet", h));
    EXPECT_EQ(ValueCount(Path(L"Leaflet")), 6);
    EXPECT_TRUE(cv::DeleteProfile(L"LEAFLET", h));
    EXPECT_TRUE(cv::DeleteProfile(L"Leaflet", h)) << "a profile already gone is no failure";

    SetDword(L"Odd", L"16", 99); // pages per sheet: 8 entries
    SetDword(L"Odd", L"3120", static_cast<DWORD>(-5));
    const wchar_t longNote[] = L"A very long note";
    Set(L"Odd", L"Note", REG_SZ, longNote, sizeof longNote);
    // An image of an older release: 3000 bytes of ours; the rest comes from the defaults.
    cv::PluginDevmode old = job;
    old.dwSize = 3000;
    old.outputTo = 4;
    old.brightness = 5;
    Set(L"Odd", L"CustomDevData", REG_BINARY, &old, 3000);
    for (int i = 0; i < 3000; ++i)
        SetDword(L"Odd", (L"Unknown " + std::to_wstring(i)).c_str(), 1);
    const std::wstring longName(300, L'n');
    SetDword(L"Odd", longName.c_str(), 2);
    const std::vector<BYTE> huge(3u << 20, 0x55);
    Set(L"Odd", L"Huge", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size()));
    ctx->dm.contrast = 3;

    ASSERT_TRUE(cv::LoadProfile(ctx.get(), L"Odd", h));
    EXPECT_EQ(items[1].Sel, 0);
    EXPECT_EQ(items[2].Sel, -5);
    EXPECT_STREQ(note, L"A very ") << "cut to the item's 8 units";
    EXPECT_EQ(ctx->dm.outputTo, 4u);
    EXPECT_EQ(ctx->dm.brightness, 0) << "past the older image: the default";
    EXPECT_EQ(ctx->dm.contrast, 0);
    EXPECT_TRUE(cv::ProfileMatchesSettings(L"Odd", h, ctx.get()))
        << "what the load left out cannot differ";
    // An edit item without its size parameter holds only what its text already holds.
    types[3].Count = 1;
    std::memcpy(note, L"Hi", 6);
    ASSERT_TRUE(cv::LoadProfile(ctx.get(), L"Odd", h));
    EXPECT_STREQ(note, L"A ");
    types[3].Count = 2;

    // A copy cannot leave a value behind: the rename is refused and the profile stays whole.
    const int values = ValueCount(Path(L"Odd"));
    EXPECT_FALSE(cv::RenameProfile(L"Odd", L"Even", h));
    EXPECT_FALSE(KeyExists(Path(L"Even")));
    EXPECT_EQ(ValueCount(Path(L"Odd")), values);
}
