// The compstui side of a printer property sheet as the stand-in host plays it: the
// PROPSHEETUI_INFO protocol with the plug-in (INIT, GET_INFO_HEADER, DESTROY, and SET_RESULT
// passed up when the plug-in asks for it), pfnComPropSheet for the plug-in's pages, a private
// heap for the sheet, the job's devmode, and a real PropertySheetW, modal or modeless.
#pragma once

#include "core/plugin_abi.h"
#include "host/advanced_page.h"
#include "host/driver_ui.h"
#include "host/job_devmode.h"

#include <memory>
#include <string>
#include <vector>

namespace cvhost {

enum class SheetKind { Document, Printer };

struct SheetOptions {
    SheetKind kind = SheetKind::Document;
    bool readOnly = false;              // the user may look but not change (DM_NOPERMISSION)
    const DEVMODEW* incoming = nullptr; // an application's devmode, merged into the job's
    HWND owner = nullptr;
    // The page the sheet opens on, by its title ("Advanced"); empty: the first. The pages before
    // it are made only when they are first shown, as in a sheet given a start page.
    std::wstring startPage;
};

// A page as the plug-in handed it to CPSFUNC_ADD_PROPSHEETPAGEW.
struct AddedPage {
    PROPSHEETPAGEW record{}; // copied up to the record's own dwSize
    HPROPSHEETPAGE handle = nullptr;
    bool contextActivated = false; // the host activated record.hActCtx around the creation
};

class PropertySheetHost {
  public:
    explicit PropertySheetHost(DriverUI& driver);
    ~PropertySheetHost(); // a sheet still up is destroyed and the plug-in told so
    PropertySheetHost(const PropertySheetHost&) = delete;
    PropertySheetHost& operator=(const PropertySheetHost&) = delete;

    // Everything before the sheet shows: heap, devmode, the plug-in's INIT (which adds its
    // pages) and GET_INFO_HEADER.
    bool Init(const SheetOptions& options, std::wstring* error);
    // Shows the sheet modally and returns once it is closed and destroyed.
    bool RunModal(std::wstring* error);
    // Shows the sheet modeless; the caller pumps messages and ends with Finish.
    HWND ShowModeless(std::wstring* error);
    // True while the modeless sheet is up (OK or Cancel not yet accepted).
    bool IsOpen() const;
    // Pumps this thread's messages until the sheet closes or `timeoutMs` passes.
    bool PumpUntilClosed(DWORD timeoutMs);
    // Destroys the sheet window, calls DESTROY and frees the heap. Safe to call twice.
    void Finish();

    // Calls the plug-in's sheet method (document or printer, as Init chose) with `reason`.
    HRESULT CallPlugin(WORD reason, LPARAM lParam);

    // The sheet's own copy of the job's devmode, which the pages work on (param's pPublicDM and
    // pOEMDM); the job (Devmode()) takes it over only on OK or Apply.
    DEVMODEW* WorkingDevmode() { return reinterpret_cast<DEVMODEW*>(working_.data()); }

    HWND Window() const { return window_; }
    SheetKind Kind() const { return kind_; }
    const std::wstring& Caption() const { return caption_; }
    // The plug-in's pages, as it added them.
    const std::vector<AddedPage>& Pages() const { return pages_; }
    // The driver's tree page (the document sheet's Advanced, the printer sheet's Device
    // Settings), before the plug-in's pages; null when it could not be made.
    AdvancedPage* Advanced() { return advanced_.get(); }
    PROPSHEETUI_INFO& Info() { return info_; }
    OEMUIPSPARAM& Param() { return param_; }
    JobDevmode& Devmode() { return devmode_; }
    HANDLE Heap() const { return heap_; }
    DriverUI& Driver() { return driver_; }

    // What the protocol returned.
    ULONG_PTR initResult = 0;
    ULONG_PTR headerResult = 0;
    std::wstring headerTitle; // pTitle after GET_INFO_HEADER
    ULONG_PTR destroyResult = 0;
    HRESULT destroyCall = S_OK;
    std::vector<LPARAM> setResults;   // lParam2 of every CPSFUNC_SET_RESULT, in order
    LPARAM keptResult = 0;            // the result the driver's own function received last
    std::vector<UINT> otherFunctions; // pfnComPropSheet codes this host does not serve
    bool closedWithOk = false;        // the sheet closed through OK
    int commits = 0;                  // times the working devmode went into the job
    bool storedUserDefault = false;   // OK stored the job as the user's default devmode
    bool startPageMissing = false;    // no page has the title of options.startPage

  private:
    static LONG_PTR CALLBACK ComPropSheet(HANDLE hComPropSheet, UINT function, LPARAM lParam1,
                                          LPARAM lParam2);
    static int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM lParam);
    static LRESULT CALLBACK SheetSubclass(HWND sheet, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data);
    LONG_PTR AddPage(const PROPSHEETPAGEW* page);
    LONG_PTR SetResult(LPARAM page, LPARAM result);
    bool Show(bool modeless, INT_PTR* result, std::wstring* error);
    // The driver's own page, before the plug-in's INIT: its tree, with the plug-in's items.
    bool AddDriverPages(std::wstring* error);
    // OK or Apply went through every page: the job takes the working devmode; OK in the
    // printing preferences also stores it as the user's default.
    void Commit(bool ok);
    void OpenStartPage();

    DriverUI& driver_;
    SheetKind kind_ = SheetKind::Document;
    HWND owner_ = nullptr;
    std::wstring caption_;
    HANDLE heap_ = nullptr;
    JobDevmode devmode_;
    std::vector<unsigned char> working_;
    std::unique_ptr<AdvancedPage> advanced_;
    HPROPSHEETPAGE advancedPage_ = nullptr;
    std::wstring startPage_;
    bool startPageFound_ = false; // among the pages' titles before the sheet was made
    OEMUIPSPARAM param_{};
    PROPSHEETUI_INFO info_{};
    std::vector<AddedPage> pages_;
    bool inited_ = false;
    bool pagesOwnedBySheet_ = false; // PropertySheetW took the page handles
    bool finished_ = false;
    HWND window_ = nullptr;
    bool modeless_ = false;
    UINT lastButton_ = 0; // IDOK or IDCANCEL, as last pressed
};

} // namespace cvhost
