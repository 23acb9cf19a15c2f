// The watermark preview: a small picture of the page with the watermark drawn on it as a
// record would place it, painted into the static control 1171 of the Create/Edit and Position
// dialogs, and the printer's font faces for the Create/Edit dialog's font list.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

namespace cv {

constexpr int kPreviewControlId = 1171;
constexpr int kFontComboId = 1096;

struct PreviewData;

// Builds the record a repaint shows from the dialog's controls (the Create/Edit dialog fills a
// fresh record; the Position dialog reads its position controls into data->watermark first).
// False when the controls hold nothing paintable: the repaint then paints nothing.
using PreviewRecordBuilder = bool (*)(HWND dialog, PreviewData* data, WatermarkSettings* record);

// One per preview control, owned by the control from the moment it is installed; freed when the
// control is destroyed.
struct PreviewData {
    WNDPROC previousProc;
    WatermarkSettings watermark; // the dialog's work record (the Position dialog's preview)
    HANDLE printer;              // dynamic text is expanded against this printer
    // Null: every repaint shows `watermark` as it is.
    PreviewRecordBuilder buildRecord;
};

// Paints the whole control: its window rectangle as a black frame, its client rectangle as the
// white page, and the record's text (dynamic variables expanded) faded, rotated and anchored
// at 0.195 of the page's size. False, with nothing painted, when an argument is missing or the
// dynamic text cannot be expanded.
bool PaintWatermarkPreview(HDC dc, HWND preview, const WatermarkSettings* wm, HANDLE printer);

// Window procedure of a subclassed preview control; its user data is its PreviewData.
LRESULT CALLBACK PreviewWindowProc(HWND preview, UINT msg, WPARAM wParam, LPARAM lParam);

// Subclasses `preview` with PreviewWindowProc: a new PreviewData with a copy of `wm`, the
// printer and the builder becomes the control's user data. False (and the control left alone)
// when the data cannot be allocated.
bool InstallPreview(HWND preview, const WatermarkSettings* wm, HANDLE printer,
                    PreviewRecordBuilder buildRecord);

// Repaints the dialog's preview control (1171), background included.
void RefreshPreview(HWND dialog);
// The same for a preview control the caller holds (a dialog that repaints at every keystroke
// keeps its handle rather than looking it up each time).
void RefreshPreviewWindow(HWND preview);

// Fills the dialog's font combo box (1096) with the printer's font faces, each once, sorted by
// the combo box.
void FillFontList(HWND dialog, const OEMUIPSPARAM* param);

} // namespace cv
