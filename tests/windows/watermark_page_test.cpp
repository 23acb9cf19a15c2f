// The Watermark page, driven through the real document sheet of the stand-in host. The order
// states, the choice a devmode shows and the checks made on leaving are rule tables proven
// natively; here each reaches the controls, the message boxes, Apply and the devmodes once.
#include "host/devmode_summary.h"
#include "import_hook.h"
#include "page_session.h"
#include "support.h"
#include "ui/bounded_string.h"
#include "watermark/watermark_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

const wchar_t kPage[] = L"Watermark";
const wchar_t kOther[] = L"Profiles";

WatermarkSettings Record(const wchar_t* name) {
    WatermarkSettings wm = WatermarkRecord(name, (L"T " + std::wstring(name)).c_str());
    cv::BoundedCopyText(wm.faceName, u"Courier New");
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

struct WatermarkPage : PageSession {
    WatermarkPage() : PageSession(kPage, kOther) {}
    void SetUp() override { Model(); }
    std::wstring Selected(int list) {
        const LRESULT index = SendDlgItemMessageW(page_, list, LB_GETCURSEL, 0, 0);
        return index == LB_ERR ? L"<none>" : ListEntries(page_, list).at(size_t(index));
    }
    void ExpectSelected(const wchar_t* first, const wchar_t* second, const char* trace) {
        EXPECT_EQ(Selected(IDC_WMP_FIRST_LIST), first) << trace;
        EXPECT_EQ(Selected(IDC_WMP_SECOND_LIST), second) << trace;
    }
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
        StoreWatermark(Record(name));
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

    // An order with both lists (the looks of each order are the rules' table): its captions and
    // enabled lists at the click, and after leaving and coming back what was written and shown.
    sheet_->Unchanged(page_);
    Click(page_, IDC_WMP_ODD_EVEN);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    EXPECT_EQ(WindowText(Control(page_, IDC_WMP_FIRST_CAPTION)), L"Odd &Pages");
    EXPECT_EQ(WindowText(Control(page_, IDC_WMP_SECOND_CAPTION)), L"Even Page&s");
    for (int id : kSelection)
        EXPECT_TRUE(IsEnabled(page_, id)) << id;
    ExpectSelected(L"Draft", L"Other", "an order leaves the selections");
    Revisit();
    EXPECT_EQ(Context()->dm.watermarkOrder, 2u);
    EXPECT_EQ(Context()->dm.watermarkOverPage, 1u) << "the placement passes through";
    EXPECT_TRUE(IsChecked(page_, IDC_WMP_ODD_EVEN));
    ExpectSelected(L"Draft", L"Other", "shown again");

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
    StoreWatermark(Record(L"Draft"));
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
    EXPECT_FALSE(IsEnabled(page_, IDC_WMP_FIRST_LIST)) << "no list for No Watermarks";
    EXPECT_EQ(Context()->dm.watermarkOrder, 0u) << "left with No Watermarks";

    // Leaving with "(None)" where a watermark is needed: the message, the focus on that list.
    Click(page_, IDC_WMP_ALL_PAGES);
    EXPECT_FALSE(IsEnabled(page_, IDC_WMP_SECOND_LIST)) << "one list for All Pages";
    ASSERT_TRUE(SelectListEntry(page_, IDC_WMP_SECOND_LIST, L"Draft"));
    EXPECT_EQ(LeaveMessage(), kSelectOne);
    ExpectFocus(page_, IDC_WMP_FIRST_LIST, "all pages");
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
    WatermarkSettings draft = Record(L"Draft");
    draft.angle = -45;
    draft.color = 0xDF00B4;
    StoreWatermark(draft);
    StoreWatermark(Record(L"Other"));
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

    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, KeyPath(L"Watermarks").c_str(), L"Other"),
              ERROR_SUCCESS);
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Job().watermarkEnabled, 0u) << "a chosen record that cannot be read";
    EXPECT_EQ(Job().watermarkOrder, 0u);

    // The job carries what the user saw: chosen by name, printed as stored.
    StoreWatermark(Record(L"Other"));
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
        StoreWatermark(Record(name));
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
    ExpectFocus(page_, IDC_WMP_ADD, "nothing left");
}

} // namespace
