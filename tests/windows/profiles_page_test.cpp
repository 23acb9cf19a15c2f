// The Profiles page and its name dialog through the real document sheet of the stand-in host:
// what the user sees on the page, in the dialog and in the message boxes, what lands in the
// registry, and what a load does to the other pages, the host's tree and the driver's items.
#include "import_hook.h"
#include "output/output_resource.h"
#include "printer_fixture.h"
#include "profiles/profiles_resource.h"
#include "resource_counter.h"
#include "support.h"
#include "tree_driver.h"
#include "ui/bounded_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace cvtest;
using cv::PluginDevmode;

namespace {

const wchar_t kProfiles[] = L"Profiles";
const wchar_t kFactory[] = L"Factory Defaults";
const wchar_t kUnknown[] = L"<Unknown Profile>";
const wchar_t kCaption[] = L"Personal Profiles";
const int kEntryButtons[] = {IDC_PROFILE_LOAD, IDC_PROFILE_CHANGE, IDC_PROFILE_RENAME,
                             IDC_PROFILE_DELETE};

// Duplex (the driver's DMPUB_DUPLEX item, stored as "7"), both groups of the plug-in's tree
// items, and held jobs (the Output Options page).
std::string Model() {
    std::string ppd = PpdFeature("Duplex", {"None", "DuplexNoTumble", "DuplexTumble"});
    for (const char* k : {"HasManualColorCorrection", "HasNewPrintQuality", "HasPrintandHold"})
        ppd += PpdFeature(k, {"True", "False"});
    return ppd;
}

std::wstring Text(const char16_t* units, size_t capacity) {
    return std::wstring(reinterpret_cast<const wchar_t*>(units),
                        cv::BoundedLength(units, capacity));
}

bool Same(const PluginDevmode& a, const PluginDevmode& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::wstring Display(HWND page) {
    return WindowText(GetDlgItem(page, IDC_PROFILE_CURRENT));
}
int Selection(HWND page) {
    return static_cast<int>(SendDlgItemMessageW(page, IDC_PROFILE_LIST, LB_GETCURSEL, 0, 0));
}
// Save, then the four buttons of a list entry, then Load Factory Defaults.
std::vector<bool> Buttons(HWND page) {
    std::vector<bool> on{IsEnabled(page, IDC_PROFILE_SAVE)};
    for (int id : kEntryButtons)
        on.push_back(IsEnabled(page, id));
    on.push_back(IsEnabled(page, IDC_PROFILE_FACTORY));
    return on;
}
const std::vector<bool> kOnlySave{true, false, false, false, false, false};
const std::vector<bool> kEntryOff{true, false, false, false, false, true}; // entry is the display
const std::vector<bool> kAllOn{true, true, true, true, true, true};

class Profiles {
  public:
    explicit Profiles(const std::wstring& printerName)
        : path_(L"Software\\Corvane\\PSPlugIn\\" + printerName + L"\\Profiles") {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Corvane\\PSPlugIn\\" + printerName).c_str());
    }
    std::wstring Path(const std::wstring& profile) const { return path_ + L"\\" + profile; }
    bool Exists(const std::wstring& profile) const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Path(profile).c_str(), 0, KEY_READ, &key))
            return false;
        RegCloseKey(key);
        return true;
    }
    // A DWORD value; -1000 when it is missing or of another kind.
    long Dword(const std::wstring& profile, const wchar_t* name) const {
        DWORD value = 0, size = 4, type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, Path(profile).c_str(), name, RRF_RT_ANY, &type, &value,
                         &size) ||
            type != REG_DWORD)
            return -1000;
        return static_cast<long>(value);
    }
    // The stored devmode; all zero when it is missing or not whole.
    PluginDevmode Image(const std::wstring& profile) const {
        PluginDevmode dm;
        std::memset(&dm, 0, sizeof dm);
        DWORD size = sizeof dm;
        if (RegGetValueW(HKEY_CURRENT_USER, Path(profile).c_str(), L"CustomDevData",
                         RRF_RT_REG_BINARY, nullptr, &dm, &size) ||
            size != sizeof dm)
            std::memset(&dm, 0, sizeof dm);
        return dm;
    }

  private:
    std::wstring path_;
};

void TypeName(HWND dialog, const std::wstring& text) {
    SendDlgItemMessageW(dialog, IDC_PROFILE_NAME, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(text.c_str()));
}

// A run of the name dialog: each of `names` typed in turn and OK pressed; the message box that a
// refused name raises is answered with OK before the next one is typed; the last name is taken.
// `ok` records whether OK was enabled: as the dialog came up, after a blank name, after each name.
struct NameRun {
    HWND dialog = nullptr;
    std::vector<bool> ok;
    void Queue(DialogScript& script, const std::vector<std::wstring>& names) {
        script.Then([this, names](HWND d) {
            dialog = d;
            ok.push_back(IsEnabled(d, IDOK));
            TypeName(d, L"  \t");
            ok.push_back(IsEnabled(d, IDOK));
            TypeName(d, names[0]);
            ok.push_back(IsEnabled(d, IDOK));
            DialogScript::PressButton(d, IDOK);
        });
        for (size_t i = 1; i < names.size(); ++i)
            script.Then([this, names, i](HWND box) {
                DialogScript::PressButton(box, IDOK);
                TypeName(dialog, names[i]);
                ok.push_back(IsEnabled(dialog, IDOK));
                DialogScript::PressButton(dialog, IDOK);
            });
    }
};

// Saves the settings under `name` through the page's Save and its dialog.
void SaveAs(HWND page, const std::wstring& name) {
    DialogScript script;
    NameRun run;
    run.Queue(script, {name});
    Click(page, IDC_PROFILE_SAVE);
    EXPECT_EQ(script.Seen().size(), 1u) << Narrow(name);
}

// Presses the list entry's button and answers its question.
std::vector<SeenDialog> Answer(HWND page, int button, const std::wstring& entry, int answer) {
    EXPECT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, entry)) << Narrow(entry);
    DialogScript script;
    script.Press(answer);
    Click(page, button);
    return script.Seen();
}

SeenDialog Box(const std::wstring& text, UINT icon = MB_ICONERROR) {
    return SeenDialog{kCaption, text, icon};
}

void ExpectSeen(const std::vector<SeenDialog>& seen, const std::vector<SeenDialog>& expected) {
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].caption, expected[i].caption) << i;
        EXPECT_EQ(seen[i].text, expected[i].text) << i;
        EXPECT_EQ(seen[i].icon, expected[i].icon) << i;
    }
}

// A registry call of the plug-in made to fail through its import table.
int writesLeft = 0; // RegSetValueExW calls that still succeed; below 0: every one does
const wchar_t* undeletable = nullptr; // RegDeleteKeyW of this subkey fails
void* originalSet = nullptr;
void* originalDelete = nullptr;

LSTATUS WINAPI FailingSet(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                          DWORD size) {
    if (writesLeft == 0) return ERROR_ACCESS_DENIED;
    if (writesLeft > 0) --writesLeft;
    return reinterpret_cast<decltype(&RegSetValueExW)>(originalSet)(key, name, reserved, type, data,
                                                                    size);
}
LSTATUS WINAPI FailingDelete(HKEY key, LPCWSTR subKey) {
    if (undeletable && subKey && lstrcmpiW(subKey, undeletable) == 0) return ERROR_ACCESS_DENIED;
    return reinterpret_cast<decltype(&RegDeleteKeyW)>(originalDelete)(key, subKey);
}

} // namespace

// The first opening, saves under the name rules, then Change, Rename and Delete with their
// questions, each again with the registry failing, and Load Factory Defaults.
TEST(ProfilesUi, FirstOpeningSavingChangeRenameDeleteAndFactoryDefaults) {
    ModelPrinter printer(L"Prof First", Model());
    ASSERT_TRUE(printer.ok()) << printer.error;
    Profiles store(printer.printerName);
    ResourceCounter counter;
    {
        SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        TreeDriver tree(sheet); // the tree page, shown first, saved the factory profile
        ASSERT_TRUE(tree.ok());
        EXPECT_EQ(store.Dword(kFactory, L"7"), 0) << "the duplex item on None";
        EXPECT_EQ(store.Image(kFactory).dwSignature, cv::kPluginSignature);

        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        HWND page = sheet.CurrentPage();
        EXPECT_TRUE(ListEntries(page, IDC_PROFILE_LIST).empty());
        EXPECT_EQ(Display(page), kFactory);
        EXPECT_EQ(Buttons(page), kOnlySave);
        EXPECT_FALSE(IsVisible(page, IDC_PROFILE_IMPORT));
        EXPECT_FALSE(IsVisible(page, IDC_PROFILE_EXPORT));

        // Tree changes: the settings are no longer the factory's, and a save takes them.
        ASSERT_TRUE(tree.Choose(L"Duplex", L"DuplexTumble"));
        ASSERT_TRUE(tree.SetNumber(L"Brightness", 3));
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        EXPECT_EQ(Display(page), kUnknown);

        // A refused name says the rule it breaks (the rule table covers each rule).
        DialogScript script;
        NameRun run;
        run.Queue(script, {L"FACTORY DEFAULTS", L"Brochure"});
        Click(page, IDC_PROFILE_SAVE);
        EXPECT_EQ(run.ok, (std::vector<bool>{false, false, true, true}));
        ASSERT_EQ(script.Seen().size(), 2u);
        EXPECT_EQ(script.Seen()[0].caption, L"Save a Personal Profile");
        ExpectSeen({script.Seen()[1]},
                   {Box(L"The name of the profile can not be either \"Factory Defaults\" or "
                        L"\"<Unknown Profile>.\"  Please enter another name.")});
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Brochure"});
        EXPECT_EQ(Display(page), L"Brochure");
        EXPECT_EQ(Selection(page), 0);
        EXPECT_EQ(Buttons(page), kEntryOff);
        EXPECT_EQ(store.Dword(L"Brochure", L"7"), 2);
        EXPECT_EQ(store.Image(L"Brochure").brightness, 3);

        SaveAs(page, L"Alpha");
        SaveAs(page, L"Beta");
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Beta", L"Brochure"}));

        // Change: "No" keeps the profile, "Yes" writes the settings over it.
        ASSERT_TRUE(sheet.SelectPage(0));
        ASSERT_TRUE(tree.SetNumber(L"Brightness", 2));
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        const std::wstring overwrite =
            L"Are you sure that you want to save your current settings into the existing \"Alpha\" "
            L"personal profile?";
        ExpectSeen(Answer(page, IDC_PROFILE_CHANGE, L"Alpha", IDNO),
                   {Box(overwrite, MB_ICONQUESTION)});
        EXPECT_EQ(store.Image(L"Alpha").brightness, 3);
        ExpectSeen(Answer(page, IDC_PROFILE_CHANGE, L"Alpha", IDYES),
                   {Box(overwrite, MB_ICONQUESTION)});
        EXPECT_EQ(store.Image(L"Alpha").brightness, 2);
        EXPECT_EQ(Display(page), L"Alpha");

        // Rename: the old name, in any case, does not enable OK; a name in use is refused, said
        // with the name as typed.
        ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Beta"));
        const PluginDevmode beta = store.Image(L"Beta");
        DialogScript renaming;
        NameRun names;
        std::wstring shown;
        renaming.Then([&](HWND d) {
            shown = WindowText(GetDlgItem(d, IDC_PROFILE_NAME));
            names.ok.push_back(IsEnabled(d, IDOK));
            TypeName(d, L"BETA  ");
            names.ok.push_back(IsEnabled(d, IDOK));
            names.dialog = d;
            TypeName(d, L"alpha");
            names.ok.push_back(IsEnabled(d, IDOK));
            DialogScript::PressButton(d, IDOK);
        });
        renaming.Then([&](HWND box) {
            DialogScript::PressButton(box, IDOK);
            TypeName(names.dialog, L"Gamma");
            DialogScript::PressButton(names.dialog, IDOK);
        });
        Click(page, IDC_PROFILE_RENAME);
        EXPECT_EQ(shown, L"Beta");
        EXPECT_EQ(names.ok, (std::vector<bool>{false, false, true}));
        ASSERT_EQ(renaming.Seen().size(), 2u);
        ExpectSeen(
            {renaming.Seen()[1]},
            {Box(L"\"alpha\" is already being used for another Personal Profile. Please use a "
                 L"new name.")});
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Brochure", L"Gamma"}));
        EXPECT_EQ(Selection(page), 2);
        EXPECT_EQ(Display(page), L"Alpha") << "a rename leaves the display";
        EXPECT_FALSE(store.Exists(L"Beta"));
        EXPECT_TRUE(Same(store.Image(L"Gamma"), beta));
        EXPECT_EQ(store.Dword(L"Gamma", L"7"), 2);

        // Delete: "No" keeps it; "Yes" removes it and the display names no profile.
        const std::wstring remove =
            L"Are you sure that you want to delete the \"Gamma\" personal profile?";
        ExpectSeen(Answer(page, IDC_PROFILE_DELETE, L"Gamma", IDNO),
                   {Box(remove, MB_ICONQUESTION)});
        EXPECT_TRUE(store.Exists(L"Gamma"));
        ExpectSeen(Answer(page, IDC_PROFILE_DELETE, L"Gamma", IDYES),
                   {Box(remove, MB_ICONQUESTION)});
        EXPECT_FALSE(store.Exists(L"Gamma"));
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Brochure"}));
        EXPECT_EQ(Display(page), kUnknown);
        EXPECT_EQ(Selection(page), 0);
        EXPECT_EQ(Buttons(page), kAllOn);

        // Failures of the registry: said, and no profile lost or left half made.
        writesLeft = -1;
        undeletable = nullptr;
        ImportHook set(PluginDll::Get().module, nullptr, "RegSetValueExW",
                       reinterpret_cast<void*>(&FailingSet));
        ImportHook unlink(PluginDll::Get().module, nullptr, "RegDeleteKeyW",
                          reinterpret_cast<void*>(&FailingDelete));
        ASSERT_TRUE(set.installed() && unlink.installed());
        originalSet = set.original();
        originalDelete = unlink.original();
        const PluginDevmode alpha = store.Image(L"Alpha");
        const std::vector<std::wstring> brochureToo{L"Alpha", L"Brochure"};
        const std::wstring saveFailed =
            L"There was an error saving the data to the registry.  Please "
            L"make sure you have access rights to do so and try again.";

        // A new profile whose second value cannot be written: said, and not left half made.
        {
            writesLeft = 1;
            DialogScript script;
            NameRun run;
            run.Queue(script, {L"Beta"});
            script.Press(IDOK);
            Click(page, IDC_PROFILE_SAVE);
            ASSERT_EQ(script.Seen().size(), 2u);
            ExpectSeen({script.Seen()[1]}, {Box(saveFailed)});
            EXPECT_FALSE(store.Exists(L"Beta"));
            EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), brochureToo);
            EXPECT_EQ(Display(page), kUnknown);
        }
        // Change with a changed setting, the third value failing: said; the devmode, written last,
        // stays as it was.
        ASSERT_TRUE(sheet.SelectPage(0));
        ASSERT_TRUE(tree.SetNumber(L"Saturation", 5));
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        {
            writesLeft = 2;
            ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
            DialogScript script;
            script.Press(IDYES).Press(IDOK);
            Click(page, IDC_PROFILE_CHANGE);
            ASSERT_EQ(script.Seen().size(), 2u);
            ExpectSeen({script.Seen()[1]}, {Box(saveFailed)});
            EXPECT_TRUE(Same(store.Image(L"Alpha"), alpha));
            EXPECT_EQ(store.Dword(L"Alpha", L"7"), 2);
            EXPECT_EQ(Display(page), kUnknown) << "nothing claims the changed settings";
        }
        // Rename: a failed copy, and an old profile that cannot be removed, both leave the store as
        // it was.
        for (int left : {1, -1}) {
            writesLeft = left;
            undeletable = left < 0 ? L"Alpha" : nullptr;
            ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
            DialogScript script;
            script.Then([](HWND d) {
                TypeName(d, L"Omega");
                DialogScript::PressButton(d, IDOK);
            });
            script.Press(IDOK);
            Click(page, IDC_PROFILE_RENAME);
            ASSERT_EQ(script.Seen().size(), 2u) << left;
            ExpectSeen({script.Seen()[1]}, {Box(saveFailed)});
            EXPECT_FALSE(store.Exists(L"Omega")) << left;
            EXPECT_TRUE(Same(store.Image(L"Alpha"), alpha)) << left;
            EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), brochureToo);
        }
        // Delete that the registry refuses: its own message; the profile stays listed.
        {
            writesLeft = -1;
            DialogScript script;
            script.Press(IDYES).Press(IDOK);
            ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
            Click(page, IDC_PROFILE_DELETE);
            ASSERT_EQ(script.Seen().size(), 2u);
            ExpectSeen({script.Seen()[1]},
                       {Box(L"There was an error removing the personal profile from the registry.  "
                            L"Please make sure you have access rights to do so and try again.")});
            EXPECT_TRUE(store.Exists(L"Alpha"));
            EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), brochureToo);
            undeletable = nullptr;
        }
        // A profile removed behind the page's back: Load says so and the list shows the store.
        {
            ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, store.Path(L"Alpha").c_str()),
                      ERROR_SUCCESS);
            ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
            DialogScript script;
            script.Press(IDOK);
            Click(page, IDC_PROFILE_LOAD);
            ExpectSeen(script.Seen(),
                       {Box(L"The personal profile \"Alpha\" could not be read from the registry: "
                            L"nothing was loaded.  It may have been removed, or you may not have "
                            L"access rights to it.")});
            EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Brochure"});
            EXPECT_FALSE(store.Exists(L"Alpha")) << "the look-up made nothing";
            EXPECT_EQ(ContextOf(sheet)->dm.saturation, 5) << "nothing was loaded";
        }

        // Load Factory Defaults: the tree's first settings again.
        sheet.Unchanged(sheet.Page(0));
        EXPECT_FALSE(sheet.ApplyEnabled());
        Click(page, IDC_PROFILE_FACTORY);
        EXPECT_TRUE(sheet.ApplyEnabled());
        EXPECT_EQ(Display(page), kFactory);
        EXPECT_FALSE(IsEnabled(page, IDC_PROFILE_FACTORY));
        EXPECT_EQ(ContextOf(sheet)->dm.brightness, 0);
        ASSERT_TRUE(sheet.Apply());
        EXPECT_EQ(Text(Job(sheet).profileName, 128), kFactory);
        EXPECT_TRUE(sheet.PressCancel());
        sheet.Finish();
    }
    EXPECT_EQ(counter.Leaks(), "");
    EXPECT_GT(counter.Opened(Resource::RegistryKey), 0);
}

// A profile saved in one sheet and loaded in the next, opened on the Profiles page: the tree page
// has not been shown, yet the driver's items are there (the tree recorded them when it was
// filled). The factory profile is made from them, even over the empty key an earlier release's
// look-up left; the load reaches the driver, which hears of each item, and every page; a PIN
// changed afterwards makes the settings no profile's. Then a read-only sheet.
TEST(ProfilesUi, LoadRestoresEveryPageAndTheTreeThenReadOnly) {
    ModelPrinter printer(L"Prof Load", Model());
    ASSERT_TRUE(printer.ok()) << printer.error;
    Profiles store(printer.printerName);
    {
        SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        TreeDriver tree(sheet);
        ASSERT_TRUE(tree.Choose(L"Duplex", L"DuplexTumble"));
        ASSERT_TRUE(tree.SetNumber(L"Brightness", 3));
        ASSERT_TRUE(tree.Choose(L"HueMiser", L"On"));
        ASSERT_TRUE(sheet.SelectPage(L"Output Options"));
        HWND output = sheet.CurrentPage();
        ASSERT_TRUE(SelectListEntry(output, IDC_OUTPUT_LIST, L"Confidential Print"));
        Type(output, IDC_USERNAME, L"alice");
        Type(output, IDC_PIN, L"1234");
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        SaveAs(sheet.CurrentPage(), L"Held");
        EXPECT_TRUE(sheet.PressCancel()); // the profile stays; the job does not change
    }
    ASSERT_TRUE(store.Exists(L"Held"));
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, store.Path(kFactory).c_str()), ERROR_SUCCESS);
    HKEY empty = nullptr;
    ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, store.Path(kFactory).c_str(), &empty),
              ERROR_SUCCESS);
    RegCloseKey(empty);

    cvhost::SheetOptions options;
    options.startPage = kProfiles;
    SheetDriver sheet(printer.printerName, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    EXPECT_EQ(sheet.Page(0), nullptr) << "the tree page has not been made";
    HWND page = sheet.CurrentPage();
    EXPECT_EQ(store.Dword(kFactory, L"7"), 0);
    EXPECT_EQ(store.Image(kFactory).brightness, 0);
    EXPECT_EQ(store.Image(kFactory).dwSize, cv::kPluginDevmodeSize);
    EXPECT_EQ(Display(page), kFactory);
    EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Held"});
    ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Held"));
    EXPECT_EQ(Buttons(page), (std::vector<bool>{true, true, true, true, true, false}));
    const auto& updates = sheet.Driver().CoreUI().Updates();
    const size_t before = updates.size();
    EXPECT_FALSE(sheet.ApplyEnabled());
    Click(page, IDC_PROFILE_LOAD);
    EXPECT_TRUE(sheet.ApplyEnabled());
    EXPECT_EQ(Display(page), L"Held");
    EXPECT_EQ(Buttons(page), kEntryOff);
    // The driver took each of its items with a selection, once, through the procedure table.
    ASSERT_NE(sheet.Host().Advanced(), nullptr);
    size_t valued = 0, duplex = 0;
    for (DWORD i = 0; i < sheet.Host().Advanced()->DriverCount(); ++i)
        valued += sheet.Host().Advanced()->Items()[i].pOptType ? 1 : 0;
    EXPECT_EQ(updates.size() - before, valued);
    for (size_t i = before; i < updates.size(); ++i) {
        EXPECT_EQ(updates[i].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
        EXPECT_FALSE(updates[i].throughInterface);
        if (!updates[i].item || updates[i].item->DMPubID != DMPUB_DUPLEX) continue;
        ++duplex;
        EXPECT_EQ(updates[i].selectionThen, 2);
    }
    EXPECT_EQ(duplex, 1u);
    const PluginDevmode& dm = ContextOf(sheet)->dm;
    EXPECT_EQ(dm.brightness, 3);
    EXPECT_EQ(dm.outputTo, 4u);
    EXPECT_EQ(Text(dm.pin, 5), L"1234");
    EXPECT_EQ(Text(Job(sheet).profileName, 128), L"") << "the job takes nothing before Apply";
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Text(Job(sheet).profileName, 128), L"Held");
    EXPECT_EQ(Job(sheet).brightness, 3);

    // The other pages show the loaded settings.
    ASSERT_TRUE(sheet.SelectPage(L"Output Options"));
    HWND output = sheet.CurrentPage();
    EXPECT_EQ(SendDlgItemMessageW(output, IDC_OUTPUT_LIST, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(WindowText(GetDlgItem(output, IDC_PIN)), L"1234");
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.Value(L"Duplex"), L"DuplexTumble");
    EXPECT_EQ(tree.Value(L"Brightness"), L"3");
    EXPECT_EQ(tree.Value(L"HueMiser"), L"On");
    ASSERT_TRUE(sheet.SelectPage(kProfiles));
    EXPECT_EQ(Display(page), L"Held") << "nothing changed since the load";

    // A PIN changed on the Output Options page makes the settings no profile's; a tree change
    // survives the page's apply.
    ASSERT_TRUE(sheet.SelectPage(L"Output Options"));
    Type(output, IDC_PIN, L"4321");
    ASSERT_TRUE(sheet.SelectPage(kProfiles));
    EXPECT_EQ(Display(page), kUnknown);
    EXPECT_EQ(Selection(page), 0);
    EXPECT_EQ(Buttons(page), kAllOn);
    ASSERT_TRUE(sheet.SelectPage(0));
    ASSERT_TRUE(tree.SetNumber(L"Contrast", 2));
    ASSERT_TRUE(sheet.SelectPage(kProfiles));
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Text(Job(sheet).profileName, 128), kUnknown);
    EXPECT_EQ(Text(Job(sheet).pin, 5), L"4321");
    EXPECT_EQ(Job(sheet).contrast, 2);
    EXPECT_EQ(Job(sheet).hueMiser, 2u);
    EXPECT_TRUE(sheet.PressOk());
    sheet.Finish();
    EXPECT_EQ(sheet.Host().setResults, (std::vector<LPARAM>{CPSUI_OK}));

    // A read-only sheet for a job that names a stored profile (in other letters) shows the
    // profiles and that one, and changes nothing.
    PluginDevmode named = Job(sheet);
    std::memcpy(named.profileName, u"hELD", 10);
    const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&named, sizeof named);
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    options.readOnly = true;
    SheetDriver readOnly(printer.printerName, options);
    ASSERT_TRUE(readOnly.ok()) << readOnly.error();
    page = readOnly.CurrentPage();
    EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Held"});
    EXPECT_EQ(Display(page), L"Held");
    EXPECT_EQ(Selection(page), 0);
    for (int id :
         {IDC_PROFILE_LIST, IDC_PROFILE_SAVE, IDC_PROFILE_LOAD, IDC_PROFILE_CHANGE,
          IDC_PROFILE_RENAME, IDC_PROFILE_DELETE, IDC_PROFILE_FACTORY, IDC_PROFILE_CURRENT})
        EXPECT_FALSE(IsEnabled(page, id)) << id;
    ASSERT_TRUE(readOnly.SelectPage(L"About"));
    ASSERT_TRUE(readOnly.SelectPage(kProfiles));
    EXPECT_FALSE(IsEnabled(page, IDC_PROFILE_SAVE)) << "still, after it is shown again";
    const PluginDevmode unchanged = Job(readOnly);
    EXPECT_TRUE(readOnly.PressOk());
    EXPECT_TRUE(Same(Job(readOnly), unchanged));
    readOnly.Finish();
    EXPECT_TRUE(readOnly.Host().setResults.empty());
}
