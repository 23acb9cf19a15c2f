#include "host/ppd.h"

#include <map>

namespace cvhost {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

// Splits text into lines on LF, CR LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// One "*Main Option/Translation: Value" entry.
struct Entry {
    std::string_view main;
    std::string_view option;
    std::string_view translation;
    std::string_view value; // trimmed; a quoted value keeps its quotes (first line only)
};

bool SplitEntry(std::string_view line, Entry* e) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    std::string_view head = line.substr(1, colon - 1);
    e->value = Trim(line.substr(colon + 1));
    size_t space = 0;
    while (space < head.size() && !IsBlank(head[space]))
        ++space;
    e->main = head.substr(0, space);
    std::string_view rest = Trim(head.substr(space));
    const size_t slash = rest.find('/');
    e->option = Trim(rest.substr(0, slash));
    e->translation =
        slash == std::string_view::npos ? std::string_view() : Trim(rest.substr(slash + 1));
    return !e->main.empty();
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

std::string FirstToken(std::string_view value) {
    size_t n = 0;
    while (n < value.size() && !IsBlank(value[n]))
        ++n;
    return std::string(value.substr(0, n));
}

struct Parser {
    PrinterModel model;
    std::string error;
    std::map<std::string, std::pair<std::string, size_t>> defaults; // feature -> (option, line)
    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t openIndex = kNone; // the feature between *OpenUI and *CloseUI
    size_t openLine = 0;

    PpdFeature* Open() { return openIndex == kNone ? nullptr : &model.features[openIndex]; }

    bool Fail(size_t line, const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return false;
    }

    bool Handle(const Entry& e, size_t line) {
        if (e.main == "NickName") {
            if (model.nickName.empty()) model.nickName = Unquote(e.value);
            return true;
        }
        PpdFeature* open = Open();
        if (e.main == "OpenUI" || e.main == "JCLOpenUI") {
            if (open)
                return Fail(line, "*OpenUI inside *OpenUI *" + open->keyword + " (opened on line " +
                                      std::to_string(openLine) + ")");
            if (e.option.size() < 2 || e.option.front() != '*')
                return Fail(line, "*OpenUI needs a *Keyword");
            const std::string type = FirstToken(e.value);
            if (type != "PickOne" && type != "PickMany" && type != "Boolean")
                return Fail(line, "*OpenUI *" + std::string(e.option.substr(1)) +
                                      " has unknown type \"" + type + "\"");
            std::string keyword(e.option.substr(1));
            if (model.FindFeature(keyword))
                return Fail(line, "feature *" + keyword + " is opened twice");
            model.features.push_back(PpdFeature{keyword, std::string(e.translation), type, {}, {}});
            openIndex = model.features.size() - 1;
            openLine = line;
            return true;
        }
        if (e.main == "CloseUI" || e.main == "JCLCloseUI") {
            const std::string closes = FirstToken(e.value);
            if (!open) return Fail(line, "*CloseUI " + closes + " without *OpenUI");
            if (closes != "*" + open->keyword)
                return Fail(line, "*CloseUI " + closes + " closes *OpenUI *" + open->keyword);
            if (open->options.empty())
                return Fail(line, "feature *" + open->keyword + " has no options");
            openIndex = kNone;
            return true;
        }
        if (StartsWith(e.main, "Default") && e.main.size() > 7 && e.option.empty()) {
            defaults[std::string(e.main.substr(7))] = {FirstToken(e.value), line};
            return true;
        }
        if (open && e.main == open->keyword && !e.option.empty()) {
            if (open->FindOption(e.option))
                return Fail(line, "option " + std::string(e.option) + " of *" + open->keyword +
                                      " is given twice");
            std::string text(e.translation.empty() ? e.option : e.translation);
            open->options.push_back(PpdOption{std::string(e.option), text});
        }
        return true; // every other entry is of no interest to the host
    }

    bool Finish() {
        if (const PpdFeature* open = Open())
            return Fail(openLine, "*OpenUI *" + open->keyword + " has no *CloseUI");
        if (model.nickName.empty()) {
            error = "the file has no *NickName";
            return false;
        }
        for (PpdFeature& f : model.features) {
            auto it = defaults.find(f.keyword);
            if (it == defaults.end()) {
                f.defaultOption = f.options.front().keyword;
                continue;
            }
            if (!f.FindOption(it->second.first))
                return Fail(it->second.second, "*Default" + f.keyword + ": " + it->second.first +
                                                   " is not an option of *" + f.keyword);
            f.defaultOption = it->second.first;
        }
        return true;
    }
};

} // namespace

const PpdOption* PpdFeature::FindOption(std::string_view optionKeyword) const {
    for (const PpdOption& o : options)
        if (o.keyword == optionKeyword) return &o;
    return nullptr;
}

const PpdFeature* PrinterModel::FindFeature(std::string_view keyword) const {
    for (const PpdFeature& f : features)
        if (f.keyword == keyword) return &f;
    return nullptr;
}

bool ParsePpd(std::string_view text, PrinterModel* model, std::string* error) {
    if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
    const std::vector<std::string_view> lines = SplitLines(text);
    Parser p;
    bool sawHeader = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t lineNo = i + 1;
        const std::string_view line = Trim(lines[i]);
        if (line.empty() || StartsWith(line, "*%")) continue;
        if (!sawHeader) {
            if (!StartsWith(line, "*PPD-Adobe:")) {
                if (error) *error = "not a PPD file (it does not start with *PPD-Adobe)";
                return false;
            }
            sawHeader = true;
            continue;
        }
        if (line.front() != '*') {
            if (error) *error = "line " + std::to_string(lineNo) + ": text outside a quoted value";
            return false;
        }
        if (line == "*End") continue;
        Entry e;
        if (!SplitEntry(line, &e)) {
            if (error) *error = "line " + std::to_string(lineNo) + ": entry without ':'";
            return false;
        }
        // A quoted value may run over several lines; the entry is handled once it is complete.
        if (!e.value.empty() && e.value.front() == '"' &&
            (e.value.size() == 1 || e.value.find('"', 1) == std::string_view::npos)) {
            size_t j = i + 1;
            while (j < lines.size() && lines[j].find('"') == std::string_view::npos)
                ++j;
            if (j == lines.size()) {
                if (error)
                    *error = "line " + std::to_string(lineNo) + ": quoted value is never closed";
                return false;
            }
            i = j;
        }
        if (!p.Handle(e, lineNo)) {
            if (error) *error = p.error;
            return false;
        }
    }
    if (!sawHeader) {
        if (error) *error = "not a PPD file (it is empty)";
        return false;
    }
    if (!p.Finish()) {
        if (error) *error = p.error;
        return false;
    }
    if (model) *model = std::move(p.model);
    return true;
}

std::u16string Latin1ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

} // namespace cvhost
