// The Output Options page and the fax cover-page dialog, driven through the real document sheet
// of the stand-in host for printer models written as PPDs: what the user sees, what the checks
// say when the page is left, and what lands in the job's devmode and the registry.
#include "output/output_resource.h"
#include "page_session.h"
#include "ui/bounded_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace cvtest;

namespace {

std::string HoldModel() {
    return PpdFeature("HasPrintandHold", {"True"}) + PpdFeature("HasKeepPreviousPHJobs", {"True"});
}
std::string NewPinModel() {
    return HoldModel() + PpdFeature("HasNewPin", {"True"});
}
std::string FaxModel() {
    return PpdFeature("FaxCard", {"True", "False"});
}

struct OutputPage : PageSession {
    OutputPage() : PageSession(L"Output Options", L"Watermark") {}
};

// The rules' rows are checked natively; here each control reaches its rule once and the rule's
// answer reaches the screen. Apply stays off while the page fills itself, at initialisation and
// whenever it is shown again, and comes on with each kind of change the user makes.
TEST_F(OutputPage, FieldsApplyLimitsAndBadDevmodeValues) {
    Model(HoldModel() + FaxModel());
    // Not offered, and shown as no entry at all; what the page applies is Printer.
    HWND page = Open([](cv::PluginDevmode& dm) { dm.outputTo = 1; });
    EXPECT_EQ(Context()->dm.outputTo, 1u);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_OUTPUT_LIST, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_FALSE(sheet_->ApplyEnabled());
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Job().outputTo, 0u);

    EXPECT_EQ(ListEntries(page, IDC_OUTPUT_LIST),
              (std::vector<std::wstring>{L"Printer", L"Fax", L"Confidential Print",
                                         L"Reserve Print", L"Repeat Print", L"Verify Print"}));
    EXPECT_EQ(WindowText(Control(page, IDC_PIN_LABEL)), L"&PIN: (####, 1-6)");
    wchar_t logon[64] = {};
    DWORD size = 64;
    ASSERT_TRUE(GetUserNameW(logon, &size));
    EXPECT_EQ(WindowText(Control(page, IDC_USERNAME)), std::wstring(logon).substr(0, 24))
        << "nothing remembered: the logged-on user";
    for (int id : {IDC_USERNAME, IDC_PIN, IDC_KEEP_JOBS})
        EXPECT_FALSE(IsEnabled(page, id)) << id;
    const struct {
        int id;
        LRESULT limit;
    } limits[] = {{IDC_USERNAME, 24},
                  {IDC_PIN, 4},
                  {IDC_RECIPIENT_NAME, 45},
                  {IDC_RECIPIENT_FAX, 60},
                  {IDC_STATION, 24}};
    for (const auto& l : limits)
        EXPECT_EQ(SendDlgItemMessageW(page, l.id, EM_GETLIMITTEXT, 0, 0), l.limit) << l.id;

    // A profile loaded on another page may bring any value into the working devmode, and texts
    // without their terminators.
    Revisit([](cv::PluginDevmode& dm) {
        dm.outputTo = 9;
        std::fill(std::begin(dm.userName), std::end(dm.userName), u'u');
        std::fill(std::begin(dm.fax.station), std::end(dm.fax.station), u's');
    });
    EXPECT_FALSE(sheet_->ApplyEnabled());
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_OUTPUT_LIST, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Context()->dm.outputTo, 0u);
    EXPECT_EQ(WindowText(Control(page, IDC_USERNAME)), std::wstring(24, L'u'));
    EXPECT_EQ(WindowText(Control(page, IDC_STATION)), std::wstring(127, L's'));

    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Confidential Print"));
    for (int id : {IDC_USERNAME, IDC_PIN, IDC_KEEP_JOBS})
        EXPECT_TRUE(IsEnabled(page, id)) << id;
    Type(page, IDC_USERNAME, L"ann");
    Type(page, IDC_PIN, L"0123");
    EXPECT_EQ(LeaveMessage(), L"Invalid characters for PIN.  Must be digits 1-6.");
    ExpectFocus(page, IDC_PIN);
    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Repeat Print"));
    EXPECT_TRUE(IsEnabled(page, IDC_USERNAME));
    EXPECT_FALSE(IsEnabled(page, IDC_PIN));
    sheet_->Unchanged(page);

    DialogScript script;
    script.Press(IDCANCEL);
    const struct {
        const char* change;
        std::function<void()> make;
        bool marks;
    } changes[] = {
        {"destination", [&] { SelectListEntry(page, IDC_OUTPUT_LIST, L"Fax"); }, true},
        {"typing", [&] { Type(page, IDC_STATION, L"Desk"); }, true},
        {"check box", [&] { Click(page, IDC_SEND_COVER); }, true},
        {"button", [&] { Click(page, IDC_SETUP_COVER); }, true},
        {"resolution", [&] { SelectComboEntry(page, IDC_RESOLUTION, 0); }, false},
    };
    for (const auto& c : changes) {
        c.make();
        EXPECT_EQ(sheet_->ApplyEnabled(), c.marks) << c.change;
        sheet_->Unchanged(page);
        ASSERT_FALSE(sheet_->ApplyEnabled());
    }
    EXPECT_EQ(script.Seen().size(), 1u) << "the button opened the cover page";

    // Read-only, a held job without a PIN is let go, and nothing is written.
    RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
    page = Open([](cv::PluginDevmode& dm) { dm.outputTo = 4; }, true);
    EXPECT_FALSE(IsEnabled(page, IDC_OUTPUT_LIST));
    EXPECT_EQ(LeaveMessage(), L"");
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_TRUE(Value(L"LastUserName").empty());
    EXPECT_TRUE(Value(L"FaxInfo").empty());
}

// Held-job checks reach the screen with the focus on the field to fix, the PIN's digits follow
// the model, and what is applied reaches the devmode and the registry, where the next sheet
// finds the user name again.
TEST_F(OutputPage, HeldJobChecksAndApplyToDevmodeAndRegistry) {
    Model(NewPinModel());
    HWND page = Open();
    EXPECT_EQ(WindowText(Control(page, IDC_PIN_LABEL)), L"&PIN: (####, 0-9)");
    EXPECT_FALSE(IsVisible(page, IDC_STATION));
    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Confidential Print"));
    Type(page, IDC_PIN, L"12");
    Type(page, IDC_USERNAME, L"ann \"a\"");
    EXPECT_EQ(LeaveMessage(), L"The user name may not contain quotation marks.");
    ExpectFocus(page, IDC_USERNAME);
    Type(page, IDC_USERNAME, L"Ann Example");
    EXPECT_EQ(LeaveMessage(), L"Please enter a 4-digit PIN.");
    ExpectFocus(page, IDC_PIN);
    Type(page, IDC_PIN, L"12a4");
    EXPECT_EQ(LeaveMessage(), L"Invalid characters for PIN.  Must be digits 0-9.");

    // Reserve Print takes no PIN: the bad one is neither checked nor written.
    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Reserve Print"));
    EXPECT_FALSE(IsEnabled(page, IDC_PIN));
    Click(page, IDC_KEEP_JOBS);
    EXPECT_EQ(LeaveMessage(), L"");
    EXPECT_EQ(Context()->dm.outputTo, 5u);
    EXPECT_EQ(Text(Context()->dm.pin), L"");
    EXPECT_EQ(Context()->dm.keepPreviousJobs, 1u);

    ASSERT_TRUE(sheet_->SelectPage(pageTitle_));
    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Confidential Print"));
    Type(page, IDC_PIN, L"9012");
    ASSERT_TRUE(sheet_->Apply());
    EXPECT_EQ(Job().outputTo, 4u);
    EXPECT_EQ(Text(Job().pin), L"9012");
    EXPECT_EQ(Text(Job().userName), L"Ann Example");
    DWORD type = 0;
    EXPECT_EQ(Value(L"LastUserName", &type).size(), sizeof(L"Ann Example")) << "terminated";
    EXPECT_EQ(type, DWORD(REG_SZ));

    page = Open([](cv::PluginDevmode& dm) {
        cv::BoundedCopyText(dm.userName, u"From Devmode");
        dm.keepPreviousJobs = 1;
    });
    EXPECT_EQ(WindowText(Control(page, IDC_USERNAME)), L"Ann Example") << "remembered wins";
    EXPECT_TRUE(IsChecked(page, IDC_KEEP_JOBS)) << "from the devmode";
    // ... unless it is of the wrong type (the decoder's size checks are native).
    SetValue(L"LastUserName", REG_BINARY, L"Binary", sizeof(L"Binary"));
    page = Open([](cv::PluginDevmode& dm) { cv::BoundedCopyText(dm.userName, u"From Devmode"); });
    EXPECT_EQ(WindowText(Control(page, IDC_USERNAME)), L"From Devmode");
}

// The cover dialog's edits, the fields behind them and their limits; the comments come last.
const struct CoverEdit {
    int id;
    char16_t* (*field)(cv::FaxCover&);
    LRESULT limit;
} kCoverEdits[] = {
    {IDC_SENDER_NAME, [](cv::FaxCover& c) { return +c.senderName; }, 45},
    {IDC_SENDER_COMPANY, [](cv::FaxCover& c) { return +c.senderCompany; }, 45},
    {IDC_SENDER_ADDRESS, [](cv::FaxCover& c) { return +c.senderAddress; }, 45},
    {IDC_SENDER_FAX, [](cv::FaxCover& c) { return +c.senderFax; }, 45},
    {IDC_SENDER_VOICE, [](cv::FaxCover& c) { return +c.senderVoice; }, 45},
    {IDC_SENDER_EMAIL, [](cv::FaxCover& c) { return +c.senderEmail; }, 45},
    {IDC_COMMENTS, [](cv::FaxCover& c) { return +c.comments; }, 1023},
};
// A text of its own for every edit, so that a swap shows.
std::wstring CoverText(const wchar_t* kind, const CoverEdit& e) {
    return kind + std::to_wstring(&e - kCoverEdits);
}

// The cover page dialog from the page, then the fax fields: their checks, where they are
// taken from, and what Apply writes.
TEST_F(OutputPage, CoverPageDialogThenFaxFieldsChecksSourceAndApply) {
    Model(FaxModel());
    HWND page = Open([](cv::PluginDevmode& dm) {
        dm.outputTo = 3;
        dm.fax.sendCoverPage = 1;
        for (const CoverEdit& e : kCoverEdits) {
            const std::wstring text = CoverText(L"old ", e);
            std::copy(text.begin(), text.end() + 1, e.field(dm.fax.cover));
        }
    });
    ASSERT_TRUE(IsEnabled(page, IDC_SETUP_COVER));
    const cv::FaxCover before = Context()->output.coverWork;
    const int windows = counter_.Open(cvtest::Resource::Window);

    DialogScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Enter Fax Cover Page Information");
        for (int id : {IDC_COVER_RECIPIENT, IDC_COVER_SENDER, IDC_COVER_COMMENTS})
            EXPECT_TRUE(IsChecked(dialog, id)) << id;
        for (const CoverEdit& e : kCoverEdits) {
            EXPECT_EQ(WindowText(Control(dialog, e.id)), CoverText(L"old ", e));
            EXPECT_EQ(SendDlgItemMessageW(dialog, e.id, EM_GETLIMITTEXT, 0, 0), e.limit) << e.id;
        }
        // OK follows the three boxes, whichever is the last one on or off.
        Click(dialog, IDC_COVER_RECIPIENT);
        Click(dialog, IDC_COVER_COMMENTS);
        EXPECT_FALSE(IsEnabled(dialog, IDC_COMMENTS));
        EXPECT_TRUE(IsEnabled(dialog, IDOK)) << "the sender's part is left";
        Click(dialog, IDC_COVER_SENDER);
        for (const CoverEdit& e : kCoverEdits)
            EXPECT_FALSE(IsEnabled(dialog, e.id)) << e.id;
        EXPECT_FALSE(IsEnabled(dialog, IDOK)) << "nothing left for a cover page";
        Click(dialog, IDC_COVER_COMMENTS);
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Click(dialog, IDC_COVER_COMMENTS);
        Click(dialog, IDC_COVER_RECIPIENT);
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Type(dialog, IDC_COMMENTS, L"Typed, then cancelled");
        DialogScript::PressButton(dialog, IDCANCEL);
    });
    script.Then([](HWND dialog) {
        for (const CoverEdit& e : kCoverEdits)
            Type(dialog, e.id, CoverText(L"new ", e));
        DialogScript::PressButton(dialog, IDOK);
    });
    script.Then([](HWND dialog) {
        Click(dialog, IDC_COVER_SENDER); // off: the sender texts stay for later
        Type(dialog, IDC_SENDER_NAME, L"Not taken");
        Type(dialog, IDC_COMMENTS, L"Last comment");
        DialogScript::PressButton(dialog, IDOK);
    });
    Click(page, IDC_SETUP_COVER);
    EXPECT_EQ(std::memcmp(&Context()->output.coverWork, &before, sizeof before), 0);
    Click(page, IDC_SETUP_COVER);
    cv::FaxCover& cover = Context()->output.coverWork;
    for (const CoverEdit& e : kCoverEdits)
        EXPECT_EQ(Text(e.field(cover)), CoverText(L"new ", e)) << e.id;
    Click(page, IDC_SETUP_COVER);
    EXPECT_EQ(cover.coverFlags, uint32_t(cv::CoverRecipient | cv::CoverComments));
    EXPECT_EQ(Text(cover.senderName), L"new 0");
    EXPECT_EQ(Text(cover.comments), L"Last comment");
    // A cover page with no part opens with every box off and OK disabled.
    cover.coverFlags = 0;
    script.Then([](HWND dialog) {
        for (int id : {IDC_COVER_RECIPIENT, IDC_COVER_SENDER, IDC_COVER_COMMENTS})
            EXPECT_FALSE(IsChecked(dialog, id)) << id;
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        DialogScript::PressButton(dialog, IDCANCEL);
    });
    Click(page, IDC_SETUP_COVER);
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_EQ(script.Seen().size(), 4u);
    EXPECT_EQ(counter_.Open(cvtest::Resource::Window), windows) << "each dialog went with its OK";

    // Nothing remembered: the devmode's values are shown.
    page =
        Open([](cv::PluginDevmode& dm) { cv::BoundedCopyText(dm.fax.recipientName, u"DM Bob"); });
    for (int id : {IDC_USERNAME, IDC_PIN, IDC_KEEP_JOBS})
        EXPECT_FALSE(IsVisible(page, id)) << id;
    EXPECT_EQ(WindowText(Control(page, IDC_RECIPIENT_NAME)), L"DM Bob");
    EXPECT_TRUE(IsVisible(page, IDC_STATION));
    EXPECT_FALSE(IsEnabled(page, IDC_STATION)) << "fax fields wait for the Fax destination";
    EXPECT_EQ(ComboEntries(page, IDC_RESOLUTION), (std::vector<std::wstring>{L"Fine"}));
    ASSERT_TRUE(SelectListEntry(page, IDC_OUTPUT_LIST, L"Fax"));
    EXPECT_TRUE(IsEnabled(page, IDC_STATION));
    EXPECT_FALSE(IsEnabled(page, IDC_SETUP_COVER)) << "no cover page is sent by default";

    Type(page, IDC_RECIPIENT_NAME, L" ");
    EXPECT_EQ(LeaveMessage(), L"Please enter a name for the fax recipient.");
    ExpectFocus(page, IDC_RECIPIENT_NAME);
    Type(page, IDC_RECIPIENT_NAME, L"Bob");
    EXPECT_EQ(LeaveMessage(), L"Please enter a fax number for the recipient.");
    ExpectFocus(page, IDC_RECIPIENT_FAX);
    Type(page, IDC_RECIPIENT_FAX, L"555-0100");
    Type(page, IDC_STATION, L"");
    EXPECT_EQ(LeaveMessage(), L"Please enter a station name.");
    ExpectFocus(page, IDC_STATION);
    Type(page, IDC_STATION, L"Front Desk");
    Click(page, IDC_SEND_COVER);
    EXPECT_TRUE(IsEnabled(page, IDC_SETUP_COVER));
    Context()->output.coverWork.coverFlags = 0;
    EXPECT_EQ(LeaveMessage(),
              L"You have elected to send a cover page with the fax, but have not selected any "
              L"components for the cover page.  Please either select some components using the "
              L"\"Setup Cover Page\" button or uncheck the \"Send cover page\" box.");

    Context()->output.coverWork.coverFlags = cv::CoverComments;
    cv::BoundedCopyText(Context()->output.coverWork.comments, u"Two pages follow");
    ASSERT_TRUE(sheet_->Apply());
    const cv::FaxSettings& fax = Job().fax;
    EXPECT_EQ(Job().outputTo, 3u);
    EXPECT_EQ(Text(fax.station), L"Front Desk");
    EXPECT_EQ(fax.sendCoverPage, 1u);
    EXPECT_EQ(Text(fax.cover.comments), L"Two pages follow");
    DWORD type = 0;
    const std::vector<BYTE> info = Value(L"FaxInfo", &type);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    ASSERT_EQ(info.size(), sizeof(cv::FaxSettings));
    EXPECT_EQ(std::memcmp(info.data(), &fax, sizeof fax), 0);

    // Now remembered with a recipient, it wins over another devmode.
    page = Open([](cv::PluginDevmode& dm) { cv::BoundedCopyText(dm.fax.recipientName, u"Other"); });
    EXPECT_EQ(WindowText(Control(page, IDC_RECIPIENT_NAME)), L"Bob");
    EXPECT_EQ(WindowText(Control(page, IDC_RECIPIENT_FAX)), L"555-0100");
    EXPECT_EQ(WindowText(Control(page, IDC_STATION)), L"Front Desk");
    EXPECT_TRUE(IsChecked(page, IDC_SEND_COVER));
    // ... unless it is of the wrong type.
    SetValue(L"FaxInfo", REG_SZ, info.data(), static_cast<DWORD>(info.size()));
    page = Open([](cv::PluginDevmode& dm) { cv::BoundedCopyText(dm.fax.recipientName, u"Other"); });
    EXPECT_EQ(WindowText(Control(page, IDC_RECIPIENT_NAME)), L"Other");
}

} // namespace
