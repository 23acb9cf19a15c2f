#include "watermark/list_dialog_rules.h"

#include "ui/bounded_string.h"
#include "ui/text_case.h"

namespace cv {

bool EqualIgnoringCase(const char16_t* a, const char16_t* b) {
    return EqualTextIgnoringCase(a, b);
}

const char16_t* VariableForDescription(const VariableTexts& table, const char16_t* description) {
    if (!description) return nullptr;
    for (const LoadedVariable& entry : table.entries) {
        // An entry whose strings could not be loaded offers nothing.
        if (!entry.variable[0] || !entry.description[0]) continue;
        if (EqualIgnoringCase(entry.description, description)) return entry.variable;
    }
    return nullptr;
}

bool InsertVariableText(char16_t (&destination)[kWatermarkNameCapacity],
                        const char16_t* description, const VariableTexts& table) {
    const char16_t* variable = VariableForDescription(table, description);
    if (!variable) return false;
    TerminateArray(destination);
    size_t length = BoundedLength(destination, kWatermarkNameCapacity);
    BoundedCopy(destination + length, kWatermarkNameCapacity - length, variable,
                kVariableTextCapacity);
    return true;
}

AddedVariable AddVariable(const char16_t* editText, uint32_t selectionStart, uint32_t selectionEnd,
                          const char16_t* description, const VariableTexts& table) {
    AddedVariable added{};
    added.replaceSelection = selectionStart != selectionEnd;
    if (!added.replaceSelection) BoundedCopyText(added.text, editText);
    InsertVariableText(added.text, description, table);
    return added;
}

bool TakeSelectedName(const char16_t* itemText, char16_t (&name)[kWatermarkNameCapacity]) {
    const size_t length = BoundedLength(itemText, kWatermarkNameCapacity);
    if (length == 0 || length >= kWatermarkNameCapacity) return false;
    BoundedCopyText(name, itemText);
    return true;
}

bool RemoveQuestionReadable(const char16_t* question) {
    return question && !IsBlankText(question); // an empty text counts as blank
}

} // namespace cv
