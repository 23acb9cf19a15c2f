// The fax cover-page dialog (template 130): edits SheetContext.coverWork, the Output Options
// page's working copy of the cover part of the fax record.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

struct SheetContext;

// Modal over `owner`. IDOK after writing ctx->coverWork; IDCANCEL (or -1 when the dialog could
// not be made) without touching it.
INT_PTR ShowCoverPageDialog(HWND owner, SheetContext* ctx);

INT_PTR CALLBACK CoverPageDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace cv
