#include "host/advanced_page.h"

#include "host/driver_ui.h"

#include <commctrl.h>

#include <cwchar>

namespace cvhost {

namespace {

// Page sizes in dialog units: those of the plug-in's pages of each sheet.
constexpr short kDocumentWidth = 360, kDocumentHeight = 273;
constexpr short kPrinterWidth = 282, kPrinterHeight = 250;

void AppendString(std::vector<WORD>* t, const wchar_t* text) {
    for (; *text; ++text)
        t->push_back(static_cast<WORD>(*text));
    t->push_back(0);
}

// An empty page template (the controls are made at WM_INITDIALOG), in the pages' font.
std::vector<WORD> PageTemplate(const std::wstring& title, short width, short height) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = WS_CHILD | WS_CAPTION | DS_SETFONT | DS_3DLOOK | DS_CONTROL;
    header->cx = width;
    header->cy = height;
    t.push_back(0); // no menu
    t.push_back(0); // the standard class
    AppendString(&t, title.c_str());
    t.push_back(8);
    AppendString(&t, L"MS Shell Dlg");
    return t;
}

bool IsListType(BYTE type) {
    return type == TVOT_2STATES || type == TVOT_3STATES || type == TVOT_LISTBOX;
}

} // namespace

AdvancedPage::AdvancedPage(DriverUI& driver, bool document, const OEMUIPSPARAM& sheetParam)
    : driver_(driver), document_(document),
      readOnly_((sheetParam.dwFlags & DM_NOPERMISSION) != 0),
      title_(document ? L"Advanced" : L"Device Settings") {
    param_.cbSize = sizeof param_;
    param_.poemuiobj = sheetParam.poemuiobj;
    param_.hPrinter = sheetParam.hPrinter;
    param_.pPrinterName = sheetParam.pPrinterName;
    param_.hModule = sheetParam.hModule;
    param_.hOEMHeap = sheetParam.hOEMHeap;
    param_.pPublicDM = sheetParam.pPublicDM;
    param_.pOEMDM = sheetParam.pOEMDM;
    param_.dwFlags = sheetParam.dwFlags;
}

AdvancedPage::~AdvancedPage() {
    if (uiModule_) FreeLibrary(uiModule_);
}

bool AdvancedPage::Prepare(std::wstring* error) {
    const HANDLE heap = param_.hOEMHeap;
    DriverItems driverItems;
    if (!BuildDriverItems(heap, driver_.CoreUI().Model(), driver_.CoreUI(), document_,
                          param_.pPublicDM, &driverItems, error))
        return false;
    items_ = driverItems.items;
    driverCount_ = driverItems.count;
    if (!driver_.ConfigFile().empty())
        uiModule_ =
            LoadLibraryExW(driver_.ConfigFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

    const DWORD mode = document_ ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    param_.pDrvOptItems = items_;
    param_.cDrvOptItems = driverCount_;
    IPrintOemUI2* plugin = driver_.Plugin();
    countResult = plugin->CommonUIProp(mode, &param_);
    if (FAILED(countResult)) param_.cOEMOptItems = 0;
    // The plug-in's items follow the driver's in one array; the filling call gets a pointer
    // behind the driver's even when the plug-in adds none.
    const DWORD total = driverCount_ + param_.cOEMOptItems;
    void* grown = HeapReAlloc(heap, HEAP_ZERO_MEMORY, items_, total * sizeof(OPTITEM));
    if (!grown) {
        if (error) *error = L"no room in the sheet's heap for the plug-in's items";
        return false;
    }
    items_ = static_cast<POPTITEM>(grown);
    param_.pDrvOptItems = items_;
    param_.pOEMOptItems = items_ + driverCount_;
    if (SUCCEEDED(countResult)) fillResult = plugin->CommonUIProp(mode, &param_);
    if (FAILED(fillResult)) param_.cOEMOptItems = 0;
    // The driver reads the records back: a plug-in item the plug-in left unfilled is dropped.
    for (DWORD i = 0; i < param_.cOEMOptItems; ++i)
        if (param_.pOEMOptItems[i].cbSize != sizeof(OPTITEM))
            param_.pOEMOptItems[i].Flags |= OPTIF_HIDE;
    return true;
}

HPROPSHEETPAGE AdvancedPage::Create() {
    template_ = document_ ? PageTemplate(title_, kDocumentWidth, kDocumentHeight)
                          : PageTemplate(title_, kPrinterWidth, kPrinterHeight);
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(template_.data());
    page.pfnDlgProc = &Proc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageW(&page);
}

int AdvancedPage::ItemOf(HTREEITEM node) const {
    if (!tree_ || !node) return -1;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!TreeView_GetItem(tree_, &item)) return -1;
    return static_cast<int>(item.lParam);
}

HTREEITEM AdvancedPage::NodeOf(int index) const {
    if (!tree_) return nullptr;
    std::vector<HTREEITEM> stack;
    for (HTREEITEM n = TreeView_GetRoot(tree_); n; n = TreeView_GetNextSibling(tree_, n))
        stack.push_back(n);
    while (!stack.empty()) {
        HTREEITEM node = stack.back();
        stack.pop_back();
        if (ItemOf(node) == index) return node;
        for (HTREEITEM c = TreeView_GetChild(tree_, node); c; c = TreeView_GetNextSibling(tree_, c))
            stack.push_back(c);
    }
    return nullptr;
}

void AdvancedPage::ShowPluginItems() {
    if (!tree_) return;
    // Only the plug-in's groups need the room: without them every section stays open.
    for (DWORD i = 0; param_.cOEMOptItems && i < driverCount_; ++i)
        if (items_[i].Level == 1)
            if (HTREEITEM node = NodeOf(static_cast<int>(i))) TreeView_Expand(tree_, node, TVE_COLLAPSE);
    int chosen = driverCount_ ? 0 : -1;
    for (DWORD i = 0; i < param_.cOEMOptItems; ++i)
        if (param_.pOEMOptItems[i].pOptType) {
            chosen = static_cast<int>(driverCount_ + i);
            break;
        }
    if (HTREEITEM node = NodeOf(chosen)) {
        TreeView_SelectItem(tree_, node);
        TreeView_EnsureVisible(tree_, node);
    }
    TreeView_SelectSetFirstVisible(tree_, TreeView_GetRoot(tree_));
}

std::wstring AdvancedPage::ParamText(const OPTPARAM& param) const {
    const auto id = reinterpret_cast<ULONG_PTR>(param.pData);
    if (!param.pData) return L"";
    if (!IS_INTRESOURCE(id)) return param.pData;
    // A string number of the driver's UI module.
    wchar_t text[256] = {};
    if (uiModule_) LoadStringW(uiModule_, static_cast<UINT>(id), text, 256);
    return text;
}

std::wstring AdvancedPage::ValueText(const OPTITEM& item) const {
    const OPTTYPE* type = item.pOptType;
    if (!type || !type->pOptParam) return L"";
    switch (type->Type) {
    case TVOT_UDARROW:
        return std::to_wstring(item.Sel);
    case TVOT_CHKBOX:
        return item.Sel ? L"On" : L"Off";
    default:
        if (item.Sel >= 0 && static_cast<DWORD>(item.Sel) < type->Count)
            return ParamText(type->pOptParam[item.Sel]);
        return L"";
    }
}

std::wstring AdvancedPage::ItemText(int index) const {
    if (index < 0 || static_cast<DWORD>(index) >= driverCount_ + param_.cOEMOptItems) return L"";
    const OPTITEM& item = items_[index];
    std::wstring text;
    if (item.pName) {
        const auto id = reinterpret_cast<ULONG_PTR>(item.pName);
        if (IS_INTRESOURCE(id)) {
            OPTPARAM named{};
            named.pData = item.pName;
            text = ParamText(named);
        } else {
            text = item.pName;
        }
    }
    if (item.pOptType) text += L": " + ValueText(item);
    return text;
}

bool AdvancedPage::ItemEnabled(const OPTITEM& item) const {
    return !readOnly_ && !(item.Flags & OPTIF_DISABLED);
}

INT_PTR CALLBACK AdvancedPage::Proc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self =
            reinterpret_cast<AdvancedPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window_ = page;
    }
    auto* self = reinterpret_cast<AdvancedPage*>(GetWindowLongPtrW(page, DWLP_USER));
    return self ? self->Handle(msg, wParam, lParam) : FALSE;
}

void AdvancedPage::CreateControls() {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
    RECT client{};
    GetClientRect(window_, &client);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(window_, &unit); // pixels of 4 by 8 dialog units
    const int margin = unit.right * 7 / 4;
    const int right = client.right - margin;
    const int treeWidth = (client.right - 3 * margin) * 3 / 5;
    const int x = margin * 2 + treeWidth, width = right - x;
    const int line = unit.bottom * 14 / 8;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto make = [&](DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, int cx,
                    int cy, int w, int h, int id) {
        HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | style, cx, cy, w, h, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                 nullptr);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return c;
    };
    tree_ = make(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                 WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                     TVS_SHOWSELALWAYS,
                 margin, margin, treeWidth, client.bottom - 2 * margin, kTreeControlId);
    make(0, L"STATIC", L"", WS_VISIBLE | SS_LEFT, x, margin, width, line * 2, kItemLabelId);
    const int top = margin + line * 2 + unit.bottom / 2;
    make(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, x, top, width,
         line * 8, kListControlId);
    make(0, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, x, top, width,
         line * 10, kComboControlId);
    HWND number = make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, x, top,
                       width / 2, line, kNumberControlId);
    make(0, UPDOWN_CLASSW, L"",
         UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0,
         kUpDownControlId);
    SendDlgItemMessageW(window_, kUpDownControlId, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(number), 0);
    make(0, L"BUTTON", L"Enabled", WS_TABSTOP | BS_AUTOCHECKBOX, x, top, width, line,
         kCheckControlId);
    // compstui's corner control; the plug-in keeps it in the page's bottom-right corner.
    HWND corner = make(0, L"STATIC", L"", WS_VISIBLE | SS_ICON, x, client.bottom - margin - 32,
                       32, 32, kCornerControlId);
    SendMessageW(corner, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_APPLICATION)), 0);
}

void AdvancedPage::Rebuild() {
    filling_ = true;
    const int keep = current_;
    SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree_);
    std::vector<HTREEITEM> parents; // the last node shown at each level
    std::vector<BYTE> levels;
    HTREEITEM selected = nullptr;
    BYTE hiddenBelow = 0xFF; // items deeper than a hidden item are hidden with it
    const DWORD total = driverCount_ + param_.cOEMOptItems;
    for (DWORD i = 0; i < total; ++i) {
        const OPTITEM& item = items_[i];
        if (hiddenBelow != 0xFF && item.Level > hiddenBelow) continue;
        hiddenBelow = 0xFF;
        if (item.Flags & OPTIF_HIDE) {
            hiddenBelow = item.Level;
            continue;
        }
        while (!levels.empty() && levels.back() >= item.Level) {
            levels.pop_back();
            parents.pop_back();
        }
        const std::wstring text = ItemText(static_cast<int>(i));
        TVINSERTSTRUCTW insert{};
        insert.hParent = parents.empty() ? TVI_ROOT : parents.back();
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.lParam = static_cast<LPARAM>(i);
        HTREEITEM node = TreeView_InsertItem(tree_, &insert);
        if (static_cast<int>(i) == keep) selected = node;
        parents.push_back(node);
        levels.push_back(item.Level);
    }
    // Every node open, as compstui shows the tree.
    for (HTREEITEM n = TreeView_GetRoot(tree_); n; n = TreeView_GetNextItem(tree_, n, TVGN_NEXT)) {
        std::vector<HTREEITEM> stack{n};
        while (!stack.empty()) {
            HTREEITEM node = stack.back();
            stack.pop_back();
            TreeView_Expand(tree_, node, TVE_EXPAND);
            for (HTREEITEM c = TreeView_GetChild(tree_, node); c; c = TreeView_GetNextSibling(tree_, c))
                stack.push_back(c);
        }
    }
    current_ = selected ? keep : -1;
    if (selected) TreeView_SelectItem(tree_, selected);
    SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree_, nullptr, TRUE);
    filling_ = false;
    ShowItem(current_);
}

void AdvancedPage::ShowItem(int index) {
    filling_ = true;
    current_ = index;
    for (int id : {kListControlId, kComboControlId, kNumberControlId, kUpDownControlId,
                   kCheckControlId})
        ShowWindow(GetDlgItem(window_, id), SW_HIDE);
    const OPTITEM* item = index >= 0 ? &items_[index] : nullptr;
    const OPTTYPE* type = item ? item->pOptType : nullptr;
    std::wstring label;
    if (item) {
        std::wstring name = ItemText(index);
        const size_t colon = item->pOptType ? name.rfind(L": ") : std::wstring::npos;
        if (colon != std::wstring::npos) name.resize(colon);
        label = type ? L"Change '" + name + L"' Setting:" : name;
    }
    SetDlgItemTextW(window_, kItemLabelId, label.c_str());
    if (type && type->pOptParam) {
        const BOOL enabled = ItemEnabled(*item);
        int shown = 0;
        if (IsListType(type->Type) || type->Type == TVOT_COMBOBOX) {
            const bool list = IsListType(type->Type);
            shown = list ? kListControlId : kComboControlId;
            HWND c = GetDlgItem(window_, shown);
            SendMessageW(c, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
            for (WORD i = 0; i < type->Count; ++i) {
                const std::wstring text = ParamText(type->pOptParam[i]);
                SendMessageW(c, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(text.c_str()));
            }
            SendMessageW(c, list ? LB_SETCURSEL : CB_SETCURSEL, item->Sel, 0);
        } else if (type->Type == TVOT_UDARROW && type->Count >= 2) {
            shown = kNumberControlId;
            const LONG low = static_cast<LONG>(type->pOptParam[1].IconID);
            const LONG high = static_cast<LONG>(type->pOptParam[1].lParam);
            SendDlgItemMessageW(window_, kUpDownControlId, UDM_SETRANGE32, low, high);
            SendDlgItemMessageW(window_, kUpDownControlId, UDM_SETPOS32, 0, item->Sel);
            SetDlgItemInt(window_, kNumberControlId, static_cast<UINT>(item->Sel), TRUE);
            ShowWindow(GetDlgItem(window_, kUpDownControlId), SW_SHOW);
            EnableWindow(GetDlgItem(window_, kUpDownControlId), enabled);
        } else if (type->Type == TVOT_CHKBOX) {
            shown = kCheckControlId;
            CheckDlgButton(window_, kCheckControlId, item->Sel ? BST_CHECKED : BST_UNCHECKED);
        }
        if (shown) {
            ShowWindow(GetDlgItem(window_, shown), SW_SHOW);
            EnableWindow(GetDlgItem(window_, shown), enabled);
        }
    }
    filling_ = false;
}

LONG AdvancedPage::Call(LONG reason, OPTITEM* item, LONG oldSel) {
    if (!param_.OEMCUIPCallback) return CPSUICB_ACTION_NONE;
    CPSUICBPARAM cb{};
    cb.cbSize = sizeof cb;
    cb.Reason = static_cast<WORD>(reason);
    cb.hDlg = window_;
    cb.pOptItem = items_;
    cb.cOptItem = static_cast<WORD>(driverCount_ + param_.cOEMOptItems);
    cb.pCurItem = item;
    cb.OldSel = oldSel;
    const LONG action = param_.OEMCUIPCallback(&cb, &param_);
    calls.push_back(TreeCallbackCall{reason, action, oldSel, item});
    return action;
}

void AdvancedPage::Honour(LONG action) {
    if (action == CPSUICB_ACTION_REINIT_ITEMS || action == CPSUICB_ACTION_OPTIF_CHANGED)
        Rebuild();
}

void AdvancedPage::Change(int index, LONG sel) {
    OPTITEM& item = items_[index];
    if (item.Sel == sel) return;
    const LONG old = item.Sel;
    item.Sel = sel;
    item.Flags |= OPTIF_CHANGED;
    PropSheet_Changed(GetParent(window_), window_);
    const bool plugins = static_cast<DWORD>(index) >= driverCount_;
    LONG action = CPSUICB_ACTION_NONE;
    if (plugins && (item.Flags & OPTIF_CALLBACK))
        action = Call(CPSUICB_REASON_SEL_CHANGED, &item, old);
    if (action != CPSUICB_ACTION_NONE) {
        Honour(action);
        return;
    }
    // Only this item's text changed.
    for (HTREEITEM n = TreeView_GetSelection(tree_); n;) {
        const std::wstring text = ItemText(index);
        TVITEMW tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = n;
        tv.pszText = const_cast<wchar_t*>(text.c_str());
        TreeView_SetItem(tree_, &tv);
        break;
    }
}

LRESULT AdvancedPage::CustomDraw(NMTVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const auto index = static_cast<DWORD>(draw->nmcd.lItemlParam);
        if (index < driverCount_ + param_.cOEMOptItems && !ItemEnabled(items_[index]) &&
            items_[index].pOptType)
            draw->clrText = GetSysColor(COLOR_GRAYTEXT);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

INT_PTR AdvancedPage::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        CreateControls();
        Rebuild();
        return TRUE;
    case WM_COMMAND: {
        if (filling_ || current_ < 0) return FALSE;
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == kListControlId && code == LBN_SELCHANGE)
            Change(current_, static_cast<LONG>(SendDlgItemMessageW(window_, id, LB_GETCURSEL, 0, 0)));
        else if (id == kComboControlId && code == CBN_SELCHANGE)
            Change(current_, static_cast<LONG>(SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0)));
        else if (id == kCheckControlId && code == BN_CLICKED)
            Change(current_, IsDlgButtonChecked(window_, id) == BST_CHECKED ? 1 : 0);
        else if (id == kNumberControlId && code == EN_CHANGE) {
            BOOL read = FALSE;
            const int value = static_cast<int>(GetDlgItemInt(window_, id, &read, TRUE));
            const OPTTYPE* type = items_[current_].pOptType;
            if (read && type && type->Type == TVOT_UDARROW && type->Count >= 2 &&
                value >= static_cast<LONG>(type->pOptParam[1].IconID) &&
                value <= static_cast<LONG>(type->pOptParam[1].lParam))
                Change(current_, value);
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kTreeControlId) {
            if (header->code == TVN_SELCHANGEDW && !filling_)
                ShowItem(ItemOf(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem));
            if (header->code == NM_CUSTOMDRAW) {
                SetWindowLongPtrW(window_, DWLP_MSGRESULT,
                                  CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(lParam)));
                return TRUE;
            }
            return FALSE;
        }
        LONG_PTR result = 0;
        switch (header->code) {
        case PSN_SETACTIVE:
            Honour(Call(CPSUICB_REASON_SETACTIVE, current_ >= 0 ? &items_[current_] : items_,
                        0));
            break;
        case PSN_APPLY:
            result = Call(CPSUICB_REASON_APPLYNOW, items_, 0) == CPSUICB_ACTION_NO_APPLY_EXIT
                         ? PSNRET_INVALID_NOCHANGEPAGE
                         : PSNRET_NOERROR;
            break;
        default:
            return FALSE;
        }
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace cvhost
