#include "watermark/dynamic_text.h"

#include "ui/bounded_string.h"

#include <cstring>

namespace cv {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

// The result may grow to this many units: a literal piece must keep it within, a variable's
// value must leave one unit more.
constexpr size_t kMaxResultLength = kDynamicTextCapacity - 1;
constexpr size_t kMaxLengthAfterValue = kDynamicTextCapacity - 2;

enum class VariableResult {
    Expanded,   // value appended (or recognised with nothing to append)
    Unresolved, // no such variable, or its value cannot be obtained
    Overflow,   // the value does not fit into the result
};

// Variables compare like _wcsnicmp in the C locale: only ASCII letters fold.
char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c; }

size_t Find(const char16_t* text, size_t length, size_t from, char16_t c) {
    for (size_t i = from; i < length; ++i)
        if (text[i] == c) return i;
    return kNotFound;
}

// Appends `n` units when the result then stays within `maxLength`; keeps it terminated.
bool Append(char16_t* result, size_t* length, const char16_t* piece, size_t n, size_t maxLength) {
    if (*length > maxLength || n > maxLength - *length) return false;
    if (n) std::memcpy(result + *length, piece, n * sizeof(char16_t));
    *length += n;
    result[*length] = 0;
    return true;
}

// A platform answer is trusted only when it says it stayed inside the buffer.
size_t Checked(size_t length, size_t capacity) { return length < capacity ? length : 0; }

// MatchVariable with the length of the text from the token on (`rest`) already known.
bool MatchVariableIn(DynamicTextPlatform& platform, uint32_t id, const char16_t* token,
                     size_t tokenLength, size_t rest) {
    if (!token || tokenLength > rest || tokenLength >= kDynamicTextCapacity) return false;
    char16_t name[kDynamicTextCapacity];
    const size_t n = Checked(platform.LoadText(id, name, kDynamicTextCapacity),
                             kDynamicTextCapacity);
    if (n == 0 || rest < n) return false;
    // Every variable text ends with the delimiter and a token ends at the first closing one, so
    // equal leading units mean the whole token is the variable.
    for (size_t i = 0; i < n; ++i)
        if (FoldAscii(token[i]) != FoldAscii(name[i])) return false;
    return true;
}

VariableResult ExpandVariableInto(DynamicTextPlatform& platform, void* printer, void* dc,
                                  const char16_t* token, size_t tokenLength, size_t rest,
                                  char16_t* output, size_t* length, ExpansionMode mode,
                                  int32_t pageNumber, const LocalTime& time) {
    (void)dc; // no variable draws on the device
    if (!token || !output || !length || tokenLength > rest) return VariableResult::Unresolved;

    uint32_t id = kVariableUserName;
    while (id <= kVariableModelName && !MatchVariableIn(platform, id, token, tokenLength, rest))
        ++id;
    if (id > kVariableModelName) return VariableResult::Unresolved;

    char16_t value[kDynamicTextCapacity];
    constexpr size_t cap = kDynamicTextCapacity;
    size_t n = 0;
    switch (id) {
    case kVariableUserName:
        // The editor cannot know who will print; the name only matters in the picture.
        if (mode == ExpansionMode::Validate) return VariableResult::Expanded;
        n = Checked(platform.UserName(value, cap), cap);
        break;
    case kVariableDateShort:
        n = Checked(platform.FormatDate(time, DateStyle::Short, nullptr, value, cap), cap);
        break;
    case kVariableDateLong:
        n = Checked(platform.FormatDate(time, DateStyle::Long, nullptr, value, cap), cap);
        break;
    case kVariableDateDdMmYyyy:
        n = Checked(platform.FormatDate(time, DateStyle::Picture, kPictureDdMmYyyy, value, cap),
                    cap);
        break;
    case kVariableTime:
        n = Checked(platform.FormatTime(time, nullptr, value, cap), cap);
        break;
    case kVariableTimeMilitary:
        n = Checked(platform.FormatTime(time, kPictureTimeMilitary, value, cap), cap);
        break;
    case kVariableTimeHourMinute:
        n = Checked(platform.FormatTime(time, kPictureTimeHourMinute, value, cap), cap);
        break;
    case kVariablePageNumber: {
        char16_t number[kNumberTextCapacity];
        FormatInteger(pageNumber, number);
        n = BoundedCopyText(value, number);
        break;
    }
    case kVariableHostName:
        n = Checked(platform.ComputerName(value, kComputerNameCapacity), kComputerNameCapacity);
        break;
    case kVariablePrinter:
        n = Checked(platform.PrinterInfo(printer, PrinterField::PrinterName, value, cap), cap);
        break;
    case kVariableModelName:
        n = Checked(platform.PrinterInfo(printer, PrinterField::DriverName, value, cap), cap);
        break;
    }
    if (n == 0) return VariableResult::Unresolved;
    if (!Append(output, length, value, n, kMaxLengthAfterValue)) return VariableResult::Overflow;
    return VariableResult::Expanded;
}

} // namespace

bool MatchVariable(DynamicTextPlatform& platform, uint32_t id, const char16_t* token,
                   size_t tokenLength) {
    return token && MatchVariableIn(platform, id, token, tokenLength,
                                    BoundedLength(token, kDynamicTextCapacity));
}

bool ExpandVariable(DynamicTextPlatform& platform, void* printer, void* dc, const char16_t* token,
                    size_t tokenLength, char16_t* output, size_t* length, ExpansionMode mode,
                    int32_t pageNumber, const LocalTime& time) {
    if (!token) return false;
    return ExpandVariableInto(platform, printer, dc, token, tokenLength,
                              BoundedLength(token, kDynamicTextCapacity), output, length, mode,
                              pageNumber, time) == VariableResult::Expanded;
}

bool ExpandWatermarkText(DynamicTextPlatform& platform, void* printer, void* dc,
                         const char16_t* text, int32_t pageNumber, const LocalTime& time,
                         ExpansionMode mode, char16_t* output, size_t* capacity) {
    if (!capacity) return false;
    const size_t given = *capacity;
    *capacity = 0;
    if (!text || !printer) return false;
    if (mode != ExpansionMode::Preview && mode != ExpansionMode::Validate) return false;
    const size_t textLength = BoundedLength(text, kDynamicTextCapacity);
    if (textLength >= kDynamicTextCapacity) return false;

    // "%%" stands for the delimiter text; without a string for it the delimiter is '%', and
    // "%%" still gives one '%' rather than nothing.
    char16_t delimiterText[kDynamicTextCapacity];
    size_t delimiterLength = Checked(
        platform.LoadText(kDelimiterTextId, delimiterText, kDynamicTextCapacity),
        kDynamicTextCapacity);
    if (delimiterLength == 0) {
        delimiterText[0] = u'%';
        delimiterText[1] = 0;
        delimiterLength = 1;
    }
    const char16_t delimiter = delimiterText[0];

    char16_t result[kDynamicTextCapacity];
    size_t length = 0;
    result[0] = 0;
    size_t cursor = 0;
    bool error = false;
    bool done = false;
    while (!done && !error) {
        const size_t open = Find(text, textLength, cursor, delimiter);
        if (open == kNotFound) {
            error = !Append(result, &length, text + cursor, textLength - cursor, kMaxResultLength);
            break;
        }
        if (!Append(result, &length, text + cursor, open - cursor, kMaxResultLength)) {
            error = true;
            break;
        }
        cursor = open;

        const size_t close = Find(text, textLength, open + 1, delimiter);
        if (close == kNotFound) {
            if (mode == ExpansionMode::Validate) {
                error = true;
                break;
            }
            // A stray delimiter swallows the word it starts and the space after it.
            const size_t space = Find(text, textLength, open + 1, u' ');
            if (space == kNotFound) break;
            cursor = space + 1;
        } else {
            if (close == open + 1) {
                error = !Append(result, &length, delimiterText, delimiterLength, kMaxResultLength);
            } else {
                const size_t tokenLength = close - open + 1;
                if (tokenLength + length > kDynamicTextCapacity) {
                    error = true;
                } else {
                    const VariableResult r =
                        ExpandVariableInto(platform, printer, dc, text + open, tokenLength,
                                           textLength - open, result, &length, mode,
                                           pageNumber, time);
                    error = r == VariableResult::Overflow ||
                            (r == VariableResult::Unresolved && mode == ExpansionMode::Validate);
                }
            }
            cursor = close + 1;
        }
        done = cursor >= textLength;
    }
    if (error) return false;

    *capacity = length + 1;
    if (output && given >= length + 1) std::memcpy(output, result, (length + 1) * sizeof(char16_t));
    return true;
}

bool ValidateWatermarkText(DynamicTextPlatform& platform, void* printer, void* dc,
                           const char16_t* text) {
    if (!text || !printer) return false;
    char16_t scratch[kDynamicTextCapacity];
    size_t capacity = kDynamicTextCapacity;
    return ExpandWatermarkText(platform, printer, dc, text, 1, platform.CurrentLocalTime(),
                               ExpansionMode::Validate, scratch, &capacity);
}

} // namespace cv
