#include "resource_counter.h"

#include "import_hook.h"
#include "support.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <iterator>
#include <mutex>
#include <set>
#include <vector>

namespace cvtest {

namespace {

constexpr int kKinds = static_cast<int>(Resource::Window);

struct Tally {
    std::set<const void*> live; // opened since construction, not yet closed
    int opened = 0;
};

// What the hooks record into; the hooks stay harmless (pass-through) when no counter is alive.
std::mutex tallyLock;
Tally* tallies = nullptr;

void Note(Resource kind, const void* handle, bool open) {
    std::lock_guard<std::mutex> hold(tallyLock);
    if (!tallies || !handle) return;
    Tally& t = tallies[static_cast<int>(kind)];
    if (open) {
        t.live.insert(handle);
        ++t.opened;
    } else {
        t.live.erase(handle);
    }
}

// The functions counted, with the real one each replacement passes the call on to.
enum Fn {
    kRegOpenKeyExW,
    kRegCreateKeyExW,
    kRegCloseKey,
    kOpenPrinterW,
    kClosePrinter,
    kCreatePen,
    kCreateFontIndirectW,
    kDeleteObject,
    kCreateDCW,
    kDeleteDC,
    kGetDC,
    kReleaseDC,
    kBeginPaint,
    kEndPaint,
    kFnCount
};
void* originals[kFnCount];

#define CV_REAL(name) reinterpret_cast<decltype(&::name)>(originals[k##name])

LSTATUS WINAPI OnRegOpenKeyExW(HKEY parent, LPCWSTR sub, DWORD options, REGSAM access, PHKEY key) {
    const LSTATUS rc = CV_REAL(RegOpenKeyExW)(parent, sub, options, access, key);
    if (rc == ERROR_SUCCESS && key) Note(Resource::RegistryKey, *key, true);
    return rc;
}
LSTATUS WINAPI OnRegCreateKeyExW(HKEY parent, LPCWSTR sub, DWORD reserved, LPWSTR cls,
                                 DWORD options, REGSAM access, const LPSECURITY_ATTRIBUTES sa,
                                 PHKEY key, LPDWORD disposition) {
    const LSTATUS rc =
        CV_REAL(RegCreateKeyExW)(parent, sub, reserved, cls, options, access, sa, key, disposition);
    if (rc == ERROR_SUCCESS && key) Note(Resource::RegistryKey, *key, true);
    return rc;
}
LSTATUS WINAPI OnRegCloseKey(HKEY key) {
    const LSTATUS rc = CV_REAL(RegCloseKey)(key);
    if (rc == ERROR_SUCCESS) Note(Resource::RegistryKey, key, false);
    return rc;
}
BOOL WINAPI OnOpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    const BOOL ok = CV_REAL(OpenPrinterW)(name, printer, defaults);
    if (ok && printer) Note(Resource::Printer, *printer, true);
    return ok;
}
BOOL WINAPI OnClosePrinter(HANDLE printer) {
    const BOOL ok = CV_REAL(ClosePrinter)(printer);
    if (ok) Note(Resource::Printer, printer, false);
    return ok;
}
HPEN WINAPI OnCreatePen(int style, int width, COLORREF color) {
    HPEN pen = CV_REAL(CreatePen)(style, width, color);
    Note(Resource::GdiObject, pen, true);
    return pen;
}
HFONT WINAPI OnCreateFontIndirectW(const LOGFONTW* lf) {
    HFONT font = CV_REAL(CreateFontIndirectW)(lf);
    Note(Resource::GdiObject, font, true);
    return font;
}
BOOL WINAPI OnDeleteObject(HGDIOBJ object) {
    const BOOL ok = CV_REAL(DeleteObject)(object);
    if (ok) Note(Resource::GdiObject, object, false);
    return ok;
}
HDC WINAPI OnCreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* dm) {
    HDC dc = CV_REAL(CreateDCW)(driver, device, port, dm);
    Note(Resource::DeviceContext, dc, true);
    return dc;
}
BOOL WINAPI OnDeleteDC(HDC dc) {
    const BOOL ok = CV_REAL(DeleteDC)(dc);
    if (ok) Note(Resource::DeviceContext, dc, false);
    return ok;
}
HDC WINAPI OnGetDC(HWND window) {
    HDC dc = CV_REAL(GetDC)(window);
    Note(Resource::DeviceContext, dc, true);
    return dc;
}
int WINAPI OnReleaseDC(HWND window, HDC dc) {
    const int released = CV_REAL(ReleaseDC)(window, dc);
    if (released) Note(Resource::DeviceContext, dc, false);
    return released;
}
HDC WINAPI OnBeginPaint(HWND window, LPPAINTSTRUCT ps) {
    HDC dc = CV_REAL(BeginPaint)(window, ps);
    Note(Resource::DeviceContext, dc, true);
    return dc;
}
BOOL WINAPI OnEndPaint(HWND window, const PAINTSTRUCT* ps) {
    const BOOL ok = CV_REAL(EndPaint)(window, ps);
    if (ps) Note(Resource::DeviceContext, ps->hdc, false);
    return ok;
}

#undef CV_REAL

struct Hooked {
    Fn fn;
    const char* name;
    void* replacement;
};
const Hooked kHooked[] = {
    {kRegOpenKeyExW, "RegOpenKeyExW", reinterpret_cast<void*>(&OnRegOpenKeyExW)},
    {kRegCreateKeyExW, "RegCreateKeyExW", reinterpret_cast<void*>(&OnRegCreateKeyExW)},
    {kRegCloseKey, "RegCloseKey", reinterpret_cast<void*>(&OnRegCloseKey)},
    {kOpenPrinterW, "OpenPrinterW", reinterpret_cast<void*>(&OnOpenPrinterW)},
    {kClosePrinter, "ClosePrinter", reinterpret_cast<void*>(&OnClosePrinter)},
    {kCreatePen, "CreatePen", reinterpret_cast<void*>(&OnCreatePen)},
    {kCreateFontIndirectW, "CreateFontIndirectW", reinterpret_cast<void*>(&OnCreateFontIndirectW)},
    {kDeleteObject, "DeleteObject", reinterpret_cast<void*>(&OnDeleteObject)},
    {kCreateDCW, "CreateDCW", reinterpret_cast<void*>(&OnCreateDCW)},
    {kDeleteDC, "DeleteDC", reinterpret_cast<void*>(&OnDeleteDC)},
    {kGetDC, "GetDC", reinterpret_cast<void*>(&OnGetDC)},
    {kReleaseDC, "ReleaseDC", reinterpret_cast<void*>(&OnReleaseDC)},
    {kBeginPaint, "BeginPaint", reinterpret_cast<void*>(&OnBeginPaint)},
    {kEndPaint, "EndPaint", reinterpret_cast<void*>(&OnEndPaint)},
};
static_assert(std::size(kHooked) == kFnCount);

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, &CountChild, count);
    return TRUE;
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
            if (!originals[h.fn] || originals[h.fn] == h.replacement)
                originals[h.fn] = hook->original();
            hooks_->hooks.push_back(std::move(hook));
        }
    }
    windowsAtStart_ = ThreadWindows();
}

ResourceCounter::~ResourceCounter() {
    hooks_->hooks.clear(); // slots restored before the tallies go
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
        if (!leaks.empty()) leaks += ", ";
        leaks += std::to_string(open) + " " + kNames[k] + " open";
    }
    return leaks;
}

} // namespace cvtest
