// screenshots DIR: a picture of every page of the document and printer properties of the demo
// printer, and of each dialog listed in DialogShots(), as BMP files in DIR (./run screenshots
// turns them into PNG). Needs Wine's X11 driver: under Xvfb when there is no display.
#include "host/capture.h"
#include "host/printer_setup.h"
#include "windows/ui_driver.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

// A dialog to picture: the sheet and page it is opened from, and how (usually a click on one of
// the page's buttons). The picture is taken once the dialog is up; then it is cancelled.
struct DialogShot {
    const wchar_t* file; // "<file>.bmp"
    cvhost::SheetKind sheet;
    const wchar_t* page;
    std::function<void(HWND page)> open;
};

std::vector<DialogShot> DialogShots() {
    return {
        // {L"watermark-edit", cvhost::SheetKind::Document, L"Watermark",
        //  [](HWND page) { cvtest::Click(page, IDC_WATERMARK_EDIT); }},
    };
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
    for (const DialogShot& shot : DialogShots()) {
        if (!ok || shot.sheet != kind) continue;
        if (!sheet.SelectPage(shot.page)) {
            why = std::wstring(L"no page ") + shot.page;
            ok = false;
            break;
        }
        const std::wstring path = dir + L"\\" + shot.file + L".bmp";
        cvtest::DialogScript script;
        script.Then([&](HWND dialog) {
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
    std::wstring printer, why;
    if (!cvhost::SetUpDemoPrinter(&printer, &why)) {
        std::fprintf(stderr, "screenshots: %ls\n", why.c_str());
        return 1;
    }
    const bool ok = ShootSheet(printer, cvhost::SheetKind::Document, dir) &&
                    ShootSheet(printer, cvhost::SheetKind::Printer, dir);
    return ok ? 0 : 1;
}
