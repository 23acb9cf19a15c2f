// Drives the host's tree page (Advanced, Device Settings) as a user does: a click on an item of
// the tree, then on the control beside it. Items are named by their name as the tree shows it
// (the text before ": ").
#pragma once

#include "core/sheet_context.h"
#include "host/advanced_page.h"
#include "ui_driver.h"

#include <string>
#include <vector>

namespace cvtest {

// The sheet's context (its working devmode, the tree's record) and the job's plug-in record.
cv::SheetContext* ContextOf(SheetDriver& sheet);
const cv::PluginDevmode& Job(SheetDriver& sheet);

class TreeDriver {
  public:
    // Selects the sheet's tree page (its first page).
    explicit TreeDriver(SheetDriver& sheet);
    bool ok() const { return page_ != nullptr && tree_ != nullptr; }
    HWND Page() const { return page_; }
    cvhost::AdvancedPage& Host() { return *sheet_.Host().Advanced(); }

    // The tree's texts in order ("Name: Value"), depth first as shown.
    std::vector<std::wstring> Texts() const;
    // The item names shown below the driver's items (the plug-in's), in order.
    std::vector<std::wstring> PluginNames() const;
    // The feature keyword of every driver item the tree shows, in order (items that stand for
    // no feature are left out).
    std::vector<std::string> Keywords() const;
    // Clicks the first item of that name; false when the tree has none.
    bool Click(const std::wstring& name);
    // The value shown for an item in the tree; empty when there is none.
    std::wstring Value(const std::wstring& name) const;
    // After Click: the entries of the list or combo box beside the tree, and whether the
    // control shown for the item is enabled.
    std::vector<std::wstring> Entries() const;
    bool ControlEnabled() const;
    // Click, then the user's choice in the control beside the tree.
    bool Choose(const std::wstring& name, const std::wstring& entry);
    bool SetNumber(const std::wstring& name, int value);
    bool Toggle(const std::wstring& name);
    // The item record behind a name (null when the tree has none).
    OPTITEM* Item(const std::wstring& name) const;

  private:
    HTREEITEM Find(const std::wstring& name) const;
    int ShownControl() const;

    SheetDriver& sheet_;
    HWND page_ = nullptr;
    HWND tree_ = nullptr;
};

} // namespace cvtest
