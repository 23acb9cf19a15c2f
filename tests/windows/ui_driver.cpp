#include "ui_driver.h"

#include "host/spooler.h"
#include "printer_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace cvtest {

namespace {

void Notify(HWND parent, int id, HWND control, UINT code) {
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

int IndexOf(const std::vector<std::wstring>& entries, const std::wstring& text) {
    auto it = std::find(entries.begin(), entries.end(), text);
    return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
}

std::vector<std::wstring> Entries(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    std::vector<std::wstring> entries;
    const LRESULT count = control ? SendMessageW(control, countMsg, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(control, lengthMsg, i, 0);
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        SendMessageW(control, textMsg, i, reinterpret_cast<LPARAM>(&text[0]));
        entries.push_back(text.c_str());
    }
    return entries;
}

} // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(window ? GetWindowTextLengthW(window) + 1 : 1, L'\0');
    if (window) GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    return text.c_str();
}

// --- SheetDriver

SheetDriver::SheetDriver(const std::wstring& printerName, const cvhost::SheetOptions& options) {
    static const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    static const bool controlsReady [[maybe_unused]] = InitCommonControlsEx(&controls);
    std::wstring why;
    driver_ = cvhost::DriverUI::Open(printerName, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    if (driver_) {
        host_ = std::make_unique<cvhost::PropertySheetHost>(*driver_);
        if (host_->Init(options, &why) && host_->ShowModeless(&why)) {
            Pump();
            return;
        }
    }
    error_ = Narrow(why.empty() ? L"the sheet did not open" : why);
}

SheetDriver::~SheetDriver() {
    if (host_ && host_->IsOpen()) PressCancel();
    host_.reset(); // DESTROY before the plug-in goes with the driver
}

int SheetDriver::PageIndex(const std::wstring& title) const {
    return IndexOf(PageTitles(), title);
}

bool SheetDriver::SelectPage(int index) {
    if (!Sheet() || index < 0 || index >= static_cast<int>(PageTitles().size())) return false;
    const bool moved = PropSheet_SetCurSel(Sheet(), nullptr, index) != FALSE;
    Pump();
    return moved && CurrentPage() == Page(index);
}

HWND SheetDriver::Page(int index) const {
    return Sheet() && index >= 0 ? PropSheet_IndexToHwnd(Sheet(), index) : nullptr;
}

bool SheetDriver::Apply() {
    if (!Sheet()) return false;
    const bool applied = SendMessageW(Sheet(), PSM_APPLY, 0, 0) != FALSE;
    Pump();
    return applied;
}

bool SheetDriver::ApplyEnabled() const {
    constexpr int kApplyNow = 0x3021; // ID_APPLY_NOW of the sheet's buttons
    HWND apply = Sheet() ? GetDlgItem(Sheet(), kApplyNow) : nullptr;
    return apply && IsWindowEnabled(apply);
}

void SheetDriver::Unchanged(HWND page) {
    if (Sheet()) PropSheet_UnChanged(Sheet(), page);
    Pump();
}

bool SheetDriver::PressAndWait(int button) {
    if (!host_ || !host_->IsOpen()) return false;
    PropSheet_PressButton(Sheet(), button);
    Pump();
    return !host_->IsOpen();
}

// --- Controls

void Click(HWND parent, int id) {
    if (HWND button = Control(parent, id)) SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

void Type(HWND parent, int id, const std::wstring& text) {
    HWND edit = Control(parent, id);
    if (!edit) return;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // A multi-line edit stays silent on WM_SETTEXT; a single-line one has notified already.
    if (GetWindowLongPtrW(edit, GWL_STYLE) & ES_MULTILINE) Notify(parent, id, edit, EN_CHANGE);
    Pump();
}

void SelectComboEntry(HWND parent, int id, int index) {
    HWND combo = Control(parent, id);
    if (!combo) return;
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    Notify(parent, id, combo, CBN_SELCHANGE);
    Pump();
}

bool SelectComboEntry(HWND parent, int id, const std::wstring& text) {
    const int index = IndexOf(ComboEntries(parent, id), text);
    if (index >= 0) SelectComboEntry(parent, id, index);
    return index >= 0;
}

void SelectListEntry(HWND parent, int id, int index) {
    HWND list = Control(parent, id);
    if (!list) return;
    if (GetWindowLongPtrW(list, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
        SendMessageW(list, LB_SETSEL, TRUE, index);
    else
        SendMessageW(list, LB_SETCURSEL, index, 0);
    Notify(parent, id, list, LBN_SELCHANGE);
    Pump();
}

bool SelectListEntry(HWND parent, int id, const std::wstring& text) {
    const int index = IndexOf(ListEntries(parent, id), text);
    if (index >= 0) SelectListEntry(parent, id, index);
    return index >= 0;
}

std::vector<std::wstring> ListEntries(HWND parent, int id) {
    return Entries(Control(parent, id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::wstring> ComboEntries(HWND parent, int id) {
    return Entries(Control(parent, id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

bool IsChecked(HWND parent, int id) {
    return SendMessageW(Control(parent, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool IsEnabled(HWND parent, int id) {
    HWND c = Control(parent, id);
    return c && IsWindowEnabled(c);
}
bool IsVisible(HWND parent, int id) {
    HWND c = Control(parent, id);
    return c && (GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE);
}

// --- DialogScript

namespace {

thread_local DialogScript* activeScript = nullptr;
constexpr UINT_PTR kStepTimer = 0x5C21;

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return wcscmp(name, L"#32770") == 0;
}

// Property sheets are dialogs too; they are the thing under test, not a dialog to script.
bool IsPropertySheet(HWND window) {
    return FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr) != nullptr;
}

UINT IconOf(HWND dialog) {
    struct Known {
        const wchar_t* id;
        UINT flag;
    };
    static const Known known[] = {{IDI_HAND, MB_ICONERROR},
                                  {IDI_EXCLAMATION, MB_ICONWARNING},
                                  {IDI_QUESTION, MB_ICONQUESTION},
                                  {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        const auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        for (const Known& k : known)
            if (icon && icon == LoadIconW(nullptr, k.id)) return k.flag;
    }
    return 0;
}

} // namespace

DialogScript::DialogScript() {
    activeScript = this;
    hook_ = SetWindowsHookExW(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
}

DialogScript::~DialogScript() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (activeScript == this) activeScript = nullptr;
}

DialogScript& DialogScript::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

DialogScript& DialogScript::Press(int id) {
    return Then([id](HWND dialog) { PressButton(dialog, id); });
}

void DialogScript::PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

LRESULT CALLBACK DialogScript::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeScript) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogClass(window) && !IsPropertySheet(window)) activeScript->Arrived(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogScript::Arrived(HWND dialog) {
    // A dialog becomes active again when a box it opened goes away: it is seen once.
    if (GetPropW(dialog, L"cvtest.seen")) return;
    SetPropW(dialog, L"cvtest.seen", reinterpret_cast<HANDLE>(1));
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    seen.text = WindowText(GetDlgItem(dialog, 0xFFFF));
    seen.icon = IconOf(dialog);
    seen_.push_back(seen);
    if (next_ < steps_.size()) {
        ready_.emplace_back(dialog, steps_[next_++]);
        // The step runs from the dialog's own message loop, once it is fully up.
        SetTimer(dialog, kStepTimer, USER_TIMER_MINIMUM, &RunStep);
    } else {
        ++unexpected_;
        PressButton(dialog, IDCANCEL);
    }
}

void CALLBACK DialogScript::RunStep(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    // A modal dialog is shown by its loop once the queue first runs empty, and it can be active
    // before that (the focus given at WM_INITDIALOG activates it). On a busy machine the timer
    // can come first: the step waits for the next tick rather than act on a hidden dialog.
    if (!IsWindowVisible(dialog)) return;
    KillTimer(dialog, timer);
    DialogScript* self = activeScript;
    if (!self) return;
    for (auto it = self->ready_.begin(); it != self->ready_.end(); ++it) {
        if (it->first != dialog) continue;
        Step step = std::move(it->second);
        self->ready_.erase(it);
        step(dialog);
        return;
    }
}

} // namespace cvtest
