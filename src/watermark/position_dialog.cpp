#include "watermark/position_dialog.h"

#include "core/modal_dialog.h"
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "watermark/dialog_support.h"
#include "watermark/preview.h"
#include "watermark/watermark_resource.h"

#include <string>

namespace cv {

namespace {

// What the dialog works on: the editor's record (for the preview), the last accepted value of
// each offset edit in the units shown, and what it hands back.
struct PositionData {
    WatermarkSettings work;
    HANDLE printer;
    double lastVertical;
    double lastHorizontal;
    // The units the offsets are shown in: a click on the unit already shown converts nothing.
    bool millimetres;
    PositionValues chosen;
    // The controls a repaint reads, kept from the initialisation (each lookup is a wineserver
    // round trip under Wine).
    HWND vertical, horizontal, millimetresButton, preview;
    HWND verticalRadios[3], horizontalRadios[3];
};

const int kVerticalRadios[3] = {IDC_POS_TOP, IDC_POS_VCENTER, IDC_POS_BOTTOM};
const int kHorizontalRadios[3] = {IDC_POS_LEFT, IDC_POS_HCENTER, IDC_POS_RIGHT};

double& LastValueOf(PositionData* data, int edit) {
    return edit == IDC_POS_VOFFSET ? data->lastVertical : data->lastHorizontal;
}

bool MillimetresChecked(const PositionData* data) {
    return ButtonChecked(data->millimetresButton);
}

// An offset edit's text as the rules read it: what the edit holds, at most its 10 characters.
std::u16string OffsetText(const PositionData* data, int edit) {
    std::u16string text = WindowString(edit == IDC_POS_VOFFSET ? data->vertical : data->horizontal);
    if (text.size() > kOffsetEditChars) text.resize(kOffsetEditChars);
    return text;
}

void SetPositionRadios(HWND dialog, uint32_t position) {
    AnchorRadios radios{};
    if (!RadiosForAnchor(position, &radios)) return;
    CheckRadioButton(dialog, IDC_POS_TOP, IDC_POS_BOTTOM, kVerticalRadios[radios.vertical]);
    CheckRadioButton(dialog, IDC_POS_LEFT, IDC_POS_RIGHT, kHorizontalRadios[radios.horizontal]);
}

PositionRead ReadPositionControls(const PositionData* data) {
    const std::u16string vertical = OffsetText(data, IDC_POS_VOFFSET);
    const std::u16string horizontal = OffsetText(data, IDC_POS_HOFFSET);
    PositionControls controls;
    controls.verticalText = vertical.c_str();
    controls.horizontalText = horizontal.c_str();
    controls.millimetres = MillimetresChecked(data);
    for (int row = 0; row < 3; ++row) {
        controls.vertical[row] = ButtonChecked(data->verticalRadios[row]);
        controls.horizontal[row] = ButtonChecked(data->horizontalRadios[row]);
    }
    return ReadPositionValues(controls);
}

// The preview shows the editor's record at the position the controls describe. Offsets the
// controls cannot give leave the picture unpainted; the message about them belongs to OK, not to
// a repaint (a box shown from WM_PAINT would be repainted under and shown again).
bool BuildPositionPreview(HWND dialog, PreviewData* preview, WatermarkSettings* record) {
    const PositionData* data = WindowData<PositionData>(dialog);
    if (!data) return false;
    const PositionRead read = ReadPositionControls(data);
    if (!read) return false;
    *record = preview->watermark;
    ApplyPositionValues(read.values, record);
    return true;
}

void FindWindows(HWND dialog, PositionData* data) {
    data->vertical = GetDlgItem(dialog, IDC_POS_VOFFSET);
    data->horizontal = GetDlgItem(dialog, IDC_POS_HOFFSET);
    data->millimetresButton = GetDlgItem(dialog, IDC_POS_MILLIMETERS);
    data->preview = GetDlgItem(dialog, IDC_WM_PREVIEW);
    for (int row = 0; row < 3; ++row) {
        data->verticalRadios[row] = GetDlgItem(dialog, kVerticalRadios[row]);
        data->horizontalRadios[row] = GetDlgItem(dialog, kHorizontalRadios[row]);
    }
}

void InitDialog(HWND dialog, PositionData* data) {
    FindWindows(dialog, data);
    const PositionStart start = OpenPosition(data->work);
    CheckRadioButton(dialog, IDC_POS_TOP, IDC_POS_BOTTOM, kVerticalRadios[start.radios.vertical]);
    CheckRadioButton(dialog, IDC_POS_LEFT, IDC_POS_RIGHT,
                     kHorizontalRadios[start.radios.horizontal]);
    // The units first: setting an offset's text runs its filter, which judges the text in the
    // units checked.
    data->millimetres = start.millimetres;
    CheckRadioButton(dialog, IDC_POS_INCHES, IDC_POS_MILLIMETERS,
                     start.millimetres ? IDC_POS_MILLIMETERS : IDC_POS_INCHES);
    LimitControlText(dialog, IDC_POS_VOFFSET, kOffsetEditChars);
    LimitControlText(dialog, IDC_POS_HOFFSET, kOffsetEditChars);
    data->lastVertical = start.vertical.value;
    data->lastHorizontal = start.horizontal.value;
    SetControlString(dialog, IDC_POS_VOFFSET, start.vertical.text);
    SetControlString(dialog, IDC_POS_HOFFSET, start.horizontal.text);
    InstallPreview(data->preview, &data->work, data->printer, &BuildPositionPreview);
}

// EN_UPDATE: the edit keeps only text the rules accept; anything else gives way to the last
// accepted value at once (whose own EN_UPDATE then accepts it and repaints).
void FilterOffset(HWND dialog, PositionData* data, int edit) {
    double& last = LastValueOf(data, edit);
    const OffsetFilter filter =
        FilterOffsetText(OffsetText(data, edit).c_str(), MillimetresChecked(data), last);
    last = filter.lastValue;
    if (filter.accepted)
        RefreshPreviewWindow(data->preview);
    else
        SetControlString(dialog, edit, filter.replacement);
}

void StepOffsetEdit(HWND dialog, PositionData* data, int edit, int delta) {
    const OffsetStep step =
        StepOffset(OffsetText(data, edit).c_str(), MillimetresChecked(data), delta);
    if (step.changed) {
        SetControlString(dialog, edit, step.text);
        LastValueOf(data, edit) = step.value;
    }
    RefreshPreview(dialog);
}

void SwitchUnits(HWND dialog, PositionData* data, bool toMillimetres) {
    if (data->millimetres == toMillimetres) return;
    data->millimetres = toMillimetres;
    for (int edit : {IDC_POS_VOFFSET, IDC_POS_HOFFSET}) {
        const ShownOffset shown =
            ConvertOffset(DecimalValue(OffsetText(data, edit).c_str()), toMillimetres);
        LastValueOf(data, edit) = shown.value;
        SetControlString(dialog, edit, shown.text);
        LastValueOf(data, edit) = shown.value;
    }
    RefreshPreview(dialog);
}

void CenterWatermark(HWND dialog, PositionData* data) {
    const ShownOffset zero = ShowOffset(0.0, data->millimetres);
    for (int edit : {IDC_POS_VOFFSET, IDC_POS_HOFFSET}) {
        LastValueOf(data, edit) = zero.value;
        SetControlString(dialog, edit, zero.text);
    }
    SetPositionRadios(dialog, Center);
    RefreshPreview(dialog);
}

void Confirm(HWND dialog, PositionData* data) {
    const PositionRead read = ReadPositionControls(data);
    // Each edit that cannot be read is named in turn, the vertical one first.
    if (read.verticalInvalid) {
        ShowWatermarkMessage(dialog, IDS_WM_OFFSET_INVALID);
        FocusControl(dialog, IDC_POS_VOFFSET);
    }
    if (read.horizontalInvalid) {
        ShowWatermarkMessage(dialog, IDS_WM_OFFSET_INVALID);
        FocusControl(dialog, IDC_POS_HOFFSET);
    }
    if (!read) return;
    data->chosen = read.values;
    EndDialog(dialog, IDOK);
}

INT_PTR OnCommand(HWND dialog, PositionData* data, int id, int code) {
    if (code == EN_UPDATE && (id == IDC_POS_VOFFSET || id == IDC_POS_HOFFSET)) {
        FilterOffset(dialog, data, id);
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case IDOK:
        Confirm(dialog, data);
        return TRUE;
    case IDC_POS_MILLIMETERS:
        SwitchUnits(dialog, data, true);
        return TRUE;
    case IDC_POS_INCHES:
        SwitchUnits(dialog, data, false);
        return TRUE;
    case IDC_POS_CENTER_WATERMARK:
        CenterWatermark(dialog, data);
        return TRUE;
    default: // the anchor buttons
        RefreshPreview(dialog);
        return TRUE;
    }
}

INT_PTR CALLBACK PositionDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<PositionData*>(lParam);
        KeepWindowData(dialog, data);
        if (data) InitDialog(dialog, data);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        auto* data = WindowData<PositionData>(dialog);
        return data ? OnCommand(dialog, data, id, HIWORD(wParam)) : FALSE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        auto* data = WindowData<PositionData>(dialog);
        if (!data || !header || header->code != UDN_DELTAPOS) return FALSE;
        const int edit = header->idFrom == IDC_POS_VOFFSET_SPIN   ? IDC_POS_VOFFSET
                         : header->idFrom == IDC_POS_HOFFSET_SPIN ? IDC_POS_HOFFSET
                                                                  : 0;
        if (!edit) return FALSE;
        StepOffsetEdit(dialog, data, edit, reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
        SetResult(dialog, 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

bool ChooseWatermarkPosition(HWND owner, const SheetContext* ctx, const WatermarkSettings& work,
                             PositionValues* chosen) {
    if (!chosen || !WatermarkDialogsUsable(ctx)) return false;
    PositionData data{};
    data.work = work;
    data.printer = SheetPrinter(ctx);
    if (RunModalDialog(owner, IDD_POSITION_WATERMARK, &PositionDialogProc, &data) != IDOK)
        return false;
    *chosen = data.chosen;
    return true;
}

} // namespace cv
