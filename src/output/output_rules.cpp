#include "output/output_rules.h"

#include "output/output_resource.h"
#include "ui/bounded_string.h"

#include <cstring>

namespace cv {

DestinationFields GetDestinationFields(uint32_t code) {
    switch (code) {
    case DestConfidential:
        return {true, true, true};
    case DestReserve:
    case DestRepeat:
    case DestVerify:
        return {false, true, true};
    default:
        return {};
    }
}

uint32_t DestinationStringId(uint32_t code) {
    static const uint32_t ids[] = {IDS_DEST_PRINTER,      IDS_DEST_FILE,    IDS_DEST_EPS,
                                   IDS_DEST_FAX,          IDS_DEST_CONFIDENTIAL,
                                   IDS_DEST_RESERVE,      IDS_DEST_REPEAT,  IDS_DEST_VERIFY};
    return ids[ShownDestination(code)];
}

size_t OfferedDestinations(const OutputFeatures& features, uint32_t (&codes)[6]) {
    size_t n = 0;
    codes[n++] = DestPrinter;
    if (features.faxCard) codes[n++] = DestFax;
    if (features.printAndHold)
        for (uint32_t code : {DestConfidential, DestReserve, DestRepeat, DestVerify})
            codes[n++] = code;
    return n;
}

static size_t TextLength(const char16_t* text) { return BoundedLength(text, SIZE_MAX); }

uint32_t CheckUserName(const char16_t* name) {
    if (!name) return 0;
    if (IsBlankText(name)) return IDS_USERNAME_MISSING;
    for (const char16_t* c = name; *c; ++c)
        if (*c == u'"') return IDS_USERNAME_QUOTES;
    // Typing and pasting stop at the edit's limit; anything longer came from elsewhere and would
    // be stored cut, under a name the user never saw.
    if (TextLength(name) > kUserNameChars) return IDS_USERNAME_TOO_LONG;
    return 0;
}

uint32_t CheckPin(const char16_t* pin, bool newPin) {
    if (!pin) return 0;
    // Exactly four: a longer PIN would be stored cut and the job could not be released with what
    // the user typed.
    if (TextLength(pin) != kPinChars) return IDS_PIN_LENGTH;
    const char16_t first = newPin ? u'0' : u'1';
    const char16_t last = newPin ? u'9' : u'6';
    for (const char16_t* c = pin; *c; ++c)
        if (*c < first || *c > last) return newPin ? IDS_PIN_DIGITS_0_9 : IDS_PIN_DIGITS_1_6;
    return 0;
}

OutputProblem CheckOutputEntries(const OutputEntries& e, const OutputFeatures& features,
                                 uint32_t coverFlags) {
    const DestinationFields fields = GetDestinationFields(e.destination);
    if (fields.userNameUsed)
        if (uint32_t id = CheckUserName(e.userName)) return {id, OutputField::UserName};
    if (fields.pinUsed)
        if (uint32_t id = CheckPin(e.pin, features.newPin)) return {id, OutputField::Pin};
    if (features.faxCard && e.destination == DestFax) {
        if (IsBlankText(e.recipientName))
            return {IDS_RECIPIENT_NAME_MISSING, OutputField::RecipientName};
        if (IsBlankText(e.recipientFax))
            return {IDS_RECIPIENT_FAX_MISSING, OutputField::RecipientFax};
        if (IsBlankText(e.station)) return {IDS_STATION_MISSING, OutputField::Station};
        const uint32_t anyPart = CoverRecipient | CoverSender | CoverComments;
        if (e.sendCoverPage && !(coverFlags & anyPart))
            return {IDS_COVER_EMPTY, OutputField::Station};
    }
    return {};
}

template <size_t D> static void CopyEntry(char16_t (&dst)[D], const char16_t* src) {
    if (src) BoundedCopyText(dst, src);
}

OutputWrites WriteOutputEntries(PluginDevmode* target, const OutputEntries& e,
                                const FaxCover& coverWork) {
    OutputWrites writes;
    if (!target) return writes;
    target->outputTo = e.destination;
    const DestinationFields fields = GetDestinationFields(e.destination);
    if (fields.pinUsed) CopyEntry(target->pin, e.pin);
    if (fields.userNameUsed && e.userName) {
        BoundedCopyText(target->userName, e.userName);
        writes.lastUserName = true;
    }
    if (fields.keepUsed) target->keepPreviousJobs = e.keepChecked ? 1 : 0;
    if (e.destination != DestFax) return writes;

    FaxSettings& fax = target->fax;
    CopyEntry(fax.recipientName, e.recipientName);
    CopyEntry(fax.recipientFax, e.recipientFax);
    fax.sendCoverPage = e.sendCoverPage ? 1 : 0;
    if (e.sendCoverPage) CopyFaxCover(&fax.cover, &coverWork);
    CopyEntry(fax.station, e.station);
    if (e.resolutionIsFine) fax.resolution = 0;
    writes.faxInfo = true;
    return writes;
}

const FaxSettings* ChooseFaxSource(const FaxSettings* stored, const FaxSettings* devmodeFax) {
    if (stored && (stored->recipientFax[0] != 0 || stored->recipientName[0] != 0)) return stored;
    return devmodeFax;
}

void ApplyCoverEntries(FaxCover* cover, const CoverEntries& e) {
    if (!cover) return;
    auto setBit = [cover](uint32_t bit, bool on) {
        cover->coverFlags = on ? (cover->coverFlags | bit) : (cover->coverFlags & ~bit);
    };
    setBit(CoverSender, e.includeSender);
    if (e.includeSender) {
        CopyEntry(cover->senderName, e.senderName);
        CopyEntry(cover->senderCompany, e.senderCompany);
        CopyEntry(cover->senderAddress, e.senderAddress);
        CopyEntry(cover->senderVoice, e.senderVoice);
        CopyEntry(cover->senderEmail, e.senderEmail);
        CopyEntry(cover->senderFax, e.senderFax);
    }
    setBit(CoverRecipient, e.includeRecipient);
    setBit(CoverComments, e.includeComments);
    if (e.includeComments) CopyEntry(cover->comments, e.comments);
}

bool DecodeLastUserName(uint32_t type, const void* data, size_t size,
                        char16_t (&name)[kUserNameChars + 1]) {
    name[0] = 0;
    if (type != kRegistryString || !data || size == 0 || size > kLastUserNameMaxBytes)
        return false;
    // The data need be neither terminated nor a whole number of units.
    char16_t units[kUserNameChars + 1] = {};
    std::memcpy(units, data, size - size % sizeof(char16_t));
    BoundedCopy(name, units);
    return name[0] != 0;
}

bool DecodeFaxInfo(uint32_t type, const void* data, size_t size, FaxSettings* fax) {
    if (!fax || type != kRegistryBinary || !data || size == 0 || size > sizeof(FaxSettings))
        return false;
    std::memset(fax, 0, sizeof *fax);
    ResetFaxSettings(fax);
    std::memcpy(fax, data, size);
    RepairFaxSettings(fax);
    return true;
}

} // namespace cv
