#include "watermark/list_dialog_rules.h"

#include "ui/bounded_string.h"

namespace cv {

namespace {

bool InPairs(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last;
}

} // namespace

char16_t FoldCase(char16_t c) {
    if (c < 0x80) return InPairs(c, u'A', u'Z') ? char16_t(c + 0x20) : c;
    // Latin-1: the capitals from U+00C0 to U+00DE but the multiplication sign.
    if (InPairs(c, 0x00C0, 0x00DE) && c != 0x00D7) return char16_t(c + 0x20);
    if (c < 0x0100) return c;
    // Latin Extended-A: neighbouring pairs, capital first, with the i pair and the letters
    // without partners left alone.
    if (InPairs(c, 0x0100, 0x012F) || InPairs(c, 0x0132, 0x0137) || InPairs(c, 0x014A, 0x0177))
        return (c & 1) ? c : char16_t(c + 1);
    if (InPairs(c, 0x0139, 0x0148) || InPairs(c, 0x0179, 0x017E))
        return (c & 1) ? char16_t(c + 1) : c;
    if (c == 0x0178) return 0x00FF; // Y with diaeresis
    // Greek: the accented capitals, the capitals (U+03A2 is unassigned), and final sigma.
    if (c == 0x0386) return 0x03AC;
    if (InPairs(c, 0x0388, 0x038A)) return char16_t(c + 0x25);
    if (c == 0x038C) return 0x03CC;
    if (InPairs(c, 0x038E, 0x038F)) return char16_t(c + 0x3F);
    if (InPairs(c, 0x0391, 0x03A9) && c != 0x03A2) return char16_t(c + 0x20);
    if (c == 0x03C2) return 0x03C3;
    // Cyrillic: the capitals with their own letters, then the basic alphabet.
    if (InPairs(c, 0x0400, 0x040F)) return char16_t(c + 0x50);
    if (InPairs(c, 0x0410, 0x042F)) return char16_t(c + 0x20);
    return c;
}

bool EqualIgnoringCase(const char16_t* a, const char16_t* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b)
        if (FoldCase(*a) != FoldCase(*b)) return false;
    return *a == *b;
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
