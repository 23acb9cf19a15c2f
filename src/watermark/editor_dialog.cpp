#include "watermark/editor_dialog.h"

#include "core/modal_dialog.h"
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/scoped_handles.h"
#include "ui/strings.h"
#include "watermark/dialog_support.h"
#include "watermark/dynamic_text.h"
#include "watermark/dynamic_text_platform_win.h"
#include "watermark/editor_rules.h"
#include "watermark/list_dialogs.h"
#include "watermark/position_dialog.h"
#include "watermark/preview.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace cv {

namespace {

// The controls the preview reads at every repaint and the notifications touch, kept from the
// dialog's initialisation (looking them up is a wineserver round trip each under Wine).
struct EditorWindows {
    HWND name, text, dynamic, font, size, color;
    HWND strikeout, underline, outline, italic, bold;
    HWND angle, intensity, preview, ok;
};

// What the dialog works on: the record being created or edited, the last value each numeric
// field accepted, the position (which has no control here and changes only through the Position
// dialog), and the store it saves into.
struct EditorData {
    const SheetContext* ctx;
    HANDLE printer;
    bool addMode;
    // Edit mode: the name the watermark is stored under.
    char16_t storedName[kWatermarkTextChars + 1];
    // The record opened (repaired); after OK, the record as saved.
    WatermarkSettings work;
    double editAngle;
    uint16_t editIntensity;
    uint32_t editPointSize;
    PositionValues position;
    EditorWindows windows;
};

// The texts of the controls, kept alive while the rules read them.
struct EditorTexts {
    std::u16string name, text, angle, intensity, size, face;
};

ComboChoice SelectedItem(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT data = SendMessageW(combo, CB_GETITEMDATA, WPARAM(index), 0);
    if (data == CB_ERR) return {ComboChoice::Unreadable, 0};
    return {ComboChoice::Item, static_cast<uint32_t>(data)};
}

// The selected face; false when there is none.
bool SelectedFace(HWND combo, std::u16string* face) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (index == CB_ERR || length == CB_ERR) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    face->assign(reinterpret_cast<const char16_t*>(buffer.data()));
    return true;
}

EditorControls GatherControls(const EditorData& data, EditorTexts* t) {
    const EditorWindows& w = data.windows;
    EditorControls c;
    t->name = WindowString(w.name);
    t->text = WindowString(w.text);
    t->angle = WindowString(w.angle);
    t->intensity = WindowString(w.intensity);
    t->size = WindowString(w.size); // a drop-down combo's text is its edit part's
    c.name = t->name.c_str();
    c.text = t->text.c_str();
    c.angleText = t->angle.c_str();
    c.intensityText = t->intensity.c_str();
    c.sizeText = t->size.c_str();
    if (SelectedFace(w.font, &t->face)) c.faceName = t->face.c_str();
    c.dynamic = ButtonChecked(w.dynamic);
    c.strikeout = ButtonChecked(w.strikeout);
    c.underline = ButtonChecked(w.underline);
    c.outline = ButtonChecked(w.outline);
    c.italic = ButtonChecked(w.italic);
    c.bold = ButtonChecked(w.bold);
    c.color = SelectedItem(w.color);
    c.size = SelectedItem(w.size);
    c.position = data.position;
    return c;
}

// The record the controls describe: what the preview paints and what the Position dialog starts
// from.
bool ReadEditorDialog(const EditorData& data, WatermarkSettings* wm) {
    EditorTexts texts;
    return ReadEditorControls(GatherControls(data, &texts), wm);
}

bool BuildEditorPreview(HWND dialog, PreviewData*, WatermarkSettings* record) {
    const EditorData* data = WindowData<EditorData>(dialog);
    return data && ReadEditorDialog(*data, record);
}

void Refresh(const EditorData* data) {
    RefreshPreviewWindow(data->windows.preview);
}

// --- Opening -------------------------------------------------------------------------------------

void FillSizes(HWND dialog, const EditorStart& start) {
    HWND combo = GetDlgItem(dialog, IDC_WM_SIZE);
    for (size_t i = 0; i < kFontSizeCount; ++i) {
        char16_t text[kNumberTextCapacity];
        FormatInteger(FontSizeAt(i), text);
        const LRESULT index =
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(text)));
        if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(FontSizeAt(i)));
    }
    SendMessageW(combo, CB_LIMITTEXT, kSizeEditChars, 0);
    if (start.sizeItem >= 0)
        SendMessageW(combo, CB_SETCURSEL, WPARAM(start.sizeItem), 0);
    else
        SetControlString(dialog, IDC_WM_SIZE, start.sizeText);
}

void FillColors(HWND dialog, uint32_t color) {
    HWND combo = GetDlgItem(dialog, IDC_WM_COLOR);
    for (const PaletteColor& entry : WatermarkPalette) {
        const std::wstring name = LoadText(entry.nameId);
        const LRESULT index =
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, WPARAM(index), LPARAM(entry.color));
    }
    // A colour the palette lacks (a record written elsewhere) opens as the first listed one.
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT selected = 0;
    for (LRESULT i = 0; i < count; ++i)
        if (SendMessageW(combo, CB_GETITEMDATA, WPARAM(i), 0) == LRESULT(color)) selected = i;
    SendMessageW(combo, CB_SETCURSEL, WPARAM(selected), 0);
}

void SelectFace(HWND dialog, const char16_t* faceName) {
    HWND combo = GetDlgItem(dialog, IDC_WM_FONT);
    const LRESULT found = SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1),
                                       reinterpret_cast<LPARAM>(AsWide(faceName)));
    // A face the printer lacks opens as the first listed one.
    SendMessageW(combo, CB_SETCURSEL, found == CB_ERR ? 0 : WPARAM(found), 0);
}

void SetUpDown(HWND dialog, int id, int low, int high, int position) {
    SendDlgItemMessageW(dialog, id, UDM_SETRANGE32, WPARAM(low), LPARAM(high));
    SendDlgItemMessageW(dialog, id, UDM_SETPOS32, 0, LPARAM(position));
}

void UpdateOk(const EditorData* data) {
    const EditorWindows& w = data->windows;
    EnableWindow(w.ok, EditorOkEnabled(WindowString(w.name).c_str(), WindowString(w.text).c_str()));
}

EditorWindows FindWindows(HWND dialog) {
    const auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
    return {item(IDC_WM_NAME),      item(IDC_WM_TEXT),      item(IDC_WM_DYNAMIC),
            item(IDC_WM_FONT),      item(IDC_WM_SIZE),      item(IDC_WM_COLOR),
            item(IDC_WM_STRIKEOUT), item(IDC_WM_UNDERLINE), item(IDC_WM_OUTLINE),
            item(IDC_WM_ITALIC),    item(IDC_WM_BOLD),      item(IDC_WM_ANGLE),
            item(IDC_WM_INTENSITY), item(IDC_WM_PREVIEW),   item(IDOK)};
}

void InitDialog(HWND dialog, EditorData* data) {
    data->windows = FindWindows(dialog);
    WatermarkSettings& wm = data->work;
    // Every field starts from a value its control and filter accept.
    const EditorStart start = OpenEditor(&wm);
    // The last accepted values first: setting a field's text runs its filter.
    data->editAngle = start.editAngle;
    data->editIntensity = start.editIntensity;
    data->editPointSize = start.editPointSize;
    data->position = {wm.verticalOffset, wm.horizontalOffset, wm.units, wm.position};

    SetWindowTextW(dialog, LoadText(data->addMode ? IDS_WM_TITLE_ADD : IDS_WM_TITLE_EDIT).c_str());
    LimitControlText(dialog, IDC_WM_NAME, kWatermarkTextChars);
    SetControlText(dialog, IDC_WM_NAME, wm.name);
    LimitControlText(dialog, IDC_WM_TEXT, kWatermarkTextChars);
    SetControlText(dialog, IDC_WM_TEXT, wm.text);
    FillSizes(dialog, start);
    LimitControlText(dialog, IDC_WM_ANGLE, kAngleEditChars);
    SetControlString(dialog, IDC_WM_ANGLE, start.angleText);
    SetUpDown(dialog, IDC_WM_ANGLE_SPIN, kMinAngle, kMaxAngle, start.angle);
    FillColors(dialog, wm.color);
    SetChecked(dialog, IDC_WM_STRIKEOUT, start.strikeout);
    SetChecked(dialog, IDC_WM_UNDERLINE, start.underline);
    SetChecked(dialog, IDC_WM_OUTLINE, start.outline);
    FillFontList(dialog, data->ctx->uiParam);
    SelectFace(dialog, wm.faceName);
    SetChecked(dialog, IDC_WM_ITALIC, start.italic);
    SetChecked(dialog, IDC_WM_BOLD, start.bold);
    LimitControlText(dialog, IDC_WM_INTENSITY, kIntensityEditChars);
    SetControlString(dialog, IDC_WM_INTENSITY, start.intensityText);
    SetUpDown(dialog, IDC_WM_INTENSITY_SPIN, kMinIntensity, kMaxIntensity, start.editIntensity);
    SetChecked(dialog, IDC_WM_DYNAMIC, start.dynamic);
    EnableControl(dialog, IDC_WM_CONFIGURE_DYNAMIC, start.dynamic);
    // Add mode opens with nothing typed, so OK starts disabled there.
    UpdateOk(data);
    InstallPreview(data->windows.preview, &wm, data->printer, &BuildEditorPreview);
}

// --- Live filters --------------------------------------------------------------------------------

void FilterAngle(HWND dialog, EditorData* data) {
    const AngleFilter filter =
        FilterAngleText(WindowString(data->windows.angle).c_str(), data->editAngle);
    data->editAngle = filter.lastAngle;
    if (!filter.accepted) SetControlString(dialog, IDC_WM_ANGLE, filter.replacement);
}

void FilterIntensity(HWND dialog, EditorData* data) {
    const NumberFilter filter =
        FilterIntensityText(WindowString(data->windows.intensity).c_str(), data->editIntensity);
    data->editIntensity = static_cast<uint16_t>(filter.lastValue);
    if (!filter.accepted) SetControlString(dialog, IDC_WM_INTENSITY, filter.replacement);
}

void FilterPointSize(HWND dialog, EditorData* data) {
    const NumberFilter filter =
        FilterPointSizeText(WindowString(data->windows.size).c_str(), data->editPointSize);
    data->editPointSize = filter.lastValue;
    if (filter.accepted)
        Refresh(data);
    else
        SetControlString(dialog, IDC_WM_SIZE, filter.replacement);
}

// --- Buttons -------------------------------------------------------------------------------------

void ConfigureDynamic(HWND dialog, const EditorData* data) {
    const std::u16string current = WindowString(data->windows.text);
    char16_t text[kWatermarkTextChars + 1];
    BoundedCopy(text, kWatermarkTextChars + 1, current.c_str(), current.size());
    if (ConfigureDynamicText(dialog, text)) SetControlString(dialog, IDC_WM_TEXT, text);
    Refresh(data);
}

void ChoosePosition(HWND dialog, EditorData* data) {
    WatermarkSettings current{};
    ReadEditorDialog(*data, &current);
    PositionValues chosen = data->position;
    if (ChooseWatermarkPosition(dialog, data->ctx, current, &chosen)) data->position = chosen;
    Refresh(data);
}

// What OK asks of the world outside the dialog: the store of the sheet's printer and the check of
// dynamic text against it.
class StoreServices final : public EditorServices {
  public:
    StoreServices(HANDLE printer, HWND dialog) : printer_(printer), dialog_(dialog) {}
    bool WatermarkExists(const char16_t* name) override {
        return cv::WatermarkExists(printer_, AsWide(name));
    }
    bool ValidateDynamicText(const char16_t* text) override {
        ScopedWindowDC dc(dialog_);
        return ValidateWatermarkText(SystemDynamicTextPlatform(), printer_, dc.get(), text);
    }
    bool SaveWatermark(const WatermarkSettings& wm) override {
        return cv::SaveWatermark(printer_, &wm);
    }
    bool DeleteWatermark(const char16_t* name) override {
        return cv::DeleteWatermark(printer_, AsWide(name));
    }

  private:
    HANDLE printer_;
    HWND dialog_;
};

int FieldControl(EditorField field) {
    switch (field) {
    case EditorField::Name:
        return IDC_WM_NAME;
    case EditorField::Text:
        return IDC_WM_TEXT;
    case EditorField::FontSize:
        return IDC_WM_SIZE;
    default:
        return 0;
    }
}

void Confirm(HWND dialog, EditorData* data) {
    EditorTexts texts;
    const EditorControls controls = GatherControls(*data, &texts);
    char16_t none[kWatermarkTextChars + 1] = {};
    EditorMode mode;
    mode.addMode = data->addMode;
    mode.ownName = data->addMode ? nullptr : data->storedName;
    mode.noneText = LoadTextInto(none, IDS_WM_NONE) ? none : nullptr;
    StoreServices services(data->printer, dialog);
    WatermarkSettings saved{};
    const EditorOkResult result = ConfirmEditor(controls, mode, services, &saved);
    if (result.messageId) ShowWatermarkMessage(dialog, result.messageId, result.warning);
    if (!result.saved) {
        if (const int id = FieldControl(result.focus)) FocusControl(dialog, id);
        return;
    }
    data->work = saved;
    EndDialog(dialog, IDOK);
}

// --- The colour list -----------------------------------------------------------------------------

// Each colour as a swatch beside its name, in the list's selection colours.
bool DrawColorItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlID != IDC_WM_COLOR || static_cast<int>(item->itemID) < 0 || !item->hwndItem ||
        !item->hDC)
        return false;
    HDC dc = item->hDC;
    int background = COLOR_WINDOW, foreground = COLOR_WINDOWTEXT;
    if (item->itemState & ODS_FOCUS)
        background = COLOR_HIGHLIGHT, foreground = COLOR_WINDOW;
    else if (item->itemState & ODS_SELECTED)
        background = COLOR_HIGHLIGHT, foreground = COLOR_HIGHLIGHTTEXT;
    const int saved = SaveDC(dc);
    RECT r = item->rcItem;
    {
        ScopedGdiObject<HBRUSH> fill(CreateSolidBrush(GetSysColor(background)));
        if (fill) FillRect(dc, &r, fill.get());
    }
    {
        ScopedGdiObject<HBRUSH> swatch(CreateSolidBrush(static_cast<COLORREF>(item->itemData)));
        if (swatch) {
            ScopedSelect selected(dc, swatch.get());
            Rectangle(dc, r.left + 2, r.top + 2, r.left + 18, r.bottom - 2);
            const RECT inner{r.left + 3, r.top + 3, r.left + 17, r.bottom - 3};
            FillRect(dc, &inner, swatch.get());
        }
    }
    SetBkColor(dc, GetSysColor(background));
    SetTextColor(dc, GetSysColor(foreground));
    constexpr LRESULT kTextLimit = 2048;
    const LRESULT length = SendMessageW(item->hwndItem, CB_GETLBTEXTLEN, item->itemID, 0);
    if (length != CB_ERR && length < kTextLimit) {
        std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(item->hwndItem, CB_GETLBTEXT, item->itemID,
                     reinterpret_cast<LPARAM>(text.data()));
        RECT textRect{r.left + 28, r.top, r.right + 28, r.bottom};
        DrawTextW(dc, text.data(), -1, &textRect, DT_SINGLELINE | DT_VCENTER);
    }
    if (saved) RestoreDC(dc, saved);
    return true;
}

// --- The procedure -------------------------------------------------------------------------------

INT_PTR OnCommand(HWND dialog, EditorData* data, int id, int code) {
    switch (code) {
    case EN_UPDATE:
        if (id == IDC_WM_ANGLE) FilterAngle(dialog, data);
        if (id == IDC_WM_INTENSITY) FilterIntensity(dialog, data);
        return TRUE;
    case EN_CHANGE:
        if (id == IDC_WM_NAME || id == IDC_WM_TEXT) UpdateOk(data);
        Refresh(data);
        return TRUE;
    case CBN_EDITCHANGE:
        if (id == IDC_WM_SIZE) FilterPointSize(dialog, data);
        return TRUE;
    case CBN_SELCHANGE:
        // A size chosen from the list is what a refused size goes back to.
        if (id == IDC_WM_SIZE) {
            const ComboChoice size = SelectedItem(data->windows.size);
            if (size.kind == ComboChoice::Item) data->editPointSize = size.data;
        }
        Refresh(data);
        return TRUE;
    case BN_CLICKED:
        break;
    default:
        return FALSE;
    }
    switch (id) {
    case IDOK:
        Confirm(dialog, data);
        break;
    case IDC_WM_DYNAMIC:
        EnableControl(dialog, IDC_WM_CONFIGURE_DYNAMIC, ButtonChecked(data->windows.dynamic));
        Refresh(data);
        break;
    case IDC_WM_CONFIGURE_DYNAMIC:
        ConfigureDynamic(dialog, data);
        break;
    case IDC_WM_POSITION:
        ChoosePosition(dialog, data);
        break;
    default: // the style check boxes
        Refresh(data);
        break;
    }
    return TRUE;
}

INT_PTR CALLBACK EditorDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<EditorData*>(lParam);
        KeepWindowData(dialog, data);
        if (data) InitDialog(dialog, data);
        return TRUE;
    }
    case WM_COMMAND: {
        if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        auto* data = WindowData<EditorData>(dialog);
        return data ? OnCommand(dialog, data, LOWORD(wParam), HIWORD(wParam)) : FALSE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header || header->code != UDN_DELTAPOS ||
            (header->idFrom != IDC_WM_ANGLE_SPIN && header->idFrom != IDC_WM_INTENSITY_SPIN))
            return FALSE;
        // The step itself is the up-down's: it sets the edit's text, whose filter takes it.
        if (const EditorData* data = WindowData<EditorData>(dialog)) Refresh(data);
        SetResult(dialog, 0);
        return TRUE;
    }
    case WM_DRAWITEM:
        return DrawColorItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

bool RunEditor(HWND owner, EditorData* data, WatermarkSettings* saved) {
    if (RunModalDialog(owner, IDD_WATERMARK_EDITOR, &EditorDialogProc, data) != IDOK) return false;
    if (saved) *saved = data->work;
    return true;
}

} // namespace

bool AddWatermark(HWND owner, const SheetContext* ctx, WatermarkSettings* saved) {
    if (!WatermarkDialogsUsable(ctx)) return false;
    EditorData data{};
    data.ctx = ctx;
    data.printer = SheetPrinter(ctx);
    data.addMode = true;
    ResetWatermark(&data.work);
    return RunEditor(owner, &data, saved);
}

bool EditWatermark(HWND owner, const SheetContext* ctx, const wchar_t* storedName,
                   WatermarkSettings* saved) {
    // Only a name a record can carry addresses a watermark of the store.
    if (!WatermarkDialogsUsable(ctx) || !storedName || !*storedName ||
        std::wcslen(storedName) > kWatermarkTextChars)
        return false;
    EditorData data{};
    data.ctx = ctx;
    data.printer = SheetPrinter(ctx);
    data.addMode = false;
    if (!ReadWatermark(data.printer, storedName, &data.work)) {
        ShowWatermarkMessage(owner, IDS_WM_READ_FAILED);
        return false;
    }
    BoundedCopyText(data.storedName, reinterpret_cast<const char16_t*>(storedName));
    // The name it is stored under is its name, whatever the record itself says.
    BoundedCopy(data.work.name, data.storedName);
    return RunEditor(owner, &data, saved);
}

} // namespace cv
