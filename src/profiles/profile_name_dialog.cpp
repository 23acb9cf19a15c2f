#include "profiles/profile_name_dialog.h"

#include "core/modal_dialog.h"
#include "core/page_frame.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_resource.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/strings.h"

#include <string>
#include <vector>

namespace cv {

namespace {

// What the dialog works on; the name goes back to the caller only on OK.
struct ProfileNameData {
    ProfileNameMode mode;
    HANDLE hPrinter;
    char16_t renameSource[kProfileNameCapacity];
    char16_t newProfileName[kProfileNameCapacity];
};

class StoredNames final : public ProfileNameLookup {
  public:
    explicit StoredNames(HANDLE hPrinter) : printer_(hPrinter) {}
    bool IsFree(const char16_t* name) const override {
        return ProfileNameIsFree(AsWide(name), printer_);
    }

  private:
    HANDLE printer_;
};

// The edit's text as a name: at most 127 characters (the edit takes no more from the user).
std::u16string TypedName(HWND dialog) {
    std::u16string text;
    ReadControlText(dialog, IDC_PROFILE_NAME, &text);
    if (text.size() > kProfileNameMaxChars) text.resize(kProfileNameMaxChars);
    return text;
}

void OnNameUpdate(HWND dialog, ProfileNameData* data) {
    std::u16string text = TypedName(dialog);
    if (data->mode == ProfileNameMode::Save) {
        EnableControl(dialog, IDOK, SaveNameAcceptable(text.c_str()));
        return;
    }
    char16_t trimmed[kProfileNameCapacity];
    BoundedCopyText(trimmed, text.c_str());
    TrimTrailingSpaces(trimmed);
    EnableControl(dialog, IDOK, RenameNameAcceptable(trimmed, data->renameSource));
}

// OK: the first rule the name breaks is said and the dialog stays, with the focus on the name.
bool Accept(HWND dialog, ProfileNameData* data) {
    const std::u16string name = TypedName(dialog);
    const std::wstring factory = LoadText(IDS_FACTORY_DEFAULTS);
    const std::wstring unknown = LoadText(IDS_UNKNOWN_PROFILE);
    const ReservedProfileNames reserved{reinterpret_cast<const char16_t*>(factory.c_str()),
                                        reinterpret_cast<const char16_t*>(unknown.c_str())};
    const uint32_t problem =
        ProfileNameProblem(name.c_str(), reserved, StoredNames(data->hPrinter));
    if (problem == kBlankProfileName) return false;
    if (problem) {
        if (problem == IDS_PROFILE_NAME_RESERVED)
            ShowProfileMessage(dialog, problem, {factory.c_str(), unknown.c_str()}, MB_ICONERROR);
        else
            ShowProfileMessage(dialog, problem, {AsWide(name.c_str())}, MB_ICONERROR);
        SetFocus(GetDlgItem(dialog, IDC_PROFILE_NAME));
        return false;
    }
    BoundedCopyText(data->newProfileName, name.c_str());
    return true;
}

INT_PTR CALLBACK ProfileNameDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<ProfileNameData*>(lParam);
        KeepWindowData(dialog, data);
        LimitControlText(dialog, IDC_PROFILE_NAME, kProfileNameMaxChars);
        if (data && data->mode == ProfileNameMode::Rename) {
            FillingGuard filling(dialog);
            SetControlText(dialog, IDC_PROFILE_NAME, data->renameSource);
        }
        EnableControl(dialog, IDOK, false);
        SetFocus(GetDlgItem(dialog, IDC_PROFILE_NAME));
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        auto* data = WindowData<ProfileNameData>(dialog);
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        if (!data) {
            if (id == IDOK) EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        if (id == IDC_PROFILE_NAME && (code == EN_UPDATE || code == EN_CHANGE)) {
            if (!Filling(dialog)) OnNameUpdate(dialog, data);
            return TRUE;
        }
        if (id == IDOK) {
            if (Accept(dialog, data)) EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

bool AskProfileName(HWND owner, ProfileNameMode mode, HANDLE hPrinter, const wchar_t* oldName,
                    char16_t (&name)[kProfileNameCapacity]) {
    ProfileNameData data{};
    data.mode = mode;
    data.hPrinter = hPrinter;
    if (oldName) BoundedCopyText(data.renameSource, reinterpret_cast<const char16_t*>(oldName));
    if (RunModalDialog(owner, IDD_PROFILE_NAME, ProfileNameDialogProc, &data) != IDOK) return false;
    BoundedCopyText(name, data.newProfileName);
    return true;
}

int ShowProfileMessage(HWND owner, UINT id, std::initializer_list<const wchar_t*> arguments,
                       UINT type) {
    const std::wstring format = LoadText(id);
    if (format.empty()) return 0;
    std::vector<std::u16string> args;
    for (const wchar_t* a : arguments)
        args.emplace_back(a ? reinterpret_cast<const char16_t*>(a) : u"");
    const std::u16string text = FormatProfileMessage(
        std::u16string(reinterpret_cast<const char16_t*>(format.c_str()), format.size()), args);
    const std::wstring caption = LoadText(IDS_PROFILES_CAPTION);
    return MessageBoxW(owner, AsWide(text.c_str()), caption.c_str(), type);
}

} // namespace cv
