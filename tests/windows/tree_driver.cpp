#include "tree_driver.h"

#include <commctrl.h>

namespace cvtest {

namespace {

std::wstring NameOf(const std::wstring& text) {
    const size_t colon = text.find(L": ");
    return colon == std::wstring::npos ? text : text.substr(0, colon);
}

std::wstring NodeText(HWND tree, HTREEITEM node) {
    wchar_t text[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 512;
    TreeView_GetItem(tree, &item);
    return text;
}

// Depth first, in the order the tree shows its nodes.
void Walk(HWND tree, HTREEITEM first, std::vector<HTREEITEM>* out) {
    for (HTREEITEM n = first; n; n = TreeView_GetNextSibling(tree, n)) {
        out->push_back(n);
        Walk(tree, TreeView_GetChild(tree, n), out);
    }
}
std::vector<HTREEITEM> Nodes(HWND tree) {
    std::vector<HTREEITEM> out;
    Walk(tree, TreeView_GetRoot(tree), &out);
    return out;
}

} // namespace

cv::SheetContext* ContextOf(SheetDriver& sheet) {
    return reinterpret_cast<cv::SheetContext*>(sheet.Host().Info().UserData);
}
const cv::PluginDevmode& Job(SheetDriver& sheet) {
    return *sheet.Host().Devmode().PluginRecord();
}

TreeDriver::TreeDriver(SheetDriver& sheet) : sheet_(sheet) {
    if (!sheet.ok() || !sheet.Host().Advanced() || !sheet.SelectPage(0)) return;
    page_ = sheet.CurrentPage();
    tree_ = page_ ? GetDlgItem(page_, cvhost::kTreeControlId) : nullptr;
}

std::vector<std::wstring> TreeDriver::Texts() const {
    std::vector<std::wstring> texts;
    for (HTREEITEM n : Nodes(tree_))
        texts.push_back(NodeText(tree_, n));
    return texts;
}

std::vector<std::wstring> TreeDriver::PluginNames() const {
    std::vector<std::wstring> names;
    auto& host = *sheet_.Host().Advanced();
    for (HTREEITEM n : Nodes(tree_))
        if (host.ItemOf(n) >= static_cast<int>(host.DriverCount()))
            names.push_back(NameOf(NodeText(tree_, n)));
    return names;
}

std::vector<std::string> TreeDriver::Keywords() const {
    std::vector<std::string> keywords;
    auto& host = *sheet_.Host().Advanced();
    for (HTREEITEM n : Nodes(tree_)) {
        const int index = host.ItemOf(n);
        if (index < 0 || index >= static_cast<int>(host.DriverCount())) continue;
        if (const char* k = cvhost::DriverItemKeyword(host.Items()[index])) keywords.push_back(k);
    }
    return keywords;
}

HTREEITEM TreeDriver::Find(const std::wstring& name) const {
    for (HTREEITEM n : Nodes(tree_))
        if (NameOf(NodeText(tree_, n)) == name) return n;
    return nullptr;
}

bool TreeDriver::Click(const std::wstring& name) {
    HTREEITEM node = Find(name);
    if (!node) return false;
    TreeView_SelectItem(tree_, node);
    Pump();
    return true;
}

std::wstring TreeDriver::Value(const std::wstring& name) const {
    HTREEITEM node = Find(name);
    if (!node) return L"";
    const std::wstring text = NodeText(tree_, node);
    const size_t colon = text.find(L": ");
    return colon == std::wstring::npos ? L"" : text.substr(colon + 2);
}

int TreeDriver::ShownControl() const {
    for (int id : {cvhost::kListControlId, cvhost::kComboControlId, cvhost::kNumberControlId,
                   cvhost::kCheckControlId})
        if (IsVisible(page_, id)) return id;
    return 0;
}

std::vector<std::wstring> TreeDriver::Entries() const {
    const int id = ShownControl();
    if (id == cvhost::kListControlId) return ListEntries(page_, id);
    if (id == cvhost::kComboControlId) return ComboEntries(page_, id);
    return {};
}

bool TreeDriver::ControlEnabled() const {
    const int id = ShownControl();
    return id && IsEnabled(page_, id);
}

bool TreeDriver::Choose(const std::wstring& name, const std::wstring& entry) {
    if (!Click(name)) return false;
    const int id = ShownControl();
    if (id == cvhost::kListControlId) return SelectListEntry(page_, id, entry);
    if (id == cvhost::kComboControlId) return SelectComboEntry(page_, id, entry);
    return false;
}

bool TreeDriver::SetNumber(const std::wstring& name, int value) {
    if (!Click(name) || ShownControl() != cvhost::kNumberControlId) return false;
    Type(page_, cvhost::kNumberControlId, std::to_wstring(value));
    return true;
}

bool TreeDriver::Toggle(const std::wstring& name) {
    if (!Click(name) || ShownControl() != cvhost::kCheckControlId) return false;
    cvtest::Click(page_, cvhost::kCheckControlId);
    return true;
}

OPTITEM* TreeDriver::Item(const std::wstring& name) const {
    HTREEITEM node = Find(name);
    const int index = node ? sheet_.Host().Advanced()->ItemOf(node) : -1;
    return index < 0 ? nullptr : &sheet_.Host().Advanced()->Items()[index];
}

} // namespace cvtest
