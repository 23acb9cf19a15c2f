#include "watermark/list_dialog_rules.h"
#include "ui/text_case.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <tuple>

using namespace cv;

namespace {

// The module's English string table, read from its resource script (numbered lines
// `    161, L"%Username%"`), so the table's numbers are checked against the texts they denote.
std::map<uint32_t, std::u16string> EnglishStrings() {
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\") + 1) + "../../src/resources/strings_en.rc";
    std::ifstream file(path);
    EXPECT_TRUE(file.good()) << path;
    std::map<uint32_t, std::u16string> strings;
    const std::regex line(R"re(^\s*(\d+),\s*L"(.*)"\s*$)re");
    for (std::string s; std::getline(file, s);) {
        std::smatch m;
        if (!std::regex_match(s, m, line)) continue;
        std::u16string text;
        const std::string quoted = m[2];
        for (size_t i = 0; i < quoted.size(); ++i) {
            text += char16_t(static_cast<unsigned char>(quoted[i]));
            if (quoted[i] == '"') ++i; // "" stands for one quotation mark
        }
        strings[uint32_t(std::stoul(m[1]))] = text;
    }
    return strings;
}

// The table's strings as the dialog loads them.
VariableTexts English() {
    static const std::map<uint32_t, std::u16string> strings = EnglishStrings();
    VariableTexts table{};
    for (size_t i = 0; i < kVariableCount; ++i) {
        auto variable = strings.find(VariableTable[i].variableId);
        auto description = strings.find(VariableTable[i].descriptionId);
        if (variable != strings.end())
            BoundedCopyText(table.entries[i].variable, variable->second.c_str());
        if (description != strings.end())
            BoundedCopyText(table.entries[i].description, description->second.c_str());
    }
    return table;
}

} // namespace

TEST(VariableText, DescriptionsMatchWithoutRegardToCase) {
    const std::tuple<const char16_t*, const char16_t*, bool> rows[] = {
        {u"Page number", u"PAGE NUMBER", true},
        {u"\x00C4rger \x00DE", u"\x00E4RGER \x00FE", true},     // Latin-1
        {u"\x00D7", u"\x00F7", false},                          // not a letter pair
        {u"\x0178", u"\x00FF", true},                           // Y with diaeresis
        {u"\x0141\x00F3z\x017B", u"\x0142\x00D3Z\x017C", true}, // Polish
        {u"\x0100\x0139\x014A", u"\x0101\x013A\x014B", true},   // Latin Extended-A
        {u"\x0130", u"i", false},                               // Turkish capital dotted I
        {u"\x0130", u"\x0131", false},
        {u"\x0399\x03A3\x0386\x038F", u"\x03B9\x03C2\x03AC\x03CE", true}, // Greek, final sigma
        {u"\x0414\x0410\x0422\x0410 \x0401", u"\x0434\x0430\x0442\x0430 \x0451", true}, // Cyrillic
        {u"\x00DF", u"SS", false},
        {u"Page", u"Page number", false}, // and the other way round, as every row
        {u"", u"", true},
    };
    for (const auto& [a, b, equal] : rows) {
        EXPECT_EQ(EqualIgnoringCase(a, b), equal) << int(a[0]);
        EXPECT_EQ(EqualIgnoringCase(b, a), equal) << int(a[0]);
    }
    EXPECT_FALSE(EqualIgnoringCase(nullptr, u""));
    EXPECT_FALSE(EqualIgnoringCase(u"", nullptr));
    EXPECT_EQ(FoldTextCase(u'Q'), u'q');
    for (char16_t c : {u'@', u'[', char16_t(0x03A2), char16_t(0x4E00)})
        EXPECT_EQ(FoldTextCase(c), c) << int(c);
}

// Each description of the table inserts its variable, without regard to case; what is inserted
// is cut to the field.
TEST(VariableText, InsertAppendsTheVariableOfEachDescriptionCutToTheField) {
    static const char16_t* const pairs[kVariableCount][2] = {
        {u"%Username%", u"User name"},           {u"%dateshort%", u"Date (short format)"},
        {u"%datelong%", u"Date (long format)"},  {u"%dateddmmyyyy%", u"Date (dd/mm/yyyy format)"},
        {u"%time%", u"Time (standard format)"},  {u"%timemil%", u"Time (military format)"},
        {u"%timehrmn%", u"Time (hh:mm format)"}, {u"%pagenumber%", u"Page number"},
        {u"%hostname%", u"Host/computer name"},  {u"%printer%", u"Printer name"},
        {u"%modelname%", u"Printer model name"}, {u"%%", u"Percent (%) symbol"},
    };
    const VariableTexts table = English();
    char16_t text[kWatermarkNameCapacity];
    for (const auto& pair : pairs) {
        BoundedCopyText(text, u"Page ");
        EXPECT_TRUE(InsertVariableText(text, pair[1], table));
        EXPECT_EQ(Text(text), u"Page " + std::u16string(pair[0]));
    }
    EXPECT_TRUE(InsertVariableText(text, u"page NUMBER", table));
    EXPECT_EQ(Text(text), u"Page %%%pagenumber%");
    EXPECT_FALSE(InsertVariableText(text, u"Page", table));
    EXPECT_FALSE(InsertVariableText(text, nullptr, table));
    EXPECT_EQ(Text(text), u"Page %%%pagenumber%");
    std::u16string full(125, u'x');
    BoundedCopyText(text, full.c_str());
    InsertVariableText(text, u"Host/computer name", table);
    EXPECT_EQ(Text(text), full + u"%h");

    for (char16_t& c : text)
        c = u'y'; // no terminator at all
    InsertVariableText(text, u"User name", table);
    EXPECT_EQ(Text(text), std::u16string(127, u'y'));

    // An entry whose strings could not be loaded offers nothing, not even for an empty text.
    VariableTexts broken = table;
    broken.entries[0].variable[0] = 0;
    text[0] = 0;
    EXPECT_FALSE(InsertVariableText(text, u"User name", broken));
    broken.entries[1].description[0] = 0;
    EXPECT_FALSE(InsertVariableText(text, u"", broken));
    EXPECT_EQ(Text(text), u"");
}

TEST(VariableText, AddGoesToTheEndOrReplacesTheSelection) {
    const VariableTexts table = English();
    const std::u16string text120(120, u't');
    // The edit's text and selection, the description chosen, and what is added.
    const std::tuple<const char16_t*, uint32_t, uint32_t, const char16_t*, bool, std::u16string>
        rows[] = {
            // Only a caret, in the middle of the text: the variable still goes to the end.
            {u"User: ", 3, 3, u"Page number", false, u"User: %pagenumber%"},
            {u"abcdef", 2, 4, u"Percent (%) symbol", true, u"%%"},
            {text120.c_str(), 0, 0, u"Page number", false, text120 + u"%pagenu"},
            {u"abc", 1, 1, u"No such variable", false, u"abc"},
            {u"abc", 0, 3, u"No such variable", true, u""},
            {nullptr, 0, 0, u"Time (standard format)", false, u"%time%"},
        };
    for (const auto& [text, start, end, description, replace, result] : rows) {
        const AddedVariable added = AddVariable(text, start, end, description, table);
        EXPECT_EQ(added.replaceSelection, replace) << start << "-" << end;
        EXPECT_EQ(Text(added.text), result) << start << "-" << end;
    }
}

TEST(WatermarkLists, SelectedNameAndRemovableItems) {
    const std::u16string n127(127, u'n'), n128(128, u'n');
    // A selection, and the name after taking it: an unusable selection leaves the name alone.
    const std::pair<const char16_t*, std::u16string> rows[] = {{u"Draft", u"Draft"},
                                                               {n127.c_str(), n127},
                                                               {n128.c_str(), u"Before"},
                                                               {u"", u"Before"},
                                                               {nullptr, u"Before"}};
    for (const auto& [selected, taken] : rows) {
        char16_t name[kWatermarkNameCapacity] = u"Before";
        EXPECT_EQ(TakeSelectedName(selected, name), taken != u"Before") << taken.size();
        EXPECT_EQ(Text(name), taken);
    }
    EXPECT_TRUE(RemovableItem(0) && RemovableItem(127));
    EXPECT_FALSE(RemovableItem(128));
    EXPECT_TRUE(RemoveQuestionReadable(u"Remove the selected watermark(s)?"));
    for (const char16_t* blank : {u"", u" \t", static_cast<const char16_t*>(nullptr)})
        EXPECT_FALSE(RemoveQuestionReadable(blank));
}
