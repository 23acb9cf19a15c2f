// The About page in real property sheets of the stand-in host, for printers installed through
// Wine's spooler: what support staff read there (model, plug-in version, installed files with
// their versions).
#include "core/about_resource.h"
#include "printer_fixture.h"
#include "resource_counter.h"
#include "support.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace cvtest;

namespace {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

// The list's rows as (file, version), and its number of columns.
Rows ListRows(HWND list) {
    Rows rows;
    const auto text = [list](int row, int column) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return std::wstring(text);
    };
    for (int row = 0; row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row)
        rows.emplace_back(text(row, 0), text(row, 1));
    return rows;
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : -1;
}

// Both sheets show the same page: the model, the plug-in's version, and the driver's files
// (offered as configuration file, driver, then the dependent files) sorted by name, each with
// its own version, without the file that names no language. The printer lists its model file
// among the dependent files too (it has no version resource) and a module whose version
// resource lacks the translation table.
TEST(AboutPage, ListsDriverFilesSortedInBothSheets) {
    TestPrinterOptions files;
    files.dataFileAlsoDependent = true;
    files.extraDependentFiles = {cvhost::BesideProgram(L"cvnotrans.dll")};
    TestPrinter printer(L"About Files", files);
    ASSERT_TRUE(printer.ok()) << printer.error;
    // The scratch PPD is "cv<process id>.ppd": a digit sorts before any letter.
    const Rows expected{{printer.ppdPath.substr(printer.ppdPath.find_last_of(L'\\') + 1), L"N/A"},
                        {L"cvpsdrv.dll", L"3.1.0.4"},
                        {L"cvpsdrvui.dll", L"3.1.0.7"},
                        {L"cvpsui.dll", L"3.1.0.10"}};
    for (const cvhost::SheetKind kind : {cvhost::SheetKind::Document, cvhost::SheetKind::Printer}) {
        SCOPED_TRACE(kind == cvhost::SheetKind::Document ? "document" : "printer");
        cvhost::SheetOptions options;
        options.kind = kind;
        ResourceCounter counter;
        SheetDriver sheet(printer.printerName, options);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        ASSERT_TRUE(sheet.SelectPage(L"About"));
        HWND page = sheet.Page(L"About");
        ASSERT_TRUE(page);
        EXPECT_EQ(WindowText(GetDlgItem(page, IDC_ABOUT_MODEL)), L"Corvane About Files Driver");
        EXPECT_EQ(WindowText(GetDlgItem(page, IDC_ABOUT_VERSION)), L"Version 3.1");
        HWND list = GetDlgItem(page, IDC_ABOUT_FILES);
        EXPECT_EQ(ColumnCount(list), 2);
        // "File" takes a third of the list's width less 25 pixels, "Version" the rest.
        RECT bounds{};
        GetWindowRect(list, &bounds);
        const int usable = bounds.right - bounds.left - 25;
        for (int column : {0, 1}) {
            wchar_t title[16] = {};
            LVCOLUMNW c{LVCF_TEXT, 0, 0, title, 16};
            SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
            EXPECT_EQ(std::wstring(title), column ? L"Version" : L"File");
            EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0),
                      column ? usable - usable / 3 : usable / 3);
        }
        EXPECT_EQ(ListRows(list), expected);
        sheet.Finish();
        EXPECT_EQ(counter.Leaks(), "");
    }

    // A sheet whose parameter block carries no printer handle: the page lists nothing, not
    // even the columns, and still states the plug-in's version.
    std::wstring why;
    auto driver =
        cvhost::DriverUI::Open(printer.printerName, cvhost::BesideProgram(L"cvpsui.dll"), &why);
    ASSERT_TRUE(driver) << Narrow(why);
    cvhost::PropertySheetHost host(*driver);
    cvhost::SheetOptions options;
    options.kind = cvhost::SheetKind::Printer;
    options.startPage = L"About";
    ASSERT_TRUE(host.Init(options, &why)) << Narrow(why);
    host.Param().hPrinter = nullptr; // the pages are created only when the sheet shows
    ASSERT_TRUE(host.ShowModeless(&why)) << Narrow(why);
    Pump();
    HWND page = PropSheet_GetCurrentPageHwnd(host.Window());
    ASSERT_TRUE(page);
    HWND list = GetDlgItem(page, IDC_ABOUT_FILES);
    EXPECT_EQ(ColumnCount(list), 0);
    EXPECT_TRUE(ListRows(list).empty());
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_ABOUT_VERSION)), L"Version 3.1");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_ABOUT_MODEL)), L"Corvane About Files Driver");
    host.Finish();
}

} // namespace
