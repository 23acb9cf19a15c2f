// The rules of the Output Options page and the fax cover-page dialog that need no window: which
// destinations a printer offers and which fields each uses, the checks made when the user leaves
// the page and their order, how the entries land in a devmode, and how the two remembered
// registry values are decoded. The Win32 page and dialog only move text between these rules and
// their controls.
#pragma once

#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// PluginDevmode.outputTo; each destination list entry carries its code as item data.
enum OutputDestination : uint32_t {
    DestPrinter = 0,
    DestFile = 1,
    DestEps = 2,
    DestFax = 3,
    DestConfidential = 4,
    DestReserve = 5,
    DestRepeat = 6,
    DestVerify = 7,
};
constexpr uint32_t kLastDestination = DestVerify;

// Widths of the held-job fields, in characters, without the terminator.
constexpr size_t kUserNameChars = 24; // PluginDevmode.userName holds 25 units
constexpr size_t kPinChars = 4;       // PluginDevmode.pin holds 5 units
static_assert(sizeof(PluginDevmode::userName) / sizeof(char16_t) == kUserNameChars + 1);
static_assert(sizeof(PluginDevmode::pin) / sizeof(char16_t) == kPinChars + 1);

// What the printer's description says about held jobs and fax.
struct OutputFeatures {
    bool faxCard = false;          // driver setting "FaxCard" is "True"
    bool printAndHold = false;     // feature "HasPrintandHold"
    bool newPin = false;           // feature "HasNewPin": template 1232, digits 0-9
    bool keepPreviousJobs = false; // feature "HasKeepPreviousPHJobs"
};

struct DestinationFields {
    bool pinUsed = false;
    bool userNameUsed = false;
    bool keepUsed = false;
};

// Confidential Print uses all three; Reserve, Repeat and Verify Print a user name and keep-jobs;
// every other code (including those above 7) none.
DestinationFields GetDestinationFields(uint32_t code);

// String-table number of a destination's text; Printer's for a code above 7.
uint32_t DestinationStringId(uint32_t code);

// The destinations offered, in list order: Printer, Fax, Confidential, Reserve, Repeat, Verify,
// absent ones skipped. File and EPS are never offered. Returns the count written to `codes`.
size_t OfferedDestinations(const OutputFeatures& features, uint32_t (&codes)[6]);

// A devmode destination as the page shows it: a code above 7 becomes Printer (and is repaired in
// the devmode by the caller).
inline uint32_t ShownDestination(uint32_t outputTo) {
    return outputTo > kLastDestination ? uint32_t(DestPrinter) : outputTo;
}

// --- Leaving the page ---------------------------------------------------------------------------

// The field a failed check sends the focus to.
enum class OutputField { None, UserName, Pin, RecipientName, RecipientFax, Station };

struct OutputProblem {
    uint32_t messageId = 0; // string-table number; 0 when every check passed
    OutputField focus = OutputField::None;
    explicit operator bool() const { return messageId != 0; }
};

// The page's controls as read when the user leaves or applies. A null text stands for a control
// that is missing and is not checked. Texts are terminated; they may be longer than their fields
// (text set into an edit by other means than typing), which the checks catch and the writer cuts.
struct OutputEntries {
    uint32_t destination = DestPrinter; // GetSelectedDestination
    const char16_t* userName = nullptr;
    const char16_t* pin = nullptr;
    bool keepChecked = false;
    const char16_t* recipientName = nullptr;
    const char16_t* recipientFax = nullptr;
    const char16_t* station = nullptr;
    bool sendCoverPage = false;
    bool resolutionIsFine = false; // the resolution list's selection is its first entry
};

// User name of a held job: 0, or the message for a blank name (80), a quotation mark (155) or a
// name longer than the field (1235).
uint32_t CheckUserName(const char16_t* name);
// PIN of a Confidential Print job: 0, or the message for anything but exactly four characters
// (79) or a character outside the printer's digits (66 for 1-6, 1234 for 0-9).
uint32_t CheckPin(const char16_t* pin, bool newPin);

// The checks made when the user leaves the page, in their order; the first failure is returned.
// `coverFlags` are those of the cover page being edited (the page's working copy).
OutputProblem CheckOutputEntries(const OutputEntries& entries, const OutputFeatures& features,
                                 uint32_t coverFlags);

// What the caller must still do after WriteOutputEntries.
struct OutputWrites {
    bool lastUserName = false; // remember target->userName as "LastUserName"
    bool faxInfo = false;      // remember target->fax as "FaxInfo"
};

// Writes the entries into a devmode (the working copy when the page is left, the job's devmode
// on apply): outputTo, and the PIN, user name and keep-jobs choice when the destination uses
// them, and for a fax the recipient, station, resolution, cover-page choice and, when a cover
// page is sent, the edited cover part. Texts are cut to their fields.
OutputWrites WriteOutputEntries(PluginDevmode* target, const OutputEntries& entries,
                                const FaxCover& coverWork);

// --- Fax source and cover part ------------------------------------------------------------------

// The remembered "FaxInfo" is preferred when it was read and names a recipient (by name or
// number); otherwise the devmode's own fax record.
const FaxSettings* ChooseFaxSource(const FaxSettings* stored, const FaxSettings* devmodeFax);

// --- Cover-page dialog --------------------------------------------------------------------------

struct CoverEntries {
    bool includeRecipient = false;
    bool includeSender = false;
    bool includeComments = false;
    // Read only when their include box is checked; null for a missing control (left as it was).
    const char16_t* senderName = nullptr;
    const char16_t* senderCompany = nullptr;
    const char16_t* senderAddress = nullptr;
    const char16_t* senderFax = nullptr;
    const char16_t* senderVoice = nullptr;
    const char16_t* senderEmail = nullptr;
    const char16_t* comments = nullptr;
};

// "OK" is offered while the cover page would hold anything at all.
inline bool CoverOkEnabled(bool recipient, bool sender, bool comments) {
    return recipient || sender || comments;
}

// The dialog's OK: the include bits follow the boxes; sender texts and comments are taken only
// when their box is checked, so unchecking a box keeps what was typed for later.
void ApplyCoverEntries(FaxCover* cover, const CoverEntries& entries);

// --- Remembered values ---------------------------------------------------------------------------

// Largest "LastUserName" accepted, in bytes: the field's 25 units, terminator included.
constexpr size_t kLastUserNameMaxBytes = (kUserNameChars + 1) * sizeof(char16_t);

// "LastUserName" as found in the registry. Accepted only as a string of 1 to 50 bytes that holds
// a name; the result is terminated whether or not the stored data was. An empty name is no
// name: the caller falls back to the devmode's.
bool DecodeLastUserName(uint32_t type, const void* data, size_t size,
                        char16_t (&name)[kUserNameChars + 1]);

// "FaxInfo" as found in the registry: accepted only as binary data of 1 to 4748 bytes. The record
// starts from the defaults, takes the stored bytes (an older, shorter record keeps defaults for
// the rest) and is repaired, so every text is terminated.
bool DecodeFaxInfo(uint32_t type, const void* data, size_t size, FaxSettings* fax);

} // namespace cv
