// The Profiles page: personal profiles of the document settings. For now the page keeps its
// context and behaves as every page of the plug-in does when it is shown.
#include "core/subsystems.h"
#include "core/page_frame.h"

namespace cv {

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CommonPageProc(page, msg, wParam, lParam);
}

} // namespace cv
