// What the core calls in the subsystems that hang on it. The core hands work to them through
// these functions alone and includes none of their headers; each subsystem defines its entries.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

class PluginObject;

// Dialog procedures of the plug-in's property pages. Each receives its SheetContext as the
// lParam of the PROPSHEETPAGEW at WM_INITDIALOG (null when none could be made) and keeps it in
// its window data.
INT_PTR CALLBACK AboutPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OutputOptionsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// The plug-in's items in the driver's Advanced tree; `mode` is OEMCUIP_DOCPROP or _PRNPROP.
HRESULT AdvancedTreeItems(PluginObject* object, DWORD mode, POEMCUIPPARAM param);

// Writes the built-in watermarks into the store of `driverName` for the current user (driver
// installation), overwriting values of the same names; the count is left alone. True when all
// were written.
bool InstallDefaultWatermarks(const wchar_t* driverName);

} // namespace cv
