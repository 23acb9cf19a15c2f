// The plug-in's property-sheet, Advanced-tree and event work, called by the plug-in object.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

class PluginObject;

// PROPSHEETUI reasons of the document and printer property sheets; `info` is valid and of the
// supported version.
void DocumentSheets(PluginObject* object, PPROPSHEETUI_INFO info, LPARAM lParam);
void DeviceSheets(PluginObject* object, PPROPSHEETUI_INFO info, LPARAM lParam);

// The plug-in's items in the driver's Advanced tree; `mode` is OEMCUIP_DOCPROP or _PRNPROP.
HRESULT AdvancedTreeItems(PluginObject* object, DWORD mode, POEMCUIPPARAM param);

// Driver installation and removal; never fails.
void HandleDriverEvent(DWORD event, DWORD level, const BYTE* driverInfo);
// Points the printer at the driver's print processor; false when its settings cannot be read.
bool AssignPrintProcessor(const wchar_t* printerName);

} // namespace cv
