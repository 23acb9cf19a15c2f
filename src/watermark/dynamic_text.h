// Dynamic watermark text: "%Username%", "%DateLong%" and the other variables of a watermark
// whose isDynamic flag is set, turned into plain text for the preview or checked for the editor.
//
// The expansion rules live here, free of platform headers; every value that only the system
// knows (the variable names of the string table, the user and computer names, the locale's date
// and time formats, the printer's names) comes through DynamicTextPlatform. The DLL implements
// it with the Win32 calls named at each method; native tests implement it with fixed values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cv {

enum class ExpansionMode : uint32_t {
    Preview = 1,  // lenient: unknown variables and unobtainable values vanish
    Validate = 2, // strict: anything the expansion cannot resolve makes the text invalid
};

// A local timestamp laid out exactly like SYSTEMTIME, so the shell can copy one into the other.
struct LocalTime {
    uint16_t year;
    uint16_t month;
    uint16_t dayOfWeek;
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds;
};
static_assert(sizeof(LocalTime) == 16, "LocalTime mirrors SYSTEMTIME");

// Every buffer of the expansion holds this many UTF-16 units, terminator included; a text to
// expand must be shorter.
constexpr size_t kDynamicTextCapacity = 2048;
// Buffer given to ComputerName: MAX_COMPUTERNAME_LENGTH + 1.
constexpr size_t kComputerNameCapacity = 16;

// String-table entries the expansion loads.
constexpr uint32_t kVariableUserName = 161;
constexpr uint32_t kVariableDateShort = 162;
constexpr uint32_t kVariableDateLong = 163;
constexpr uint32_t kVariableDateDdMmYyyy = 164;
constexpr uint32_t kVariableTime = 165;
constexpr uint32_t kVariableTimeMilitary = 166;
constexpr uint32_t kVariableTimeHourMinute = 167;
constexpr uint32_t kVariablePageNumber = 168;
constexpr uint32_t kVariableHostName = 169;
constexpr uint32_t kVariablePrinter = 170;
constexpr uint32_t kVariableModelName = 171;
constexpr uint32_t kDelimiterTextId = 172; // "%": its first unit delimits variables

enum class DateStyle : uint32_t {
    Short,   // DATE_SHORTDATE, no picture
    Long,    // DATE_LONGDATE, no picture
    Picture, // flags 0 with the given picture
};

enum class PrinterField : uint32_t {
    PrinterName, // PRINTER_INFO_2 pPrinterName
    DriverName,  // PRINTER_INFO_2 pDriverName
};

// What the expansion needs from the system. Every text method writes at most `capacity` units,
// terminator included, and returns the length written without the terminator. It returns 0, and
// leaves the buffer's content unspecified, when the value cannot be obtained, is empty, or does
// not fit: a value is never cut short.
struct DynamicTextPlatform {
    virtual ~DynamicTextPlatform() = default;

    // LoadStringW of the module's string `id`.
    virtual size_t LoadText(uint32_t id, char16_t* buffer, size_t capacity) = 0;
    // GetUserNameW.
    virtual size_t UserName(char16_t* buffer, size_t capacity) = 0;
    // GetComputerNameW.
    virtual size_t ComputerName(char16_t* buffer, size_t capacity) = 0;
    // GetDateFormatW for LOCALE_USER_DEFAULT; `picture` is given only with DateStyle::Picture.
    virtual size_t FormatDate(const LocalTime& time, DateStyle style, const char16_t* picture,
                              char16_t* buffer, size_t capacity) = 0;
    // GetTimeFormatW for LOCALE_USER_DEFAULT with flags 0; a null `picture` means the user's
    // own time format.
    virtual size_t FormatTime(const LocalTime& time, const char16_t* picture, char16_t* buffer,
                              size_t capacity) = 0;
    // GetPrinterW level 2 of `printer` (a printer HANDLE).
    virtual size_t PrinterInfo(void* printer, PrinterField field, char16_t* buffer,
                               size_t capacity) = 0;
    // GetLocalTime.
    virtual LocalTime CurrentLocalTime() = 0;
};

// The pictures of the three variables that have fixed formats.
constexpr const char16_t* kPictureDdMmYyyy = u"dd/MM/yyyy";
constexpr const char16_t* kPictureTimeMilitary = u"HH':'mm':'ss";
constexpr const char16_t* kPictureTimeHourMinute = u"h':'mm tt";

// Expands `text`, a terminated text that must be shorter than kDynamicTextCapacity units (a
// longer one fails; no more than that many units are read). `printer` is the printer HANDLE the
// printer variables are read from and must not be null; `dc` is handed through unused.
// `*capacity` is the output buffer's size in units, terminator included. On success returns
// true and sets *capacity to the expansion's length + 1; the expansion is copied only when
// `output` is given and the given capacity was large enough. On failure returns false with
// *capacity 0 and nothing copied. Both modes fail when the result outgrows its 2048-unit buffer
// (a literal piece may bring it to 2047 units, a variable's value to 2046); Validate mode fails
// also on an unknown variable, an unobtainable value or an unterminated delimiter.
bool ExpandWatermarkText(DynamicTextPlatform& platform, void* printer, void* dc,
                         const char16_t* text, int32_t pageNumber, const LocalTime& time,
                         ExpansionMode mode, char16_t* output, size_t* capacity);

// The editor's check of a dynamic text: Validate mode, page 1, the current local time.
bool ValidateWatermarkText(DynamicTextPlatform& platform, void* printer, void* dc,
                           const char16_t* text);

// True when string `id` (a variable) matches the token, letter case aside. `token` points into a
// terminated text, at the opening delimiter; `tokenLength` runs to the closing one inclusive.
bool MatchVariable(DynamicTextPlatform& platform, uint32_t id, const char16_t* token,
                   size_t tokenLength);

// Appends the value of the variable `token` names to `output` (kDynamicTextCapacity units) at
// *length and advances *length. False when no variable matches, its value cannot be obtained
// or does not fit; "%Username%" in Validate mode is recognised without appending anything.
bool ExpandVariable(DynamicTextPlatform& platform, void* printer, void* dc, const char16_t* token,
                    size_t tokenLength, char16_t* output, size_t* length, ExpansionMode mode,
                    int32_t pageNumber, const LocalTime& time);

} // namespace cv
