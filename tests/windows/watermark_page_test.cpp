// The Watermark page, driven through the real document sheet of the stand-in host. The order
// states, the choice a devmode shows and the checks made on leaving are rule tables proven
// natively; here each reaches the controls, the message boxes, Apply and the devmodes once.
#include "core/records.h"
#include "core/sheet_context.h"
#include "host/devmode_summary.h"
#include "host/job_devmode.h"
#include "import_hook.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "support.h"
#include "ui/bounded_string.h"
#include "ui_driver.h"
#include "watermark/watermark_resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

const wchar_t kPage[] = L"Watermark";
const wchar_t kOther[] = L"Profiles";

std::wstring Text(const char16_t* units, size_t capacity = 128) {
    return std::wstring(reinterpret_cast<const wchar_t*>(units),
                        cv::BoundedLength(units, capacity));
}

WatermarkSettings Record(const wchar_t* name, double angle = 30, uint32_t color = 0x0000FF) {
    WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    cv::BoundedCopyText(wm.name, reinterpret_cast<const char16_t*>(name));
    cv::BoundedCopyText(wm.text,
                        reinterpret_cast<const char16_t*>((L"T " + std::wstring(name)).c_str()));
    cv::BoundedCopyText(wm.faceName, u"Courier New");
    wm.angle = angle;
    wm.color = color;
    return wm;
}

// The plug-in enumerates the store in reverse order while alive: Wine keeps a key's values
// sorted by name, Windows in the order they were written, and the lists show that order.
struct ReversedEnumeration {
    static inline decltype(&::RegEnumValueW) real = nullptr;
    static LSTATUS WINAPI Enum(HKEY key, DWORD index, LPWSTR name, LPDWORD length, LPDWORD reserved,
                               LPDWORD type, LPBYTE data, LPDWORD size) {
        DWORD count = 0;
        if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            index < count)
            index = count - 1 - index;
        return real(key, index, name, length, reserved, type, data, size);
    }
    ImportHook hook{PluginDll::Get().module, nullptr, "RegEnumValueW",
                    reinterpret_cast<void*>(&Enum)};
    ReversedEnumeration() { real = reinterpret_cast<decltype(real)>(hook.original()); }
};

class WatermarkPage : public ::testing::Test {
  protected:
    void SetUp() override {
        // CTest runs two tests at once: a printer (and so a driver key) of each test's own.
        const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const size_t tag = std::hash<std::string>{}(test) % 100000;
        printer_ = std::make_unique<ModelPrinter>(L"WmPage " + std::to_wstring(tag), "");
        ASSERT_TRUE(printer_->ok()) << printer_->error;
        RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
    }
    void TearDown() override {
        sheet_.reset();
        if (printer_ && printer_->ok()) RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
        EXPECT_EQ(counter_.Leaks(), "");
    }
    std::wstring KeyPath() const {
        return L"Software\\Corvane\\PSPlugIn\\" + printer_->printerName;
    }
    std::wstring StorePath() const { return KeyPath() + L"\\Watermarks"; }
    void Store(const WatermarkSettings& wm) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, StorePath().c_str(), Text(wm.name).c_str(),
                                  REG_BINARY, &wm, sizeof wm),
                  ERROR_SUCCESS);
    }

    // Opens the document sheet on the page for a job whose devmode `edit` shapes.
    HWND Open(std::function<void(cv::PluginDevmode&)> edit = {}, bool readOnly = false,
              const wchar_t* startPage = kPage) {
        sheet_.reset();
        cvhost::SheetOptions options;
        options.readOnly = readOnly;
        options.startPage = startPage;
        cv::PluginDevmode dm{};
        cv::defaultPluginDevmode(&dm);
        if (edit) edit(dm);
        const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&dm, sizeof dm);
        options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
        sheet_ = std::make_unique<SheetDriver>(printer_->printerName, options);
        EXPECT_TRUE(sheet_->ok()) << sheet_->error();
        page_ = sheet_->Page(kPage);
        return page_;
    }
    cv::SheetContext* Context() {
        return reinterpret_cast<cv::SheetContext*>(sheet_->Host().Info().UserData);
    }
    const cv::PluginDevmode& Job() { return *sheet_->Host().Devmode().PluginRecord(); }
    std::wstring Selected(int list) {
        const LRESULT index = SendDlgItemMessageW(page_, list, LB_GETCURSEL, 0, 0);
        return index == LB_ERR ? L"<none>" : ListEntries(page_, list).at(size_t(index));
    }
    void ExpectSelected(const wchar_t* first, const wchar_t* second, const char* trace) {
        EXPECT_EQ(Selected(IDC_WMP_FIRST_LIST), first) << trace;
        EXPECT_EQ(Selected(IDC_WMP_SECOND_LIST), second) << trace;
    }
    // Tries to leave the page; the message it answered with ("" when it let go).
    std::wstring LeaveMessage() {
        DialogScript script;
        script.Press(IDOK);
        const bool left = sheet_->SelectPage(kOther);
        if (script.Seen().empty()) return left ? L"" : L"<refused without a message>";
        EXPECT_FALSE(left);
        EXPECT_EQ(script.Seen()[0].icon, UINT(MB_ICONERROR));
        return script.Seen()[0].text;
    }
    void ExpectFocus(int id, const char* trace) {
        if (GetForegroundWindow() != sheet_->Sheet()) return;
        EXPECT_EQ(GetFocus(), Control(page_, id)) << trace;
    }
    void Revisit(const std::function<void(cv::PluginDevmode&)>& whileAway = {}) {
        ASSERT_TRUE(sheet_->SelectPage(kOther));
        if (whileAway) whileAway(Context()->dm);
        ASSERT_TRUE(sheet_->SelectPage(kPage));
    }

    ResourceCounter counter_;
    std::unique_ptr<ModelPrinter> printer_;
    std::unique_ptr<SheetDriver> sheet_;
    HWND page_ = nullptr;
};

void Choose(cv::PluginDevmode& dm, uint32_t order, const wchar_t* first, const wchar_t* other) {
    dm.watermarkEnabled = 1;
    dm.watermarkOrder = order;
    cv::BoundedCopyText(dm.firstWatermark.name, reinterpret_cast<const char16_t*>(first));
    cv::BoundedCopyText(dm.otherWatermark.name, reinterpret_cast<const char16_t*>(other));
}

const wchar_t kSelectOne[] = L"Please select at least one watermark.";
const int kSelection[] = {IDC_WMP_SELECTION_GROUP, IDC_WMP_FIRST_CAPTION, IDC_WMP_FIRST_LIST,
                          IDC_WMP_SECOND_CAPTION, IDC_WMP_SECOND_LIST};

TEST_F(WatermarkPage, EachOrderShowsItsCaptionsAndControlsAndLeavingWritesIt) {
    for (const wchar_t* name : {L"Draft", L"Other"})
        Store(Record(name));
    Open([](cv::PluginDevmode& dm) {
        Choose(dm, 3, L"Draft", L"Other");
        dm.watermarkOverPage = 1;
    });
    ASSERT_NE(page_, nullptr);
    EXPECT_EQ(ListEntries(page_, IDC_WMP_FIRST_LIST),
              (std::vector<std::wstring>{L"(None)", L"Draft", L"Other"}));
    EXPECT_EQ(ListEntries(page_, IDC_WMP_SECOND_LIST), ListEntries(page_, IDC_WMP_FIRST_LIST));
    for (int id : {IDC_WMP_PLACEMENT_GROUP, IDC_WMP_UNDER_PAGE, IDC_WMP_OVER_PAGE})
        EXPECT_FALSE(IsVisible(page_, id)) << id;
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_OVER_PAGE));
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_FIRST_OTHER));
    ExpectSelected(L"Draft", L"Other", "as the job chose");
    EXPECT_FALSE(sheet_->ApplyEnabled());

    // An order without lists, then one with both: its captions and enabled lists at the click,
    // and after leaving and coming back what was written and what is shown again.
    const struct {
        int radio;
        const wchar_t *first, *second;
        bool selection, secondList;
        uint32_t order;
        const wchar_t *shownFirst, *shownSecond;
    } states[] = {
        {IDC_WMP_NONE, L"First &Page", L"Other Page&s", false, false, 0, L"(None)", L"(None)"},
        {IDC_WMP_ODD_EVEN, L"Odd &Pages", L"Even Page&s", true, true, 2, L"Draft", L"Other"},
    };
    for (const auto& s : states) {
        ASSERT_TRUE(SelectListEntry(page_, IDC_WMP_FIRST_LIST, L"Draft"));
        ASSERT_TRUE(SelectListEntry(page_, IDC_WMP_SECOND_LIST, L"Other"));
        sheet_->Unchanged(page_);
        Click(page_, s.radio);
        EXPECT_TRUE(sheet_->ApplyEnabled()) << s.radio;
        EXPECT_EQ(WindowText(Control(page_, IDC_WMP_FIRST_CAPTION)), s.first) << s.radio;
        EXPECT_EQ(WindowText(Control(page_, IDC_WMP_SECOND_CAPTION)), s.second) << s.radio;
        for (int id : kSelection) {
            const bool second = id == IDC_WMP_SECOND_CAPTION || id == IDC_WMP_SECOND_LIST;
            EXPECT_EQ(IsEnabled(page_, id), second ? s.secondList : s.selection)
                << s.radio << " " << id;
        }
        ExpectSelected(L"Draft", L"Other", "an order leaves the selections");
        Revisit();
        EXPECT_EQ(Context()->dm.watermarkOrder, s.order) << s.radio;
        EXPECT_EQ(Context()->dm.watermarkOverPage, 1u) << "the placement passes through";
        EXPECT_TRUE(IsChecked(page_, s.radio)) << s.radio;
        ExpectSelected(s.shownFirst, s.shownSecond, "shown again");
    }

    // A list selection is a change; another button of the page (the hidden placement, which
    // only a program can click) too.
    SelectListEntry(page_, IDC_WMP_SECOND_LIST, 0);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->Unchanged(page_);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_WMP_UNDER_PAGE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(page_, IDC_WMP_UNDER_PAGE)));
    EXPECT_TRUE(sheet_->ApplyEnabled());
}

TEST_F(WatermarkPage, AGoneWatermarkShowsNoWatermarksAndLeavingNeedsAWatermark) {
    Store(Record(L"Draft"));
    Open([](cv::PluginDevmode& dm) { Choose(dm, 3, L"Draft", L"Gone"); });
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_NONE));
    ExpectSelected(L"(None)", L"(None)", "a gone watermark");
    EXPECT_TRUE(IsEnabled(page_, IDC_WMP_EDIT)) << "one stored watermark to edit";
    EXPECT_FALSE(sheet_->ApplyEnabled());
    EXPECT_EQ(Text(Context()->dm.otherWatermark.name), L"Gone") << "nothing changes before leaving";
    EXPECT_EQ(Context()->dm.watermarkEnabled, 1u);

    // Off with order 1: No Watermarks under the captions of All Pages, also after activation.
    Open([](cv::PluginDevmode& dm) {
        Choose(dm, 1, L"Draft", L"");
        dm.watermarkEnabled = 0;
    });
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_NONE));
    Revisit();
    EXPECT_EQ(WindowText(Control(page_, IDC_WMP_FIRST_CAPTION)), L"All &Pages");
    EXPECT_EQ(WindowText(Control(page_, IDC_WMP_SECOND_CAPTION)), L"Other Page&s");
    EXPECT_EQ(Context()->dm.watermarkOrder, 0u) << "left with No Watermarks";

    // Leaving with "(None)" where a watermark is needed: the message, the focus on that list.
    Click(page_, IDC_WMP_ALL_PAGES);
    ASSERT_TRUE(SelectListEntry(page_, IDC_WMP_SECOND_LIST, L"Draft"));
    EXPECT_EQ(LeaveMessage(), kSelectOne);
    ExpectFocus(IDC_WMP_FIRST_LIST, "all pages");
    EXPECT_EQ(sheet_->CurrentPage(), page_);
    Click(page_, IDC_WMP_ODD_EVEN);
    EXPECT_EQ(LeaveMessage(), L"") << "(None) for odd pages, a watermark for even ones";
    EXPECT_EQ(Context()->dm.watermarkOrder, 2u);
    EXPECT_EQ(Text(Context()->dm.firstWatermark.name), L"");
    EXPECT_EQ(Text(Context()->dm.otherWatermark.text), L"T Draft");

    // A profile loaded on another page before this one is first shown: its order shows.
    Open([](cv::PluginDevmode& dm) { Choose(dm, 1, L"Draft", L""); }, false, kOther);
    Context()->dm.watermarkOrder = 3;
    ASSERT_TRUE(sheet_->SelectPage(kPage));
    page_ = sheet_->Page(kPage);
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_FIRST_OTHER));
    EXPECT_EQ(WindowText(Control(page_, IDC_WMP_FIRST_CAPTION)), L"First &Page");
}

TEST_F(WatermarkPage, ApplyWritesFullCopiesAndNothingThatCannotBeRead) {
    const WatermarkSettings draft = Record(L"Draft", -45, 0xDF00B4);
    Store(draft);
    Store(Record(L"Other"));
    Open([](cv::PluginDevmode& dm) {
        Choose(dm, 2, L"Draft", L"Other");
        dm.watermarkOverPage = 1;
    });
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Job().watermarkEnabled, 1u);
    EXPECT_EQ(Job().watermarkOrder, 2u);
    EXPECT_EQ(Job().watermarkOverPage, 1u);
    EXPECT_EQ(std::memcmp(&Job().firstWatermark, &draft, sizeof draft), 0) << "the whole record";
    EXPECT_EQ(Text(Job().otherWatermark.text), L"T Other");

    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, StorePath().c_str(), L"Other"), ERROR_SUCCESS);
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Job().watermarkEnabled, 0u) << "a chosen record that cannot be read";
    EXPECT_EQ(Job().watermarkOrder, 0u);

    // The job carries what the user saw: chosen by name, printed as stored.
    Store(Record(L"Other"));
    Open([](cv::PluginDevmode& dm) { Choose(dm, 1, L"Draft", L""); });
    ASSERT_TRUE(sheet_->PressOk());
    const std::string report = cvhost::DescribePluginDevmode(Job());
    for (const char* part : {"first \"Draft\": text \"T Draft\"", "font \"Courier New\"",
                             "angle -45.0, colour #B400DF"})
        EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;

    // Read-only: every control disabled at each activation, and the job keeps its devmode.
    Open([](cv::PluginDevmode& dm) { Choose(dm, 1, L"Draft", L""); }, true);
    Revisit();
    for (HWND child = GetWindow(page_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        EXPECT_FALSE(IsWindowEnabled(child)) << GetDlgCtrlID(child);
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Text(Job().firstWatermark.text), L"") << "the job's name only, as it came";
}

TEST_F(WatermarkPage, TheButtonsAddEditAndRemoveAndKeepEachListOnItsWatermark) {
    for (const wchar_t* name : {L"Draft", L"Draft 2", L"Other"})
        Store(Record(name));
    ReversedEnumeration reversed;
    ASSERT_TRUE(reversed.hook.installed());
    Open([](cv::PluginDevmode& dm) { Choose(dm, 2, L"Draft", L"Other"); });
    EXPECT_EQ(ListEntries(page_, IDC_WMP_FIRST_LIST),
              (std::vector<std::wstring>{L"(None)", L"Other", L"Draft 2", L"Draft"}));

    DialogScript add;
    add.Then([](HWND editor) {
        Type(editor, IDC_WM_NAME, L"Alpha");
        Type(editor, IDC_WM_TEXT, L"ALPHA");
        Click(editor, IDOK);
    });
    Click(page_, IDC_WMP_ADD);
    EXPECT_EQ(add.Seen().size(), 1u);
    for (int list : {IDC_WMP_FIRST_LIST, IDC_WMP_SECOND_LIST})
        EXPECT_EQ(ListEntries(page_, list).back(), L"Alpha") << list;
    ExpectSelected(L"Draft", L"Other", "after add");
    EXPECT_FALSE(sheet_->ApplyEnabled()) << "a new watermark is no change of the job";

    // A rename of the watermark selected in the second list: both lists stay on their
    // watermark, the first on "Draft" although "Draft 2" comes before it.
    DialogScript edit;
    edit.Then([](HWND choose) {
        SelectListEntry(choose, IDC_SELECT_LIST, L"Other");
        DialogScript::PressButton(choose, IDOK);
    });
    edit.Then([](HWND editor) {
        Type(editor, IDC_WM_NAME, L"Zeta");
        Click(editor, IDOK);
    });
    Click(page_, IDC_WMP_EDIT);
    EXPECT_EQ(edit.Unexpected(), 0);
    ExpectSelected(L"Draft", L"Zeta", "after the rename");
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->Unchanged(page_);
    // An edit of a watermark no list counts is no change.
    DialogScript unchosen;
    unchosen.Then([](HWND choose) {
        SelectListEntry(choose, IDC_SELECT_LIST, L"Draft 2");
        DialogScript::PressButton(choose, IDOK);
    });
    unchosen.Then([](HWND editor) { Click(editor, IDOK); });
    Click(page_, IDC_WMP_EDIT);
    EXPECT_FALSE(sheet_->ApplyEnabled());

    // Removing the second list's watermark: (None) there, the first stays on "Draft".
    DialogScript remove;
    remove.Then([](HWND dialog) {
        SelectListEntry(dialog, IDC_REMOVE_LIST, L"Zeta");
        Click(dialog, IDC_REMOVE);
        DialogScript::PressButton(dialog, IDCANCEL);
    });
    remove.Press(IDYES);
    Click(page_, IDC_WMP_REMOVE);
    ExpectSelected(L"Draft", L"(None)", "after the removal");
    EXPECT_TRUE(sheet_->ApplyEnabled());

    // Removing the rest leaves nothing to edit or remove, and the focus on Add.
    DialogScript rest;
    rest.Then([](HWND dialog) {
        for (const std::wstring& name : ListEntries(dialog, IDC_REMOVE_LIST))
            SelectListEntry(dialog, IDC_REMOVE_LIST, name);
        Click(dialog, IDC_REMOVE);
        DialogScript::PressButton(dialog, IDCANCEL);
    });
    rest.Press(IDYES);
    Click(page_, IDC_WMP_REMOVE);
    EXPECT_EQ(ListEntries(page_, IDC_WMP_FIRST_LIST), (std::vector<std::wstring>{L"(None)"}));
    EXPECT_FALSE(IsEnabled(page_, IDC_WMP_EDIT));
    EXPECT_FALSE(IsEnabled(page_, IDC_WMP_REMOVE));
    ExpectFocus(IDC_WMP_ADD, "nothing left");
}

// Sheets opened with every page visited and closed leave nothing of the plug-in open
// (CV_SHEET_CYCLES sets how often; 1,000 for a report).
TEST_F(WatermarkPage, SheetCyclesLeaveNothingOpen) {
    for (const wchar_t* name : {L"Draft", L"Other"})
        Store(Record(name));
    wchar_t cyclesText[16] = {};
    const int cycles =
        GetEnvironmentVariableW(L"CV_SHEET_CYCLES", cyclesText, 16) ? _wtoi(cyclesText) : 5;
    const Resource kinds[] = {Resource::RegistryKey, Resource::Printer, Resource::GdiObject,
                              Resource::Window};
    std::vector<int> before;
    for (Resource kind : kinds)
        before.push_back(counter_.Open(kind));
    for (int i = 0; i < cycles; ++i) {
        Open([](cv::PluginDevmode& dm) { Choose(dm, 3, L"Draft", L"Other"); });
        for (const std::wstring& title : sheet_->PageTitles())
            ASSERT_TRUE(sheet_->SelectPage(title)) << i;
        ASSERT_TRUE(sheet_->PressOk()) << i;
        sheet_.reset();
    }
    for (size_t k = 0; k < before.size(); ++k)
        EXPECT_EQ(counter_.Open(kinds[k]), before[k]) << "kind " << k << " after " << cycles;
    EXPECT_GT(counter_.Opened(Resource::RegistryKey), cycles) << "the counter saw the sheets";
}

} // namespace
