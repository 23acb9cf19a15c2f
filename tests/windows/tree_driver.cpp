#include "tree_driver.h"

#include <commctrl.h>

namespace cvtest {

namespace {

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

std::wstring NameOf(const std::wstring& text) {
    return text.substr(0, text.find(L": "));
}

// Depth first, in the order the tree shows its nodes.
void Walk(HWND tree, HTREEITEM first, std::vector<HTREEITEM>* out) {
    for (HTREEITEM n = first; n; n = TreeView_GetNextSibling(tree, n)) {
        out->push_back(n);
        Walk(tree, TreeView_GetChild(tree, n), out);
    }
}

} // namespace

TreeDriver::TreeDriver(SheetDriver& sheet) : sheet_(sheet) {
    if (!sheet.ok() || !sheet.Host().Advanced() || !sheet.SelectPage(0)) return;
    page_ = sheet.CurrentPage();
    tree_ = page_ ? GetDlgItem(page_, cvhost::kTreeControlId) : nullptr;
}

std::vector<HTREEITEM> TreeDriver::Nodes() const {
    std::vector<HTREEITEM> out;
    Walk(tree_, TreeView_GetRoot(tree_), &out);
    return out;
}

std::vector<std::wstring> TreeDriver::Texts(bool pluginNames) const {
    std::vector<std::wstring> texts;
    const auto& host = *sheet_.Host().Advanced();
    for (HTREEITEM n : Nodes())
        if (!pluginNames)
            texts.push_back(NodeText(tree_, n));
        else if (host.ItemOf(n) >= static_cast<int>(host.DriverCount()))
            texts.push_back(NameOf(NodeText(tree_, n)));
    return texts;
}

HTREEITEM TreeDriver::Find(const std::wstring& name) const {
    for (HTREEITEM n : Nodes())
        if (NameOf(NodeText(tree_, n)) == name) return n;
    return nullptr;
}

std::wstring TreeDriver::Value(const std::wstring& name) const {
    HTREEITEM node = Find(name);
    const std::wstring text = node ? NodeText(tree_, node) : L"";
    const size_t colon = text.find(L": ");
    return colon == std::wstring::npos ? L"" : text.substr(colon + 2);
}

int TreeDriver::Click(const std::wstring& name) {
    HTREEITEM node = Find(name);
    if (!node) return 0;
    TreeView_SelectItem(tree_, node);
    Pump();
    for (int id : {cvhost::kListControlId, cvhost::kComboControlId, cvhost::kNumberControlId,
                   cvhost::kCheckControlId})
        if (IsVisible(page_, id)) return id;
    return 0;
}

bool TreeDriver::Set(const std::wstring& name, const std::wstring& value) {
    const int id = Click(name);
    if (id == cvhost::kListControlId) return SelectListEntry(page_, id, value);
    if (id == cvhost::kComboControlId) return SelectComboEntry(page_, id, value);
    if (id == cvhost::kNumberControlId) Type(page_, id, value);
    if (id == cvhost::kCheckControlId && IsChecked(page_, id) != (value == L"On"))
        cvtest::Click(page_, id);
    return id != 0;
}

OPTITEM* TreeDriver::Item(const std::wstring& name) const {
    HTREEITEM node = Find(name);
    const int index = node ? sheet_.Host().Advanced()->ItemOf(node) : -1;
    return index < 0 ? nullptr : &sheet_.Host().Advanced()->Items()[index];
}

} // namespace cvtest
