#include "core/modal_dialog.h"

#include "core/module.h"

#include <memory>
#include <new>

namespace cv {

bool EnsurePluginActCtx() {
    if (pluginActCtx != INVALID_HANDLE_VALUE) return true;
    DWORD capacity = MAX_PATH;
    std::unique_ptr<wchar_t[]> path;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 10) return false;
        path.reset(new (std::nothrow) wchar_t[capacity]);
        if (!path) return false;
        const DWORD n = GetModuleFileNameW(moduleInstance, path.get(), capacity);
        if (n == 0) return false;
        if (n < capacity) break; // a full buffer may hold a cut path: try a larger one
        capacity *= 2;
    }
    ACTCTXW actCtx{};
    // The whole record: a shorter cbSize would hide lpResourceName from a 64-bit loader.
    actCtx.cbSize = sizeof actCtx;
    actCtx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    actCtx.lpSource = path.get();
    actCtx.lpResourceName = MAKEINTRESOURCEW(2);
    pluginActCtx = CreateActCtxW(&actCtx);
    return pluginActCtx != INVALID_HANDLE_VALUE;
}

INT_PTR RunModalDialog(HWND owner, WORD templateId, DLGPROC proc, void* param) {
    ULONG_PTR cookie = 0;
    const bool activated = EnsurePluginActCtx() && ActivateActCtx(pluginActCtx, &cookie);
    const INT_PTR result = DialogBoxParamW(moduleInstance, MAKEINTRESOURCEW(templateId), owner,
                                           proc, reinterpret_cast<LPARAM>(param));
    if (activated) DeactivateActCtx(0, cookie);
    return result;
}

} // namespace cv
