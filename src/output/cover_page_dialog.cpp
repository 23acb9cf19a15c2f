#include "output/cover_page_dialog.h"

#include "core/modal_dialog.h"
#include "core/page_frame.h"
#include "output/output_resource.h"
#include "output/output_rules.h"
#include "resources/resource.h"
#include "ui/dialog_text.h"

#include <iterator>

namespace cv {

namespace {

const int kSenderControls[] = {
    IDC_SENDER_NAME,          IDC_SENDER_FAX,           IDC_SENDER_COMPANY,
    IDC_SENDER_ADDRESS,       IDC_SENDER_VOICE,         IDC_SENDER_EMAIL,
    IDC_SENDER_COMPANY_LABEL, IDC_SENDER_ADDRESS_LABEL, IDC_SENDER_VOICE_LABEL,
    IDC_SENDER_EMAIL_LABEL,   IDC_SENDER_FAX_LABEL,     IDC_SENDER_NAME_LABEL,
};

// The width the dialog offers for every sender text; the fields themselves are wider.
constexpr size_t kSenderEditLimit = 45;
constexpr size_t kCommentsLimit = 1023;

// What the dialog works on: a copy of the caller's cover page.
struct CoverPageData {
    FaxCover cover;
    bool editable;
};

void EnableSenderControls(HWND dialog, bool on) {
    for (int id : kSenderControls) EnableControl(dialog, id, on);
}

void EnableCommentControls(HWND dialog, bool on) {
    EnableControl(dialog, IDC_COMMENTS, on);
    EnableControl(dialog, IDC_COMMENTS_GROUP, on);
}

void UpdateCoverOk(HWND dialog) {
    EnableControl(dialog, IDOK,
                  CoverOkEnabled(IsChecked(dialog, IDC_COVER_RECIPIENT),
                                 IsChecked(dialog, IDC_COVER_SENDER),
                                 IsChecked(dialog, IDC_COVER_COMMENTS)));
}

void InitDialog(HWND dialog, const FaxCover& cover) {
    SetChecked(dialog, IDC_COVER_RECIPIENT, cover.coverFlags & CoverRecipient);
    SetChecked(dialog, IDC_COVER_SENDER, cover.coverFlags & CoverSender);
    SetChecked(dialog, IDC_COVER_COMMENTS, cover.coverFlags & CoverComments);
    EnableSenderControls(dialog, cover.coverFlags & CoverSender);
    EnableCommentControls(dialog, cover.coverFlags & CoverComments);
    UpdateCoverOk(dialog);

    const struct {
        int id;
        const char16_t* text;
        size_t capacity;
    } senders[] = {
        {IDC_SENDER_NAME, cover.senderName, std::size(cover.senderName)},
        {IDC_SENDER_COMPANY, cover.senderCompany, std::size(cover.senderCompany)},
        {IDC_SENDER_ADDRESS, cover.senderAddress, std::size(cover.senderAddress)},
        {IDC_SENDER_VOICE, cover.senderVoice, std::size(cover.senderVoice)},
        {IDC_SENDER_EMAIL, cover.senderEmail, std::size(cover.senderEmail)},
        {IDC_SENDER_FAX, cover.senderFax, std::size(cover.senderFax)},
    };
    for (const auto& s : senders) {
        LimitControlText(dialog, s.id, kSenderEditLimit);
        SetControlText(dialog, s.id, s.text, s.capacity);
    }
    LimitControlText(dialog, IDC_COMMENTS, kCommentsLimit);
    SetControlText(dialog, IDC_COMMENTS, cover.comments);
}

// OK: the boxes and, for the checked parts, their texts go into the working cover.
void AcceptCover(HWND dialog, FaxCover* cover) {
    std::u16string name, company, address, fax, voice, email, comments;
    CoverEntries e;
    e.includeRecipient = IsChecked(dialog, IDC_COVER_RECIPIENT);
    e.includeSender = IsChecked(dialog, IDC_COVER_SENDER);
    e.includeComments = IsChecked(dialog, IDC_COVER_COMMENTS);
    const struct {
        int id;
        std::u16string* text;
        const char16_t** entry;
    } reads[] = {
        {IDC_SENDER_NAME, &name, &e.senderName},    {IDC_SENDER_COMPANY, &company, &e.senderCompany},
        {IDC_SENDER_ADDRESS, &address, &e.senderAddress}, {IDC_SENDER_FAX, &fax, &e.senderFax},
        {IDC_SENDER_VOICE, &voice, &e.senderVoice}, {IDC_SENDER_EMAIL, &email, &e.senderEmail},
        {IDC_COMMENTS, &comments, &e.comments},
    };
    for (const auto& r : reads)
        if (ReadControlText(dialog, r.id, r.text)) *r.entry = r.text->c_str();
    ApplyCoverEntries(cover, e);
}

} // namespace

namespace {

INT_PTR CALLBACK CoverPageDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<CoverPageData*>(lParam);
        KeepWindowData(dialog, data);
        if (data) InitDialog(dialog, data->cover);
        return TRUE;
    }
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        auto* data = WindowData<CoverPageData>(dialog);
        const int id = LOWORD(wParam);
        // Cancel (and Esc and the close box) always closes: a dialog without its sheet must not
        // trap the user.
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        if (!data || !data->editable) {
            if (id == IDOK) EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        switch (id) {
        case IDC_COVER_RECIPIENT:
            UpdateCoverOk(dialog);
            return TRUE;
        case IDC_COVER_SENDER:
            EnableSenderControls(dialog, IsChecked(dialog, IDC_COVER_SENDER));
            UpdateCoverOk(dialog);
            return TRUE;
        case IDC_COVER_COMMENTS:
            EnableCommentControls(dialog, IsChecked(dialog, IDC_COVER_COMMENTS));
            UpdateCoverOk(dialog);
            return TRUE;
        case IDOK:
            AcceptCover(dialog, &data->cover);
            EndDialog(dialog, IDOK);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

} // namespace

bool EditCoverPage(HWND owner, FaxCover* cover, bool editable) {
    if (!cover) return false;
    CoverPageData data{};
    CopyFaxCover(&data.cover, cover);
    data.editable = editable;
    if (RunModalDialog(owner, IDD_COVER_PAGE, CoverPageDialogProc, &data) != IDOK) return false;
    CopyFaxCover(cover, &data.cover);
    return true;
}

} // namespace cv
