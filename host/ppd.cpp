#include "host/ppd.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

namespace cvhost {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

std::string_view FirstToken(std::string_view value) {
    size_t n = 0;
    while (n < value.size() && !IsBlank(value[n]))
        ++n;
    return value.substr(0, n);
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Translation strings carry bytes they cannot hold literally (':', line breaks, accented
// letters) as hex substrings: "<3A>", "<E9 74 E9>". Anything that is not a complete substring
// stays as written. One pass: a failed substring resumes at the character that ended it.
std::string DecodeHex(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '<') {
            out.push_back(text[i++]);
            continue;
        }
        std::string bytes;
        int value = 0, digits = 0;
        size_t j = i + 1;
        for (; j < text.size(); ++j) {
            if (IsBlank(text[j])) continue;
            const int d = HexDigit(text[j]);
            if (d < 0) break;
            value = value * 16 + d;
            if (++digits == 2) {
                bytes.push_back(static_cast<char>(value));
                value = digits = 0;
            }
        }
        if (j < text.size() && text[j] == '>' && digits == 0 && !bytes.empty()) {
            out += bytes;
            i = j + 1;
        } else {
            out.append(text.substr(i, j - i));
            i = j;
        }
    }
    return out;
}

// One "*Main Option/Translation: Value" entry.
struct Entry {
    std::string_view main;
    std::string_view option;
    std::string_view translation;
    std::string_view value;      // trimmed; a quoted value keeps its quotes (first line only)
    std::string_view spacedMain; // "* Main" as written when a space follows the asterisk
};

enum class Shape { Entry, NoColon, NoKeyword };

// `line` is trimmed and starts with '*'.
Shape SplitEntry(std::string_view line, Entry* e) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return Shape::NoColon;
    std::string_view head = line.substr(1, colon - 1);
    e->value = Trim(line.substr(colon + 1));
    const std::string_view unspaced = TrimLeft(head);
    const size_t spaces = head.size() - unspaced.size();
    head = unspaced;
    size_t end = 0;
    while (end < head.size() && !IsBlank(head[end]))
        ++end;
    e->main = head.substr(0, end);
    e->spacedMain = spaces ? line.substr(0, 1 + spaces + end) : std::string_view();
    const std::string_view rest = Trim(head.substr(end));
    const size_t slash = rest.find('/');
    e->option = Trim(rest.substr(0, slash));
    e->translation =
        slash == std::string_view::npos ? std::string_view() : Trim(rest.substr(slash + 1));
    return e->main.empty() ? Shape::NoKeyword : Shape::Entry;
}

// A feature named as *OpenUI and *CloseUI name it: "*Keyword". Vendors also write
// "* Keyword", which is read past. False when there is no asterisk or no keyword.
bool FeatureName(std::string_view text, std::string_view* keyword, std::string_view* spaced) {
    if (text.empty() || text.front() != '*') return false;
    const std::string_view rest = TrimLeft(text.substr(1));
    const size_t spaces = text.size() - 1 - rest.size();
    *keyword = FirstToken(rest);
    *spaced = spaces ? text.substr(0, 1 + spaces + keyword->size()) : std::string_view();
    return !keyword->empty();
}

// Where something is: the file (an index into the parser's names), the line in it, and the
// order in which the parser met it (warnings are reported in that order).
struct Position {
    size_t file = 0;
    size_t line = 0;
    uint64_t order = 0;
};

class Parser {
  public:
    explicit Parser(const PpdSource& source) : source_(source) {}

    bool Run(PrinterModel* model, std::string* error, std::vector<std::string>* warnings) {
        names_.push_back(source_.path);
        // Room for the features up front: a model of 100,000 features is tens of megabytes,
        // and growing it step by step copies it and touches fresh memory each time. A feature
        // block takes more than 64 bytes, which bounds what a file can make the reader reserve.
        const std::string_view text = source_.text;
        size_t opens = 0;
        for (size_t at = text.find("OpenUI"); at != std::string_view::npos;
             at = text.find("OpenUI", at + 6))
            opens += at > 0 && text[at - 1] == '*';
        opens = std::min(opens, text.size() / 64);
        model_.features.reserve(opens);
        states_.reserve(opens);
        bool ok = ReadFile(source_.text, 0, 0);
        if (ok && !sawHeader_) ok = FailFile("not a PPD file (it is empty)");
        ok = ok && Finish();
        if (!ok) {
            if (error) *error = error_;
            return false;
        }
        std::stable_sort(warnings_.begin(), warnings_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (warnings)
            for (auto& w : warnings_)
                warnings->push_back(std::move(w.second));
        if (model) *model = std::move(model_);
        return true;
    }

  private:
    std::string At(const Position& at) const {
        return names_[at.file] + ": line " + std::to_string(at.line) + ": ";
    }
    // "line 3" in the same file as `from`, else "c.ppd, line 3".
    std::string Where(const Position& at, const Position& from) const {
        return (names_[at.file] == names_[from.file] ? std::string() : names_[at.file] + ", ") +
               "line " + std::to_string(at.line);
    }
    bool Fail(const Position& at, const std::string& what) {
        error_ = At(at) + what;
        return false;
    }
    bool FailFile(const std::string& what) {
        error_ = names_[0] + ": " + what;
        return false;
    }
    void Warn(const Position& at, const std::string& what) {
        warnings_.emplace_back(at.order, At(at) + what);
    }
    void WarnSpaced(const Position& at, std::string_view spaced, std::string_view keyword) {
        Warn(at, "space after '*' in \"" + std::string(spaced) + "\": read as *" +
                     std::string(keyword));
    }

    bool ReadFile(std::string_view text, size_t file, int depth) {
        if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
        reading_.push_back(file);
        size_t pos = 0, lineNo = 0;
        // Splits on LF, CR LF or a lone CR.
        auto nextLine = [&](std::string_view* line) {
            if (pos >= text.size()) return false;
            size_t end = pos;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r')
                ++end;
            *line = text.substr(pos, end - pos);
            pos = end;
            if (pos < text.size())
                pos += text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
            ++lineNo;
            ++order_;
            return true;
        };
        std::string_view raw;
        while (nextLine(&raw)) {
            const Position at{file, lineNo, order_};
            const std::string_view line = Trim(raw);
            if (line.empty() || StartsWith(line, "*%")) continue;
            if (file == 0 && !sawHeader_) {
                if (!StartsWith(line, "*PPD-Adobe:"))
                    return FailFile("not a PPD file (it does not start with *PPD-Adobe)");
                sawHeader_ = true;
                continue;
            }
            if (line.front() != '*') return Fail(at, "text outside a quoted value");
            if (line == "*End") continue;
            Entry e;
            const Shape shape = SplitEntry(line, &e);
            if (shape == Shape::NoColon) return Fail(at, "entry without ':'");
            if (shape == Shape::NoKeyword) return Fail(at, "entry without a keyword before ':'");
            if (!e.spacedMain.empty()) WarnSpaced(at, e.spacedMain, e.main);
            // A quoted value may run over several lines; the entry is handled once it is
            // complete. As printing systems do, an odd number of quotes after the colon opens
            // one, wherever it starts (a translation with a ':' of its own moves the start).
            if (std::count(e.value.begin(), e.value.end(), '"') % 2 == 1) {
                bool closed = false;
                std::string_view more;
                while (!closed && nextLine(&more))
                    closed = more.find('"') != std::string_view::npos;
                if (!closed) return Fail(at, "quoted value is never closed");
            }
            if (!Handle(e, at, depth)) return false;
        }
        reading_.pop_back();
        return true;
    }

    bool Handle(const Entry& e, const Position& at, int depth) {
        if (e.main == "NickName") {
            std::string nickName = Unquote(e.value);
            if (!sawNickName_) {
                model_.nickName = std::move(nickName);
                sawNickName_ = true;
            } else if (nickName != model_.nickName) {
                Warn(at, "repeated *NickName: the first one stays (\"" + model_.nickName + "\")");
            }
            return true;
        }
        if (e.main == "Include") return Include(e, at, depth);
        if (e.main == "OpenGroup") {
            const std::string_view name = FirstToken(e.value);
            group_ = std::string(name.substr(0, name.find('/')));
            return true;
        }
        if (e.main == "CloseGroup") {
            group_.clear();
            return true;
        }
        if (e.main == "OpenUI" || e.main == "JCLOpenUI") return OpenUI(e, at);
        if (e.main == "CloseUI" || e.main == "JCLCloseUI") return CloseUI(e, at);
        if (StartsWith(e.main, "Default") && e.main.size() > 7 && e.option.empty()) {
            // The value is an option keyword; some vendors add its translation ("A4/A4").
            const std::string_view token = FirstToken(e.value);
            DefaultSite site{std::string(token.substr(0, token.find('/'))), at};
            const std::string_view feature = e.main.substr(7);
            // Most sit in their feature's block: kept with it, without a look-up.
            if (open_.active && !open_.skipped && feature == open_.keyword) {
                FeatureState& state = states_[open_.index];
                if (!state.inBlockDefault.at.line)
                    state.inBlockDefault = std::move(site);
                else
                    laterDefaults_.emplace_back(std::string(feature), std::move(site));
                return true;
            }
            auto [it, added] = outsideDefaults_.try_emplace(std::string(feature), site);
            if (!added) laterDefaults_.emplace_back(std::string(feature), std::move(site));
            return true;
        }
        if (open_.active && !open_.skipped && e.main == open_.keyword && !e.option.empty()) {
            PpdFeature& f = model_.features[open_.index];
            std::string keyword(e.option);
            std::string text = e.translation.empty() ? keyword : DecodeHex(e.translation);
            if (!f.AddOption(PpdOption{std::move(keyword), std::move(text)}))
                Warn(at, "repeated option " + std::string(e.option) + " of *" + open_.keyword +
                             ": the first one stays");
        }
        return true; // every other entry is of no interest to the host
    }

    bool Include(const Entry& e, const Position& at, int depth) {
        const std::string name = Unquote(e.value);
        const std::string named = "*Include \"" + name + "\": ";
        if (name.empty()) return Fail(at, "*Include names no file");
        if (!source_.readInclude) return Fail(at, named + "no folder to read it from");
        if (depth >= kMaxIncludeDepth)
            return Fail(at, named + "more than " + std::to_string(kMaxIncludeDepth) +
                                " *Include files inside one another");
        std::string path, text, problem;
        if (!source_.readInclude(name, names_[at.file], &path, &text, &problem))
            return Fail(at, named + problem);
        for (size_t file : reading_)
            if (names_[file] == path) return Fail(at, named + path + " is already being read");
        includedBytes_ += text.size();
        if (includedBytes_ > kMaxIncludedBytes)
            return Fail(at, named + "the included files are over " +
                                std::to_string(kMaxIncludedBytes >> 20) + " MB together");
        if (std::find(model_.includedFiles.begin(), model_.includedFiles.end(), path) ==
            model_.includedFiles.end())
            model_.includedFiles.push_back(path);
        names_.push_back(path);
        return ReadFile(text, names_.size() - 1, depth + 1);
    }

    bool OpenUI(const Entry& e, const Position& at) {
        std::string_view keyword, spaced;
        if (!FeatureName(e.option, &keyword, &spaced)) return Fail(at, "*OpenUI needs a *Keyword");
        if (!spaced.empty()) WarnSpaced(at, spaced, keyword);
        const std::string_view type = FirstToken(e.value);
        if (type != "PickOne" && type != "PickMany" && type != "Boolean")
            return Fail(at, "*OpenUI *" + std::string(keyword) + " has unknown type \"" +
                                std::string(type) + "\"");
        if (open_.active) {
            // Printing systems end the open feature here; so does the host.
            Warn(at, "*OpenUI *" + std::string(keyword) + " inside *OpenUI *" + open_.keyword +
                         " (opened on " + Where(open_.at, at) + "): *" + open_.keyword +
                         " ends here");
            endedEarly_.insert(open_.keyword);
            if (!EndOpen(at)) return false;
        }
        open_ = OpenFeature{true, false, std::string(keyword), 0, at};
        PpdFeature feature;
        feature.keyword = open_.keyword;
        feature.text = DecodeHex(e.translation);
        feature.uiType = std::string(type);
        feature.group = group_;
        if (!model_.AddFeature(std::move(feature))) {
            open_.skipped = true;
            const PpdFeature* first = model_.FindFeature(keyword);
            Warn(at, "*OpenUI *" + open_.keyword + " again (first on " +
                         Where(states_[first - model_.features.data()].opened, at) +
                         "): this one is skipped");
            return true;
        }
        open_.index = model_.features.size() - 1;
        states_.push_back(FeatureState{at, {}});
        return true;
    }

    bool CloseUI(const Entry& e, const Position& at) {
        std::string_view keyword, spaced;
        const bool named = FeatureName(e.value, &keyword, &spaced);
        if (named && !spaced.empty()) WarnSpaced(at, spaced, keyword);
        const std::string closes =
            named ? "*" + std::string(keyword) : std::string(FirstToken(e.value));
        if (!open_.active) {
            // Its feature already ended where another *OpenUI began (said there).
            if (named && endedEarly_.count(std::string(keyword))) return true;
            return Fail(at, "*CloseUI " + closes + " without *OpenUI");
        }
        if (!named || keyword != open_.keyword)
            return Fail(at, "*CloseUI " + closes + " closes *OpenUI *" + open_.keyword);
        return EndOpen(at);
    }

    // Ends the open feature at `at` (its *CloseUI, or where it ends without one).
    bool EndOpen(const Position& at) {
        open_.active = false;
        if (!open_.skipped && model_.features[open_.index].options.empty())
            return Fail(at, "feature *" + open_.keyword + " has no options");
        return true;
    }

    bool Finish() {
        if (open_.active) {
            Warn(open_.at, "*OpenUI *" + open_.keyword + " has no *CloseUI: it ends with the file");
            if (!EndOpen(open_.at)) return false;
        }
        if (!sawNickName_ || model_.nickName.empty()) return FailFile("the file has no *NickName");
        // The first *Default of a feature wins, in its block or outside.
        std::vector<const DefaultSite*> winners(model_.features.size(), nullptr);
        for (size_t i = 0; i < model_.features.size(); ++i) {
            PpdFeature& f = model_.features[i];
            f.defaultOption = f.options.front().keyword;
            const DefaultSite* first =
                states_[i].inBlockDefault.at.line ? &states_[i].inBlockDefault : nullptr;
            auto outside = outsideDefaults_.find(f.keyword);
            const DefaultSite* other =
                outside == outsideDefaults_.end() ? nullptr : &outside->second;
            if (first && other && other->at.order < first->at.order) std::swap(first, other);
            if (!first) std::swap(first, other);
            if (!first) continue;
            winners[i] = first;
            if (other) CheckRepeat(f.keyword, *first, *other);
            if (f.FindOption(first->option))
                f.defaultOption = first->option;
            else
                Warn(first->at, "*Default" + f.keyword + ": " + first->option +
                                    " is not an option of *" + f.keyword + "; the first option, " +
                                    f.defaultOption + ", is the default");
        }
        for (const auto& [keyword, site] : laterDefaults_) {
            const PpdFeature* f = model_.FindFeature(keyword);
            if (!f) continue; // not a feature: of no interest
            if (const DefaultSite* first = winners[f - model_.features.data()])
                CheckRepeat(keyword, *first, site);
        }
        return true;
    }

    struct OpenFeature {
        bool active = false;
        bool skipped = false; // a repeated *OpenUI: its entries are read past
        std::string keyword;
        size_t index = 0; // into model_.features
        Position at;
    };
    struct DefaultSite {
        std::string option;
        Position at; // line 0: none
    };
    // What the parser keeps of each feature of the model beside the model itself.
    struct FeatureState {
        Position opened;
        DefaultSite inBlockDefault; // the first *Default between its *OpenUI and *CloseUI
    };

    void CheckRepeat(const std::string& keyword, const DefaultSite& first,
                     const DefaultSite& later) {
        if (later.option != first.option)
            Warn(later.at, "repeated *Default" + keyword + ": the first one (" + first.option +
                               ", " + Where(first.at, later.at) + ") stays");
    }

    const PpdSource& source_;
    PrinterModel model_;
    std::vector<std::string> names_;   // every file read, by Position::file
    std::vector<size_t> reading_;      // the files being read, the innermost last
    std::vector<FeatureState> states_; // by feature of the model
    size_t includedBytes_ = 0;
    uint64_t order_ = 0;
    bool sawHeader_ = false;
    bool sawNickName_ = false;
    std::string group_;
    OpenFeature open_;
    std::unordered_set<std::string> endedEarly_;
    // The first *Default<keyword> outside the keyword's block, and every later one.
    std::unordered_map<std::string, DefaultSite> outsideDefaults_;
    std::vector<std::pair<std::string, DefaultSite>> laterDefaults_;
    std::string error_;
    std::vector<std::pair<uint64_t, std::string>> warnings_;
};

} // namespace

namespace {

uint32_t KeywordHash(std::string_view keyword) {
    return static_cast<uint32_t>(std::hash<std::string_view>()(keyword));
}

} // namespace

template <typename Item>
const Item* KeywordIndex<Item>::Find(const std::vector<Item>& items,
                                     std::string_view keyword) const {
    if (slots_.empty()) return nullptr;
    const uint32_t hash = KeywordHash(keyword);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].position != 0; i = (i + 1) & mask) {
        if (slots_[i].hash != hash) continue;
        const Item& item = items[slots_[i].position - 1];
        if (item.keyword == keyword) return &item;
    }
    return nullptr;
}

template <typename Item>
void KeywordIndex<Item>::Add(const std::vector<Item>& items, size_t position) {
    // At most half the slots taken, so that probes stay short.
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old(std::max<size_t>(16, slots_.size() * 2), Slot{0, 0});
        old.swap(slots_);
        count_ = 0;
        for (const Slot& taken : old)
            if (taken.position) Place(taken);
    }
    Place(Slot{static_cast<uint32_t>(position + 1), KeywordHash(items[position].keyword)});
}

template <typename Item> void KeywordIndex<Item>::Place(Slot slot) {
    const size_t mask = slots_.size() - 1;
    size_t i = slot.hash & mask;
    while (slots_[i].position != 0)
        i = (i + 1) & mask;
    slots_[i] = slot;
    ++count_;
}

template class KeywordIndex<PpdOption>;
template class KeywordIndex<PpdFeature>;

const PpdOption* PpdFeature::FindOption(std::string_view optionKeyword) const {
    if (optionIndex_.empty()) {
        for (const PpdOption& o : options)
            if (o.keyword == optionKeyword) return &o;
        return nullptr;
    }
    return optionIndex_.Find(options, optionKeyword);
}

bool PpdFeature::AddOption(PpdOption option) {
    if (FindOption(option.keyword)) return false;
    options.push_back(std::move(option));
    if (options.size() == kIndexedOptions) {
        for (size_t i = 0; i < options.size(); ++i)
            optionIndex_.Add(options, i);
    } else if (options.size() > kIndexedOptions) {
        optionIndex_.Add(options, options.size() - 1);
    }
    return true;
}

const PpdFeature* PrinterModel::FindFeature(std::string_view keyword) const {
    return featureIndex_.Find(features, keyword);
}

PpdFeature* PrinterModel::AddFeature(PpdFeature feature) {
    if (featureIndex_.Find(features, feature.keyword)) return nullptr;
    features.push_back(std::move(feature));
    featureIndex_.Add(features, features.size() - 1);
    return &features.back();
}

bool ParsePpd(const PpdSource& source, PrinterModel* model, std::string* error,
              std::vector<std::string>* warnings) {
    return Parser(source).Run(model, error, warnings);
}

bool ParsePpd(std::string_view text, PrinterModel* model, std::string* error) {
    PpdSource source;
    source.text = text;
    return ParsePpd(source, model, error, nullptr);
}

std::u16string Latin1ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::u16string MessageToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned lead = byte(i);
        const size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                              : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xC2 && lead <= 0xDF ? 2
                                                             : 1;
        uint32_t cp = length == 4 ? lead & 0x07 : length == 3 ? lead & 0x0F : lead & 0x1F;
        bool valid = length > 1 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            valid = (byte(i + k) & 0xC0) == 0x80;
            cp = (cp << 6) | (byte(i + k) & 0x3F);
        }
        // No overlong forms, surrogates or code points past U+10FFFF.
        valid = valid && !(length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) &&
                !(length == 4 && (cp < 0x10000 || cp > 0x10FFFF));
        if (!valid) {
            out.push_back(static_cast<char16_t>(lead)); // ISOLatin1
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

} // namespace cvhost
