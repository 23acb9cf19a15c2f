#include "watermark/list_dialogs.h"

#include "core/modal_dialog.h"
#include "core/page_frame.h"
#include "core/sheet_context.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/strings.h"
#include "watermark/dialog_support.h"
#include "watermark/watermark_resource.h"
#include "watermark/watermark_store.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace cv {

namespace {

// The text of a list box item; false (and nothing read) for an index the list does not hold.
bool ListItemText(HWND list, LRESULT index, std::u16string* text) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(index), 0);
    if (index < 0 || length == LB_ERR) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT read =
        SendMessageW(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (read == LB_ERR) return false;
    text->assign(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<size_t>(read));
    return true;
}

// --- Configure Dynamic Watermarks ----------------------------------------------------------------

struct DynamicTextData {
    char16_t text[kWatermarkNameCapacity];
    VariableTexts variables;
};

// The edit's text as the dialog uses it: at most the 127 characters a watermark text holds.
std::u16string DynamicEditText(HWND dialog) {
    std::u16string text = ControlText(dialog, IDC_DYN_TEXT);
    if (text.size() > kWatermarkNameCapacity - 1) text.resize(kWatermarkNameCapacity - 1);
    return text;
}

void InitDynamicDialog(HWND dialog, DynamicTextData* data) {
    for (size_t i = 0; i < kVariableCount; ++i) {
        LoadedVariable& entry = data->variables.entries[i];
        LoadTextInto(entry.variable, VariableTable[i].variableId);
        LoadTextInto(entry.description, VariableTable[i].descriptionId);
        if (entry.description[0])
            SendDlgItemMessageW(dialog, IDC_DYN_LIST, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(AsWide(entry.description)));
    }
    LimitControlText(dialog, IDC_DYN_TEXT, kWatermarkNameCapacity - 1);
    SetControlString(dialog, IDC_DYN_TEXT, data->text);
    // OK follows the edit's text from the start, so a text handed in can be taken back as it is.
    EnableControl(dialog, IDOK, !DynamicEditText(dialog).empty());
    EnableControl(dialog, IDC_DYN_ADD, false);
}

void AddSelectedVariable(HWND dialog, DynamicTextData* data) {
    HWND list = GetDlgItem(dialog, IDC_DYN_LIST);
    std::u16string description;
    if (!ListItemText(list, SendMessageW(list, LB_GETCURSEL, 0, 0), &description)) return;
    DWORD start = 0, end = 0;
    SendDlgItemMessageW(dialog, IDC_DYN_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    const AddedVariable added = AddVariable(DynamicEditText(dialog).c_str(), start, end,
                                            description.c_str(), data->variables);
    if (added.replaceSelection)
        SendDlgItemMessageW(dialog, IDC_DYN_TEXT, EM_REPLACESEL, FALSE,
                            reinterpret_cast<LPARAM>(AsWide(added.text)));
    else
        SetControlString(dialog, IDC_DYN_TEXT, added.text);
}

INT_PTR CALLBACK DynamicTextDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* data = reinterpret_cast<DynamicTextData*>(lParam);
        KeepWindowData(dialog, data);
        if (data) InitDynamicDialog(dialog, data);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDCANCEL && code == BN_CLICKED) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    auto* data = WindowData<DynamicTextData>(dialog);
    if (!data) return FALSE;
    if (id == IDC_DYN_TEXT && code == EN_UPDATE) {
        EnableControl(dialog, IDOK, !DynamicEditText(dialog).empty());
    } else if (id == IDC_DYN_LIST && code == LBN_SELCHANGE) {
        EnableControl(dialog, IDC_DYN_ADD,
                      SendDlgItemMessageW(dialog, IDC_DYN_LIST, LB_GETCURSEL, 0, 0) != LB_ERR);
    } else if (id == IDC_DYN_ADD && code == BN_CLICKED) {
        AddSelectedVariable(dialog, data);
    } else if (id == IDOK && code == BN_CLICKED) {
        BoundedCopyText(data->text, DynamicEditText(dialog).c_str());
        EndDialog(dialog, IDOK);
    } else {
        return FALSE;
    }
    return TRUE;
}

// --- Edit-selection dialog -----------------------------------------------------------------------

struct ChooseData {
    HANDLE printer;
    char16_t name[kWatermarkNameCapacity];
    bool taken;
};

// OK, and a double click on a name: the selected name, when it is one a watermark can carry.
void TakeChoice(HWND dialog, ChooseData* data) {
    HWND list = GetDlgItem(dialog, IDC_SELECT_LIST);
    std::u16string text;
    if (ListItemText(list, SendMessageW(list, LB_GETCURSEL, 0, 0), &text) &&
        TakeSelectedName(text.c_str(), data->name))
        data->taken = true;
    EndDialog(dialog, IDOK);
}

constexpr UINT_PTR kChooseListSubclass = 1;

// The list's double click on one of its names closes the dialog as OK would. The list handles
// the click first (a double click's first press has selected the name already).
LRESULT CALLBACK ChooseListProc(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(list, &ChooseListProc, kChooseListSubclass);
    if (msg != WM_LBUTTONDBLCLK) return DefSubclassProc(list, msg, wParam, lParam);
    const LRESULT result = DefSubclassProc(list, msg, wParam, lParam);
    HWND dialog = GetParent(list);
    auto* data = WindowData<ChooseData>(dialog);
    // The high word is 1 when the point lies outside every item.
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
    if (data && HIWORD(hit) == 0) TakeChoice(dialog, data);
    return result;
}

INT_PTR CALLBACK ChooseDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* data = reinterpret_cast<ChooseData*>(lParam);
        KeepWindowData(dialog, data);
        HWND list = GetDlgItem(dialog, IDC_SELECT_LIST);
        if (data && list) {
            FillWatermarkList(data->printer, list);
            SendMessageW(list, LB_SETCURSEL, 0, 0);
            SetWindowSubclass(list, &ChooseListProc, kChooseListSubclass, 0);
        }
        return TRUE;
    }
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    auto* data = WindowData<ChooseData>(dialog);
    switch (LOWORD(wParam)) {
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDOK:
        if (data) TakeChoice(dialog, data);
        return TRUE;
    default:
        return FALSE;
    }
}

// --- Remove dialog -------------------------------------------------------------------------------

struct RemoveData {
    HANDLE printer;
};

void ReloadRemoveList(HWND dialog, const RemoveData* data) {
    HWND list = GetDlgItem(dialog, IDC_REMOVE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    FillWatermarkList(data->printer, list);
}

void EnableRemove(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageW(dialog, IDC_REMOVE_LIST, LB_GETSELCOUNT, 0, 0);
    EnableControl(dialog, IDC_REMOVE, selected != LB_ERR && selected >= 1);
}

// Only a Yes to a question the user could read deletes anything.
bool ConfirmRemoval(HWND dialog) {
    const std::wstring question = LoadText(IDS_WM_REMOVE_QUESTION);
    if (!RemoveQuestionReadable(reinterpret_cast<const char16_t*>(question.c_str()))) return false;
    const std::wstring caption = LoadText(IDS_WM_WARNING);
    return MessageBoxW(dialog, question.c_str(), caption.empty() ? nullptr : caption.c_str(),
                       MB_YESNO | MB_ICONWARNING) == IDYES;
}

void RemoveSelected(HWND dialog, const RemoveData* data) {
    HWND list = GetDlgItem(dialog, IDC_REMOVE_LIST);
    const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (count == LB_ERR || count < 1) return;
    if (!ConfirmRemoval(dialog)) return;
    std::vector<int> indices(static_cast<size_t>(count));
    const LRESULT got =
        SendMessageW(list, LB_GETSELITEMS, WPARAM(count), reinterpret_cast<LPARAM>(indices.data()));
    indices.resize(got > 0 ? static_cast<size_t>(got) : 0);
    for (int index : indices) {
        std::u16string name;
        // A name of 128 characters or more is no watermark's and cannot be addressed as one.
        if (!ListItemText(list, index, &name) || !RemovableItem(name.size())) continue;
        if (!DeleteWatermark(data->printer, AsWide(name.c_str())))
            ShowWatermarkMessage(dialog, IDS_WM_REMOVE_FAILED);
    }
    // The list shows what the store really holds now, whatever failed.
    ReloadRemoveList(dialog, data);
    EnableRemove(dialog);
    FocusControl(dialog, IDCANCEL);
}

INT_PTR CALLBACK RemoveDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* data = reinterpret_cast<RemoveData*>(lParam);
        KeepWindowData(dialog, data);
        if (data) ReloadRemoveList(dialog, data);
        EnableRemove(dialog);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    auto* data = WindowData<RemoveData>(dialog);
    if ((id == IDCANCEL || id == IDOK) && code == BN_CLICKED) {
        EndDialog(dialog, id);
    } else if (id == IDC_REMOVE_LIST && code == LBN_SELCHANGE) {
        EnableRemove(dialog);
    } else if (id == IDC_REMOVE && code == BN_CLICKED && data) {
        RemoveSelected(dialog, data);
    } else {
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool ConfigureDynamicText(HWND owner, char16_t (&text)[kWatermarkNameCapacity]) {
    DynamicTextData data{};
    BoundedCopy(data.text, text);
    if (RunModalDialog(owner, IDD_DYNAMIC_WATERMARKS, &DynamicTextDialogProc, &data) != IDOK)
        return false;
    BoundedCopy(text, data.text);
    return true;
}

bool ChooseWatermarkToEdit(HWND owner, const SheetContext* ctx,
                           char16_t (&name)[kWatermarkNameCapacity]) {
    if (!WatermarkDialogsUsable(ctx)) return false;
    ChooseData data{};
    data.printer = SheetPrinter(ctx);
    if (RunModalDialog(owner, IDD_SELECT_WATERMARK, &ChooseDialogProc, &data) != IDOK ||
        !data.taken)
        return false;
    BoundedCopy(name, data.name);
    return true;
}

void RemoveWatermarks(HWND owner, const SheetContext* ctx) {
    if (!WatermarkDialogsUsable(ctx)) return;
    RemoveData data{SheetPrinter(ctx)};
    RunModalDialog(owner, IDD_REMOVE_WATERMARK, &RemoveDialogProc, &data);
}

} // namespace cv
