// The stand-in host itself, where the plug-in relies on it: the core driver's answers from the
// PPD with their size protocol, and the UI driver's way of typing and scripting message boxes.
#include "host/core_ui.h"
#include "ui_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using cvhost::CoreUIPtr;
using cvhost::HostCoreUI;

namespace {

CoreUIPtr CoreUIFor(const std::string& ppd) {
    auto model = std::make_shared<cvhost::PrinterModel>();
    std::string error;
    EXPECT_TRUE(cvhost::ParsePpd(ppd, model.get(), &error)) << error;
    return CoreUIPtr(HostCoreUI::Create(model));
}

const char kModel[] = "*PPD-Adobe: \"4.3\"\n*NickName: \"Corvane T\xE9st\"\n"
                      "*OpenUI *FaxCard: PickOne\n*DefaultFaxCard: True\n"
                      "*FaxCard True: \"\"\n*FaxCard False: \"\"\n*CloseUI: *FaxCard\n";

TEST(HostCoreUI, AnswersFromThePpdWithTheTwoCallSizeProtocol) {
    CoreUIPtr core = CoreUIFor(kModel);
    ASSERT_TRUE(core);
    POEMUIOBJ ui = core->UIObject();
    DWORD needed = 99, count = 0;
    char text[16] = {};

    EXPECT_EQ(core->DrvGetDriverSetting(ui, "FaxCard", nullptr, 0, &needed, &count), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 5u);
    EXPECT_EQ(core->DrvGetDriverSetting(ui, "FaxCard", text, 5, &needed, &count), S_OK);
    EXPECT_STREQ(text, "True");
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(core->Select("FaxCard", "False"));
    EXPECT_FALSE(core->Select("FaxCard", "Maybe"));
    EXPECT_EQ(core->DrvGetDriverSetting(ui, "FaxCard", text, sizeof text, &needed, &count), S_OK);
    EXPECT_STREQ(text, "False");

    EXPECT_EQ(core->EnumOptions(ui, 0, "FaxCard", nullptr, 0, &needed), E_OUTOFMEMORY);
    EXPECT_EQ(needed, 12u); // "True\0False\0\0"
    EXPECT_EQ(core->EnumOptions(ui, 0, "FaxCard", text, sizeof text, &needed), S_OK);
    EXPECT_EQ(std::memcmp(text, "True\0False\0", 12), 0);
    EXPECT_EQ(core->EnumOptions(ui, 0, "NoSuch", nullptr, 0, &needed), E_INVALIDARG);
    EXPECT_EQ(needed, 0u);

    DWORD type = 0;
    EXPECT_EQ(core->GetGlobalAttribute(ui, 0, "NickName", &type, nullptr, 0, &needed),
              E_OUTOFMEMORY);
    ASSERT_EQ(needed, 13u * sizeof(char16_t));
    std::u16string name(12, u'?');
    EXPECT_EQ(core->GetGlobalAttribute(ui, 0, "NickName", &type, reinterpret_cast<BYTE*>(&name[0]),
                                       needed, &needed),
              S_OK);
    EXPECT_EQ(type, static_cast<DWORD>(cvhost::kADT_UNICODE));
    EXPECT_EQ(name, u"Corvane T\u00e9st");

    // Only its own ui object is accepted back.
    OEMUIOBJ stranger{sizeof(OEMUIOBJ), nullptr};
    EXPECT_EQ(core->EnumOptions(&stranger, 0, "FaxCard", nullptr, 0, &needed), E_INVALIDARG);
}

TEST(HostCoreUI, RecordsWhatThePluginPushes) {
    CoreUIPtr core = CoreUIFor(kModel);
    ASSERT_TRUE(core);
    OPTITEM item{};
    item.Sel = 3;
    POEMUIOBJ ui = core->UIObject();
    EXPECT_TRUE(ui->pOemUIProcs->DrvUpdateUISetting(ui, &item, 1, OEMCUIP_DOCPROP));
    EXPECT_EQ(core->DrvUpdateUISetting(ui, &item, 2, OEMCUIP_PRNPROP), S_OK);
    ASSERT_EQ(core->Updates().size(), 2u);
    EXPECT_EQ(core->Updates()[0].selectionThen, 3);
    EXPECT_EQ(core->Updates()[0].mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    EXPECT_FALSE(core->Updates()[0].throughInterface);
    EXPECT_TRUE(core->Updates()[1].throughInterface);
}

TEST(UiDriver, ScriptsMessageBoxesAndReadsThem) {
    cvtest::DialogScript script;
    script.Press(IDNO).Press(IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Remove it?", nullptr, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Please enter a user name.", nullptr, MB_OK | MB_ICONERROR),
              IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Not scripted", L"Extra", MB_OKCANCEL), IDCANCEL);
    ASSERT_EQ(script.Seen().size(), 3u);
    EXPECT_EQ(script.Seen()[0].text, L"Remove it?");
    EXPECT_EQ(script.Seen()[1].caption, L"Error") << "no caption: the system's title";
    EXPECT_EQ(script.Seen()[1].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(script.Seen()[2].caption, L"Extra");
    EXPECT_EQ(script.Unexpected(), 1);
    EXPECT_EQ(script.Pending(), 0u);
}

// Counts the edit notifications a window receives.
int changes = 0;
LRESULT CALLBACK CountingParent(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) ++changes;
    return DefWindowProcW(window, msg, wParam, lParam);
}

TEST(UiDriver, TypingNotifiesOnceAsTheEditControlDoes) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = &CountingParent;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"CvTypingParent";
    RegisterClassW(&cls);
    HWND parent = CreateWindowW(L"CvTypingParent", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    for (const DWORD style : {DWORD(0), DWORD(ES_MULTILINE)}) {
        HWND edit = CreateWindowW(L"EDIT", L"", WS_CHILD | style, 0, 0, 100, 20, parent,
                                  reinterpret_cast<HMENU>(100), cls.hInstance, nullptr);
        ASSERT_NE(edit, nullptr);
        changes = 0;
        cvtest::Type(parent, 100, L"1234");
        EXPECT_EQ(cvtest::WindowText(edit), L"1234");
        EXPECT_EQ(changes, 1) << (style ? "multi-line" : "single-line");
        DestroyWindow(edit);
    }
    DestroyWindow(parent);
}

} // namespace
