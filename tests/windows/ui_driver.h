// Drives the plug-in's real property sheets and dialogs with window messages, as a user would:
// a sheet opened modeless through the stand-in host, pages found by title or position, clicks,
// typing, list selections, page switches, Apply, OK and Cancel; modal dialogs and message boxes
// scripted through a thread CBT hook. No gtest here: every call reports failure through its
// result, so the screenshot tool uses the same driver.
#pragma once

#include "host/capture.h"
#include "host/driver_ui.h"
#include "host/sheet_host.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cvtest {

// Dispatches this thread's pending messages (and those that arrive within `ms`).
inline void Pump(DWORD ms = 0) {
    cvhost::PumpMessagesFor(ms);
}

// The text of any window or control.
std::wstring WindowText(HWND window);

// One property sheet of the stand-in host, open modeless.
class SheetDriver {
  public:
    // Opens the printer's document or printer properties with the plug-in's pages. On failure
    // ok() is false and error() says why.
    SheetDriver(const std::wstring& printerName, const cvhost::SheetOptions& options);
    ~SheetDriver(); // cancels a sheet that is still up
    SheetDriver(const SheetDriver&) = delete;
    SheetDriver& operator=(const SheetDriver&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    cvhost::DriverUI& Driver() { return *driver_; }
    cvhost::PropertySheetHost& Host() { return *host_; }
    HWND Sheet() const { return host_ ? host_->Window() : nullptr; }

    // Pages in tab order; a page's window exists once it has been shown.
    std::vector<std::wstring> PageTitles() const {
        return Sheet() ? cvhost::SheetPageTitles(Sheet()) : std::vector<std::wstring>();
    }
    int PageIndex(const std::wstring& title) const; // -1 if no page has that title
    // Makes the page current (PSM_SETCURSEL); false when the sheet refuses (the current page
    // did not let go) or there is no such page.
    bool SelectPage(int index);
    bool SelectPage(const std::wstring& title) { return SelectPage(PageIndex(title)); }
    HWND CurrentPage() const { return Sheet() ? PropSheet_GetCurrentPageHwnd(Sheet()) : nullptr; }
    // The window of a page (shown at least once), else null.
    HWND Page(int index) const;
    HWND Page(const std::wstring& title) const { return Page(PageIndex(title)); }

    // Apply (PSM_APPLY): true when every page accepted.
    bool Apply();
    // Whether the sheet's Apply button (ID_APPLY_NOW) is enabled: some page marked a change.
    bool ApplyEnabled() const;
    // Takes back the change mark of `page` (PSM_UNCHANGED); Apply goes off when no page is left
    // marked, so that the next change can be seen.
    void Unchanged(HWND page);
    // OK and Cancel through the sheet's buttons; true when the sheet then closed. The plug-in's
    // DESTROY follows in Finish (or the destructor).
    bool PressOk() { return PressAndWait(PSBTN_OK); }
    bool PressCancel() { return PressAndWait(PSBTN_CANCEL); }
    // Ends the sheet as the host does: window gone, DESTROY called, heap freed.
    void Finish() {
        if (host_) host_->Finish();
    }

  private:
    bool PressAndWait(int button);

    std::unique_ptr<cvhost::DriverUI> driver_;
    std::unique_ptr<cvhost::PropertySheetHost> host_;
    std::string error_;
};

// --- Controls of a page or dialog ---------------------------------------------------------------

inline HWND Control(HWND parent, int id) {
    return parent ? GetDlgItem(parent, id) : nullptr;
}
// BM_CLICK: the button sends BN_CLICKED itself.
void Click(HWND parent, int id);
// WM_SETTEXT, then EN_CHANGE to the parent as the edit control sends it when the user types.
void Type(HWND parent, int id, const std::wstring& text);
// CB_SETCURSEL / LB_SETCURSEL, then CBN_SELCHANGE / LBN_SELCHANGE to the parent, as a user's
// choice would send. By position, or by the entry's text (false when there is none).
void SelectComboEntry(HWND parent, int id, int index);
bool SelectComboEntry(HWND parent, int id, const std::wstring& text);
void SelectListEntry(HWND parent, int id, int index);
bool SelectListEntry(HWND parent, int id, const std::wstring& text);
// The entries of a list box or combo box, in order.
std::vector<std::wstring> ListEntries(HWND parent, int id);
std::vector<std::wstring> ComboEntries(HWND parent, int id);
bool IsChecked(HWND parent, int id);
bool IsEnabled(HWND parent, int id);
bool IsVisible(HWND parent, int id);

// --- Modal dialogs and message boxes -------------------------------------------------------------

// What a dialog showed when it came up (a message box's text is its control 0xFFFF).
struct SeenDialog {
    std::wstring caption;
    std::wstring text;
    UINT icon = 0; // MB_ICONERROR, MB_ICONWARNING, MB_ICONQUESTION, MB_ICONINFORMATION or 0
};

// While alive, every dialog (class #32770) that this thread activates, other than the sheets
// themselves, is handed to the next scripted step in order: the step runs once the dialog is up
// and decides how it ends (Press is the usual end). A dialog with no step left is cancelled
// and counted as unexpected.
class DialogScript {
  public:
    using Step = std::function<void(HWND dialog)>;
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Queues a step for the next dialog.
    DialogScript& Then(Step step);
    // Queues: press button `id` (IDOK, IDYES, ...) on the next dialog.
    DialogScript& Press(int id);

    const std::vector<SeenDialog>& Seen() const { return seen_; }
    int Unexpected() const { return unexpected_; }

    // Ends a dialog as its button would (WM_COMMAND from the button).
    static void PressButton(HWND dialog, int id);

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK RunStep(HWND dialog, UINT, UINT_PTR timer, DWORD);
    void Arrived(HWND dialog);

    HHOOK hook_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    std::vector<SeenDialog> seen_;
    int unexpected_ = 0;
    std::vector<std::pair<HWND, Step>> ready_; // dialogs whose step runs from the timer
};

} // namespace cvtest
