// The rules of the three small list dialogs of the watermarks that need no window: building a
// dynamic text from variable descriptions (Configure Dynamic Watermarks), taking the chosen name
// of the edit-selection dialog, and which selected names the remove dialog deletes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cv {

// Watermark names and texts: 127 characters and the terminator.
constexpr size_t kWatermarkNameCapacity = 128;

// --- Configure Dynamic Watermarks ----------------------------------------------------------------

// A variable that the dialog offers: the string with its text (as dynamic text spells it) and
// the string with its description (what the list shows).
struct VariableEntry {
    uint32_t variableId;
    uint32_t descriptionId;
};
constexpr size_t kVariableCount = 12;
constexpr VariableEntry VariableTable[kVariableCount] = {
    {161, 200}, // "%Username%"       "User name"
    {162, 201}, // "%dateshort%"      "Date (short format)"
    {163, 202}, // "%datelong%"       "Date (long format)"
    {164, 203}, // "%dateddmmyyyy%"   "Date (dd/mm/yyyy format)"
    {165, 204}, // "%time%"           "Time (standard format)"
    {166, 205}, // "%timemil%"        "Time (military format)"
    {167, 206}, // "%timehrmn%"       "Time (hh:mm format)"
    {168, 207}, // "%pagenumber%"     "Page number"
    {169, 208}, // "%hostname%"       "Host/computer name"
    {170, 209}, // "%printer%"        "Printer name"
    {171, 210}, // "%modelname%"      "Printer model name"
    {191, 211}, // "%%"               "Percent (%) symbol"
};

// The table's strings as the dialog loaded them (room for 50 and 128 units); a string that could
// not be loaded is empty and matches nothing.
constexpr size_t kVariableTextCapacity = 50;
constexpr size_t kVariableDescriptionCapacity = 128;
struct LoadedVariable {
    char16_t variable[kVariableTextCapacity];
    char16_t description[kVariableDescriptionCapacity];
};
struct VariableTexts {
    LoadedVariable entries[kVariableCount];
};

// True when both terminated texts are equal without regard to case (FoldTextCase); false when
// either is missing.
bool EqualIgnoringCase(const char16_t* a, const char16_t* b);

// The variable text whose description equals `description` without regard to case, or null.
const char16_t* VariableForDescription(const VariableTexts& table, const char16_t* description);

// Appends the variable of `description` to `destination` (a terminated text), cut so that it
// stays terminated within its 128 units. True when a variable was found; a description that
// matches none appends nothing.
bool InsertVariableText(char16_t (&destination)[kWatermarkNameCapacity],
                        const char16_t* description, const VariableTexts& table);

// The Add button. With only a caret (start equals end) the variable goes to the end of the whole
// text, wherever the caret stands: `text` is the edit's text (cut to 127 characters) with the
// variable appended, cut to 127 characters, for the whole edit. With a selection, `text` is the
// variable alone, to replace the selected characters (EM_REPLACESEL).
struct AddedVariable {
    bool replaceSelection;
    char16_t text[kWatermarkNameCapacity];
};
AddedVariable AddVariable(const char16_t* editText, uint32_t selectionStart, uint32_t selectionEnd,
                          const char16_t* description, const VariableTexts& table);

// --- Edit-selection and remove dialogs -----------------------------------------------------------

// The remove dialog deletes a selected item only when its text is shorter than 128 characters:
// a longer name cannot be read into a 128-unit name and is skipped without a word.
inline bool RemovableItem(size_t textLength) {
    return textLength < kWatermarkNameCapacity;
}

// The edit-selection dialog's OK: copies the selected item's text into `name` when it is 1 to 127
// characters long and returns true; otherwise `name` keeps what it held. A missing text (no
// selection) changes nothing.
bool TakeSelectedName(const char16_t* itemText, char16_t (&name)[kWatermarkNameCapacity]);

// The remove dialog deletes only after the user said Yes to a question they could read: a
// confirmation text that could not be loaded (or is blank) means nothing is asked and nothing
// is deleted.
bool RemoveQuestionReadable(const char16_t* question);

} // namespace cv
