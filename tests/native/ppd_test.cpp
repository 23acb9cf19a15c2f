// The stand-in host's PPD reader: the printer models every Windows test builds its printers from,
// and the vendor files it takes, with the warning it gives for each defect it reads past; and the
// printer names the host makes from a model's nickname.
#include "host/demo_ppd.h"
#include "host/ppd.h"
#include "host/printer_name.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using cvhost::ParsePpd;
using cvhost::PpdFeature;
using cvhost::PpdSource;
using cvhost::PrinterModel;

namespace {

using Lines = std::vector<std::string>;

std::string Ppd(const std::string& body) {
    return "*PPD-Adobe: \"4.3\"\n*NickName: \"Test Model\"\n" + body;
}

// A feature block as vendors write it: `keyword` with its options, the first the default.
std::string Block(const std::string& keyword, const std::string& options) {
    std::string block = "*OpenUI *" + keyword + ": PickOne\n";
    for (size_t start = 0; start < options.size();) {
        const size_t comma = options.find(',', start);
        block += "*" + keyword + " " + options.substr(start, comma - start) + ": \"\"\n";
        start = comma == std::string::npos ? options.size() : comma + 1;
    }
    return block + "*CloseUI: *" + keyword + "\n";
}

struct Parsed {
    bool ok = false;
    PrinterModel model;
    std::string error;
    Lines warnings;
};

// Parses `text` as "m.ppd"; *Include reads from `files` by name.
Parsed Parse(const std::string& text, const std::map<std::string, std::string>& files = {}) {
    PpdSource source;
    source.text = text;
    source.path = "m.ppd";
    source.readInclude = [&files](const std::string& name, const std::string&, std::string* path,
                                  std::string* content, std::string* problem) {
        *path = name;
        auto it = files.find(name);
        if (it == files.end()) {
            *problem = name + " does not exist";
            return false;
        }
        *content = it->second;
        return true;
    };
    Parsed p;
    p.ok = ParsePpd(source, &p.model, &p.error, &p.warnings);
    return p;
}

// "x,y": the keywords of a feature's options or of a model's features.
template <typename Items> std::string Keywords(const Items& items) {
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : ",") + item.keyword;
    return out;
}

TEST(Ppd, DemoModelHasEveryFeatureThePlugInAsksAbout) {
    const Parsed demo = Parse(cvhost::kDemoPpd);
    ASSERT_TRUE(demo.ok) << demo.error;
    for (const char* keyword :
         {"FaxCard", "HasPrintandHold", "HasNewPin", "HasKeepPreviousPHJobs",
          "HasManualColorCorrection", "HasNewPrintQuality", "HasManualDuplex", "OutputOrder"}) {
        const PpdFeature* f = demo.model.FindFeature(keyword);
        ASSERT_NE(f, nullptr) << keyword;
        EXPECT_NE(f->FindOption(f->defaultOption), nullptr) << keyword;
    }
    EXPECT_EQ(demo.model.FindFeature("FaxCard")->defaultOption, "True");
}

TEST(Ppd, ReadsFeaturesOptionsDefaultsAndGroups) {
    const std::string text =
        "*PPD-Adobe: \"4.3\"\r\n"
        "*% a comment: with a colon\r\n"
        "*DefaultDuplex: DuplexTumble\r\n" // defaults may come before their feature
        "*NickName: \"Model \xE9t\xE9\"\r\n"
        "*ImageableArea Letter/Letter: \"18 18 594 774\"\r\n" // option entries outside *OpenUI
        "*OpenGroup: General/General\r\n"
        "*OpenUI *Duplex/2-Sided: PickOne\r\n"
        "*OrderDependency: 50 AnySetup *Duplex\r"
        "*Duplex None/Off: \"<</Duplex false>>\r\nsetpagedevice\"\r\n" // value over two lines
        "*End\r\n"
        "*Duplex DuplexTumble: \"\"\r\n"
        "*CloseUI: *Duplex\r\n"
        "*CloseGroup: General\r\n"
        "*OpenGroup: InstallableOptions/Options Installed\n"
        "*OpenUI *Tray3/Tray<3A> 3: Boolean\n"
        "*DefaultTray3: False/Not Installed\n" // the default's translation is read past
        "*Tray3 True/<E9 74 E9>: \"\"\n"
        "*Tray3 False/Light(<3C>75 g) <3G> a<b <>: \"\"\n" // broken hex stays as written
        "*CloseUI: *Tray3\n"
        "*CloseGroup: InstallableOptions\n"
        "*JCLOpenUI *JCLHold/Hold: Boolean\n"
        "*JCLHold True/Yes: \"\"\n"
        "*JCLHold False/No: \"\"\n"
        "*JCLCloseUI: *JCLHold\n";
    const Parsed p = Parse(text);
    ASSERT_TRUE(p.ok) << p.error;
    const PrinterModel& model = p.model;
    // Each feature as "keyword/text type [group] default: option/text ...".
    std::string read = model.nickName + "\n";
    for (const PpdFeature& f : model.features) {
        read += f.keyword + "/" + f.text + " " + f.uiType + " [" + f.group +
                (f.IsInstallable() ? ", installable] " : "] ") + f.defaultOption + ":";
        for (const auto& o : f.options)
            read += " " + o.keyword + "/" + o.text;
        read += "\n";
    }
    EXPECT_EQ(read,
              "Model \xE9t\xE9\n"
              "Duplex/2-Sided PickOne [General] DuplexTumble: None/Off DuplexTumble/DuplexTumble\n"
              "Tray3/Tray: 3 Boolean [InstallableOptions, installable] False: True/\xE9t\xE9 "
              "False/Light(<75 g) <3G> a<b <>\n"
              "JCLHold/Hold Boolean [] True: True/Yes False/No\n");
    EXPECT_EQ(cvhost::Latin1ToUtf16(model.nickName), u"Model \u00e9t\u00e9");
    EXPECT_EQ(model.FindFeature("duplex"), nullptr) << "keywords are case-sensitive";
    const PpdFeature* hold = model.FindFeature("JCLHold");
    ASSERT_EQ(hold, &model.features[2]);
    EXPECT_EQ(hold->FindOption("False"), &hold->options[1]);
    EXPECT_EQ(hold->FindOption("false"), nullptr);
}

// Defects vendors ship and printing systems read past: the host takes the file, says what it
// read past in one line each (in file order), and builds the model as stated.
TEST(Ppd, DefectsVendorsShipAreReadPastWithAWarning) {
    const struct {
        const char* defaultOption;
        const char* options;
        std::string body; // from line 3
        Lines warnings;
    } cases[] = {
        // clang-format off
        {"x", "x,y",
         "*OpenUI *A: PickOne\n*DefaultA: Unknown\n*A x: \"\"\n*A y: \"\"\n*CloseUI: *A\n",
         {"m.ppd: line 4: *DefaultA: Unknown is not an option of *A; the first option, x, is "
          "the default"}},
        {"y", "x,y", "* DefaultA: y\n" + Block("A", "x,y"),
         {"m.ppd: line 3: space after '*' in \"* DefaultA\": read as *DefaultA"}},
        {"x", "x", "*OpenUI * A/Text: PickOne\n*A x: \"\"\n*CloseUI: *\tA\n",
         {"m.ppd: line 3: space after '*' in \"* A\": read as *A",
          "m.ppd: line 5: space after '*' in \"*\tA\": read as *A"}},
        {"y", "x,y", Block("A", "x,y") + "*DefaultA: y\n" + Block("A", "z"),
         {"m.ppd: line 8: *OpenUI *A again (first on line 3): this one is skipped"}},
        {"x", "x,y",
         "*OpenUI *A: PickOne\n*A x: \"\"\n*A y: \"\"\n*A x/Again: \"\"\n*CloseUI: *A\n",
         {"m.ppd: line 6: repeated option x of *A: the first one stays"}},
        {"y", "x,y", "*DefaultA: y\n" + Block("A", "x,y") + "*DefaultA: x\n*DefaultA: y\n",
         {"m.ppd: line 8: repeated *DefaultA: the first one (y, line 3) stays"}},
        {"x", "x", "*NickName: \"Test Model\"\n*NickName: \"Other\"\n" + Block("A", "x"),
         {"m.ppd: line 4: repeated *NickName: the first one stays (\"Test Model\")"}},
        {"x", "x", "*OpenUI *A: PickOne\n*A x: \"\"\n" + Block("B", "y") + "*CloseUI: *A\n",
         {"m.ppd: line 5: *OpenUI *B inside *OpenUI *A (opened on line 3): *A ends here"}},
        {"x", "x,y", "*DefaultA: x\n*OpenUI *A: PickOne\n*A x: \"\"\n*A y: \"\"\n",
         {"m.ppd: line 4: *OpenUI *A has no *CloseUI: it ends with the file"}},
        // A warning found at the end of the file still comes in file order.
        {"x", "x", "*DefaultA: Unknown\n* Product: \"(x)\"\n" + Block("A", "x"),
         {"m.ppd: line 3: *DefaultA: Unknown is not an option of *A; the first option, x, is "
          "the default",
          "m.ppd: line 4: space after '*' in \"* Product\": read as *Product"}},
        // A translation with a ':' of its own: the quoted value still runs to its closing quote.
        {"x", "x", "*OpenUI *A: PickOne\n*A x/Temp: (Disk): \"\n  code\n\"\n*CloseUI: *A\n", {}},
        // Repeats that agree, and defaults of no feature of the model, need no warning.
        {"y", "x,y", "*NickName: \"Test Model\"\n*DefaultA: y\n" + Block("A", "x,y") +
                         "*DefaultA: y\n*DefaultColorSpace: CMYK\n*DefaultColorSpace: RGB\n", {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(Ppd(c.body));
        ASSERT_TRUE(p.ok) << p.error << "\n" << c.body;
        EXPECT_EQ(p.warnings, c.warnings) << c.body;
        const PpdFeature* f = p.model.FindFeature("A");
        ASSERT_NE(f, nullptr) << c.body;
        EXPECT_EQ(f->defaultOption, c.defaultOption) << c.body;
        EXPECT_EQ(Keywords(f->options), c.options) << c.body;
        EXPECT_EQ(p.model.nickName, "Test Model") << c.body;
    }
}

TEST(Ppd, MalformedFilesAreRefusedWithFileLineAndWhat) {
    const std::string includeC = Ppd("*Include: \"c.ppd\"\n");
    const struct {
        std::string text;
        std::string error;
        std::map<std::string, std::string> files = {};
    } cases[] = {
        {"", "m.ppd: not a PPD file (it is empty)"},
        {"Hello, printer\n", "m.ppd: not a PPD file (it does not start with *PPD-Adobe)"},
        {"*PPD-Adobe: \"4.3\"\n*ModelName: \"X\"\n", "m.ppd: the file has no *NickName"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: *B\n"),
         "m.ppd: line 5: *CloseUI *B closes *OpenUI *A"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: A\n"),
         "m.ppd: line 5: *CloseUI A closes *OpenUI *A"},
        {Ppd("*CloseUI: *A\n"), "m.ppd: line 3: *CloseUI *A without *OpenUI"},
        {Ppd("*OpenUI *A: PickOne\n*CloseUI: *A\n"), "m.ppd: line 4: feature *A has no options"},
        {Ppd("*OpenUI *A: PickOne\n*OpenUI *B: PickOne\n"),
         "m.ppd: line 4: feature *A has no options"},
        {Ppd("*OpenUI *A: PickOne\n"), "m.ppd: line 3: feature *A has no options"},
        {Ppd("*OpenUI *A: Slider\n"), "m.ppd: line 3: *OpenUI *A has unknown type \"Slider\""},
        {Ppd("*OpenUI A: PickOne\n"), "m.ppd: line 3: *OpenUI needs a *Keyword"},
        {Ppd("*OpenUI * : PickOne\n"), "m.ppd: line 3: *OpenUI needs a *Keyword"},
        {Ppd("*Product: \"(never closed)\n\n"), "m.ppd: line 3: quoted value is never closed"},
        {Ppd("stray words\n"), "m.ppd: line 3: text outside a quoted value"},
        {Ppd("*NoColonHere\n"), "m.ppd: line 3: entry without ':'"},
        {Ppd("* : value\n"), "m.ppd: line 3: entry without a keyword before ':'"},
        {Ppd("*Include: \"\"\n"), "m.ppd: line 3: *Include names no file"},
        {Ppd("*Include: \"gone.ppd\"\n"),
         "m.ppd: line 3: *Include \"gone.ppd\": gone.ppd does not exist"},
        // In an included file: named with its own file and line.
        {includeC,
         "c.ppd: line 3: *CloseUI *B closes *OpenUI *A",
         {{"c.ppd", "*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: *B\n"}}},
        {includeC,
         "c.ppd: line 1: *Include \"m.ppd\": m.ppd is already being read",
         {{"c.ppd", "*Include: \"m.ppd\"\n"}, {"m.ppd", includeC}}},
        {includeC,
         "c.ppd: line 1: *Include \"e.ppd\": e.ppd does not exist",
         {{"c.ppd", "*Include: \"e.ppd\"\n"}}},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.text, c.files);
        EXPECT_FALSE(p.ok) << c.text;
        EXPECT_EQ(p.error, c.error);
    }
    PrinterModel model;
    model.nickName = "untouched";
    std::string error;
    EXPECT_FALSE(ParsePpd(includeC, &model, &error));
    EXPECT_EQ(error, "PPD: line 3: *Include \"c.ppd\": no folder to read it from");
    EXPECT_EQ(model.nickName, "untouched") << "a refused file leaves the model alone";
}

TEST(Ppd, IncludedFilesAreReadInPlaceAndNamedInTheirMessages) {
    const std::map<std::string, std::string> files = {
        {"c.ppd", "*OpenUI *A: PickOne\n*DefaultA: Unknown\n*A x: \"\"\n*CloseUI: *A\n"
                  "*Include: \"d.ppd\"\n"},
        {"d.ppd", Block("D", "d")},
    };
    const Parsed p =
        Parse(Ppd("*Include: \"c.ppd\"\n" + Block("B", "b") + "*Include: \"d.ppd\"\n"), files);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(Keywords(p.model.features), "A,D,B");
    EXPECT_EQ(p.model.includedFiles, (Lines{"c.ppd", "d.ppd"})) << "each file once";
    EXPECT_EQ(p.warnings,
              (Lines{"c.ppd: line 2: *DefaultA: Unknown is not an option of *A; the first option, "
                     "x, is the default",
                     "d.ppd: line 1: *OpenUI *D again (first on line 1): this one is skipped"}));
}

// Rules of Windows' printer names; the set-up tests make one printer through the spooler.
TEST(PrinterName, NicknamesWindowsWouldRefuseAreMadeValid) {
    const std::u16string longName(230, u'n'), a219(219, u'a');
    const struct {
        std::u16string nickName;
        std::u16string name;
    } cases[] = {
        {u"HP LaserJet 4050 PS", u"HP LaserJet 4050 PS"},
        {u"HP LaserJet 4050, 4100 PS", u"HP LaserJet 4050 4100 PS"},
        {u"Lexmark X,Y,", u"Lexmark X Y"},
        {u"Xerox Phaser\\Mono", u"Xerox Phaser/Mono"},
        {longName, longName.substr(0, 220)},
        {a219 + u" b", a219},
        {a219 + u"\U0001F5A8", a219},
        {a219.substr(1) + u"\U0001F5A8", a219.substr(1) + u"\U0001F5A8"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cvhost::ValidPrinterName(c.nickName), c.name) << c.nickName.size();
}

// Names quoted in messages are cut; file names in them are UTF-8, the PPD's text ISOLatin1.
TEST(PrinterName, MessagesCutLongNamesAndDecodeUtf8AndLatin1) {
    EXPECT_EQ(cvhost::CutForMessage(u"0123456789", 10), u"0123456789");
    EXPECT_EQ(cvhost::CutForMessage(u"0123456789A", 10), u"0123456...");
    EXPECT_EQ(cvhost::CutForMessage(u"012345\U0001F5A8xyz", 10), u"012345...");
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"C:\\Jos\xC3\xA9\\m.ppd: line 3: *Default\xE9t\xE9",
         u"C:\\Jos\u00e9\\m.ppd: line 3: *Default\u00e9t\u00e9"},
        {"\xE2\x82\xAC \xF0\x9F\x96\xA8", u"\u20ac \U0001F5A8"},
        {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xE2\x82",
         u"\u00c0\u00af \u00ed\u00a0\u0080 \u00f4\u0090\u0080\u0080 \u00e2\u0082"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cvhost::MessageToUtf16(c.bytes), c.text) << c.bytes;
}

} // namespace
