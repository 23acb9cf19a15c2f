// The stand-in host's PPD reader: the printer models every Windows test builds its printers from.
#include "host/demo_ppd.h"
#include "host/ppd.h"

#include <gtest/gtest.h>

#include <string>

using cvhost::ParsePpd;
using cvhost::PpdFeature;
using cvhost::PrinterModel;

namespace {

std::string Ppd(const std::string& body) {
    return "*PPD-Adobe: \"4.3\"\n*NickName: \"Test Model\"\n" + body;
}

TEST(Ppd, DemoModelHasEveryFeatureThePlugInAsksAbout) {
    PrinterModel model;
    std::string error;
    ASSERT_TRUE(ParsePpd(cvhost::kDemoPpd, &model, &error)) << error;
    EXPECT_EQ(model.nickName, "Corvane CV-9200 PS");
    for (const char* keyword :
         {"FaxCard", "HasPrintandHold", "HasNewPin", "HasKeepPreviousPHJobs",
          "HasManualColorCorrection", "HasNewPrintQuality", "HasManualDuplex", "OutputOrder"}) {
        const PpdFeature* f = model.FindFeature(keyword);
        ASSERT_NE(f, nullptr) << keyword;
        EXPECT_FALSE(f->options.empty()) << keyword;
        EXPECT_NE(f->FindOption(f->defaultOption), nullptr) << keyword;
    }
    EXPECT_EQ(model.FindFeature("FaxCard")->defaultOption, "True");
}

TEST(Ppd, ReadsFeaturesOptionsAndDefaults) {
    const std::string text =
        "*PPD-Adobe: \"4.3\"\r\n"
        "*% a comment: with a colon\r\n"
        "*DefaultDuplex: DuplexTumble\r\n" // defaults may come before their feature
        "*NickName: \"Model \xE9t\xE9\"\r\n"
        "*ImageableArea Letter/Letter: \"18 18 594 774\"\r\n" // option entries outside *OpenUI
        "*OpenUI *Duplex/2-Sided: PickOne\r\n"
        "*OrderDependency: 50 AnySetup *Duplex\r"
        "*Duplex None/Off: \"<</Duplex false>>\r\nsetpagedevice\"\r\n" // value over two lines
        "*End\r\n"
        "*Duplex DuplexTumble: \"\"\r\n"
        "*CloseUI: *Duplex\r\n"
        "*JCLOpenUI *JCLHold/Hold: Boolean\n"
        "*JCLHold True/Yes: \"\"\n"
        "*JCLHold False/No: \"\"\n"
        "*JCLCloseUI: *JCLHold\n";
    PrinterModel model;
    std::string error;
    ASSERT_TRUE(ParsePpd(text, &model, &error)) << error;
    EXPECT_EQ(model.nickName, "Model \xE9t\xE9");
    EXPECT_EQ(cvhost::Latin1ToUtf16(model.nickName), u"Model \u00e9t\u00e9");
    ASSERT_EQ(model.features.size(), 2u);
    const PpdFeature& duplex = model.features[0];
    EXPECT_EQ(duplex.keyword, "Duplex");
    EXPECT_EQ(duplex.text, "2-Sided");
    EXPECT_EQ(duplex.uiType, "PickOne");
    ASSERT_EQ(duplex.options.size(), 2u);
    EXPECT_EQ(duplex.options[0].keyword, "None");
    EXPECT_EQ(duplex.options[0].text, "Off");
    EXPECT_EQ(duplex.options[1].text, "DuplexTumble") << "no translation: the keyword";
    EXPECT_EQ(duplex.defaultOption, "DuplexTumble");
    EXPECT_EQ(model.features[1].defaultOption, "True") << "no *Default: the first option";
    EXPECT_EQ(model.FindFeature("duplex"), nullptr) << "keywords are case-sensitive";
}

TEST(Ppd, MalformedFilesAreRefusedWithTheLine) {
    const struct {
        std::string text;
        std::string expected; // part of the error
    } cases[] = {
        {"", "it is empty"},
        {"Hello, printer\n", "does not start with *PPD-Adobe"},
        {"*PPD-Adobe: \"4.3\"\n*ModelName: \"X\"\n", "no *NickName"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n"), "line 3: *OpenUI *A has no *CloseUI"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: *B\n"),
         "line 5: *CloseUI *B closes *OpenUI *A"},
        {Ppd("*OpenUI *A: PickOne\n*OpenUI *B: PickOne\n"), "line 4: *OpenUI inside *OpenUI *A"},
        {Ppd("*CloseUI: *A\n"), "line 3: *CloseUI *A without *OpenUI"},
        {Ppd("*OpenUI *A: PickOne\n*CloseUI: *A\n"), "line 4: feature *A has no options"},
        {Ppd("*OpenUI *A: Slider\n"), "line 3: *OpenUI *A has unknown type \"Slider\""},
        {Ppd("*OpenUI A: PickOne\n"), "line 3: *OpenUI needs a *Keyword"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: *A\n*OpenUI *A: PickOne\n"),
         "line 6: feature *A is opened twice"},
        {Ppd("*OpenUI *A: PickOne\n*A x: \"\"\n*A x: \"\"\n"),
         "line 5: option x of *A is given twice"},
        {Ppd("*DefaultA: y\n*OpenUI *A: PickOne\n*A x: \"\"\n*CloseUI: *A\n"),
         "line 3: *DefaultA: y is not an option of *A"},
        {Ppd("*Product: \"(never closed)\n\n"), "line 3: quoted value is never closed"},
        {Ppd("stray words\n"), "line 3: text outside a quoted value"},
        {Ppd("*NoColonHere\n"), "line 3: entry without ':'"},
    };
    for (const auto& c : cases) {
        PrinterModel model;
        model.nickName = "untouched";
        std::string error;
        EXPECT_FALSE(ParsePpd(c.text, &model, &error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << "got: " << error;
        EXPECT_EQ(model.nickName, "untouched") << "a refused file leaves the model alone";
    }
}

} // namespace
