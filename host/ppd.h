// The printer model as the stand-in host reads it from a PPD file: the nickname and the UI
// features (*OpenUI ... *CloseUI) with their options, defaults and groups. Portable (no platform
// headers) so that it is tested natively.
//
// The reader takes what vendors ship and printing systems accept: defects that leave the model
// clear are read past with a warning line; only what leaves it unclear is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cvhost {

// The group of a printer's installable options (the printer sheet's device items).
constexpr std::string_view kInstallableOptionsGroup = "InstallableOptions";

// Where each item of a vector sits by its `keyword`, found by hash: open addressing over small
// slots that keep each keyword's hash, the keywords staying in the items (a PPD may have a
// hundred thousand features; a probe touches an item only when the hashes agree).
template <typename Item> class KeywordIndex {
  public:
    const Item* Find(const std::vector<Item>& items, std::string_view keyword) const;
    // Takes in items[position], whose keyword is not in the index yet.
    void Add(const std::vector<Item>& items, size_t position);
    bool empty() const { return count_ == 0; }

  private:
    struct Slot {
        uint32_t position; // of the item, plus one; 0 for a free slot
        uint32_t hash;
    };
    void Place(Slot slot);

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

struct PpdOption {
    std::string keyword; // "True", "Letter"
    std::string text;    // translation string (hex substrings decoded); the keyword when none
};

struct PpdFeature {
    std::string keyword;       // without the leading '*': "FaxCard"
    std::string text;          // translation string of the *OpenUI line (hex decoded); may be empty
    std::string uiType;        // "PickOne", "PickMany" or "Boolean"
    std::string defaultOption; // from *Default<keyword> when it names an option, else the first
    std::string group;         // keyword of the *OpenGroup it sits in; empty outside any group
    std::vector<PpdOption> options; // in file order; add through AddOption

    bool IsInstallable() const { return group == kInstallableOptionsGroup; }
    // Hashed once a feature has a few options: some have thousands.
    const PpdOption* FindOption(std::string_view optionKeyword) const;
    // Appends the option; false (and nothing added) when its keyword is already taken.
    bool AddOption(PpdOption option);

  private:
    // Below this many options a look-up compares keywords; from here on it hashes.
    static constexpr size_t kIndexedOptions = 8;
    KeywordIndex<PpdOption> optionIndex_; // empty below kIndexedOptions
};

struct PrinterModel {
    std::string nickName;                   // *NickName, as written (ISOLatin1 bytes)
    std::vector<PpdFeature> features;       // in file order; add through AddFeature
    std::vector<std::string> includedFiles; // every file read through *Include, as named, once

    // Keywords are case-sensitive in PPD files, and so is this look-up (hashed).
    const PpdFeature* FindFeature(std::string_view keyword) const;
    // Appends the feature; nullptr (and nothing added) when its keyword is already taken.
    PpdFeature* AddFeature(PpdFeature feature);

  private:
    KeywordIndex<PpdFeature> featureIndex_;
};

// Reads a file that a PPD names with *Include: `name` as written there, `from` the name of the
// file that includes it (as the source or an earlier read named it). Fills `path` with the
// file's name for messages and look-ups (one file, one name) and `text`; on failure returns
// false with `problem`, a reason that names the file ("C:\m\common.ppd does not exist").
using PpdIncludeReader =
    std::function<bool(const std::string& name, const std::string& from, std::string* path,
                       std::string* text, std::string* problem)>;

struct PpdSource {
    std::string_view text;
    std::string path = "PPD";     // how messages name the file
    PpdIncludeReader readInclude; // empty: a PPD with *Include is refused
};

// The most *Include files nested in one another, and the most bytes a PPD and its included
// files may have together (a file may include another more than once).
constexpr int kMaxIncludeDepth = 8;
constexpr size_t kMaxIncludedBytes = size_t{64} << 20;

// Parses a PPD file and the files it includes. On success fills `model` and adds to `warnings`
// one line per defect read past, in file order ("<file>: line <n>: <what>"). On failure returns
// false with one line in `error` naming the file, the line where there is one, and what is
// wrong; `model` is then left alone.
bool ParsePpd(const PpdSource& source, PrinterModel* model, std::string* error,
              std::vector<std::string>* warnings);

// The same for PPD text in memory named "PPD", without *Include and without warnings.
bool ParsePpd(std::string_view text, PrinterModel* model, std::string* error);

// PPD strings are ISOLatin1 unless the file says otherwise; each byte is one code point.
std::u16string Latin1ToUtf16(std::string_view text);

// A message that mixes file names (UTF-8) with text from a PPD (ISOLatin1 bytes) as UTF-16: each
// well-formed UTF-8 sequence is one character, every other byte is ISOLatin1.
std::u16string MessageToUtf16(std::string_view text);

} // namespace cvhost
