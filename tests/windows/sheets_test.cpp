// The document and printer property sheets through the plug-in's own entry points, hosted as the
// PostScript driver and compstui host them: which pages a printer model gets, the shared sheet
// context, and the protocol's reasons.
#include "core/sheet_context.h"
#include "host/sheet_host.h"
#include "host/spooler.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "resources/resource.h"
#include "support.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace cvtest;
using cv::SheetContext;
using cvhost::PropertySheetHost;
using cvhost::SheetKind;
using cvhost::SheetOptions;

namespace {

// Every feature the plug-in asks about, as in the demo model.
std::string FullModel() {
    return PpdFeature("FaxCard", {"True", "False"}) + PpdFeature("HasPrintandHold", {"True"}) +
           PpdFeature("HasNewPin", {"True"}) + PpdFeature("HasKeepPreviousPHJobs", {"True"});
}

std::unique_ptr<cvhost::DriverUI> OpenDriver(const std::wstring& printerName) {
    std::wstring why;
    auto driver = cvhost::DriverUI::Open(printerName, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    EXPECT_TRUE(driver) << Narrow(why);
    return driver;
}

std::vector<WORD> Templates(const PropertySheetHost& host) {
    std::vector<WORD> ids;
    for (const auto& page : host.Pages())
        ids.push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(page.record.pszTemplate)));
    return ids;
}

SheetContext* ContextOf(PropertySheetHost& host) {
    return reinterpret_cast<SheetContext*>(host.Info().UserData);
}

// Whether `block` is a live allocation of `heap`.
bool IsHeapBlock(HANDLE heap, const void* block) {
    PROCESS_HEAP_ENTRY entry{};
    bool found = false;
    HeapLock(heap);
    while (!found && HeapWalk(heap, &entry))
        found = (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == block;
    HeapUnlock(heap);
    return found;
}

// Which pages a model gets, and what every document sheet starts with: a context in the sheet's
// heap holding the job's working copy, and a printer sheet beside it with its own.
TEST(DocumentSheet, PagesFollowThePrinterModel) {
    ModelPrinter fax(L"Fax",
                     PpdFeature("FaxCard", {"TRUE", "Yes", "False", "Xrue", "Tru", "Truer"}) +
                         PpdFeature("HasNewPin", {"False"}));
    ModelPrinter hold(L"Hold", PpdFeature("HasPrintandHold", {"False"}));
    ModelPrinter plain(L"Plain", PpdFeature("FaxCard", {"False", "true"}));
    ASSERT_TRUE(fax.ok() && hold.ok() && plain.ok()) << fax.error << hold.error << plain.error;

    const std::vector<WORD> withoutOutput{IDD_WATERMARK, IDD_PROFILES, IDD_ABOUT_DOC};
    const struct {
        const ModelPrinter& printer;
        const char* faxCard; // the option selected for "FaxCard", or null
        std::vector<WORD> pages;
    } cases[] = {
        // A fax card reading True in any case brings the page; HasNewPin picks its template,
        // whatever option that feature has selected.
        {fax, "TRUE", {IDD_OUTPUT_OPTIONS_NEWPIN, IDD_WATERMARK, IDD_PROFILES, IDD_ABOUT_DOC}},
        {fax, "Yes", withoutOutput},
        {fax, "Xrue", withoutOutput},
        {fax, "Tru", withoutOutput},
        {fax, "Truer", withoutOutput},
        {fax, "False", withoutOutput},
        // Print and hold brings it whatever its selection; without HasNewPin: template 128.
        {hold, nullptr, {IDD_OUTPUT_OPTIONS, IDD_WATERMARK, IDD_PROFILES, IDD_ABOUT_DOC}},
        {plain, "False", withoutOutput},
        {plain, "true", {IDD_OUTPUT_OPTIONS, IDD_WATERMARK, IDD_PROFILES, IDD_ABOUT_DOC}},
    };
    cv::PluginDevmode job{};
    cv::defaultPluginDevmode(&job);
    job.watermarkOrder = 3;
    job.outputTo = 4;
    job.jobFlagB = 1; // not part of the working copy
    std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&job, sizeof job);
    SheetOptions options, printerSheet;
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    printerSheet.kind = SheetKind::Printer;
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.printer.printerName) + " FaxCard " + (c.faxCard ? c.faxCard : "-"));
        auto driver = OpenDriver(c.printer.printerName);
        ASSERT_TRUE(driver);
        if (c.faxCard) {
            ASSERT_TRUE(driver->CoreUI().Select("FaxCard", c.faxCard));
        }
        PropertySheetHost host(*driver);
        std::wstring why;
        ASSERT_TRUE(host.Init(options, &why)) << Narrow(why);
        EXPECT_EQ(Templates(host), c.pages);
        ASSERT_FALSE(host.Pages().empty());
        // The last page's addition (About) is the sheet's result.
        EXPECT_EQ(host.initResult, reinterpret_cast<ULONG_PTR>(host.Pages().back().handle));
        EXPECT_EQ(host.headerResult, 1u);
        EXPECT_EQ(host.headerTitle, L"In-Box UI Page");
        SheetContext* ctx = ContextOf(host);
        ASSERT_NE(ctx, nullptr);
        EXPECT_TRUE(IsHeapBlock(host.Heap(), ctx)) << "the context lives in the sheet's heap";
        EXPECT_EQ(ctx->uiParam, &host.Param());
        EXPECT_EQ(ctx->coreUI, static_cast<IPrintCoreUI2*>(&driver->CoreUI()));
        EXPECT_EQ(ctx->watermark.orderWork, 3u);
        EXPECT_EQ(ctx->dm.outputTo, 4u);
        EXPECT_EQ(ctx->dm.jobFlagB, 0u);
        const HANDLE actCtx = host.Pages().front().record.hActCtx;
        EXPECT_NE(actCtx, nullptr);
        for (const auto& page : host.Pages()) {
            EXPECT_EQ(page.record.lParam, reinterpret_cast<LPARAM>(ctx));
            EXPECT_EQ(page.record.hInstance, driver->PluginModule());
            EXPECT_EQ(page.record.dwFlags, static_cast<DWORD>(PSP_USEFUSIONCONTEXT));
            EXPECT_EQ(page.record.hActCtx, actCtx) << "one context, made once";
            EXPECT_TRUE(page.contextActivated) << "the context from resource 2 must be usable";
        }

        PropertySheetHost device(*driver);
        ASSERT_TRUE(device.Init(printerSheet, &why)) << Narrow(why);
        EXPECT_EQ(Templates(device), (std::vector<WORD>{IDD_ABOUT_PRINTER}));
        ASSERT_NE(ContextOf(device), nullptr);
        EXPECT_NE(ContextOf(device), ctx);
        EXPECT_EQ(ContextOf(device)->dm.dwSize, 0u) << "no working copy in the printer sheet";
        device.Finish();
        EXPECT_EQ(device.destroyResult, 0u);
        EXPECT_TRUE(device.setResults.empty());
        host.Finish();
        EXPECT_EQ(host.destroyCall, S_OK);
        EXPECT_EQ(host.destroyResult, 1u);
        EXPECT_TRUE(host.setResults.empty()) << "nothing changed: the host is not told";
    }
}

TEST(SheetUi, EveryPageShowsWithItsContextWithoutHelpAndReadOnlyDisablesIt) {
    ModelPrinter printer(L"Pages", FullModel());
    ASSERT_TRUE(printer.ok()) << printer.error;
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        ResourceCounter counter;
        SheetOptions options;
        options.readOnly = readOnly;
        SheetDriver sheet(printer.printerName, options);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        EXPECT_EQ(sheet.PageTitles(),
                  (std::vector<std::wstring>{L"Advanced", L"Output Options", L"Watermark",
                                             L"Profiles", L"About"}));
        ASSERT_NE(ContextOf(sheet.Host()), nullptr);
        EXPECT_EQ(ContextOf(sheet.Host())->readOnly, readOnly ? 1u : 0u);
        const auto context = static_cast<LONG_PTR>(sheet.Host().Info().UserData);
        // The first page comes last, so that it too is entered anew.
        for (const wchar_t* title : {L"Watermark", L"Profiles", L"About", L"Output Options"}) {
            HWND frame = sheet.Sheet();
            SetWindowLongPtrW(frame, GWL_EXSTYLE,
                              GetWindowLongPtrW(frame, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
            ASSERT_TRUE(sheet.SelectPage(title));
            SCOPED_TRACE(Narrow(title));
            EXPECT_FALSE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
            EXPECT_EQ(GetWindowLongPtrW(sheet.Page(title), DWLP_USER), context);
            if (title == std::wstring(L"About")) continue;
            // Editable pages disable what does not apply to the current choice, so only the
            // read-only sheet fixes the state of every control.
            int enabled = 0;
            for (HWND c = GetWindow(sheet.Page(title), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                enabled += IsWindowEnabled(c) ? 1 : 0;
            EXPECT_EQ(enabled == 0, readOnly);
        }
        EXPECT_TRUE(sheet.PressOk());
        sheet.Finish();
        EXPECT_TRUE(sheet.Host().closedWithOk);
        // OK applied the Advanced tree, which records the layout and marks the devmode changed:
        // the host is told, and the driver's function keeps the result (2, its count of calls).
        EXPECT_EQ(sheet.Host().setResults, (std::vector<LPARAM>{CPSUI_OK}));
        EXPECT_EQ(sheet.Host().destroyResult, 2u);
        // Every page was shown: together they left nothing of the plug-in's open.
        EXPECT_EQ(counter.Leaks(), "");
    }
}

// --- The protocol's edges, with a bare plug-in object and a recording pfnComPropSheet ----------
// What the host's own sheets show (the pages' parameters, the results of INIT and DESTROY, the
// change told to compstui) is left to the tests above.

struct ComPropSheetCall {
    WORD pageTemplate;
    DWORD pageFlags;
};
std::vector<ComPropSheetCall> comPropSheetCalls;

LONG_PTR CALLBACK RecordingComPropSheet(HANDLE, UINT function, LPARAM lParam1, LPARAM) {
    const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW && page)
        comPropSheetCalls.push_back(
            {static_cast<WORD>(reinterpret_cast<ULONG_PTR>(page->pszTemplate)), page->dwFlags});
    return 40 + static_cast<LONG_PTR>(comPropSheetCalls.size());
}

// A sheet's parameter block on a heap of its own, with a default job devmode.
struct SheetParam {
    HANDLE heap = HeapCreate(0, 0, 0);
    cv::PluginDevmode dm{};
    OEMUIPSPARAM param{};
    SheetParam() {
        cv::defaultPluginDevmode(&dm);
        param.cbSize = sizeof param;
        param.hOEMHeap = heap;
        param.pOEMDM = &dm;
    }
    ~SheetParam() { HeapDestroy(heap); }
    LPARAM lParam() { return reinterpret_cast<LPARAM>(&param); }
};

struct BareSheet : ::testing::Test {
    ComPtr<IPrintOemUI2> plugin{PluginDll::Get().CreatePlugin()};
    PROPSHEETUI_INFO info{};
    void SetUp() override {
        ASSERT_TRUE(plugin.get());
        comPropSheetCalls.clear();
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.hComPropSheet = reinterpret_cast<HANDLE>(0x5EE7);
        info.pfnComPropSheet = &RecordingComPropSheet;
    }
    HRESULT Call(bool document, WORD reason, LPARAM lParam) {
        info.Reason = reason;
        return document ? plugin->DocumentPropertySheets(&info, lParam)
                        : plugin->DevicePropertySheets(&info, lParam);
    }
};

// Versions other than 0x0100 are refused in entry_test; here the reasons the host seldom sends,
// and a document sheet without the core driver.
TEST_F(BareSheet, AnswersTheSimpleReasons) {
    for (const bool document : {true, false}) {
        SCOPED_TRACE(document ? "document" : "printer");
        SETRESULT_INFO result{sizeof result, 0, nullptr, 7};
        EXPECT_EQ(Call(document, PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&result)),
                  S_OK);
        EXPECT_EQ(info.Result, 7u);
        EXPECT_EQ(Call(document, PROPSHEETUI_REASON_SET_RESULT, 0), S_OK);
        EXPECT_EQ(info.Result, 0u);
        for (WORD reason : {4, 200}) {
            info.Result = 99;
            EXPECT_EQ(Call(document, reason, 0), S_OK);
            EXPECT_EQ(info.Result, 0u) << reason;
        }
        // No parameter block: nothing is added.
        info.lParamInit = 0;
        EXPECT_EQ(Call(document, PROPSHEETUI_REASON_INIT, 0), S_OK);
        EXPECT_EQ(info.Result, 1u);
        EXPECT_TRUE(comPropSheetCalls.empty());
        // Nor does the DESTROY that follows find anything; the document sheet answers as for an
        // unchanged sheet.
        EXPECT_EQ(Call(document, PROPSHEETUI_REASON_DESTROY, 0), S_OK);
        EXPECT_EQ(info.Result, document ? 1u : 0u);
    }
    // No PublishDriverInterface: the printer's features cannot be asked, so no Output Options.
    SheetParam sheet;
    info.lParamInit = sheet.lParam();
    ASSERT_EQ(Call(true, PROPSHEETUI_REASON_INIT, info.lParamInit), S_OK);
    ASSERT_EQ(comPropSheetCalls.size(), 3u);
    EXPECT_EQ(comPropSheetCalls[0].pageTemplate, IDD_WATERMARK);
    EXPECT_EQ(Call(true, PROPSHEETUI_REASON_DESTROY, 1), S_OK);
}

// The manifest is found from the module's path however deep the driver's directory lies: a path
// that fills the first buffer is read again into a larger one, never used cut.
TEST_F(BareSheet, PagesGetTheActivationContextFromALongModulePath) {
    const std::wstring base = ScratchDirectory();
    std::wstring dir = base;
    for (wchar_t c = L'a'; c < L'g'; ++c)
        CreateDirectoryW((dir += std::wstring(50, c) + L"\\").c_str(), nullptr);
    const std::wstring copy = dir + L"cvpsui.dll";
    ASSERT_GT(copy.size(), size_t(MAX_PATH));
    ASSERT_TRUE(CopyFileW(BesideExe(L"cvpsui.dll").c_str(), copy.c_str(), FALSE));
    HMODULE module = LoadLibraryW(copy.c_str());
    ASSERT_NE(module, nullptr);
    {
        const auto getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(getClassObject(CLSID_CorvanePlugin, IID_IClassFactory,
                                 reinterpret_cast<void**>(&factory)),
                  S_OK);
        plugin.reset();
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IPrintOemUI2_, reinterpret_cast<void**>(&plugin)),
            S_OK);
        OEMUIPSPARAM param{};
        info.lParamInit = reinterpret_cast<LPARAM>(&param);
        ASSERT_EQ(Call(false, PROPSHEETUI_REASON_INIT, info.lParamInit), S_OK);
        ASSERT_EQ(comPropSheetCalls.size(), 1u);
        EXPECT_EQ(comPropSheetCalls[0].pageFlags, DWORD(PSP_USEFUSIONCONTEXT));
        plugin.reset();
    }
    FreeLibrary(module);
    DeleteFileW(copy.c_str());
    for (; dir.size() > base.size(); dir.resize(dir.rfind(L'\\', dir.size() - 2) + 1))
        RemoveDirectoryW(dir.c_str());
}

// The Advanced tree and the pages of one sheet share one context, whichever comes first. Two
// document sheets of one object open at once: each works on a context of its own heap and
// frees it through that heap, whichever closes first. A context the tree made for a sheet whose
// INIT brought no parameter block goes with that sheet.
TEST_F(BareSheet, EachSheetAndItsTreeKeepTheContextOfItsOwnHeap) {
    SheetParam a, b;
    ASSERT_TRUE(a.heap && b.heap);
    OPTITEM items[1] = {};
    OEMCUIPPARAM tree{};
    tree.cbSize = sizeof tree;
    tree.hOEMHeap = a.heap;
    tree.pOEMDM = &a.dm;
    tree.pOEMOptItems = items;
    tree.dwFlags = DM_NOPERMISSION;
    ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &tree), S_OK);
    auto* contextA = static_cast<SheetContext*>(tree.pOEMUserData);
    ASSERT_NE(contextA, nullptr);
    EXPECT_TRUE(IsHeapBlock(a.heap, contextA));
    EXPECT_EQ(contextA->readOnly, 1u) << "the tree's items see a read-only sheet before INIT";
    info.lParamInit = a.lParam();
    ASSERT_EQ(Call(true, PROPSHEETUI_REASON_INIT, info.lParamInit), S_OK);
    EXPECT_EQ(info.UserData, reinterpret_cast<ULONG_PTR>(contextA));

    PROPSHEETUI_INFO second = info;
    second.lParamInit = b.lParam();
    ASSERT_EQ(plugin->DocumentPropertySheets(&second, second.lParamInit), S_OK);
    auto* contextB = reinterpret_cast<SheetContext*>(second.UserData);
    ASSERT_NE(contextB, nullptr);
    EXPECT_NE(contextA, contextB);
    EXPECT_TRUE(IsHeapBlock(b.heap, contextB));
    EXPECT_EQ(contextA->uiParam, &a.param) << "the first sheet's context is not taken over";
    ASSERT_EQ(Call(true, PROPSHEETUI_REASON_DESTROY, 1), S_OK);
    EXPECT_FALSE(IsHeapBlock(a.heap, contextA));
    EXPECT_TRUE(IsHeapBlock(b.heap, contextB));
    // The second sheet, refreshed, still finds its own.
    ASSERT_EQ(plugin->DocumentPropertySheets(&second, second.lParamInit), S_OK);
    EXPECT_EQ(second.UserData, reinterpret_cast<ULONG_PTR>(contextB));
    second.Reason = PROPSHEETUI_REASON_DESTROY;
    ASSERT_EQ(plugin->DocumentPropertySheets(&second, 1), S_OK);
    EXPECT_FALSE(IsHeapBlock(b.heap, contextB));

    // The tree first again, then an INIT without a parameter block and the destroy step.
    tree.pOEMUserData = nullptr;
    tree.dwFlags = 0;
    ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &tree), S_OK);
    auto* untaken = static_cast<SheetContext*>(tree.pOEMUserData);
    ASSERT_NE(untaken, nullptr);
    EXPECT_EQ(untaken->readOnly, 0u);
    info.lParamInit = 0;
    info.UserData = 0;
    ASSERT_EQ(Call(true, PROPSHEETUI_REASON_INIT, 0), S_OK);
    ASSERT_EQ(Call(true, PROPSHEETUI_REASON_DESTROY, 1), S_OK);
    // A later sheet whose heap is the same (a heap can come back at the same address) gets a
    // context of its own, not the one left behind.
    ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &tree), S_OK);
    EXPECT_NE(tree.pOEMUserData, nullptr);
    EXPECT_NE(tree.pOEMUserData, untaken);
}

} // namespace
