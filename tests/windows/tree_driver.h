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
inline cv::SheetContext* ContextOf(SheetDriver& sheet) {
    return reinterpret_cast<cv::SheetContext*>(sheet.Host().Info().UserData);
}
inline const cv::PluginDevmode& Job(SheetDriver& sheet) {
    return *sheet.Host().Devmode().PluginRecord();
}

class TreeDriver {
  public:
    // Selects the sheet's tree page (its first page).
    explicit TreeDriver(SheetDriver& sheet);
    bool ok() const { return tree_ != nullptr; }
    cvhost::AdvancedPage& Host() { return *sheet_.Host().Advanced(); }

    // The tree's texts in order ("Name: Value"), depth first as shown; with `pluginNames`, only
    // the names of the items below the driver's (the plug-in's).
    std::vector<std::wstring> Texts(bool pluginNames = false) const;
    // The value shown for an item in the tree; empty when there is none.
    std::wstring Value(const std::wstring& name) const;
    // A click on the item, then the user's choice in the control beside the tree: the entry of
    // a list, the number typed, the check box "On" or not. False when the tree has no such item
    // or its list no such entry.
    bool Set(const std::wstring& name, const std::wstring& value);
    // The item record behind a name (null when the tree has none).
    OPTITEM* Item(const std::wstring& name) const;

  private:
    std::vector<HTREEITEM> Nodes() const;
    HTREEITEM Find(const std::wstring& name) const;
    // Clicks the item: the control then shown beside the tree, 0 when there is no such item.
    int Click(const std::wstring& name);

    SheetDriver& sheet_;
    HWND page_ = nullptr;
    HWND tree_ = nullptr;
};

} // namespace cvtest
