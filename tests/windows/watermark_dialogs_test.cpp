// The watermark dialogs, opened from the Watermark page of the real document sheet the way the
// page's buttons will open them (the editor, the Position and dynamic-variable dialogs within it,
// the edit-selection and remove dialogs) and driven as a user would: what each shows, what the
// checks say and where they put the focus, what lands in the registry and what the caller gets.
// The dialogs run from the shell linked into this program, on the templates and strings of the
// loaded plug-in.
#include "core/module.h"
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "import_hook.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "support.h"
#include "ui/bounded_string.h"
#include "ui_driver.h"
#include "watermark/editor_dialog.h"
#include "watermark/list_dialogs.h"
#include "watermark/watermark_resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

std::wstring Text(const char16_t* units, size_t capacity = 128) {
    return std::wstring(reinterpret_cast<const wchar_t*>(units),
                        cv::BoundedLength(units, capacity));
}

WatermarkSettings Record(const wchar_t* name, const wchar_t* text) {
    WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    cv::BoundedCopyText(wm.name, reinterpret_cast<const char16_t*>(name));
    cv::BoundedCopyText(wm.text, reinterpret_cast<const char16_t*>(text));
    return wm;
}

// The edit part of a drop-down combo box: typing there is what sends CBN_EDITCHANGE.
HWND ComboEdit(HWND dialog, int id) {
    COMBOBOXINFO info{sizeof info};
    return GetComboBoxInfo(Control(dialog, id), &info) ? info.hwndItem : nullptr;
}
void TypeInCombo(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(ComboEdit(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
}
std::wstring SelectedComboText(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return L"<none>";
    return ComboEntries(dialog, id)[static_cast<size_t>(index)];
}
std::wstring ControlString(HWND dialog, int id) {
    return WindowText(Control(dialog, id));
}

class WatermarkDialogs : public ::testing::Test {
  protected:
    void Open(const wchar_t* tag) {
        cv::moduleInstance = PluginDll::Get().module;
        printer_ = std::make_unique<ModelPrinter>(tag, "");
        ASSERT_TRUE(printer_->ok()) << printer_->error;
        RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().c_str());
        sheet_ = std::make_unique<SheetDriver>(printer_->printerName, cvhost::SheetOptions{});
        ASSERT_TRUE(sheet_->ok()) << sheet_->error();
        ASSERT_TRUE(sheet_->SelectPage(L"Watermark"));
        page_ = sheet_->CurrentPage();
        ctx_ = cv::PageContext(page_);
        ASSERT_NE(ctx_, nullptr);
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

    void Store(const WatermarkSettings& wm) { StoreBytes(Text(wm.name).c_str(), &wm, sizeof wm); }
    void StoreBytes(const wchar_t* name, const void* data, DWORD size) {
        ASSERT_EQ(
            RegSetKeyValueW(HKEY_CURRENT_USER, StorePath().c_str(), name, REG_BINARY, data, size),
            ERROR_SUCCESS);
    }
    // The stored record of `name`; false when there is none of a record's size.
    bool Stored(const wchar_t* name, WatermarkSettings* wm) {
        DWORD size = sizeof *wm, type = 0;
        return RegGetValueW(HKEY_CURRENT_USER, StorePath().c_str(), name, RRF_RT_ANY, &type, wm,
                            &size) == ERROR_SUCCESS &&
               size == sizeof *wm;
    }
    bool IsStored(const wchar_t* name) {
        WatermarkSettings wm{};
        return Stored(name, &wm);
    }

    // The focus is asserted only while the dialog has it to give: another test process may take
    // the foreground at any moment.
    static void ExpectFocus(HWND dialog, int id, const char* trace) {
        if (GetForegroundWindow() != dialog) return;
        HWND focus = GetFocus();
        EXPECT_TRUE(focus == Control(dialog, id) || GetParent(focus) == Control(dialog, id))
            << trace;
    }

    // The dialog's program shell and the plug-in both open keys, DCs and fonts.
    ResourceCounter counter_{PluginDll::Get().module, ResourceCounter::Program()};
    std::unique_ptr<ModelPrinter> printer_;
    std::unique_ptr<SheetDriver> sheet_;
    HWND page_ = nullptr;
    cv::SheetContext* ctx_ = nullptr;
};

TEST_F(WatermarkDialogs, Probe) {
    Open(L"WmProbe");
    Store(Record(L"Draft", L"DRAFT"));
    DialogScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), L"Add Watermark");
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        EXPECT_GT(ComboEntries(dialog, IDC_WM_FONT).size(), 0u);
        EXPECT_EQ(ComboEntries(dialog, IDC_WM_COLOR).size(), 13u);
        EXPECT_EQ(SelectedComboText(dialog, IDC_WM_SIZE), L"72");
        EXPECT_EQ(SelectedComboText(dialog, IDC_WM_FONT), L"Arial");
        EXPECT_EQ(ControlString(dialog, IDC_WM_INTENSITY), L"100");
        EXPECT_EQ(ControlString(dialog, IDC_WM_ANGLE), L"0");
        Type(dialog, IDC_WM_NAME, L"Mine");
        Type(dialog, IDC_WM_TEXT, L"MINE");
        TypeInCombo(dialog, IDC_WM_SIZE, L"33");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        Click(dialog, IDOK);
    });
    WatermarkSettings saved{};
    EXPECT_TRUE(cv::AddWatermark(page_, ctx_, &saved));
    EXPECT_EQ(Text(saved.name), L"Mine");
    EXPECT_TRUE(IsStored(L"Mine"));
    EXPECT_EQ(script.Unexpected(), 0);
}

} // namespace
