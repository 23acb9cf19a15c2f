// The stand-in host itself, where the plug-in relies on it: the core driver's refusals, and the
// UI driver's scripted message boxes, on which every "no message box" check relies.
#include "host/core_ui.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Every sheet reads its features through these answers; what no sheet shows is the refusals: an
// option the model lacks, a keyword it lacks, and a ui object not its own.
TEST(HostCoreUI, AnswersFromThePpdWithTheTwoCallSizeProtocol) {
    auto model = std::make_shared<cvhost::PrinterModel>();
    std::string error;
    ASSERT_TRUE(cvhost::ParsePpd("*PPD-Adobe: \"4.3\"\n*NickName: \"Corvane Test\"\n"
                                 "*OpenUI *FaxCard: PickOne\n*DefaultFaxCard: True\n"
                                 "*FaxCard True: \"\"\n*FaxCard False: \"\"\n*CloseUI: *FaxCard\n",
                                 model.get(), &error))
        << error;
    cvhost::CoreUIPtr core(cvhost::HostCoreUI::Create(model));
    POEMUIOBJ ui = core->UIObject();
    DWORD needed = 99, count = 0;
    char text[6] = {};
    EXPECT_EQ(core->DrvGetDriverSetting(ui, "FaxCard", nullptr, 0, &needed, &count), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 5u);
    ASSERT_TRUE(core->Select("FaxCard", "False"));
    EXPECT_FALSE(core->Select("FaxCard", "Maybe"));
    EXPECT_EQ(core->DrvGetDriverSetting(ui, "FaxCard", text, 6, &needed, &count), S_OK);
    EXPECT_STREQ(text, "False");
    EXPECT_EQ(core->EnumOptions(ui, 0, "FaxCard", nullptr, 0, &needed), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 12u); // "True\0False\0\0"
    EXPECT_EQ(core->EnumOptions(ui, 0, "NoSuch", nullptr, 0, &needed), E_INVALIDARG);
    OEMUIOBJ stranger{sizeof(OEMUIOBJ), nullptr};
    EXPECT_EQ(core->EnumOptions(&stranger, 0, "FaxCard", nullptr, 0, &needed), E_INVALIDARG);
}

// A box no step was queued for is cancelled and counted: what "Unexpected() == 0" rests on.
TEST(UiDriver, ScriptsMessageBoxesAndReadsThem) {
    cvtest::DialogScript script;
    script.Press(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Remove it?", L"Ask", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Not scripted", L"Extra", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(script.Seen().size(), 2u);
    EXPECT_EQ(script.Seen()[0].text, L"Remove it?");
    EXPECT_EQ(script.Seen()[0].icon, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(script.Seen()[1].caption, L"Extra");
    EXPECT_EQ(script.Unexpected(), 1);
}

} // namespace
