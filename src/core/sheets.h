// The plug-in's property-sheet, Advanced-tree and event work, called by the plug-in object.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

class PluginObject;

// The two questions the plug-in asks of the printer model through the core driver. Both answer
// false when `coreUI`, `uiObject` or `keyword` is null.
// The feature's selected option reads "True" in any letter case.
bool driverSettingIsTrue(IPrintCoreUI2* coreUI, POEMUIOBJ uiObject, const char* keyword);
// The printer has the feature at all (it lists options for it), whatever is selected.
bool featureExists(IPrintCoreUI2* coreUI, POEMUIOBJ uiObject, const char* keyword);

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
