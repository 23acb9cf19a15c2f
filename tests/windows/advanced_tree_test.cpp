// The plug-in's colour and quality items in the driver's tree, through the real sheet of the
// stand-in host: clicks on the tree and on the control beside it, then the devmode's bytes, the
// items' marks and the host's record of the callback's answers.
#include "host/driver_items.h"
#include "host/sheet_host.h"
#include "import_hook.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "support.h"
#include "tree_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace cvtest;
using cv::PluginDevmode;

namespace {

const std::string kManualColor = PpdFeature("HasManualColorCorrection", {"True", "False"});
const std::string kNewQuality = PpdFeature("HasNewPrintQuality", {"True", "False"});

} // namespace

// The items of a model with both groups, started from the job's devmode; Manual enables the
// dependents and copies their values into both devmodes; each kind of item writes its field
// within its range; the page's activation. The rule table covers every item's field, range and
// entries.
TEST(TreeUi, ManualEnablesTheDependentsAndEveryKindOfItemWritesBothDevmodes) {
    ModelPrinter printer(L"Tree Colour", kManualColor + kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    PluginDevmode dm{};
    cv::defaultPluginDevmode(&dm);
    dm.colorCorrection = 2; // Auto
    dm.cyanBalance = 1;
    const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&dm, sizeof dm);
    cvhost::SheetOptions options;
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    SheetDriver sheet(printer.printerName, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.Texts(true),
              (std::vector<std::wstring>{
                  L"Manual Color", L"Color Correction", L"RGB", L"RGB Images", L"RGB Text",
                  L"RGB Graphics", L"CMYK Images, Text, and Graphics", L"Color Balance", L"Cyan",
                  L"Yellow", L"Magenta", L"Black", L"HueMiser", L"Print Quality", L"Brightness",
                  L"Contrast", L"Saturation", L"Enhance Fine Lines"}));
    EXPECT_EQ(tree.Value(L"Cyan"), L"1");
    const wchar_t* dependents[] = {L"RGB Images", L"RGB Text", L"RGB Graphics",
                                   L"CMYK Images, Text, and Graphics"};
    for (const wchar_t* d : dependents)
        EXPECT_TRUE(tree.Item(d)->Flags & OPTIF_DISABLED) << Narrow(d);

    ASSERT_TRUE(tree.Set(L"Color Correction", L"Manual"));
    EXPECT_EQ(tree.Host().calls.back().action, CPSUICB_ACTION_REINIT_ITEMS);
    for (const wchar_t* d : dependents)
        EXPECT_EQ(tree.Item(d)->Flags & (OPTIF_DISABLED | OPTIF_CHANGED), OPTIF_CHANGED)
            << Narrow(d);
    // A number of each group, one of them out of its item's range (not taken), and a check box.
    ASSERT_TRUE(tree.Set(L"Color Balance", L"Manual"));
    ASSERT_TRUE(tree.Set(L"Cyan", L"-3"));
    ASSERT_TRUE(tree.Set(L"Cyan", L"6"));
    ASSERT_TRUE(tree.Set(L"Saturation", L"4"));
    ASSERT_TRUE(tree.Set(L"Enhance Fine Lines", L"On"));
    const PluginDevmode* both[] = {static_cast<const PluginDevmode*>(sheet.Host().Param().pOEMDM),
                                   &ContextOf(sheet)->dm};
    for (const PluginDevmode* d : both) {
        EXPECT_EQ(d->colorCorrection, 3u);
        EXPECT_EQ(d->cyanBalance, -3);
        EXPECT_EQ(d->saturation, 4);
        EXPECT_EQ(d->enhanceFineLines, 1u);
    }

    // Each activation of the tree page moves the corner control, marks every item and keeps the
    // driver's items in the context.
    ASSERT_TRUE(sheet.SelectPage(L"Watermark"));
    HWND frame = sheet.Sheet();
    SetWindowLongPtrW(frame, GWL_EXSTYLE,
                      GetWindowLongPtrW(frame, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
    auto& host = tree.Host();
    for (DWORD i = 0; i < host.DriverCount() + host.PluginCount(); ++i)
        host.Items()[i].Flags &= ~static_cast<DWORD>(OPTIF_CHANGED);
    ASSERT_TRUE(sheet.SelectPage(0));
    EXPECT_EQ(host.calls.back().action, CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_FALSE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    for (DWORD i = 0; i < host.DriverCount() + host.PluginCount(); ++i)
        EXPECT_TRUE(host.Items()[i].Flags & OPTIF_CHANGED) << i;
    const cv::SheetContext* ctx = ContextOf(sheet);
    EXPECT_EQ(ctx->tree.drvOptItems, host.Items());
    EXPECT_EQ(ctx->tree.drvOptItemCount, host.DriverCount());
    EXPECT_EQ(ctx->tree.oemOptItemCount, 18u);
    RECT client{}, corner{};
    GetClientRect(sheet.Page(0), &client);
    GetWindowRect(GetDlgItem(sheet.Page(0), cvhost::kCornerControlId), &corner);
    MapWindowPoints(nullptr, sheet.Page(0), reinterpret_cast<POINT*>(&corner), 2);
    EXPECT_EQ(corner.right, client.right - 5);
    EXPECT_EQ(corner.bottom, client.bottom - 5);
    EXPECT_EQ(corner.right - corner.left, 32) << "the size is kept";
}

// The booklet entry found by its text: a resource-only module that carries compstui's booklet
// string is what the plug-in opens when it loads compstui's strings. Wine's own compstui (which
// lacks the string) is loaded in every process already, by winspool, so the test points the
// plug-in's LoadLibraryExW of "compstui.dll" at its module through the plug-in's import table
// while bookletModule names it.
const wchar_t* bookletModule = nullptr;
void* originalLoadLibraryEx = nullptr;
HMODULE WINAPI LoadTestCompstui(LPCWSTR name, HANDLE file, DWORD flags) {
    if (bookletModule && name && lstrcmpiW(name, L"compstui.dll") == 0) name = bookletModule;
    return reinterpret_cast<decltype(&LoadLibraryExW)>(originalLoadLibraryEx)(name, file, flags);
}

// The job's reverseOrBooklet at Apply, from the driver's pages-per-sheet item and the page order,
// here the OutputOrder feature of a model that orders its output itself (it has no standard
// page-order item) and has only the quality group. Wine's compstui has no booklet text, so the
// fallback entry (the seventh, "16" here) counts as the booklet and the host's own booklet entry
// does not, until compstui's text is there.
TEST(TreeUi, ApplyRecordsReverseOrBookletFromTheDriversLayoutItemsAndCompstuisText) {
    ModelPrinter printer(L"Tree Layout",
                         PpdFeature("OutputOrder", {"Normal", "Reverse"}) + kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.Texts(true),
              (std::vector<std::wstring>{L"Print Quality", L"Brightness", L"Contrast",
                                         L"Enable Gray Correction", L"Enhance Fine Lines"}));
    const std::wstring path = BesideExe(L"booklet\\compstui.dll");
    ImportHook hook(PluginDll::Get().module, nullptr, "LoadLibraryExW",
                    reinterpret_cast<void*>(&LoadTestCompstui));
    ASSERT_TRUE(hook.installed());
    originalLoadLibraryEx = hook.original();
    static_assert(cvhost::kNupBookletIndex != 6, "the booklet entry must not be the fallback");
    const struct {
        const wchar_t* nup;
        const wchar_t* order;
        bool bookletText;
        uint32_t expected;
    } cases[] = {{L"1", L"Reverse", false, 1},     {L"Booklet", L"Normal", false, 0},
                 {L"16", L"Normal", false, 1},     {L"4", L"Normal", false, 0},
                 {L"Booklet", L"Normal", true, 1}, {L"16", L"Normal", true, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.nup) + " / " + Narrow(c.order) + (c.bookletText ? " / text" : ""));
        bookletModule = c.bookletText ? path.c_str() : nullptr;
        ASSERT_TRUE(tree.Set(L"Pages per Sheet", c.nup));
        ASSERT_TRUE(tree.Set(L"OutputOrder", c.order));
        ASSERT_TRUE(sheet.Apply());
        EXPECT_EQ(Job(sheet).reverseOrBooklet, c.expected);
        EXPECT_EQ(ContextOf(sheet)->dm.reverseOrBooklet, c.expected);
    }
    // The Apply marked the devmode changed, and the host is told so when the sheet ends.
    EXPECT_TRUE(sheet.PressCancel());
    sheet.Finish();
    EXPECT_EQ(sheet.Host().setResults, (std::vector<LPARAM>{CPSUI_OK}));
}

TEST(TreeUi, PrinterSheetHidesTheFourDeviceItemsInAnyLetterCase) {
    std::string installable = "*OpenGroup: InstallableOptions/Installable Options\n";
    for (const char* k : {"hasmanualduplex", "HASPRINTANDHOLD", "HasManualColorCorrection",
                          "hasKeepPreviousPHJobs", "FaxCard", "HasNewPin"})
        installable += PpdFeature(k, {"True", "False"});
    installable += "*CloseGroup: InstallableOptions\n";
    ModelPrinter printer(L"Tree Device", installable + kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    cvhost::SheetOptions options;
    options.kind = cvhost::SheetKind::Printer;
    ResourceCounter counter;
    {
        SheetDriver sheet(printer.printerName, options);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        TreeDriver tree(sheet);
        ASSERT_TRUE(tree.ok());
        EXPECT_EQ(tree.Texts(),
                  (std::vector<std::wstring>{L"Device Settings", L"Installable Options",
                                             L"FaxCard: True", L"HasNewPin: True"}));
        EXPECT_EQ(tree.Host().PluginCount(), 0u);
        EXPECT_TRUE(sheet.PressOk());
        sheet.Finish();
    }
    EXPECT_EQ(counter.Leaks(), "");
}

// --- The tree's entry points called directly, as a driver would, for what a sheet cannot show --

namespace {

// A plug-in object published to a core-driver interface of a model with both groups.
struct BareTree : ::testing::Test {
    ComPtr<IPrintOemUI2> plugin{PluginDll::Get().CreatePlugin()};
    cvhost::CoreUIPtr coreUI;
    PluginDevmode job{};

    void SetUp() override {
        ASSERT_TRUE(plugin.get());
        cv::defaultPluginDevmode(&job);
        auto model = std::make_shared<cvhost::PrinterModel>();
        std::string error;
        ASSERT_TRUE(cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Bare\"\n" +
                                         kManualColor + kNewQuality,
                                     model.get(), &error))
            << error;
        coreUI.reset(cvhost::HostCoreUI::Create(model));
        ASSERT_EQ(plugin->PublishDriverInterface(coreUI.get()), S_OK);
    }
    // Counts and fills into `items` (room for 18) for a sheet of that heap, as the driver does.
    OEMCUIPPARAM Fill(HANDLE heap, OPTITEM* items, POPTITEM driverItems = nullptr,
                      DWORD driverCount = 0) {
        OEMCUIPPARAM p{};
        p.cbSize = sizeof p;
        p.poemuiobj = coreUI->UIObject();
        p.hModule = PluginDll::Get().module;
        p.hOEMHeap = heap;
        p.pOEMDM = &job;
        p.pDrvOptItems = driverItems;
        p.cDrvOptItems = driverCount;
        EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &p), S_OK);
        EXPECT_EQ(p.cOEMOptItems, 18u);
        p.pOEMOptItems = items;
        EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &p), S_OK);
        return p;
    }
    LONG Callback(OEMCUIPPARAM* p, LONG reason, OPTITEM* item = nullptr) {
        CPSUICBPARAM cb{};
        cb.cbSize = sizeof cb;
        cb.Reason = reason;
        cb.pCurItem = item;
        return p->OEMCUIPCallback ? p->OEMCUIPCallback(&cb, p) : -1;
    }
    // The sheet's destroy step, which frees the context the tree made, before its heap goes.
    void EndSheet(const OEMCUIPPARAM& p) {
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        info.UserData = reinterpret_cast<ULONG_PTR>(p.pOEMUserData);
        plugin->DocumentPropertySheets(&info, 0);
        HeapDestroy(p.hOEMHeap);
    }
};

} // namespace

// A heap without room for every OPTTYPE of a group: the group is there, count for count, but
// hidden and without values, never half made; its items answer the callback without harm.
TEST_F(BareTree, GroupWithoutRoomForItsTypesIsLeftOutWhole) {
    int complete = 0, leftOut = 0;
    // A heap that does not grow, filled up, then given back from its end bit by bit: from no
    // room at all to room for the sheet's context and every item.
    for (size_t room = 0;; room += 6) {
        SCOPED_TRACE(room);
        HANDLE heap = HeapCreate(0, 0, 64 * 1024);
        ASSERT_TRUE(heap);
        std::vector<void*> filler;
        while (void* block = HeapAlloc(heap, 0, 100))
            filler.push_back(block);
        if (room >= filler.size()) {
            HeapDestroy(heap);
            break;
        }
        for (size_t i = 0; i < room; ++i, filler.pop_back())
            HeapFree(heap, 0, filler.back());
        OPTITEM items[18] = {};
        OEMCUIPPARAM p = Fill(heap, items);
        for (size_t group = 0; group < 2; ++group) {
            const size_t first = group ? 13 : 0, count = group ? 5 : 13;
            int typed = 0, hidden = 0;
            for (size_t i = first; i < first + count; ++i) {
                EXPECT_EQ(items[i].cbSize, sizeof(OPTITEM));
                typed += items[i].pOptType ? 1 : 0;
                hidden += (items[i].Flags & OPTIF_HIDE) ? 1 : 0;
                EXPECT_TRUE(!items[i].pOptType || items[i].pOptType->pOptParam) << i;
            }
            const int valued = group ? 4 : 11;
            EXPECT_TRUE((typed == valued && hidden == 0) ||
                        (typed == 0 && hidden == static_cast<int>(count)))
                << "group " << group << ": " << typed << " typed, " << hidden << " hidden";
            (typed ? complete : leftOut) += 1;
        }
        for (OPTITEM& item : items) {
            item.Sel = 1;
            EXPECT_NE(Callback(&p, CPSUICB_REASON_SEL_CHANGED, &item), -1);
        }
        EndSheet(p);
    }
    EXPECT_GT(complete, 0);
    EXPECT_GT(leftOut, 0);
}

// The callback looks for items only within the count the driver gave; the layout items of an
// earlier sheet go with its heap: a later tree without them keeps none.
TEST_F(BareTree, ItemsAreSoughtWithinTheCountAndLayoutItemsGoWithTheirSheet) {
    HANDLE first = HeapCreate(0, 0, 0);
    ASSERT_TRUE(first);
    auto* layout = static_cast<OPTITEM*>(HeapAlloc(first, HEAP_ZERO_MEMORY, 2 * sizeof(OPTITEM)));
    layout[0].cbSize = layout[1].cbSize = sizeof(OPTITEM);
    layout[0].DMPubID = DMPUB_NUP;
    layout[1].DMPubID = DMPUB_PAGEORDER;
    layout[1].Sel = 1;
    OPTITEM items[18] = {};
    OEMCUIPPARAM p = Fill(first, items, layout, 2);
    EXPECT_TRUE(items[3].Flags & OPTIF_DISABLED) << "RGB Images, Color Correction not on Manual";
    items[1].Sel = 3; // Color Correction on Manual
    items[3].Sel = 4; // RGB Images, the fourth item
    job.colorCorrection = 0;
    p.cOEMOptItems = 3; // Manual Color, Color Correction, RGB
    const DWORD flagsBefore = items[3].Flags;
    EXPECT_EQ(Callback(&p, CPSUICB_REASON_SEL_CHANGED, &items[1]), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(job.colorCorrection, 3u);
    EXPECT_EQ(job.rgbImages, 0u) << "RGB Images lies past the count";
    EXPECT_EQ(items[3].Flags, flagsBefore);
    p.cOEMOptItems = 18;
    EXPECT_EQ(Callback(&p, CPSUICB_REASON_SEL_CHANGED, &items[1]), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(job.rgbImages, 4u);
    EXPECT_FALSE(items[3].Flags & OPTIF_DISABLED);
    EXPECT_EQ(Callback(&p, CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(job.reverseOrBooklet, 1u) << "page order on its second entry";
    EndSheet(p); // the first sheet is gone, its items with it

    HANDLE second = HeapCreate(0, 0, 0);
    ASSERT_TRUE(second);
    OPTITEM more[18] = {};
    job.reverseOrBooklet = 0;
    OEMCUIPPARAM q = Fill(second, more);
    EXPECT_EQ(Callback(&q, CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(job.reverseOrBooklet, 0u) << "no layout items: nothing recorded";
    EndSheet(q);
}
