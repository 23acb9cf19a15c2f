// The plug-in's property-sheet, Advanced-tree and event work, called by the plug-in object.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

class PluginObject;
struct SheetContext;

// The document sheet's context, shared by its pages and its Advanced-tree items: the one the
// object holds when it was made from the same heap (the tree and the pages of one sheet meet
// here, whichever comes first), else a new one from `heap`, which the object then holds. A
// context of another sheet is never handed on, nor freed here. Null without a heap or memory.
// `made` tells a new context (zero-filled but for its heap) from the held one.
SheetContext* DocumentSheetContext(PluginObject* object, HANDLE heap, bool* made = nullptr);

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

// Driver installation and removal; never fails.
void HandleDriverEvent(DWORD event, DWORD level, const BYTE* driverInfo);
// Points the printer at the driver's print processor; false when its settings cannot be read.
bool AssignPrintProcessor(const wchar_t* printerName);

} // namespace cv
