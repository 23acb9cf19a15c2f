// What every property page and modal dialog of the plug-in shares: the window slot that holds
// what it works on, the sheet's Apply button, the message result, the help button, read-only
// sheets, and the guard that keeps a window's own filling from counting as a user change.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

struct SheetContext;

// The one slot (DWLP_USER) in which a page keeps its SheetContext and a dialog its data.
void KeepWindowData(HWND window, const void* data);
template <typename T> T* WindowData(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, DWLP_USER));
}

// WM_INITDIALOG of a page: takes the SheetContext from the page record (the message's lParam)
// and keeps it. Null when the sheet has no context.
SheetContext* KeepPageContext(HWND page, LPARAM pageRecord);
// The context a page kept; null before WM_INITDIALOG or without one.
SheetContext* PageContext(HWND page);

// A user change on `page`: the sheet enables Apply. Nothing turns it off again.
void MarkChanged(HWND page);
// The answer to a notification (DWLP_MSGRESULT).
void SetResult(HWND window, LONG_PTR result);
// What every page does on PSN_SETACTIVE: the sheet loses its context-help button.
void RemoveSheetHelpButton(HWND page);
// A read-only sheet shows the controls but lets the user change nothing.
void DisableAllControls(HWND page);

// While a page or dialog fills its own controls, their change notifications are not the user's:
// the guard marks the window for its lifetime, and handlers ask Filling() first.
class FillingGuard {
  public:
    explicit FillingGuard(HWND window);
    ~FillingGuard();
    FillingGuard(const FillingGuard&) = delete;
    FillingGuard& operator=(const FillingGuard&) = delete;

  private:
    HWND window_;
    bool outermost_;
};
bool Filling(HWND window);

// What every page of the plug-in does, whatever else it shows; each page procedure handles its
// own messages and passes the rest here:
// - WM_INITDIALOG keeps the context and disables every control on a read-only sheet;
// - PSN_SETACTIVE removes the sheet's help button;
// - PSN_KILLACTIVE lets the user leave, PSN_APPLY answers PSNRET_NOERROR.
INT_PTR CommonPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace cv
