// Dialog procedures of the plug-in's property pages. Each receives its SheetContext as the
// lParam of the PROPSHEETPAGEW at WM_INITDIALOG (null when none could be made) and keeps it in
// its window data.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

INT_PTR CALLBACK AboutPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OutputOptionsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// What every page does on PSN_SETACTIVE: the sheet loses its context-help button.
void RemoveSheetHelpButton(HWND page);

} // namespace cv
