#include "page_session.h"

#include "host/job_devmode.h"
#include "ui/bounded_string.h"

#include <cstring>

namespace cvtest {

std::wstring Text(const char16_t* units, size_t capacity) {
    return std::wstring(reinterpret_cast<const wchar_t*>(units),
                        cv::BoundedLength(units, capacity));
}

cv::WatermarkSettings WatermarkRecord(const wchar_t* name, const wchar_t* text) {
    cv::WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    cv::BoundedCopyText(wm.name, reinterpret_cast<const char16_t*>(name));
    cv::BoundedCopyText(wm.text, reinterpret_cast<const char16_t*>(text));
    return wm;
}

PageSession::PageSession(const wchar_t* page, const wchar_t* other,
                         std::initializer_list<HMODULE> modules)
    : pageTitle_(page), otherTitle_(other), counter_(modules) {}

void PageSession::Model(const std::string& features) {
    // CTest runs two tests at once: a printer (and so a driver key) of each test's own.
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const size_t tag = std::hash<std::string>{}(test->name()) % 100000;
    const std::string suite = test->test_suite_name();
    printer_ = std::make_unique<ModelPrinter>(
        std::wstring(suite.begin(), suite.end()) + L" " + std::to_wstring(tag), features);
    ASSERT_TRUE(printer_->ok()) << printer_->error;
    RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
}

void PageSession::TearDown() {
    sheet_.reset();
    if (printer_ && printer_->ok()) RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
    EXPECT_EQ(counter_.Leaks(), "");
    // Every page here reads the registry as it is made: a counter that saw no key saw nothing.
    if (page_) {
        EXPECT_GT(counter_.Opened(Resource::RegistryKey), 0);
    }
}

HWND PageSession::Open(const DevmodeEdit& edit, bool readOnly, const wchar_t* start) {
    sheet_.reset();
    cvhost::SheetOptions options;
    options.readOnly = readOnly;
    options.startPage = start ? start : pageTitle_;
    cv::PluginDevmode dm{};
    cv::defaultPluginDevmode(&dm);
    if (edit) edit(dm);
    const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&dm, sizeof dm);
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    sheet_ = std::make_unique<SheetDriver>(printer_->printerName, options);
    EXPECT_TRUE(sheet_->ok()) << sheet_->error();
    page_ = sheet_->Page(pageTitle_);
    // The sheet opens on the page; selecting it again would make it be left and shown anew.
    if (!start) {
        EXPECT_EQ(sheet_->CurrentPage(), page_);
    }
    return page_;
}

cv::SheetContext* PageSession::Context() {
    return reinterpret_cast<cv::SheetContext*>(sheet_->Host().Info().UserData);
}

const cv::PluginDevmode& PageSession::Job() {
    return *sheet_->Host().Devmode().PluginRecord();
}

void PageSession::Revisit(const DevmodeEdit& whileAway) {
    ASSERT_TRUE(sheet_->SelectPage(otherTitle_));
    if (whileAway) whileAway(Context()->dm);
    ASSERT_TRUE(sheet_->SelectPage(pageTitle_));
    page_ = sheet_->Page(pageTitle_);
}

std::wstring PageSession::LeaveMessage() {
    DialogScript script;
    script.Press(IDOK);
    const bool left = sheet_->SelectPage(otherTitle_);
    if (script.Seen().empty()) return left ? L"" : L"<refused without a message>";
    EXPECT_FALSE(left);
    EXPECT_EQ(script.Seen()[0].icon, UINT(MB_ICONERROR));
    return script.Seen()[0].text;
}

void PageSession::ExpectFocus(HWND window, int id, const char* trace) {
    if (GetForegroundWindow() != GetAncestor(window, GA_ROOT)) return;
    HWND focus = GetFocus(), control = Control(window, id);
    // A combo box's focus is on its edit.
    EXPECT_TRUE(focus == control || GetParent(focus) == control) << trace;
}

std::wstring PageSession::KeyPath(const wchar_t* subkey) const {
    const std::wstring key = L"Software\\Corvane\\PSPlugIn\\" + printer_->printerName;
    return subkey ? key + L"\\" + subkey : key;
}

void PageSession::SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size,
                           const wchar_t* subkey) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), name, type, data, size),
              ERROR_SUCCESS);
}

std::vector<BYTE> PageSession::Value(const wchar_t* name, DWORD* type, const wchar_t* subkey) {
    std::vector<BYTE> data(8192);
    DWORD size = static_cast<DWORD>(data.size()), t = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, KeyPath(subkey).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                     &t, data.data(), &size) != ERROR_SUCCESS)
        return {};
    if (type) *type = t;
    data.resize(size);
    return data;
}

void PageSession::StoreWatermark(const cv::WatermarkSettings& wm) {
    SetValue(Text(wm.name).c_str(), REG_BINARY, &wm, sizeof wm, L"Watermarks");
}

bool PageSession::StoredWatermark(const wchar_t* name, cv::WatermarkSettings* wm) {
    const std::vector<BYTE> bytes = Value(name, nullptr, L"Watermarks");
    if (bytes.size() != sizeof(cv::WatermarkSettings)) return false;
    if (wm) std::memcpy(wm, bytes.data(), bytes.size());
    return true;
}

} // namespace cvtest
