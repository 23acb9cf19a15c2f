// The document sheet of a printer of the test's own model, opened on one of the plug-in's pages
// for a job devmode the test shapes: what the page and dialog tests share. The driver's key is
// cleared before and after, and nothing the plug-in opened may be left open at the end.
#pragma once

#include "core/records.h"
#include "core/sheet_context.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace cvtest {

// A record's text as far as it is terminated within `capacity` units.
std::wstring Text(const char16_t* units, size_t capacity = 128);

// A default watermark record of that name and text.
cv::WatermarkSettings WatermarkRecord(const wchar_t* name, const wchar_t* text);

using DevmodeEdit = std::function<void(cv::PluginDevmode&)>;

class PageSession : public ::testing::Test {
  protected:
    // `page` is the one under test, `other` the one left to; `modules` are what the counter
    // watches (none: the plug-in DLL).
    PageSession(const wchar_t* page, const wchar_t* other,
                std::initializer_list<HMODULE> modules = {});
    // A printer of a model with `features` (PPD entries), named after the test, its key cleared.
    void Model(const std::string& features = "");
    void TearDown() override;

    // Opens the document sheet on `start` (the page under test when null) for a job whose devmode
    // `edit` shapes (merged, so repaired, before the sheet sees it); page_ is the page under test.
    HWND Open(const DevmodeEdit& edit = {}, bool readOnly = false, const wchar_t* start = nullptr);
    cv::SheetContext* Context();
    const cv::PluginDevmode& Job();
    // Leaves the page and comes back, so that it rebuilds from the working devmode, which
    // `whileAway` changes as another page (a profile being loaded) would.
    void Revisit(const DevmodeEdit& whileAway = {});
    // Tries to leave the page; the error message it answered with ("" when it let go).
    std::wstring LeaveMessage();
    // The focus is on control `id` of `window`. It is asserted only while the window's top level
    // is in the foreground: a UI test in another process may take it at any moment.
    static void ExpectFocus(HWND window, int id, const char* trace = "");

    // "Software\Corvane\PSPlugIn\<driver>" and a subkey of it; the driver carries the printer's
    // name.
    std::wstring KeyPath(const wchar_t* subkey = nullptr) const;
    void SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size,
                  const wchar_t* subkey = nullptr);
    // A stored value's bytes; empty when there is none.
    std::vector<BYTE> Value(const wchar_t* name, DWORD* type = nullptr,
                            const wchar_t* subkey = nullptr);
    void StoreWatermark(const cv::WatermarkSettings& wm);
    // The stored record of `name`; false when there is none of a record's size.
    bool StoredWatermark(const wchar_t* name, cv::WatermarkSettings* wm = nullptr);

    const wchar_t* const pageTitle_;
    const wchar_t* const otherTitle_;
    ResourceCounter counter_;
    std::unique_ptr<ModelPrinter> printer_;
    std::unique_ptr<SheetDriver> sheet_;
    HWND page_ = nullptr;
};

} // namespace cvtest
