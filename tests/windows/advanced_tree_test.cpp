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

#include <cstring>
#include <memory>
#include <vector>

using namespace cvtest;
using cv::PluginDevmode;

namespace {

const std::string kManualColor = PpdFeature("HasManualColorCorrection", {"True", "False"});
const std::string kNewQuality = PpdFeature("HasNewPrintQuality", {"True", "False"});

const PluginDevmode& Working(SheetDriver& sheet) {
    return *static_cast<const PluginDevmode*>(sheet.Host().Param().pOEMDM);
}

PluginDevmode Defaults() {
    PluginDevmode dm{};
    cv::defaultPluginDevmode(&dm);
    return dm;
}

} // namespace

// The items of a model with both groups; Manual enables the dependents and copies their values
// into both devmodes; each kind of item writes its field, which an Apply of any page keeps; the
// page's activation. The rule table covers every item's field, range and entries.
TEST(TreeUi, ManualEnablesTheDependentsAndEveryKindOfItemWritesBothDevmodes) {
    ModelPrinter printer(L"Tree Colour", kManualColor + kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    PluginDevmode dm = Defaults();
    dm.colorCorrection = 2; // Auto
    dm.rgbImages = 1;
    dm.rgbText = 2;
    dm.rgbGraphics = 3;
    dm.cyanBalance = 1;
    const std::vector<unsigned char> incoming = cvhost::MakeIncomingDevmode(&dm, sizeof dm);
    cvhost::SheetOptions options;
    options.incoming = reinterpret_cast<const DEVMODEW*>(incoming.data());
    SheetDriver sheet(printer.printerName, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.PluginNames(),
              (std::vector<std::wstring>{
                  L"Manual Color", L"Color Correction", L"RGB", L"RGB Images", L"RGB Text",
                  L"RGB Graphics", L"CMYK Images, Text, and Graphics", L"Color Balance", L"Cyan",
                  L"Yellow", L"Magenta", L"Black", L"HueMiser", L"Print Quality", L"Brightness",
                  L"Contrast", L"Saturation", L"Enhance Fine Lines"}));
    ASSERT_TRUE(tree.Click(L"RGB Text"));
    EXPECT_EQ(tree.Entries(),
              (std::vector<std::wstring>{L"Printer Setting", L"sRGB Display", L"sRGB Vivid",
                                         L"Vivid", L"Off", L"Display - True Black"}));
    EXPECT_EQ(tree.Value(L"Cyan"), L"1");
    const wchar_t* dependents[] = {L"RGB Images", L"RGB Text", L"RGB Graphics",
                                   L"CMYK Images, Text, and Graphics"};
    for (const wchar_t* d : dependents) {
        ASSERT_TRUE(tree.Click(d));
        EXPECT_FALSE(tree.ControlEnabled()) << Narrow(d);
    }
    EXPECT_FALSE(sheet.ApplyEnabled());

    const size_t before = tree.Host().calls.size();
    ASSERT_TRUE(tree.Choose(L"Color Correction", L"Manual"));
    ASSERT_EQ(tree.Host().calls.size(), before + 1);
    EXPECT_EQ(tree.Host().calls.back().reason, CPSUICB_REASON_SEL_CHANGED);
    EXPECT_EQ(tree.Host().calls.back().action, CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(tree.Host().calls.back().oldSel, 2);
    EXPECT_TRUE(sheet.ApplyEnabled());
    for (const wchar_t* d : dependents) {
        ASSERT_TRUE(tree.Click(d));
        EXPECT_TRUE(tree.ControlEnabled()) << Narrow(d);
        EXPECT_EQ(tree.Item(d)->Flags & (OPTIF_DISABLED | OPTIF_CHANGED), OPTIF_CHANGED);
    }
    const PluginDevmode* both[] = {&Working(sheet), &ContextOf(sheet)->dm};
    for (const PluginDevmode* d : both) {
        EXPECT_EQ(d->colorCorrection, 3u);
        EXPECT_EQ(d->rgbImages, 1u);
        EXPECT_EQ(d->rgbGraphics, 3u);
    }
    EXPECT_EQ(Job(sheet).colorCorrection, 2u) << "the job takes nothing before Apply";

    // A number of each group; colour balance items answer nothing, the quality numbers ask for
    // the items again; a value out of the item's range is not taken.
    ASSERT_TRUE(tree.Choose(L"Color Balance", L"Manual"));
    ASSERT_TRUE(tree.SetNumber(L"Cyan", -3));
    EXPECT_EQ(tree.Host().calls.back().action, CPSUICB_ACTION_NONE);
    ASSERT_TRUE(tree.SetNumber(L"Cyan", 6));
    ASSERT_TRUE(tree.SetNumber(L"Saturation", 4));
    EXPECT_EQ(tree.Host().calls.back().action, CPSUICB_ACTION_REINIT_ITEMS);
    for (const PluginDevmode* d : both) {
        EXPECT_EQ(d->cyanBalance, -3);
        EXPECT_EQ(d->yellowBalance, 0);
        EXPECT_EQ(d->saturation, 4);
    }
    EXPECT_EQ(tree.Value(L"Cyan"), L"-3");
    ASSERT_TRUE(tree.Toggle(L"Enhance Fine Lines"));
    EXPECT_EQ(Working(sheet).enhanceFineLines, 1u);
    EXPECT_EQ(tree.Value(L"Enhance Fine Lines"), L"On");
    ASSERT_TRUE(tree.Choose(L"HueMiser", L"On"));
    // The pages' working copy has them too, so an Apply of any page keeps them.
    ASSERT_TRUE(sheet.SelectPage(L"Profiles"));
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Job(sheet).hueMiser, 2u);
    EXPECT_EQ(Job(sheet).saturation, 4);

    // Each activation of the tree page moves the corner control, marks every item and keeps the
    // driver's items in the context.
    ASSERT_TRUE(sheet.SelectPage(L"Watermark"));
    HWND frame = sheet.Sheet();
    SetWindowLongPtrW(frame, GWL_EXSTYLE,
                      GetWindowLongPtrW(frame, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
    auto& host = *sheet.Host().Advanced();
    for (DWORD i = 0; i < host.DriverCount() + host.PluginCount(); ++i)
        host.Items()[i].Flags &= ~static_cast<DWORD>(OPTIF_CHANGED);
    const size_t calls = host.calls.size();
    ASSERT_TRUE(sheet.SelectPage(0));
    ASSERT_EQ(host.calls.size(), calls + 1);
    EXPECT_EQ(host.calls.back().reason, CPSUICB_REASON_SETACTIVE);
    EXPECT_EQ(host.calls.back().action, CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_FALSE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    for (DWORD i = 0; i < host.DriverCount() + host.PluginCount(); ++i)
        EXPECT_TRUE(host.Items()[i].Flags & OPTIF_CHANGED) << i;
    const cv::SheetContext* ctx = ContextOf(sheet);
    EXPECT_EQ(ctx->tree.drvOptItems, host.Items());
    EXPECT_EQ(ctx->tree.drvOptItemCount, host.DriverCount());
    EXPECT_EQ(ctx->tree.oemOptItemCount, 18u);
    RECT client{}, corner{};
    GetClientRect(tree.Page(), &client);
    GetWindowRect(GetDlgItem(tree.Page(), cvhost::kCornerControlId), &corner);
    MapWindowPoints(nullptr, tree.Page(), reinterpret_cast<POINT*>(&corner), 2);
    EXPECT_EQ(corner.right, client.right - 5);
    EXPECT_EQ(corner.bottom, client.bottom - 5);
    EXPECT_EQ(corner.right - corner.left, 32) << "the size is kept";
}

// The booklet entry found by its text: a resource-only module that carries compstui's booklet
// string is what the plug-in opens when it loads compstui's strings. Wine's own compstui (which
// lacks the string) is loaded in every process already, by winspool, so the test points the
// plug-in's LoadLibraryExW of "compstui.dll" at its module through the plug-in's import table.
const wchar_t* bookletModule = nullptr;
int compstuiLoads = 0;
void* originalLoadLibraryEx = nullptr;
HMODULE WINAPI LoadTestCompstui(LPCWSTR name, HANDLE file, DWORD flags) {
    if (name && lstrcmpiW(name, L"compstui.dll") == 0) {
        ++compstuiLoads;
        name = bookletModule;
    }
    return reinterpret_cast<decltype(&LoadLibraryExW)>(originalLoadLibraryEx)(name, file, flags);
}

// The job's reverseOrBooklet at Apply, from the driver's pages-per-sheet and page-order items.
// Wine's compstui has no booklet text, so the fallback entry (the seventh, "16" here) counts as
// the booklet and the host's own booklet entry does not, until compstui's text is there.
TEST(TreeUi, ApplyRecordsReverseOrBookletFromTheDriversLayoutItemsAndCompstuisText) {
    ModelPrinter printer(L"Tree Layout", kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.PluginNames(),
              (std::vector<std::wstring>{L"Print Quality", L"Brightness", L"Contrast",
                                         L"Enable Gray Correction", L"Enhance Fine Lines"}));
    const struct {
        const wchar_t* nup;
        const wchar_t* order;
        uint32_t expected;
    } cases[] = {{L"1", L"Back to Front", 1},
                 {L"Booklet", L"Front to Back", 0},
                 {L"16", L"Front to Back", 1},
                 {L"4", L"Front to Back", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.nup) + " / " + Narrow(c.order));
        ASSERT_TRUE(tree.Choose(L"Pages per Sheet", c.nup));
        ASSERT_TRUE(tree.Choose(L"Page Order", c.order));
        ASSERT_TRUE(sheet.Apply());
        EXPECT_EQ(Job(sheet).reverseOrBooklet, c.expected);
        EXPECT_EQ(ContextOf(sheet)->dm.reverseOrBooklet, c.expected);
    }
    // Apply, then the page is activated again (comctl32 does so after Apply).
    const auto& calls = tree.Host().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].reason, CPSUICB_REASON_APPLYNOW);
    EXPECT_EQ(calls[calls.size() - 2].action, CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(calls.back().reason, CPSUICB_REASON_SETACTIVE);
    // With compstui's booklet text the entry of that text is the booklet.
    const std::wstring path = BesideExe(L"booklet\\compstui.dll");
    bookletModule = path.c_str();
    compstuiLoads = 0;
    ImportHook hook(PluginDll::Get().module, nullptr, "LoadLibraryExW",
                    reinterpret_cast<void*>(&LoadTestCompstui));
    ASSERT_TRUE(hook.installed());
    originalLoadLibraryEx = hook.original();

    const struct {
        const wchar_t* nup;
        uint32_t expected;
    } byText[] = {{L"Booklet", 1}, {L"16", 0}};
    for (const auto& c : byText) {
        ASSERT_TRUE(tree.Choose(L"Pages per Sheet", c.nup));
        ASSERT_TRUE(sheet.Apply());
        EXPECT_EQ(Job(sheet).reverseOrBooklet, c.expected) << Narrow(c.nup);
    }
    EXPECT_EQ(compstuiLoads, 2) << "compstui's strings are loaded at each Apply";
    static_assert(cvhost::kNupBookletIndex != 6, "the booklet entry must not be the fallback");
    EXPECT_EQ(ContextOf(sheet)->changed, 1u);
    EXPECT_TRUE(sheet.PressCancel());
    sheet.Finish();
    EXPECT_EQ(sheet.Host().setResults, (std::vector<LPARAM>{CPSUI_OK}));
}

// A model that orders its output itself, and has neither group of the plug-in's items: its
// OutputOrder feature item is the page order. The sheet was asked for a page it does not have.
TEST(TreeUi, OutputOrderFeatureStandsForThePageOrder) {
    ModelPrinter printer(L"Tree Output Order",
                         PpdFeature("OutputOrder", {"Normal", "Reverse"}) +
                             PpdFeature("Duplex", {"None", "DuplexNoTumble"}));
    ASSERT_TRUE(printer.ok()) << printer.error;
    cvhost::SheetOptions options;
    options.startPage = L"Nowhere";
    SheetDriver sheet(printer.printerName, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    EXPECT_TRUE(sheet.Host().startPageMissing);
    EXPECT_EQ(sheet.CurrentPage(), sheet.Page(0));
    TreeDriver tree(sheet);
    ASSERT_TRUE(tree.ok());
    EXPECT_EQ(tree.Host().PluginCount(), 0u);
    EXPECT_EQ(tree.Item(L"Page Order"), nullptr) << "no standard page-order item";
    ASSERT_NE(tree.Item(L"Duplex"), nullptr);
    EXPECT_EQ(tree.Item(L"Duplex")->DMPubID, DMPUB_DUPLEX);
    ASSERT_TRUE(tree.Choose(L"OutputOrder", L"Reverse"));
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Job(sheet).reverseOrBooklet, 1u);
    ASSERT_TRUE(tree.Choose(L"OutputOrder", L"Normal"));
    ASSERT_TRUE(sheet.Apply());
    EXPECT_EQ(Job(sheet).reverseOrBooklet, 0u);
}

// Cancel leaves the job; OK stores the user's default, which the next sheet starts from: a
// read-only one, where every item is disabled, Manual's dependents too.
TEST(TreeUi, CancelLeavesTheJobOkStoresTheUsersDefaultAndReadOnlyDisablesEveryItem) {
    ModelPrinter printer(L"Tree Cancel", kManualColor + kNewQuality);
    ASSERT_TRUE(printer.ok()) << printer.error;
    for (const bool ok : {false, true}) {
        SheetDriver sheet(printer.printerName, cvhost::SheetOptions{});
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        EXPECT_EQ(Job(sheet).brightness, 0) << "a cancelled sheet stores nothing";
        const PluginDevmode before = Job(sheet);
        TreeDriver tree(sheet);
        ASSERT_TRUE(tree.SetNumber(L"Brightness", ok ? -2 : 4));
        ASSERT_TRUE(tree.Choose(L"Color Correction", L"Manual"));
        EXPECT_TRUE(ok ? sheet.PressOk() : sheet.PressCancel());
        sheet.Finish();
        EXPECT_EQ(std::memcmp(&Job(sheet), &before, sizeof before) == 0, !ok);
        EXPECT_EQ(Job(sheet).brightness, ok ? -2 : 0);
        EXPECT_EQ(sheet.Host().commits > 0, ok);
        EXPECT_EQ(sheet.Host().storedUserDefault, ok);
    }
    cvhost::SheetOptions options;
    options.readOnly = true;
    SheetDriver next(printer.printerName, options);
    ASSERT_TRUE(next.ok()) << next.error();
    EXPECT_TRUE(next.Host().Devmode().MergedUserDefault());
    TreeDriver tree(next);
    EXPECT_EQ(tree.Value(L"Brightness"), L"-2");
    EXPECT_EQ(tree.Value(L"Color Correction"), L"Manual");
    int items = 0;
    for (const std::wstring& text : tree.Texts()) {
        if (text.find(L": ") == std::wstring::npos) continue; // headings have no control
        const std::wstring name = text.substr(0, text.find(L": "));
        ASSERT_TRUE(tree.Click(name));
        EXPECT_FALSE(tree.ControlEnabled()) << Narrow(name);
        ++items;
    }
    EXPECT_GE(items, 20) << "the plug-in's 15 and the driver's";
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
        EXPECT_EQ(sheet.PageTitles(), (std::vector<std::wstring>{L"Device Settings", L"About"}));
        TreeDriver tree(sheet);
        ASSERT_TRUE(tree.ok());
        EXPECT_EQ(tree.Texts(),
                  (std::vector<std::wstring>{L"Device Settings", L"Installable Options",
                                             L"FaxCard: True", L"HasNewPin: True"}));
        EXPECT_EQ(tree.Host().PluginCount(), 0u);
        int hidden = 0;
        for (DWORD i = 0; i < tree.Host().DriverCount(); ++i)
            hidden += (tree.Host().Items()[i].Flags & OPTIF_HIDE) ? 1 : 0;
        EXPECT_EQ(hidden, 4);
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
    PluginDevmode job = Defaults();

    void SetUp() override {
        ASSERT_TRUE(plugin.get());
        auto model = std::make_shared<cvhost::PrinterModel>();
        std::string error;
        ASSERT_TRUE(cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Cv Bare\"\n" +
                                         kManualColor + kNewQuality,
                                     model.get(), &error))
            << error;
        coreUI.reset(cvhost::HostCoreUI::Create(model));
        ASSERT_EQ(plugin->PublishDriverInterface(coreUI.get()), S_OK);
    }
    OEMCUIPPARAM Param(HANDLE heap, POPTITEM driverItems, DWORD driverCount) {
        OEMCUIPPARAM p{};
        p.cbSize = sizeof p;
        p.poemuiobj = coreUI->UIObject();
        p.hModule = PluginDll::Get().module;
        p.hOEMHeap = heap;
        p.pOEMDM = &job;
        p.pDrvOptItems = driverItems;
        p.cDrvOptItems = driverCount;
        return p;
    }
    // Counts and fills into `items` (room for 18), as the driver does.
    void Fill(OEMCUIPPARAM* p, OPTITEM* items) {
        ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, p), S_OK);
        ASSERT_EQ(p->cOEMOptItems, 18u);
        p->pOEMOptItems = items;
        ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, p), S_OK);
        ASSERT_NE(p->OEMCUIPCallback, nullptr);
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
    LONG Changed(OEMCUIPPARAM* p, OPTITEM* item, LONG sel) {
        item->Sel = sel;
        CPSUICBPARAM cb{};
        cb.cbSize = sizeof cb;
        cb.Reason = CPSUICB_REASON_SEL_CHANGED;
        cb.pCurItem = item;
        return p->OEMCUIPCallback(&cb, p);
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
        OEMCUIPPARAM p = Param(heap, nullptr, 0);
        Fill(&p, items);
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
        for (OPTITEM& item : items)
            Changed(&p, &item, 1);
        EndSheet(p);
    }
    EXPECT_GT(complete, 0);
    EXPECT_GT(leftOut, 0);
}

// The callback looks for items only within the count the driver gave.
TEST_F(BareTree, ItemsAreSoughtOnlyWithinTheCount) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_TRUE(heap);
    OPTITEM items[18] = {};
    OEMCUIPPARAM p = Param(heap, nullptr, 0);
    Fill(&p, items);
    items[3].Sel = 4; // RGB Images, the fourth item
    job.colorCorrection = 0;
    p.cOEMOptItems = 3; // Manual Color, Color Correction, RGB
    const DWORD flagsBefore = items[3].Flags;
    EXPECT_EQ(Changed(&p, &items[1], 3), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(job.colorCorrection, 3u);
    EXPECT_EQ(job.rgbImages, 0u) << "RGB Images lies past the count";
    EXPECT_EQ(items[3].Flags, flagsBefore);
    p.cOEMOptItems = 18;
    EXPECT_EQ(Changed(&p, &items[1], 3), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(job.rgbImages, 4u);
    EXPECT_FALSE(items[3].Flags & OPTIF_DISABLED);
    EndSheet(p);
}

// The layout items of an earlier sheet go with its heap: a later tree without them keeps none.
TEST_F(BareTree, LayoutItemsOfAnEarlierSheetAreNotKept) {
    HANDLE first = HeapCreate(0, 0, 0);
    ASSERT_TRUE(first);
    auto* layout = static_cast<OPTITEM*>(HeapAlloc(first, HEAP_ZERO_MEMORY, 2 * sizeof(OPTITEM)));
    layout[0].cbSize = layout[1].cbSize = sizeof(OPTITEM);
    layout[0].DMPubID = DMPUB_NUP;
    layout[1].DMPubID = DMPUB_PAGEORDER;
    layout[1].Sel = 1;
    OPTITEM items[18] = {};
    OEMCUIPPARAM p = Param(first, layout, 2);
    Fill(&p, items);
    CPSUICBPARAM apply{};
    apply.cbSize = sizeof apply;
    apply.Reason = CPSUICB_REASON_APPLYNOW;
    EXPECT_EQ(p.OEMCUIPCallback(&apply, &p), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(job.reverseOrBooklet, 1u) << "page order on its second entry";
    EndSheet(p); // the first sheet is gone, its items with it

    HANDLE second = HeapCreate(0, 0, 0);
    ASSERT_TRUE(second);
    OPTITEM more[18] = {};
    OEMCUIPPARAM q = Param(second, nullptr, 0);
    job.reverseOrBooklet = 0;
    Fill(&q, more);
    EXPECT_EQ(q.OEMCUIPCallback(&apply, &q), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(job.reverseOrBooklet, 0u) << "no layout items: nothing recorded";
    EndSheet(q);
}
