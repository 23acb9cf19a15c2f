// Helpers every property page and dialog of the plug-in shares.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

struct SheetContext;

// WM_INITDIALOG of a page: takes the SheetContext from the page record (the message's lParam)
// and keeps it in the page's window data. Null when the sheet has no context.
SheetContext* KeepPageContext(HWND page, LPARAM pageRecord);
// The context a page kept; null before WM_INITDIALOG or without one.
SheetContext* PageContext(HWND page);

// Disables every child window of `page`: a read-only sheet shows the controls but lets the user
// change nothing.
void DisableAllControls(HWND page);

// What every page of the plug-in does, whatever else it shows: keeps its context at
// WM_INITDIALOG (all controls disabled on a read-only sheet) and removes the sheet's help button
// when it becomes active. Pages handle their own messages first and pass the rest here.
INT_PTR CommonPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace cv
