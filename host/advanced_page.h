// The driver's tree page as compstui shows it: the driver's option items followed by the
// plug-in's in one array (counted and filled through CommonUIProp), shown as a tree with the
// selected item's control beside it, and the plug-in's item callback called as compstui calls
// it. The document sheet's page is "Advanced"; the printer sheet's is "Device Settings", with
// the items of the model's installable options.
#pragma once

#include "core/plugin_abi.h"
#include "host/driver_items.h"

#include <string>
#include <vector>

namespace cvhost {

class DriverUI;

// Control identifiers of the page.
constexpr int kTreeControlId = 1001;
constexpr int kItemLabelId = 1002;
constexpr int kListControlId = 1003;  // TVOT_2STATES, TVOT_3STATES, TVOT_LISTBOX
constexpr int kComboControlId = 1004; // TVOT_COMBOBOX
constexpr int kNumberControlId = 1005; // TVOT_UDARROW: the number, with its up-down control
constexpr int kUpDownControlId = 1006;
constexpr int kCheckControlId = 1007; // TVOT_CHKBOX
constexpr int kCornerControlId = 8000; // compstui's corner control, which plug-ins move

// One call of the plug-in's item callback and its answer.
struct TreeCallbackCall {
    LONG reason;
    LONG action;
    LONG oldSel;
    const OPTITEM* item;
};

class AdvancedPage {
  public:
    // `sheetParam` is the sheet's parameter block (devmode copy, heap, flags); it outlives the
    // page.
    AdvancedPage(DriverUI& driver, bool document, const OEMUIPSPARAM& sheetParam);
    ~AdvancedPage();
    AdvancedPage(const AdvancedPage&) = delete;
    AdvancedPage& operator=(const AdvancedPage&) = delete;

    // Builds the driver's items and lets the plug-in count and fill its own (CommonUIProp),
    // as the driver does before the plug-in's pages are added.
    bool Prepare(std::wstring* error);
    // The page for PropertySheetW (null when it cannot be made).
    HPROPSHEETPAGE Create();

    const std::wstring& Title() const { return title_; }
    POPTITEM Items() const { return items_; }
    DWORD DriverCount() const { return driverCount_; }
    DWORD PluginCount() const { return param_.cOEMOptItems; }
    OEMCUIPPARAM& CuiParam() { return param_; }
    HWND Window() const { return window_; }
    // For a picture: the driver's sections closed and the plug-in's first item with a value
    // selected (the first item when the plug-in added none), so that its groups show.
    void ShowPluginItems();
    // The node that shows an item; null when the item is not in the tree (hidden).
    HTREEITEM NodeOf(int index) const;
    // The item a node of the tree shows; -1 for none.
    int ItemOf(HTREEITEM node) const;
    // The tree's text of an item: its name, and its value after ": " when it has one.
    std::wstring ItemText(int index) const;

    HRESULT countResult = E_FAIL;
    HRESULT fillResult = E_FAIL;
    std::vector<TreeCallbackCall> calls;

  private:
    static INT_PTR CALLBACK Proc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Rebuild();
    void ShowItem(int index);
    void Change(int index, LONG sel);
    LONG Call(LONG reason, OPTITEM* item, LONG oldSel);
    void Honour(LONG action);
    std::wstring ParamText(const OPTPARAM& param) const;
    std::wstring ValueText(const OPTITEM& item) const;
    bool ItemEnabled(const OPTITEM& item) const;
    LRESULT CustomDraw(NMTVCUSTOMDRAW* draw);

    DriverUI& driver_;
    bool document_;
    bool readOnly_;
    std::wstring title_;
    OEMCUIPPARAM param_{};
    POPTITEM items_ = nullptr;
    DWORD driverCount_ = 0;
    HMODULE uiModule_ = nullptr; // the driver's UI module, for its strings
    std::vector<WORD> template_;
    HWND window_ = nullptr;
    HWND tree_ = nullptr;
    int current_ = -1;
    bool filling_ = false;
};

} // namespace cvhost
