// The plug-in's own activation context (its manifest, resource 2, names the version 6 common
// controls) and the one way its modal dialogs are shown under it.
//
// Every modal dialog is three pieces: a data struct the caller fills (a copy of what the dialog
// edits, and what it hands back), a static dialog procedure that keeps the data with
// KeepWindowData, and a function that shows the dialog through RunModalDialog and writes the
// edited copy back to the caller only on OK.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

// Makes pluginActCtx on first need; a failure is retried at the next call.
bool EnsurePluginActCtx();

// DialogBoxParamW of template `templateId` over `owner`, with `param` as the WM_INITDIALOG
// lParam, under the plug-in's activation context (controls take their classes from the context
// active when they are made). The dialog's result, or -1 when it could not be made.
INT_PTR RunModalDialog(HWND owner, WORD templateId, DLGPROC proc, void* param);

} // namespace cv
