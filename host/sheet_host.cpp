#include "host/sheet_host.h"

#include "host/capture.h"

#include <algorithm>
#include <cstring>

namespace cvhost {

namespace {

// hComPropSheet is the host object itself; only live hosts are accepted back.
std::vector<PropertySheetHost*>& LiveHosts() {
    static std::vector<PropertySheetHost*> hosts;
    return hosts;
}

// The host whose PropertySheetW call is creating a sheet on this thread (for the sheet callback,
// which has no user data of its own).
thread_local PropertySheetHost* creatingHost = nullptr;

// The title of a page's tab: its own (PSP_USETITLE), else its template's caption. Empty when
// neither can be read.
std::wstring PageTitle(const PROPSHEETPAGEW& page) {
    if (page.dwFlags & PSP_USETITLE) {
        if (!IS_INTRESOURCE(page.pszTitle)) return page.pszTitle ? page.pszTitle : L"";
        wchar_t text[256] = {};
        LoadStringW(page.hInstance, LOWORD(reinterpret_cast<ULONG_PTR>(page.pszTitle)), text, 256);
        return text;
    }
    const void* resource = nullptr;
    if (page.dwFlags & PSP_DLGINDIRECT) {
        resource = page.pResource;
    } else if (HRSRC found = FindResourceW(page.hInstance, page.pszTemplate, RT_DIALOG)) {
        if (HGLOBAL loaded = LoadResource(page.hInstance, found)) resource = LockResource(loaded);
    }
    if (!resource) return L"";
    // DLGTEMPLATEEX (version 1, signature 0xFFFF) or DLGTEMPLATE, then the menu and the class
    // (each none, an ordinal or a string), then the caption.
    const auto* p = static_cast<const WORD*>(resource);
    p += (p[0] == 1 && p[1] == 0xFFFF) ? 13 : 9;
    for (int field = 0; field < 2; ++field) {
        if (*p == 0xFFFF)
            p += 2;
        else
            while (*p++) {
            }
    }
    return reinterpret_cast<const wchar_t*>(p);
}

// Posted to the sheet once it is up: open the page the caller chose, when it could not be found
// before the sheet was made (its title then says which pages there are).
constexpr UINT kOpenStartPage = WM_APP + 0x4C;
// The sheet's Apply button.
constexpr int kApplyNow = 0x3021;

bool HasActCtx(const PROPSHEETPAGEW* page) {
    return (page->dwFlags & PSP_USEFUSIONCONTEXT) &&
           page->dwSize >= offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE) && page->hActCtx &&
           page->hActCtx != INVALID_HANDLE_VALUE;
}

} // namespace

PropertySheetHost::PropertySheetHost(DriverUI& driver) : driver_(driver) {
    LiveHosts().push_back(this);
}

PropertySheetHost::~PropertySheetHost() {
    Finish();
    auto& hosts = LiveHosts();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
}

HRESULT PropertySheetHost::CallPlugin(WORD reason, LPARAM lParam) {
    info_.Reason = reason;
    IPrintOemUI2* plugin = driver_.Plugin();
    return kind_ == SheetKind::Document ? plugin->DocumentPropertySheets(&info_, lParam)
                                        : plugin->DevicePropertySheets(&info_, lParam);
}

bool PropertySheetHost::Init(const SheetOptions& options, std::wstring* error) {
    if (inited_) {
        if (error) *error = L"the sheet is already initialised";
        return false;
    }
    kind_ = options.kind;
    owner_ = options.owner;
    caption_ = driver_.PrinterName() +
               (kind_ == SheetKind::Document ? L" Printing Preferences" : L" Properties");
    heap_ = HeapCreate(0, 0, 0);
    if (!heap_) {
        if (error) *error = L"cannot create the sheet's heap";
        return false;
    }
    if (!devmode_.Build(driver_.Plugin(), driver_.Printer(), driver_.PrinterName().c_str(),
                        options.incoming, error))
        return false;

    // The pages work on a copy; the job takes it over on OK or Apply.
    working_.assign(static_cast<const unsigned char*>(static_cast<const void*>(devmode_.Public())),
                    static_cast<const unsigned char*>(static_cast<const void*>(devmode_.Public())) +
                        devmode_.TotalSize());
    startPage_ = options.startPage;

    param_.cbSize = sizeof param_;
    param_.poemuiobj = driver_.CoreUI().UIObject();
    param_.hPrinter = driver_.Printer();
    param_.pPrinterName = const_cast<PWSTR>(driver_.PrinterName().c_str());
    param_.hModule = driver_.PluginModule();
    param_.hOEMHeap = heap_;
    param_.pPublicDM = WorkingDevmode();
    param_.pOEMDM = working_.data() + sizeof(DEVMODEW);
    param_.dwFlags = options.readOnly ? DM_NOPERMISSION : 0;

    info_.cbSize = sizeof info_;
    info_.Version = PROPSHEETUI_INFO_VERSION;
    info_.Flags = PSUIINFO_UNICODE;
    info_.hComPropSheet = this;
    info_.pfnComPropSheet = &ComPropSheet;
    info_.lParamInit = reinterpret_cast<LPARAM>(&param_);
    inited_ = true;

    if (!AddDriverPages(error)) return false;
    HRESULT hr = CallPlugin(PROPSHEETUI_REASON_INIT, info_.lParamInit);
    initResult = info_.Result;
    if (FAILED(hr)) {
        if (error) *error = L"the plug-in refused to initialise its pages";
        return false;
    }
    PROPSHEETUI_INFO_HEADER header{};
    header.cbSize = sizeof header;
    header.pTitle = const_cast<LPWSTR>(caption_.c_str());
    header.hWndParent = owner_;
    header.hInst = GetModuleHandleW(nullptr);
    header.IconID = IDI_CPSUI_PRINTER;
    hr = CallPlugin(PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header));
    headerResult = info_.Result;
    headerTitle = header.pTitle ? header.pTitle : L"";
    if (FAILED(hr)) {
        if (error) *error = L"the plug-in refused the sheet's header";
        return false;
    }
    return true;
}

bool PropertySheetHost::AddDriverPages(std::wstring* error) {
    advanced_ = std::make_unique<AdvancedPage>(driver_, kind_ == SheetKind::Document, param_);
    if (!advanced_->Prepare(error)) return false;
    advancedPage_ = advanced_->Create();
    if (!advancedPage_) {
        if (error) *error = L"cannot create the " + advanced_->Title() + L" page";
        return false;
    }
    return true;
}

void PropertySheetHost::Commit(bool ok) {
    std::memcpy(devmode_.Public(), working_.data(), working_.size());
    ++commits;
    if (!ok || kind_ != SheetKind::Document) return;
    // The printing preferences: the next sheet of this user starts from what was accepted.
    PRINTER_INFO_9W info{devmode_.Public()};
    storedUserDefault = SetPrinterW(driver_.Printer(), 9, reinterpret_cast<BYTE*>(&info), 0) != FALSE;
}

void PropertySheetHost::OpenStartPage() {
    const std::vector<std::wstring> titles = SheetPageTitles(window_);
    auto it = std::find(titles.begin(), titles.end(), startPage_);
    if (it == titles.end()) {
        startPageMissing = true;
        return;
    }
    PropSheet_SetCurSel(window_, nullptr, static_cast<int>(it - titles.begin()));
}

// --- pfnComPropSheet
// ------------------------------------------------------------------------------

LONG_PTR CALLBACK PropertySheetHost::ComPropSheet(HANDLE hComPropSheet, UINT function,
                                                  LPARAM lParam1, LPARAM lParam2) {
    auto& hosts = LiveHosts();
    auto it = std::find(hosts.begin(), hosts.end(), static_cast<PropertySheetHost*>(hComPropSheet));
    if (it == hosts.end()) return ERR_CPSUI_GETLASTERROR;
    PropertySheetHost* self = *it;
    switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW:
        return self->AddPage(reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
    case CPSFUNC_SET_RESULT:
        return self->SetResult(lParam1, lParam2);
    default:
        self->otherFunctions.push_back(function);
        return 0;
    }
}

LONG_PTR PropertySheetHost::AddPage(const PROPSHEETPAGEW* page) {
    // Pages join before the sheet shows; this host adds none to a sheet that is up.
    if (!page || page->dwSize < PROPSHEETPAGEW_V1_SIZE || window_ || pagesOwnedBySheet_) return 0;
    AddedPage added;
    std::memcpy(&added.record, page, std::min<size_t>(page->dwSize, sizeof(PROPSHEETPAGEW)));
    // Wine's comctl32 ignores PSP_USEFUSIONCONTEXT, so the page's context is activated here.
    ULONG_PTR cookie = 0;
    if (HasActCtx(page)) added.contextActivated = ActivateActCtx(page->hActCtx, &cookie) != FALSE;
    added.handle = CreatePropertySheetPageW(page);
    if (added.contextActivated) DeactivateActCtx(0, cookie);
    if (!added.handle) return 0;
    pages_.push_back(added);
    return reinterpret_cast<LONG_PTR>(added.handle);
}

LONG_PTR PropertySheetHost::SetResult(LPARAM page, LPARAM result) {
    setResults.push_back(result);
    // As compstui does, the result goes to the function that added the pages (the plug-in's)
    // and then to its parent, the driver's own, which keeps it; the count of calls comes back.
    SETRESULT_INFO sr{};
    sr.cbSize = sizeof sr;
    sr.hSetResult = page ? reinterpret_cast<HANDLE>(page) : info_.hComPropSheet;
    sr.Result = result;
    const WORD reason = info_.Reason;
    const ULONG_PTR pluginResult = info_.Result;
    const HRESULT hr = CallPlugin(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&sr));
    info_.Reason = reason;
    info_.Result = pluginResult;
    if (FAILED(hr)) return 1;
    keptResult = sr.Result;
    return 2;
}

// --- The sheet window
// -----------------------------------------------------------------------------

int CALLBACK PropertySheetHost::SheetCallback(HWND sheet, UINT msg, LPARAM) {
    if (msg != PSCB_INITIALIZED || !creatingHost) return 0;
    PropertySheetHost* self = creatingHost;
    self->window_ = sheet;
    // compstui's sheets carry the caption's help button; the plug-in's pages take it away.
    const LONG_PTR ex = GetWindowLongPtrW(sheet, GWL_EXSTYLE);
    SetWindowLongPtrW(sheet, GWL_EXSTYLE, ex | WS_EX_CONTEXTHELP);
    SetWindowSubclass(sheet, &SheetSubclass, 1, reinterpret_cast<DWORD_PTR>(self));
    if (!self->startPage_.empty() && !self->startPageFound_)
        PostMessageW(sheet, kOpenStartPage, 0, 0);
    return 0;
}

LRESULT CALLBACK PropertySheetHost::SheetSubclass(HWND sheet, UINT msg, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<PropertySheetHost*>(data);
    // OK went through when every page accepted it: the sheet then has no current page.
    const auto okAccepted = [&] {
        return self->lastButton_ == IDOK && !PropSheet_GetCurrentPageHwnd(sheet);
    };
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kApplyNow) {
            SendMessageW(sheet, PSM_APPLY, 0, 0); // which tells whether every page accepted
            return 0;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            self->lastButton_ = LOWORD(wParam);
            const LRESULT result = DefSubclassProc(sheet, msg, wParam, lParam);
            if (okAccepted()) self->Commit(true);
            return result;
        }
        break;
    case PSM_APPLY: {
        const LRESULT applied = DefSubclassProc(sheet, msg, wParam, lParam);
        if (applied) self->Commit(false);
        return applied;
    }
    case PSM_PRESSBUTTON: // Wine presses the button without a WM_COMMAND
        if (wParam == PSBTN_APPLYNOW) {
            SendMessageW(sheet, PSM_APPLY, 0, 0);
            return 0;
        }
        if (wParam == PSBTN_OK || wParam == PSBTN_CANCEL) {
            self->lastButton_ = wParam == PSBTN_OK ? IDOK : IDCANCEL;
            const LRESULT result = DefSubclassProc(sheet, msg, wParam, lParam);
            if (okAccepted()) self->Commit(true);
            return result;
        }
        break;
    case kOpenStartPage:
        self->OpenStartPage();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) self->lastButton_ = IDCANCEL;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(sheet, &SheetSubclass, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(sheet, msg, wParam, lParam);
}

bool PropertySheetHost::Show(bool modeless, INT_PTR* result, std::wstring* error) {
    if (!inited_ || finished_ || pagesOwnedBySheet_) {
        if (error) *error = L"the sheet is not ready to show";
        return false;
    }
    std::vector<HPROPSHEETPAGE> handles;
    if (advancedPage_) handles.push_back(advancedPage_);
    for (const AddedPage& p : pages_)
        handles.push_back(p.handle);
    if (handles.empty()) {
        if (error) *error = L"the sheet has no pages";
        return false;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USECALLBACK | (modeless ? PSH_MODELESS : 0);
    header.hwndParent = owner_;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption_.c_str();
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    header.pfnCallback = &SheetCallback;
    // The sheet opens on the chosen page, as a sheet given a start page does: the pages before
    // it are not made until the user goes there.
    startPageFound_ = false;
    if (!startPage_.empty()) {
        std::vector<std::wstring> titles;
        if (advancedPage_) titles.push_back(advanced_->Title());
        for (const AddedPage& p : pages_)
            titles.push_back(PageTitle(p.record));
        auto it = std::find(titles.begin(), titles.end(), startPage_);
        if (it != titles.end()) {
            header.nStartPage = static_cast<UINT>(it - titles.begin());
            startPageFound_ = true;
        }
    }
    modeless_ = modeless;
    creatingHost = this;
    *result = PropertySheetW(&header);
    creatingHost = nullptr;
    pagesOwnedBySheet_ = true; // PropertySheetW destroys the pages, whatever it returned
    if (*result == -1 || (modeless && *result == 0)) {
        window_ = nullptr;
        if (error) *error = L"PropertySheetW could not create the sheet";
        return false;
    }
    return true;
}

bool PropertySheetHost::RunModal(std::wstring* error) {
    INT_PTR result = 0;
    const bool shown = Show(false, &result, error);
    window_ = nullptr; // a modal sheet is gone when PropertySheetW returns
    closedWithOk = shown && lastButton_ == IDOK;
    Finish();
    return shown;
}

HWND PropertySheetHost::ShowModeless(std::wstring* error) {
    INT_PTR result = 0;
    if (!Show(true, &result, error)) return nullptr;
    window_ = reinterpret_cast<HWND>(result);
    return window_;
}

bool PropertySheetHost::IsOpen() const {
    return window_ && IsWindow(window_) && PropSheet_GetCurrentPageHwnd(window_) != nullptr;
}

bool PropertySheetHost::PumpUntilClosed(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (window_ && IsWindow(window_) && PropSheet_IsDialogMessage(window_, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!IsOpen()) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    }
}

void PropertySheetHost::Finish() {
    if (finished_) return;
    finished_ = true;
    if (window_) {
        closedWithOk = !IsOpen() && lastButton_ == IDOK;
        if (IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }
    if (!pagesOwnedBySheet_) {
        for (AddedPage& p : pages_)
            if (p.handle) DestroyPropertySheetPage(p.handle);
        if (advancedPage_) DestroyPropertySheetPage(advancedPage_);
    }
    advancedPage_ = nullptr;
    if (inited_) {
        // lParam: the user closed the sheet with OK or Cancel.
        destroyCall = CallPlugin(PROPSHEETUI_REASON_DESTROY, lastButton_ != 0);
        destroyResult = info_.Result;
    }
    if (heap_) HeapDestroy(heap_);
    heap_ = nullptr;
    param_.hOEMHeap = nullptr;
}

} // namespace cvhost
