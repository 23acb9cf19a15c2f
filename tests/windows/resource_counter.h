// Counts what the plug-in's code opens and closes, so that a test can assert that a page, a
// dialog or a store operation left nothing open: registry keys, printer handles, GDI objects,
// device contexts and windows. Wine answers 0 to GetGuiResources and GetProcessHandleCount, so
// handles are counted at the calls themselves, through the import tables of the modules that run
// the plug-in's code: the DLL, and the test program, which links the shell for the tests of its
// internals (the store, the preview). Windows are counted as they exist: every window of this
// thread, children included, now against at construction (the plug-in's dialogs and pages are
// made by user32 and comctl32, not by calls of its own).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace cvtest {

enum class Resource {
    RegistryKey,   // RegOpenKeyExW, RegCreateKeyExW / RegCloseKey
    Printer,       // OpenPrinterW / ClosePrinter
    GdiObject,     // CreatePen, CreateSolidBrush, CreateFontIndirectW / DeleteObject
    DeviceContext, // CreateDCW / DeleteDC, GetDC / ReleaseDC, BeginPaint / EndPaint
    Window,        // windows of this thread
};

class ResourceCounter {
  public:
    // Hooks the given modules; none given: the plug-in DLL. One counter at a time.
    ResourceCounter(std::initializer_list<HMODULE> modules = {});
    ~ResourceCounter();
    ResourceCounter(const ResourceCounter&) = delete;
    ResourceCounter& operator=(const ResourceCounter&) = delete;

    // Handles of `kind` opened since construction and not closed (windows: the thread's windows
    // now less those at construction).
    int Open(Resource kind) const;
    // Handles of `kind` opened since construction, closed or not: a test that asserts a balance
    // shows with this that the counter saw the work at all. Not counted for windows.
    int Opened(Resource kind) const;
    // "" when nothing opened since construction is left open; otherwise what is, as in
    // "2 registry keys open".
    std::string Leaks() const;

    // The program's own module, for counters that watch the shell linked into the tests.
    static HMODULE Program() { return GetModuleHandleW(nullptr); }

  private:
    struct Hooks;
    std::unique_ptr<Hooks> hooks_;
    int windowsAtStart_ = 0;
};

} // namespace cvtest
