#include "resource_counter.h"

#include "import_hook.h"
#include "support.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <mutex>
#include <set>
#include <vector>

namespace cvtest {

namespace {

constexpr int kKinds = static_cast<int>(Resource::Window);

struct Tally {
    std::set<const void*> live; // opened since construction, not closed yet
    int opened = 0;
};

// What the hooks record into; without a live counter they only pass calls on.
std::mutex tallyLock;
Tally* tallies = nullptr;

void Note(Resource kind, const void* handle, bool open) {
    std::lock_guard<std::mutex> hold(tallyLock);
    if (!tallies || !handle) return;
    Tally& t = tallies[static_cast<int>(kind)];
    if (open)
        ++t.opened, t.live.insert(handle);
    else
        t.live.erase(handle);
}
template <typename H> H Opens(Resource kind, H handle) {
    Note(kind, handle, true);
    return handle;
}
// A close that succeeded (a non-zero result) ends the handle.
template <typename R> R Closes(Resource kind, const void* handle, R result) {
    if (result) Note(kind, handle, false);
    return result;
}
LSTATUS OpensKey(LSTATUS rc, const HKEY* key) {
    if (rc == ERROR_SUCCESS) Note(Resource::RegistryKey, *key, true);
    return rc;
}

// The real functions, as the first hooked module imported them.
struct {
    decltype(&::RegOpenKeyExW) RegOpenKeyExW;
    decltype(&::RegCreateKeyExW) RegCreateKeyExW;
    decltype(&::RegCloseKey) RegCloseKey;
    decltype(&::OpenPrinterW) OpenPrinterW;
    decltype(&::ClosePrinter) ClosePrinter;
    decltype(&::CreatePen) CreatePen;
    decltype(&::CreateSolidBrush) CreateSolidBrush;
    decltype(&::CreateFontIndirectW) CreateFontIndirectW;
    decltype(&::DeleteObject) DeleteObject;
    decltype(&::CreateDCW) CreateDCW;
    decltype(&::DeleteDC) DeleteDC;
    decltype(&::GetDC) GetDC;
    decltype(&::ReleaseDC) ReleaseDC;
    decltype(&::BeginPaint) BeginPaint;
    decltype(&::EndPaint) EndPaint;
} real;

LSTATUS WINAPI OnRegOpenKeyExW(HKEY parent, LPCWSTR sub, DWORD options, REGSAM access, PHKEY key) {
    return OpensKey(real.RegOpenKeyExW(parent, sub, options, access, key), key);
}
LSTATUS WINAPI OnRegCreateKeyExW(HKEY parent, LPCWSTR sub, DWORD reserved, LPWSTR cls,
                                 DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES sa, PHKEY key,
                                 LPDWORD disposition) {
    return OpensKey(
        real.RegCreateKeyExW(parent, sub, reserved, cls, options, access, sa, key, disposition),
        key);
}
LSTATUS WINAPI OnRegCloseKey(HKEY key) {
    const LSTATUS rc = real.RegCloseKey(key);
    if (rc == ERROR_SUCCESS) Note(Resource::RegistryKey, key, false);
    return rc;
}
BOOL WINAPI OnOpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    const BOOL ok = real.OpenPrinterW(name, printer, defaults);
    if (ok) Note(Resource::Printer, *printer, true);
    return ok;
}
BOOL WINAPI OnClosePrinter(HANDLE printer) {
    return Closes(Resource::Printer, printer, real.ClosePrinter(printer));
}
HPEN WINAPI OnCreatePen(int style, int width, COLORREF color) {
    return Opens(Resource::GdiObject, real.CreatePen(style, width, color));
}
HBRUSH WINAPI OnCreateSolidBrush(COLORREF color) {
    return Opens(Resource::GdiObject, real.CreateSolidBrush(color));
}
HFONT WINAPI OnCreateFontIndirectW(const LOGFONTW* lf) {
    return Opens(Resource::GdiObject, real.CreateFontIndirectW(lf));
}
BOOL WINAPI OnDeleteObject(HGDIOBJ object) {
    return Closes(Resource::GdiObject, object, real.DeleteObject(object));
}
HDC WINAPI OnCreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* dm) {
    return Opens(Resource::DeviceContext, real.CreateDCW(driver, device, port, dm));
}
BOOL WINAPI OnDeleteDC(HDC dc) {
    return Closes(Resource::DeviceContext, dc, real.DeleteDC(dc));
}
HDC WINAPI OnGetDC(HWND window) {
    return Opens(Resource::DeviceContext, real.GetDC(window));
}
int WINAPI OnReleaseDC(HWND window, HDC dc) {
    return Closes(Resource::DeviceContext, dc, real.ReleaseDC(window, dc));
}
HDC WINAPI OnBeginPaint(HWND window, LPPAINTSTRUCT ps) {
    return Opens(Resource::DeviceContext, real.BeginPaint(window, ps));
}
BOOL WINAPI OnEndPaint(HWND window, const PAINTSTRUCT* ps) {
    return Closes(Resource::DeviceContext, ps ? ps->hdc : nullptr, real.EndPaint(window, ps));
}

struct Hooked {
    const char* name;
    void* replacement;
    void** real;
};
// clang-format off
#define CV_HOOK(name) {#name, reinterpret_cast<void*>(&On##name), reinterpret_cast<void**>(&real.name)}
const Hooked kHooked[] = {
    CV_HOOK(RegOpenKeyExW), CV_HOOK(RegCreateKeyExW), CV_HOOK(RegCloseKey), CV_HOOK(OpenPrinterW),
    CV_HOOK(ClosePrinter), CV_HOOK(CreatePen), CV_HOOK(CreateSolidBrush),
    CV_HOOK(CreateFontIndirectW), CV_HOOK(DeleteObject), CV_HOOK(CreateDCW), CV_HOOK(DeleteDC),
    CV_HOOK(GetDC), CV_HOOK(ReleaseDC), CV_HOOK(BeginPaint), CV_HOOK(EndPaint),
};
// clang-format on
#undef CV_HOOK

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    return ++*reinterpret_cast<int*>(count), TRUE;
}
// A top-level window of the thread and its children at any depth.
BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    EnumChildWindows(window, &CountChild, count);
    return CountChild(window, count);
}

int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

struct ResourceCounter::Hooks {
    Tally tallies[kKinds];
    std::vector<std::unique_ptr<ImportHook>> hooks;
};

ResourceCounter::ResourceCounter(std::initializer_list<HMODULE> modules)
    : hooks_(std::make_unique<Hooks>()) {
    {
        std::lock_guard<std::mutex> hold(tallyLock);
        if (tallies) ADD_FAILURE() << "one ResourceCounter at a time";
        tallies = hooks_->tallies;
    }
    std::vector<HMODULE> watched(modules);
    if (watched.empty()) watched.push_back(PluginDll::Get().module);
    for (HMODULE module : watched) {
        if (!module) ADD_FAILURE() << "a module to count in is not loaded";
        for (const Hooked& h : kHooked) {
            auto hook = std::make_unique<ImportHook>(module, nullptr, h.name, h.replacement);
            if (!hook->installed()) continue;
            if (!*h.real) *h.real = hook->original();
            hooks_->hooks.push_back(std::move(hook));
        }
    }
    windowsAtStart_ = ThreadWindows();
}

ResourceCounter::~ResourceCounter() {
    hooks_->hooks.clear(); // the slots are restored before the tallies go
    std::lock_guard<std::mutex> hold(tallyLock);
    if (tallies == hooks_->tallies) tallies = nullptr;
}

int ResourceCounter::Open(Resource kind) const {
    if (kind == Resource::Window) return ThreadWindows() - windowsAtStart_;
    std::lock_guard<std::mutex> hold(tallyLock);
    return static_cast<int>(hooks_->tallies[static_cast<int>(kind)].live.size());
}

int ResourceCounter::Opened(Resource kind) const {
    if (kind == Resource::Window) return 0;
    std::lock_guard<std::mutex> hold(tallyLock);
    return hooks_->tallies[static_cast<int>(kind)].opened;
}

std::string ResourceCounter::Leaks() const {
    static const char* const kNames[] = {"registry keys", "printer handles", "GDI objects",
                                         "device contexts", "windows"};
    std::string leaks;
    for (int k = 0; k <= kKinds; ++k) {
        // Fewer windows than at the start is no leak: a test may close one of its own.
        const int open = Open(static_cast<Resource>(k));
        if (open <= 0) continue;
        leaks += (leaks.empty() ? "" : ", ") + std::to_string(open) + " " + kNames[k] + " open";
    }
    return leaks;
}

} // namespace cvtest
