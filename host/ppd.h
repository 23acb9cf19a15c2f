// The printer model as the stand-in host reads it from a PPD file: the nickname and the UI
// features (*OpenUI ... *CloseUI) with their options and defaults. Portable (no platform
// headers) so that it is tested natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cvhost {

struct PpdOption {
    std::string keyword; // "True", "Letter"
    std::string text;    // translation string; the keyword when the PPD gives none
};

struct PpdFeature {
    std::string keyword;       // without the leading '*': "FaxCard"
    std::string text;          // translation string of the *OpenUI line
    std::string uiType;        // "PickOne", "PickMany" or "Boolean"
    std::string defaultOption; // from *Default<keyword>; the first option when the PPD has none
    std::vector<PpdOption> options;

    const PpdOption* FindOption(std::string_view optionKeyword) const;
};

struct PrinterModel {
    std::string nickName; // *NickName, as written (ISOLatin1 bytes)
    std::vector<PpdFeature> features;

    // Keywords are case-sensitive in PPD files, and so is this look-up.
    const PpdFeature* FindFeature(std::string_view keyword) const;
};

// Parses the text of a PPD file. On failure returns false and a one-line reason naming the line.
bool ParsePpd(std::string_view text, PrinterModel* model, std::string* error);

// PPD strings are ISOLatin1 unless the file says otherwise; each byte is one code point.
std::u16string Latin1ToUtf16(std::string_view text);

} // namespace cvhost
