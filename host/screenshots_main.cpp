// screenshots DIR: a picture of every page of the document and printer properties of the demo
// printer, and of each dialog listed in DialogShots(), as BMP files in DIR (./run screenshots
// turns them into PNG). Needs Wine's X11 driver: under Xvfb when there is no display.
#include "core/module.h"
#include "core/page_frame.h"
#include "core/subsystems.h"
#include "host/capture.h"
#include "host/printer_setup.h"
#include "output/output_resource.h"
#include "profiles/profiles_resource.h"
#include "ui/bounded_string.h"
#include "watermark/editor_dialog.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"
#include "windows/ui_driver.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// A dialog to picture: the sheet and page it is opened from, and how (usually a click on one of
// the page's buttons). The picture is taken once the dialog is up and `prepare` has filled it;
// then it is cancelled. A dialog opened from another one names the button in `within`: the first
// dialog comes up, that button opens the one pictured, and both are cancelled.
struct DialogShot {
    const wchar_t* file; // "<file>.bmp"
    cvhost::SheetKind sheet;
    const wchar_t* page;
    std::function<void(HWND page)> open;
    std::function<void(HWND dialog)> prepare = {};
    int within = 0;
};

// The editor on a stored watermark opens from the Watermark page with the sheet's context, as its
// Edit button opens it after the choice (the plug-in's shell is linked into this program; its
// resources are the DLL's).
cv::SheetContext* WatermarkContext(HWND page) {
    cv::moduleInstance = GetModuleHandleW(L"cvpsui.dll");
    return cv::PageContext(page);
}

void EditStored(HWND page, const wchar_t* name) {
    cv::WatermarkSettings saved{};
    cv::EditWatermark(page, WatermarkContext(page), name, &saved);
}

// A few watermarks of the user's besides the built-in ones, for the lists and the editor.
bool SeedWatermarks(const cvhost::ModelPrinter& printer) {
    cv::moduleInstance = LoadLibraryW(L"cvpsui.dll");
    if (!cv::moduleInstance || !cv::InstallDefaultWatermarks(printer.driverName.c_str()))
        return false;
    HANDLE handle = nullptr;
    std::wstring name = printer.printerName;
    if (!OpenPrinterW(name.data(), &handle, nullptr)) return false;
    cv::WatermarkSettings wm{};
    cv::ResetWatermark(&wm);
    cv::BoundedCopyText(wm.name, u"Top Secret");
    cv::BoundedCopyText(wm.text, u"TOP SECRET");
    wm.color = 0x0000FF;
    wm.angle = 30;
    wm.pointSize = 60;
    wm.effects = cv::Outline;
    wm.fontStyle = cv::Bold;
    bool ok = cv::SaveWatermark(handle, &wm);
    cv::BoundedCopyText(wm.name, u"Copy - Internal Use Only");
    cv::BoundedCopyText(wm.text, u"INTERNAL USE ONLY  %dateshort%");
    wm.isDynamic = 1;
    wm.color = 0x800000;
    wm.angle = 0;
    wm.pointSize = 20;
    wm.effects = 0;
    wm.fontStyle = cv::Italic;
    wm.position = cv::BottomCenter;
    wm.verticalOffset = 0.5;
    ok = cv::SaveWatermark(handle, &wm) && ok;
    ClosePrinter(handle);
    return ok;
}

std::vector<DialogShot> DialogShots() {
    return {
        // The fax cover page, from the demo's Output Options page with Fax chosen; Printer is
        // chosen again afterwards so that the page lets go without a recipient.
        {L"output-fax-cover-page", cvhost::SheetKind::Document, L"Output Options",
         [](HWND page) {
             cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Fax");
             if (!cvtest::IsChecked(page, IDC_SEND_COVER)) cvtest::Click(page, IDC_SEND_COVER);
             cvtest::Click(page, IDC_SETUP_COVER);
             cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Printer");
         }},
        // The editor in add mode with a watermark typed in; its preview shows what it says.
        {L"wm-editor-add", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { cvtest::Click(page, IDC_WMP_ADD); },
         [](HWND dialog) {
             cvtest::Type(dialog, IDC_WM_NAME, L"Approved");
             cvtest::Type(dialog, IDC_WM_TEXT, L"APPROVED");
             cvtest::SelectComboEntry(dialog, IDC_WM_COLOR, L"Green");
             cvtest::Type(dialog, IDC_WM_ANGLE, L"-20");
             cvtest::Click(dialog, IDC_WM_BOLD);
         }},
        // The editor on a stored dynamic watermark.
        {L"wm-editor-edit", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { EditStored(page, L"Copy - Internal Use Only"); }},
        {L"wm-position", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { EditStored(page, L"Copy - Internal Use Only"); }, {}, IDC_WM_POSITION},
        {L"wm-variables", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { EditStored(page, L"Date and Time"); },
         [](HWND dialog) { cvtest::SelectListEntry(dialog, IDC_DYN_LIST, L"Page number"); },
         IDC_WM_CONFIGURE_DYNAMIC},
        {L"wm-choose", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { cvtest::Click(page, IDC_WMP_EDIT); }},
        {L"wm-remove", cvhost::SheetKind::Document, L"Watermark",
         [](HWND page) { cvtest::Click(page, IDC_WMP_REMOVE); },
         [](HWND dialog) {
             cvtest::SelectListEntry(dialog, IDC_REMOVE_LIST, L"Draft");
             cvtest::SelectListEntry(dialog, IDC_REMOVE_LIST, L"Top Secret");
         }},
    };
}

// The Output Options page of models other than the demo's (which has every feature and so
// template 1232 with a fax card): each with a destination chosen so that its fields show enabled.
struct ModelShot {
    const wchar_t* file; // "<file>.bmp"
    const char* nickName;
    std::string features; // PPD blocks
    std::function<void(HWND page)> prepare;
};

std::string Feature(const char* keyword) {
    const std::string k = keyword;
    return "*OpenUI *" + k + ": PickOne\n*Default" + k + ": True\n*" + k + " True: \"\"\n*" + k +
           " False: \"\"\n*CloseUI: *" + k + "\n";
}

std::vector<ModelShot> ModelShots() {
    const std::string hold = Feature("HasPrintandHold") + Feature("HasKeepPreviousPHJobs");
    return {
        {L"output-128-held-job", "Corvane Shot Hold", hold,
         [](HWND page) {
             cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Confidential Print");
             cvtest::Type(page, IDC_PIN, L"1234");
         }},
        {L"output-1232-held-job", "Corvane Shot New Pin", hold + Feature("HasNewPin"),
         [](HWND page) { cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Reserve Print"); }},
        {L"output-128-fax", "Corvane Shot Fax", hold + Feature("FaxCard"),
         [](HWND page) {
             cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Fax");
             cvtest::Type(page, IDC_RECIPIENT_NAME, L"Bob Example");
             cvtest::Type(page, IDC_RECIPIENT_FAX, L"555-0100");
             cvtest::Type(page, IDC_STATION, L"Front Desk");
             if (!cvtest::IsChecked(page, IDC_SEND_COVER)) cvtest::Click(page, IDC_SEND_COVER);
         }},
        {L"output-fax-only", "Corvane Shot Fax Only", Feature("FaxCard"),
         [](HWND page) { cvtest::SelectListEntry(page, IDC_OUTPUT_LIST, L"Fax"); }},
    };
}

bool ShootModels(const std::wstring& dir) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    for (const ModelShot& shot : ModelShots()) {
        cvhost::ModelPrinter model;
        model.ppdPath = std::wstring(temp) + shot.file + L".ppd";
        const std::string ppd = std::string("*PPD-Adobe: \"4.3\"\n*Manufacturer: \"Corvane\"\n") +
                                "*NickName: \"" + shot.nickName + "\"\n" + shot.features;
        std::wstring why;
        if (!cvhost::WriteBytesToFile(model.ppdPath, ppd) ||
            !cvhost::SetUpModelPrinter(&model, &why)) {
            std::fprintf(stderr, "screenshots: %ls: %ls\n", shot.file, why.c_str());
            return false;
        }
        cvhost::SheetOptions options;
        options.startPage = L"Output Options";
        cvtest::SheetDriver sheet(model.printerName, options);
        HWND page = sheet.ok() ? sheet.Page(L"Output Options") : nullptr;
        if (!page) {
            std::fprintf(stderr, "screenshots: no Output Options page for %ls\n", shot.file);
            return false;
        }
        shot.prepare(page);
        const std::wstring path = dir + L"\\" + shot.file + L".bmp";
        if (!cvhost::SaveWindowBitmap(sheet.Sheet(), path, &why)) {
            std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
            return false;
        }
        std::printf("saved %ls\n", path.c_str());
        sheet.PressCancel();
    }
    return true;
}

// The Profiles page of the demo printer with a few profiles, one of them loaded, and the name
// dialog for saving and for renaming. The profiles stay, so that the sheet's pictures show them.
bool ShootProfiles(const cvhost::ModelPrinter& demo, const std::wstring& dir) {
    const std::wstring driver = demo.driverName.empty() ? demo.printerName : demo.driverName;
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   (L"Software\\Corvane\\PSPlugIn\\" + driver + L"\\Profiles").c_str());
    cvhost::SheetOptions options;
    options.startPage = L"Profiles";
    cvtest::SheetDriver sheet(demo.printerName, options);
    HWND page = sheet.ok() ? sheet.Page(L"Profiles") : nullptr;
    if (!page) {
        std::fprintf(stderr, "screenshots: no Profiles page\n");
        return false;
    }
    // As a user sees it: the sheet in front and active.
    SetForegroundWindow(sheet.Sheet());
    SetActiveWindow(sheet.Sheet());
    const auto typeName = [](HWND dialog, const wchar_t* name) {
        SendDlgItemMessageW(dialog, IDC_PROFILE_NAME, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(name));
    };
    for (const wchar_t* name : {L"Brochure", L"Draft Copies", L"Held Jobs", L"Quarterly Report"}) {
        cvtest::DialogScript script;
        script.Then([&](HWND dialog) {
            typeName(dialog, name);
            cvtest::DialogScript::PressButton(dialog, IDOK);
        });
        cvtest::Click(page, IDC_PROFILE_SAVE);
    }
    cvtest::SelectListEntry(page, IDC_PROFILE_LIST, L"Draft Copies");
    cvtest::Click(page, IDC_PROFILE_LOAD);
    cvtest::SelectListEntry(page, IDC_PROFILE_LIST, L"Brochure");
    std::wstring why;
    bool ok = true;
    const auto save = [&](HWND window, const wchar_t* file) {
        const std::wstring path = dir + L"\\" + file + L".bmp";
        if (!cvhost::SaveWindowBitmap(window, path, &why)) {
            ok = false;
            return;
        }
        std::printf("saved %ls\n", path.c_str());
    };
    cvtest::Pump(150);
    save(sheet.Sheet(), L"profiles-page");
    const struct {
        int button;
        const wchar_t* file;
        const wchar_t* typed; // null: as the dialog comes up
    } dialogs[] = {{IDC_PROFILE_SAVE, L"profiles-save", L"Monthly Report"},
                   {IDC_PROFILE_RENAME, L"profiles-rename", nullptr}};
    for (const auto& d : dialogs) {
        cvtest::DialogScript script;
        script.Then([&](HWND dialog) {
            if (d.typed) typeName(dialog, d.typed);
            SetForegroundWindow(dialog);
            cvhost::PumpMessagesFor(150);
            save(dialog, d.file);
            cvtest::DialogScript::PressButton(dialog, IDCANCEL);
        });
        cvtest::Click(page, d.button);
        cvtest::Pump(100);
        if (script.Seen().empty()) {
            why = std::wstring(L"no dialog came up for ") + d.file;
            ok = false;
        }
    }
    if (!ok) std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
    sheet.PressCancel();
    return ok;
}

// The Watermark page of the demo printer in each watermark order, with watermarks chosen.
bool ShootWatermarkPage(const cvhost::ModelPrinter& demo, const std::wstring& dir) {
    cvhost::SheetOptions options;
    options.startPage = L"Watermark";
    cvtest::SheetDriver sheet(demo.printerName, options);
    HWND page = sheet.ok() ? sheet.Page(L"Watermark") : nullptr;
    if (!page) {
        std::fprintf(stderr, "screenshots: no Watermark page\n");
        return false;
    }
    SetForegroundWindow(sheet.Sheet());
    const struct {
        const wchar_t* file;
        int radio;
        const wchar_t *first, *second;
    } shots[] = {
        {L"wm-page-all", IDC_WMP_ALL_PAGES, L"Draft", L"(None)"},
        {L"wm-page-first-other", IDC_WMP_FIRST_OTHER, L"Confidential", L"Copy - Internal Use Only"},
        {L"wm-page-odd-even", IDC_WMP_ODD_EVEN, L"Top Secret", L"Date and Time"},
        {L"wm-page-none", IDC_WMP_NONE, L"(None)", L"(None)"},
    };
    for (const auto& shot : shots) {
        cvtest::Click(page, shot.radio);
        cvtest::SelectListEntry(page, IDC_WMP_FIRST_LIST, shot.first);
        cvtest::SelectListEntry(page, IDC_WMP_SECOND_LIST, shot.second);
        cvtest::Pump(150);
        const std::wstring path = dir + L"\\" + shot.file + L".bmp";
        std::wstring why;
        if (!cvhost::SaveWindowBitmap(sheet.Sheet(), path, &why)) {
            std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
            return false;
        }
        std::printf("saved %ls\n", path.c_str());
    }
    sheet.PressCancel();
    return true;
}

bool ShootSheet(const std::wstring& printer, cvhost::SheetKind kind, const std::wstring& dir) {
    cvhost::SheetOptions options;
    options.kind = kind;
    cvtest::SheetDriver sheet(printer, options);
    if (!sheet.ok()) {
        std::fprintf(stderr, "screenshots: %s\n", sheet.error().c_str());
        return false;
    }
    const bool document = kind == cvhost::SheetKind::Document;
    std::vector<std::wstring> files;
    std::wstring why;
    bool ok =
        cvhost::CaptureSheetPages(sheet.Sheet(), dir, document ? L"doc" : L"printer", &files, &why);
    // The driver's tree page with the plug-in's groups in view (the printer sheet: its device
    // items, the plug-in's hidden ones gone).
    if (ok && sheet.SelectPage(0) && sheet.Host().Advanced()) {
        sheet.Host().Advanced()->ShowPluginItems();
        cvtest::Pump(150);
        const std::wstring path =
            dir + (document ? L"\\advanced-doc.bmp" : L"\\advanced-printer.bmp");
        ok = cvhost::SaveWindowBitmap(sheet.Sheet(), path, &why);
        if (ok) files.push_back(path);
    }
    for (const DialogShot& shot : DialogShots()) {
        if (!ok || shot.sheet != kind) continue;
        if (!sheet.SelectPage(shot.page)) {
            why = std::wstring(L"no page ") + shot.page;
            ok = false;
            break;
        }
        const std::wstring path = dir + L"\\" + shot.file + L".bmp";
        cvtest::DialogScript script;
        if (shot.within)
            script.Then([&](HWND dialog) {
                cvtest::Click(dialog, shot.within);
                cvtest::DialogScript::PressButton(dialog, IDCANCEL);
            });
        script.Then([&](HWND dialog) {
            if (shot.prepare) shot.prepare(dialog);
            cvhost::PumpMessagesFor(150);
            if (cvhost::SaveWindowBitmap(dialog, path, &why)) files.push_back(path);
            cvtest::DialogScript::PressButton(dialog, IDCANCEL);
        });
        shot.open(sheet.CurrentPage());
        cvtest::Pump(100);
        if (script.Seen().empty()) {
            why = std::wstring(L"no dialog came up for ") + shot.file;
            ok = false;
        }
    }
    for (const std::wstring& f : files)
        std::printf("saved %ls\n", f.c_str());
    if (!ok) std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
    sheet.PressCancel();
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots DIR\n");
        return 2;
    }
    const std::wstring dir = argv[1];
    CreateDirectoryW(dir.c_str(), nullptr);
    cvhost::ModelPrinter demo;
    std::wstring why;
    if (!cvhost::SetUpDemoPrinter(&demo, &why)) {
        std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
        return 1;
    }
    if (!SeedWatermarks(demo)) {
        std::fprintf(stderr, "screenshots: the watermarks to show could not be stored\n");
        return 1;
    }
    const bool ok = ShootProfiles(demo, dir) && ShootWatermarkPage(demo, dir) &&
                    ShootSheet(demo.printerName, cvhost::SheetKind::Document, dir) &&
                    ShootSheet(demo.printerName, cvhost::SheetKind::Printer, dir) &&
                    ShootModels(dir);
    return ok ? 0 : 1;
}
