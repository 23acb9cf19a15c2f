// Replaces one imported function of a loaded module for the hook's lifetime, by rewriting the
// module's import address table: how a test observes the module's calls into the platform
// where the platform itself cannot show them (Wine's DeletePrintProcessorW does nothing).
#pragma once

#include <windows.h>

namespace cvtest {

class ImportHook {
  public:
    // `importedFrom` is the DLL name as the module imports it ("winspool.drv"), compared
    // without regard to case; null takes the function from whichever DLL the module imports it.
    // installed() is false when the module does not import it by name.
    ImportHook(HMODULE module, const char* importedFrom, const char* function, void* replacement);
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;
    ~ImportHook();

    bool installed() const { return slot_ != nullptr; }
    // What the slot held before: the function a replacement passes the call on to.
    void* original() const { return original_; }

  private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

} // namespace cvtest
