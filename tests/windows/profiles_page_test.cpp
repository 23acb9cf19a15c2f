// The Profiles page and its name dialog through the real document sheet of the stand-in host:
// what the user sees on the page, in the dialog and in the message boxes, what lands in the
// registry, and what a load does to the other pages, the host's tree and the driver's items.
#include "import_hook.h"
#include "page_session.h"
#include "printer_fixture.h"
#include "profiles/profiles_resource.h"
#include "resource_counter.h"
#include "support.h"
#include "tree_driver.h"
#include "ui/bounded_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace cvtest;
using cv::PluginDevmode;

namespace {

const wchar_t kProfiles[] = L"Profiles";
const wchar_t kFactory[] = L"Factory Defaults";
const wchar_t kUnknown[] = L"<Unknown Profile>";
const wchar_t kCaption[] = L"Personal Profiles";

// Duplex (the driver's DMPUB_DUPLEX item, stored as "7") and both groups of the plug-in's tree
// items.
const std::string kModel = PpdFeature("Duplex", {"None", "DuplexNoTumble", "DuplexTumble"}) +
                           PpdFeature("HasManualColorCorrection", {"True", "False"}) +
                           PpdFeature("HasNewPrintQuality", {"True", "False"});

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
    std::vector<bool> on;
    for (int id : {IDC_PROFILE_SAVE, IDC_PROFILE_LOAD, IDC_PROFILE_CHANGE, IDC_PROFILE_RENAME,
                   IDC_PROFILE_DELETE, IDC_PROFILE_FACTORY})
        on.push_back(IsEnabled(page, id));
    return on;
}
const std::vector<bool> kEntryOff{true, false, false, false, false, true}; // entry is the display
const std::vector<bool> kAllOn{true, true, true, true, true, true};

// The printer's profiles in the registry, none at first.
class Profiles {
  public:
    explicit Profiles(const std::wstring& printerName)
        : path_(L"Software\\Corvane\\PSPlugIn\\" + printerName + L"\\Profiles") {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Corvane\\PSPlugIn\\" + printerName).c_str());
    }
    std::wstring Path(const std::wstring& profile) const { return path_ + L"\\" + profile; }
    bool Exists(const std::wstring& profile) const {
        HKEY key = nullptr;
        const bool found =
            !RegOpenKeyExW(HKEY_CURRENT_USER, Path(profile).c_str(), 0, KEY_READ, &key);
        if (found) RegCloseKey(key);
        return found;
    }
    // The stored devmode; all zero when it is missing or not whole.
    PluginDevmode Image(const std::wstring& profile) const {
        PluginDevmode dm{};
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

// A run of the name dialog: the name it shows as it comes up; whether OK is enabled then, after
// `probe` is typed and after each of `names`, each typed in turn and OK pressed. The message box
// that a refused name raises is answered with OK before the next one is typed.
struct NameRun {
    HWND dialog = nullptr;
    std::wstring shown;
    std::vector<bool> ok;
    void Queue(DialogScript& script, const std::vector<std::wstring>& names,
               const std::wstring& probe = L"  \t") {
        script.Then([this, names, probe](HWND d) {
            dialog = d;
            shown = WindowText(GetDlgItem(d, IDC_PROFILE_NAME));
            ok.push_back(IsEnabled(d, IDOK));
            TypeName(d, probe);
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

// A message box of the page: its caption, text and icon.
void ExpectBox(const SeenDialog& seen, const std::wstring& text, UINT icon = MB_ICONERROR) {
    EXPECT_EQ(seen.caption, kCaption);
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.icon, icon);
}

// Presses the list entry's button, which asks `question`, and answers it.
void Answer(HWND page, int button, const std::wstring& entry, int answer,
            const std::wstring& question) {
    ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, entry)) << Narrow(entry);
    DialogScript script;
    script.Press(answer);
    Click(page, button);
    ASSERT_EQ(script.Seen().size(), 1u);
    ExpectBox(script.Seen()[0], question, MB_ICONQUESTION);
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
// questions, each again with the registry failing, and Load Factory Defaults; then a load in the
// next sheet, and a read-only one.
TEST(ProfilesUi, SaveChangeRenameDeleteFactoryDefaultsThenLoadInTheNextSheetAndReadOnly) {
    ModelPrinter printer(L"Prof First", kModel);
    ASSERT_TRUE(printer.ok()) << printer.error;
    Profiles store(printer.printerName);
    ResourceCounter counter;
    {
        SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        TreeDriver tree(sheet);
        ASSERT_TRUE(tree.ok());
        EXPECT_TRUE(store.Exists(kFactory)) << "the tree page, shown first, saved it";

        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        HWND page = sheet.CurrentPage();
        EXPECT_TRUE(ListEntries(page, IDC_PROFILE_LIST).empty());
        EXPECT_EQ(Display(page), kFactory);
        EXPECT_EQ(Buttons(page), (std::vector<bool>{true, false, false, false, false, false}));
        EXPECT_FALSE(IsVisible(page, IDC_PROFILE_IMPORT));
        EXPECT_FALSE(IsVisible(page, IDC_PROFILE_EXPORT));

        // Tree changes: the settings are no longer the factory's, and a save takes them.
        ASSERT_TRUE(tree.Set(L"Duplex", L"DuplexTumble"));
        ASSERT_TRUE(tree.Set(L"Brightness", L"3"));
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
        ExpectBox(script.Seen()[1], L"The name of the profile can not be either \"Factory "
                                    L"Defaults\" or \"<Unknown Profile>.\"  Please enter another "
                                    L"name.");
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Brochure"});
        EXPECT_EQ(Display(page), L"Brochure");
        EXPECT_EQ(Selection(page), 0);
        EXPECT_EQ(Buttons(page), kEntryOff);
        SaveAs(page, L"Alpha");
        SaveAs(page, L"Beta");
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Beta", L"Brochure"}));

        // Change: "No" keeps the profile, "Yes" writes the settings over it.
        ASSERT_TRUE(sheet.SelectPage(0));
        ASSERT_TRUE(tree.Set(L"Brightness", L"2"));
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        for (int answer : {IDNO, IDYES}) {
            Answer(page, IDC_PROFILE_CHANGE, L"Alpha", answer,
                   L"Are you sure that you want to save your current settings into the existing "
                   L"\"Alpha\" personal profile?");
            EXPECT_EQ(store.Image(L"Alpha").brightness, answer == IDYES ? 2 : 3);
            EXPECT_EQ(Display(page), answer == IDYES ? L"Alpha" : kUnknown);
        }

        // Rename: the old name, in any case, does not enable OK; a name in use is refused, said
        // with the name as typed.
        ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Beta"));
        const PluginDevmode beta = store.Image(L"Beta");
        DialogScript renaming;
        NameRun names;
        names.Queue(renaming, {L"alpha", L"Gamma"}, L"BETA  ");
        Click(page, IDC_PROFILE_RENAME);
        EXPECT_EQ(names.shown, L"Beta");
        EXPECT_EQ(names.ok, (std::vector<bool>{false, false, true, true}));
        ASSERT_EQ(renaming.Seen().size(), 2u);
        ExpectBox(renaming.Seen()[1],
                  L"\"alpha\" is already being used for another Personal Profile. Please use a "
                  L"new name.");
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Brochure", L"Gamma"}));
        EXPECT_EQ(Selection(page), 2);
        EXPECT_EQ(Display(page), L"Alpha") << "a rename leaves the display";
        EXPECT_FALSE(store.Exists(L"Beta"));
        EXPECT_TRUE(Same(store.Image(L"Gamma"), beta));

        // Delete: "No" keeps it; "Yes" removes it and the display names no profile.
        for (int answer : {IDNO, IDYES}) {
            Answer(page, IDC_PROFILE_DELETE, L"Gamma", answer,
                   L"Are you sure that you want to delete the \"Gamma\" personal profile?");
            EXPECT_EQ(store.Exists(L"Gamma"), answer == IDNO);
            EXPECT_EQ(Display(page), answer == IDNO ? L"Alpha" : kUnknown);
        }
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                  (std::vector<std::wstring>{L"Alpha", L"Brochure"}));
        EXPECT_EQ(Selection(page), 0);
        EXPECT_EQ(Buttons(page), kAllOn);

        // Failures of the registry: said, the list shows the store again, and no profile is
        // lost or left half made. Change meets a changed setting: the devmode, written last,
        // stays as it was.
        ASSERT_TRUE(sheet.SelectPage(0));
        ASSERT_TRUE(tree.Set(L"Saturation", L"5"));
        ASSERT_TRUE(sheet.SelectPage(kProfiles));
        ImportHook set(PluginDll::Get().module, nullptr, "RegSetValueExW",
                       reinterpret_cast<void*>(&FailingSet));
        ImportHook unlink(PluginDll::Get().module, nullptr, "RegDeleteKeyW",
                          reinterpret_cast<void*>(&FailingDelete));
        ASSERT_TRUE(set.installed() && unlink.installed());
        originalSet = set.original();
        originalDelete = unlink.original();
        const PluginDevmode alpha = store.Image(L"Alpha");
        const wchar_t saveFailed[] = L"There was an error saving the data to the registry.  "
                                     L"Please make sure you have access rights to do so and try "
                                     L"again.";
        const struct {
            const char* what;
            int button;
            int writesLeft;
            const wchar_t* undeletable;
            const wchar_t* typed; // else the question is answered with Yes
            const wchar_t* said;
        } failures[] = {
            {"a new profile's second value", IDC_PROFILE_SAVE, 1, nullptr, L"Beta", saveFailed},
            {"Change, the third value", IDC_PROFILE_CHANGE, 2, nullptr, nullptr, saveFailed},
            {"Rename, the copy", IDC_PROFILE_RENAME, 1, nullptr, L"Omega", saveFailed},
            {"Rename, the old profile", IDC_PROFILE_RENAME, -1, L"Alpha", L"Omega", saveFailed},
            {"Delete", IDC_PROFILE_DELETE, -1, L"Alpha", nullptr,
             L"There was an error removing the personal profile from the registry.  Please make "
             L"sure you have access rights to do so and try again."},
        };
        for (const auto& f : failures) {
            SCOPED_TRACE(f.what);
            writesLeft = f.writesLeft;
            undeletable = f.undeletable;
            ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
            DialogScript steps;
            NameRun typing;
            if (f.typed)
                typing.Queue(steps, {f.typed});
            else
                steps.Press(IDYES);
            steps.Press(IDOK);
            Click(page, f.button);
            ASSERT_EQ(steps.Seen().size(), 2u);
            ExpectBox(steps.Seen()[1], f.said);
            EXPECT_TRUE(Same(store.Image(L"Alpha"), alpha));
            EXPECT_FALSE(store.Exists(L"Beta") || store.Exists(L"Omega"));
            EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
                      (std::vector<std::wstring>{L"Alpha", L"Brochure"}));
            EXPECT_EQ(Display(page), kUnknown) << "nothing claims the changed settings";
        }
        writesLeft = -1;
        undeletable = nullptr;

        // A profile removed behind the page's back: Load says so and the list shows the store.
        ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, store.Path(L"Alpha").c_str()), ERROR_SUCCESS);
        ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Alpha"));
        DialogScript lost;
        lost.Press(IDOK);
        Click(page, IDC_PROFILE_LOAD);
        ASSERT_EQ(lost.Seen().size(), 1u);
        ExpectBox(lost.Seen()[0], L"The personal profile \"Alpha\" could not be read from the "
                                  L"registry: nothing was loaded.  It may have been removed, "
                                  L"or you may not have access rights to it.");
        EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Brochure"});
        EXPECT_FALSE(store.Exists(L"Alpha")) << "the look-up made nothing";
        EXPECT_EQ(ContextOf(sheet)->dm.saturation, 5) << "nothing was loaded";

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

    // The next sheet, opened on the Profiles page: the tree page has not been shown, yet the
    // driver's items are there (the tree recorded them when it was filled). The factory profile
    // is made from them, even over one without its devmode, as an earlier release's look-up left
    // it; a load reaches the driver, which hears of each item, the tree and the job; a tree
    // change afterwards makes the settings no profile's. Then a read-only sheet.
    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, store.Path(kFactory).c_str(), L"CustomDevData"),
              ERROR_SUCCESS);
    cvhost::SheetOptions options;
    options.startPage = kProfiles;
    SheetDriver sheet(printer.printerName, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    EXPECT_EQ(sheet.Page(0), nullptr) << "the tree page has not been made";
    HWND page = sheet.CurrentPage();
    EXPECT_EQ(store.Image(kFactory).dwSize, cv::kPluginDevmodeSize);
    EXPECT_EQ(Display(page), kFactory);
    EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST), std::vector<std::wstring>{L"Brochure"});
    ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Brochure"));
    EXPECT_EQ(Buttons(page), (std::vector<bool>{true, true, true, true, true, false}));
    const auto& updates = sheet.Driver().CoreUI().Updates();
    const size_t before = updates.size();
    EXPECT_FALSE(sheet.ApplyEnabled());
    Click(page, IDC_PROFILE_LOAD);
    EXPECT_TRUE(sheet.ApplyEnabled());
    EXPECT_EQ(Display(page), L"Brochure");
    EXPECT_EQ(Buttons(page), kEntryOff);
    // The driver took each of its items with a selection, once, through the procedure table.
    const cvhost::AdvancedPage& host = *sheet.Host().Advanced();
    size_t valued = 0, duplex = 0;
    for (DWORD i = 0; i < host.DriverCount(); ++i)
        valued += host.Items()[i].pOptType ? 1 : 0;
    for (size_t i = before; i < updates.size(); ++i) {
        EXPECT_EQ(updates[i].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
        EXPECT_FALSE(updates[i].throughInterface);
        if (updates[i].item && updates[i].item->DMPubID == DMPUB_DUPLEX)
            duplex += updates[i].selectionThen == 2 ? 1 : 0;
    }
    EXPECT_EQ(updates.size() - before, valued);
    EXPECT_EQ(duplex, 1u) << "the duplex item, on its third entry";
    EXPECT_EQ(ContextOf(sheet)->dm.brightness, 3);
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Text(Job(sheet).profileName, 128), L"Brochure");
    EXPECT_EQ(Job(sheet).brightness, 3);

    // The tree shows the loaded settings; a change there makes them no profile's, and survives
    // the page's apply.
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.Value(L"Duplex"), L"DuplexTumble");
    EXPECT_EQ(tree.Value(L"Brightness"), L"3");
    ASSERT_TRUE(sheet.SelectPage(kProfiles));
    EXPECT_EQ(Display(page), L"Brochure") << "nothing changed since the load";
    // With another profile chosen in the list, settings that are no profile's choose the first.
    SaveAs(page, L"Zeta");
    ASSERT_TRUE(SelectListEntry(page, IDC_PROFILE_LIST, L"Zeta"));
    ASSERT_TRUE(sheet.SelectPage(0));
    ASSERT_TRUE(tree.Set(L"Contrast", L"2"));
    ASSERT_TRUE(sheet.SelectPage(kProfiles));
    EXPECT_EQ(Display(page), kUnknown);
    EXPECT_EQ(Selection(page), 0);
    EXPECT_EQ(Buttons(page), kAllOn);
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Text(Job(sheet).profileName, 128), kUnknown);
    EXPECT_EQ(Job(sheet).contrast, 2);
    EXPECT_TRUE(sheet.PressOk());
    sheet.Finish();
    EXPECT_EQ(sheet.Host().setResults, (std::vector<LPARAM>{CPSUI_OK}));

    // A read-only sheet for a job that names a stored profile (in other letters) shows the
    // profiles and that one, and changes nothing.
    PluginDevmode named = Job(sheet);
    std::memcpy(named.profileName, u"bROCHURE", 18);
    const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&named, sizeof named);
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    options.readOnly = true;
    SheetDriver readOnly(printer.printerName, options);
    ASSERT_TRUE(readOnly.ok()) << readOnly.error();
    page = readOnly.CurrentPage();
    EXPECT_EQ(ListEntries(page, IDC_PROFILE_LIST),
              (std::vector<std::wstring>{L"Brochure", L"Zeta"}));
    EXPECT_EQ(Display(page), L"Brochure");
    EXPECT_EQ(Selection(page), 0);
    EXPECT_FALSE(IsEnabled(page, IDC_PROFILE_SAVE));
    const PluginDevmode unchanged = Job(readOnly);
    EXPECT_TRUE(readOnly.PressOk());
    EXPECT_TRUE(Same(Job(readOnly), unchanged));
    readOnly.Finish();
    EXPECT_TRUE(readOnly.Host().setResults.empty());
}
