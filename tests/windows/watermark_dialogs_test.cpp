// The watermark dialogs (editor, Position, dynamic variables, edit selection, remove), opened the
// way the Watermark page of the real document sheet opens them and driven as a user would. The
// rule tables are proven natively; here each control's way to its rule, to the screen, to the
// message boxes and to the registry is walked once. The dialogs run from the shell linked into
// this program, on the templates and strings of the loaded plug-in; one sheet serves every walk
// of a test.
#include "core/module.h"
#include "core/page_frame.h"
#include "import_hook.h"
#include "page_session.h"
#include "preview_canvas.h"
#include "support.h"
#include "ui/bounded_string.h"
#include "watermark/editor_dialog.h"
#include "watermark/list_dialogs.h"
#include "watermark/preview.h"
#include "watermark/watermark_resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace cvtest;
using cv::WatermarkSettings;

namespace {

// The edit part of a drop-down combo box. Typing there is what sends CBN_EDITCHANGE (a
// combo's edit is silent on WM_SETTEXT), so the whole text is replaced as typed text would.
HWND ComboEdit(HWND dialog, int id) {
    COMBOBOXINFO info{sizeof info};
    return GetComboBoxInfo(Control(dialog, id), &info) ? info.hwndItem : nullptr;
}
void TypeInCombo(HWND dialog, int id, const std::wstring& text) {
    HWND edit = ComboEdit(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
}
std::wstring SelectedComboText(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? L"<none>" : ComboEntries(dialog, id)[static_cast<size_t>(index)];
}
std::wstring ControlString(HWND dialog, int id) {
    return WindowText(Control(dialog, id));
}

struct WatermarkDialogs : PageSession {
    // The dialogs' shell linked into this program and the plug-in both open keys, DCs and fonts.
    WatermarkDialogs()
        : PageSession(L"Watermark", L"Profiles",
                      {PluginDll::Get().module, ResourceCounter::Program()}) {}
    void SetUp() override {
        cv::moduleInstance = PluginDll::Get().module;
        Model();
        ASSERT_NE(Open(), nullptr);
        ctx_ = cv::PageContext(page_);
        ASSERT_NE(ctx_, nullptr);
    }
    cv::SheetContext* ctx_ = nullptr;
};

// An arrow key on an up-down's buddy edit: the up-down steps as the keyboard makes it.
void Arrow(HWND dialog, int edit, UINT key) {
    SendMessageW(Control(dialog, edit), WM_KEYDOWN, key, 0);
    SendMessageW(Control(dialog, edit), WM_KEYUP, key, 0);
    Pump();
}

// The texts of the dialogs seen after the first (the message boxes a session showed).
std::vector<std::wstring> BoxTexts(const DialogScript& script) {
    std::vector<std::wstring> texts;
    for (size_t i = 1; i < script.Seen().size(); ++i)
        texts.push_back(script.Seen()[i].text);
    return texts;
}

const wchar_t kNameExists[] =
    L"The name of the watermark you have entered already exists.  Please enter another name.";

// Add, then Edit of a damaged record, then the Position dialog from the editor: each control's way
// to its rule, what the boxes say, and that the store holds what the editor showed.
TEST_F(WatermarkDialogs, EditorAddsEditsAndPositionsAndStoresWhatItShows) {
    WatermarkSettings saved{};
    {
        StoreWatermark(WatermarkRecord(L"Draft", L"DRAFT"));
        DialogScript script;
        script.Then([&](HWND dialog) {
            EXPECT_EQ(WindowText(dialog), L"Add Watermark");
            const struct {
                HWND edit;
                LRESULT limit;
            } limits[] = {{Control(dialog, IDC_WM_NAME), 127},
                          {Control(dialog, IDC_WM_TEXT), 127},
                          {Control(dialog, IDC_WM_ANGLE), 4},
                          {Control(dialog, IDC_WM_INTENSITY), 3},
                          {ComboEdit(dialog, IDC_WM_SIZE), 4}};
            for (const auto& l : limits)
                EXPECT_EQ(SendMessageW(l.edit, EM_GETLIMITTEXT, 0, 0), l.limit) << l.limit;
            EXPECT_FALSE(IsEnabled(dialog, IDC_WM_CONFIGURE_DYNAMIC));
            // OK follows both fields as they are typed.
            Type(dialog, IDC_WM_NAME, L"N");
            EXPECT_FALSE(IsEnabled(dialog, IDOK));
            Type(dialog, IDC_WM_TEXT, L"X");
            EXPECT_TRUE(IsEnabled(dialog, IDOK));
            // OK's name checks (the store's against the registry, which ignores case, and the
            // string table's "(None)"), each refusing with its message and the focus on the name.
            for (const wchar_t* name : {L"DRAFT", L"(None)"}) {
                Type(dialog, IDC_WM_NAME, name);
                Click(dialog, IDOK);
                ExpectFocus(dialog, IDC_WM_NAME, Narrow(name).c_str());
            }
            // Control characters in the text are the user's to print; the preview draws them.
            Type(dialog, IDC_WM_TEXT, L"Bell\a Esc\x1b Tab\t");
            UpdateWindow(Control(dialog, IDC_WM_PREVIEW));
            Type(dialog, IDC_WM_NAME, L"(none)  ");
            Click(dialog, IDC_WM_DYNAMIC);
            EXPECT_TRUE(IsEnabled(dialog, IDC_WM_CONFIGURE_DYNAMIC));
            Type(dialog, IDC_WM_TEXT, L"A %bogus% B");
            Click(dialog, IDOK);
            ExpectFocus(dialog, IDC_WM_TEXT, "invalid dynamic text");
            // The variables dialog takes the text and hands its own back; cancelled, nothing.
            Type(dialog, IDC_WM_TEXT, L"Page ");
            Click(dialog, IDC_WM_CONFIGURE_DYNAMIC);
            EXPECT_EQ(ControlString(dialog, IDC_WM_TEXT), L"%%ge %pagenumber%");
            Click(dialog, IDC_WM_CONFIGURE_DYNAMIC);
            EXPECT_EQ(ControlString(dialog, IDC_WM_TEXT), L"%%ge %pagenumber%");
            Click(dialog, IDC_WM_DYNAMIC);
            EXPECT_FALSE(IsEnabled(dialog, IDC_WM_CONFIGURE_DYNAMIC));
            Click(dialog, IDC_WM_DYNAMIC);

            // Each live filter once refused (the last accepted value comes back) and once taken;
            // the up-downs wrap at their range.
            const struct {
                int id;
                const wchar_t *typed, *shown;
            } filters[] = {{IDC_WM_ANGLE, L"181", L"0"},
                           {IDC_WM_ANGLE, L"180", L"180"},
                           {IDC_WM_INTENSITY, L"0", L"100"},
                           {IDC_WM_INTENSITY, L"1", L"1"}};
            for (const auto& f : filters) {
                Type(dialog, f.id, f.typed);
                EXPECT_EQ(ControlString(dialog, f.id), f.shown) << f.id << " " << Narrow(f.typed);
            }
            Arrow(dialog, IDC_WM_INTENSITY, VK_DOWN);
            EXPECT_EQ(ControlString(dialog, IDC_WM_INTENSITY), L"100") << "1 wraps to 100";
            Arrow(dialog, IDC_WM_ANGLE, VK_UP);
            EXPECT_EQ(ControlString(dialog, IDC_WM_ANGLE), L"-180") << "180 wraps to -180";
            Type(dialog, IDC_WM_INTENSITY, L"55");
            const struct {
                const wchar_t *typed, *shown;
            } sizes[] = {{L"501", L"72"}, {L"500", L"500"}};
            for (const auto& sz : sizes) {
                TypeInCombo(dialog, IDC_WM_SIZE, sz.typed);
                EXPECT_EQ(ControlString(dialog, IDC_WM_SIZE), sz.shown) << Narrow(sz.typed);
            }
            ASSERT_TRUE(SelectComboEntry(dialog, IDC_WM_SIZE, L"8")); // the first listed
            TypeInCombo(dialog, IDC_WM_SIZE, L"0");
            EXPECT_EQ(ControlString(dialog, IDC_WM_SIZE), L"8") << "a size chosen is accepted";
            TypeInCombo(dialog, IDC_WM_SIZE, L"500");
            Click(dialog, IDC_WM_BOLD);
            Click(dialog, IDC_WM_UNDERLINE);
            EXPECT_TRUE(SelectComboEntry(dialog, IDC_WM_COLOR, L"Red"));
            // The dynamic preview and the colour list painted once, for the counter at the end.
            UpdateWindow(Control(dialog, IDC_WM_PREVIEW));
            SendDlgItemMessageW(dialog, IDC_WM_COLOR, CB_SHOWDROPDOWN, TRUE, 0);
            UpdateWindow(Control(dialog, IDC_WM_COLOR));
            SendDlgItemMessageW(dialog, IDC_WM_COLOR, CB_SHOWDROPDOWN, FALSE, 0);
            Click(dialog, IDOK);
        });
        for (int box = 0; box < 3; ++box)
            script.Press(IDOK);
        script.Then([](HWND dialog) {
            EXPECT_EQ(ListEntries(dialog, IDC_DYN_LIST).size(), 12u);
            EXPECT_EQ(ControlString(dialog, IDC_DYN_TEXT), L"Page ");
            EXPECT_TRUE(IsEnabled(dialog, IDOK)) << "the text handed in can be taken back";
            EXPECT_FALSE(IsEnabled(dialog, IDC_DYN_ADD));
            ASSERT_TRUE(SelectListEntry(dialog, IDC_DYN_LIST, L"Page number"));
            EXPECT_TRUE(IsEnabled(dialog, IDC_DYN_ADD));
            SendDlgItemMessageW(dialog, IDC_DYN_TEXT, EM_SETSEL, 2, 2); // a caret mid-text
            Click(dialog, IDC_DYN_ADD);
            EXPECT_EQ(ControlString(dialog, IDC_DYN_TEXT), L"Page %pagenumber%");
            ASSERT_TRUE(SelectListEntry(dialog, IDC_DYN_LIST, L"Percent (%) symbol"));
            SendDlgItemMessageW(dialog, IDC_DYN_TEXT, EM_SETSEL, 0, 2);
            Click(dialog, IDC_DYN_ADD);
            EXPECT_EQ(ControlString(dialog, IDC_DYN_TEXT), L"%%ge %pagenumber%");
            Type(dialog, IDC_DYN_TEXT, L"");
            EXPECT_FALSE(IsEnabled(dialog, IDOK));
            Type(dialog, IDC_DYN_TEXT, L"%%ge %pagenumber%");
            Click(dialog, IDOK);
        });
        script.Then([](HWND dialog) {
            Type(dialog, IDC_DYN_TEXT, L"lost");
            DialogScript::PressButton(dialog, IDCANCEL);
        });
        ASSERT_TRUE(cv::AddWatermark(page_, ctx_, &saved));
        EXPECT_EQ(script.Unexpected(), 0);
        std::vector<std::wstring> boxes = BoxTexts(script);
        ASSERT_EQ(boxes.size(), 5u) << "three boxes, then the variables dialog twice";
        boxes.resize(3);
        EXPECT_EQ(boxes,
                  (std::vector<std::wstring>{
                      kNameExists,
                      L"You may not create a watermark named (None).  Please enter a new name.",
                      L"The dynamic watermark text you have entered is not valid.  Please "
                      L"correct errors in the text.  Please see the help for the exact syntax "
                      L"of dynamic watermark variables."}));
        for (size_t i = 1; i <= 3; ++i)
            EXPECT_EQ(script.Seen()[i].icon, UINT(MB_ICONERROR)) << i;

        WatermarkSettings stored{};
        ASSERT_TRUE(StoredWatermark(L"(none)", &stored)) << "saved without its trailing spaces";
        EXPECT_EQ(std::memcmp(&stored, &saved, sizeof stored), 0)
            << "the caller gets what is stored";
        EXPECT_EQ(Text(stored.text), L"%%ge %pagenumber%");
        EXPECT_EQ(stored.isDynamic, 1u);
        EXPECT_EQ(stored.angle, -180.0);
        EXPECT_EQ(stored.intensity, 55u);
        EXPECT_EQ(stored.pointSize, 500u);
        EXPECT_EQ(stored.color, 0x0000FFu);
        EXPECT_EQ(stored.fontStyle, uint32_t(cv::Bold));
        EXPECT_EQ(stored.effects, uint32_t(cv::Underline));
    }
    // Edit: a record that cannot be read opens nothing, a damaged one opens repaired.
    {
        WatermarkSettings damaged = WatermarkRecord(L"Draft", L"");
        std::fill(std::begin(damaged.text), std::end(damaged.text), u'x'); // no terminator
        damaged.intensity = 250;
        damaged.angle = 200;
        damaged.color = 0x123456; // no colour of the palette
        cv::BoundedCopyText(damaged.faceName, u"No Such Face");
        damaged.pointSize = 9999;
        damaged.position = cv::TopRight;
        damaged.units = cv::Millimeters;
        damaged.verticalOffset = 12000.5; // beyond 9999.9 as a number, within the limit in inches
        damaged.fontStyle = cv::BoldItalic;
        damaged.effects = cv::Strikeout | cv::Outline;
        StoreWatermark(damaged);
        StoreWatermark(WatermarkRecord(L"Other", L"OTHER"));
        SetValue(L"Broken", REG_BINARY, "", 0, L"Watermarks");
        {
            DialogScript script;
            script.Press(IDOK);
            EXPECT_FALSE(cv::EditWatermark(page_, ctx_, L"Broken", &saved));
            ASSERT_EQ(script.Seen().size(), 1u) << "the editor does not open on nothing";
            EXPECT_EQ(
                script.Seen()[0].text,
                L"The watermark could not be read from the registry.  It may have been "
                L"removed, or its stored data may be damaged.  Please choose another watermark.");
        }
        std::vector<BYTE> before(sizeof(WatermarkSettings));
        ASSERT_TRUE(StoredWatermark(L"Draft", reinterpret_cast<WatermarkSettings*>(before.data())));
        std::wstring firstFace;
        {
            DialogScript script;
            script.Then([&](HWND dialog) {
                EXPECT_EQ(WindowText(dialog), L"Edit Watermark");
                EXPECT_TRUE(IsEnabled(dialog, IDOK));
                EXPECT_EQ(ControlString(dialog, IDC_WM_NAME), L"Draft");
                EXPECT_EQ(ControlString(dialog, IDC_WM_TEXT), std::wstring(127, L'x'));
                EXPECT_EQ(ControlString(dialog, IDC_WM_ANGLE), L"0");
                EXPECT_EQ(ControlString(dialog, IDC_WM_INTENSITY), L"100");
                EXPECT_EQ(ControlString(dialog, IDC_WM_SIZE), L"72");
                EXPECT_EQ(SelectedComboText(dialog, IDC_WM_COLOR), L"Aqua") << "the first listed";
                // A colour is drawn as a swatch framed in the current pen on the list's background.
                PreviewCanvas canvas{60, 20, 0};
                canvas.Fill(RGB(255, 0, 255));
                DRAWITEMSTRUCT item{ODT_COMBOBOX, IDC_WM_COLOR};
                item.hwndItem = Control(dialog, IDC_WM_COLOR);
                item.hDC = canvas.dc();
                item.rcItem = {0, 0, 60, 20};
                item.itemData = 0xFFFF00;
                SendMessageW(dialog, WM_DRAWITEM, IDC_WM_COLOR, reinterpret_cast<LPARAM>(&item));
                for (POINT p : {POINT{1, 9}, POINT{18, 9}})
                    EXPECT_EQ(canvas.At(p.x, p.y), GetSysColor(COLOR_WINDOW)) << p.x;
                for (POINT p : {POINT{2, 9}, POINT{17, 9}, POINT{9, 2}, POINT{9, 17}})
                    EXPECT_EQ(canvas.At(p.x, p.y), 0u) << p.x << "," << p.y;
                for (POINT p : {POINT{3, 3}, POINT{16, 16}})
                    EXPECT_EQ(canvas.At(p.x, p.y), 0xFFFF00u) << p.x;
                firstFace = ComboEntries(dialog, IDC_WM_FONT).at(0);
                EXPECT_EQ(SelectedComboText(dialog, IDC_WM_FONT), firstFace);
                for (int id : {IDC_WM_ITALIC, IDC_WM_BOLD, IDC_WM_STRIKEOUT, IDC_WM_OUTLINE})
                    EXPECT_TRUE(IsChecked(dialog, id)) << id;
                EXPECT_FALSE(IsChecked(dialog, IDC_WM_UNDERLINE));
                Type(dialog, IDC_WM_NAME, L"Changed");
                Type(dialog, IDC_WM_ANGLE, L"33");
                DialogScript::PressButton(dialog, IDCANCEL);
            });
            EXPECT_FALSE(cv::EditWatermark(page_, ctx_, L"Draft", &saved));
        }
        std::vector<BYTE> after(sizeof(WatermarkSettings));
        ASSERT_TRUE(StoredWatermark(L"Draft", reinterpret_cast<WatermarkSettings*>(after.data())));
        EXPECT_EQ(before, after) << "Cancel saves nothing";
        EXPECT_FALSE(StoredWatermark(L"Changed"));

        DialogScript rename;
        rename.Then([&](HWND dialog) {
            Type(dialog, IDC_WM_NAME, L"other");
            Click(dialog, IDOK);
            ExpectFocus(dialog, IDC_WM_NAME, "another's name");
            Click(dialog, IDC_WM_POSITION);
            Type(dialog, IDC_WM_NAME, L"Draft 2");
            Click(dialog, IDOK);
        });
        rename.Press(IDOK).Then([](HWND position) {
            // The offset opens in the record's own units, as stored.
            EXPECT_TRUE(IsChecked(position, IDC_POS_MILLIMETERS));
            EXPECT_EQ(ControlString(position, IDC_POS_VOFFSET), L"12000.5");
            DialogScript::PressButton(position, IDCANCEL);
        });
        ASSERT_TRUE(cv::EditWatermark(page_, ctx_, L"Draft", &saved));
        ASSERT_EQ(rename.Seen().size(), 3u);
        EXPECT_EQ(rename.Seen()[1].text, kNameExists);
        EXPECT_EQ(rename.Seen()[2].caption, L"Position Watermark");
        EXPECT_FALSE(StoredWatermark(L"Draft")) << "the old name goes";
        WatermarkSettings renamed{};
        ASSERT_TRUE(StoredWatermark(L"Draft 2", &renamed));
        EXPECT_EQ(std::memcmp(&renamed, &saved, sizeof renamed), 0);
        EXPECT_EQ(renamed.color, 0xFFFF00u) << "saved with the colour it showed";
        EXPECT_EQ(Text(renamed.faceName, 64), firstFace.substr(0, 63));
        // The position has no control here: it passes through as stored.
        EXPECT_EQ(renamed.position, uint32_t(cv::TopRight));
        EXPECT_EQ(renamed.units, uint8_t(cv::Millimeters));
        EXPECT_EQ(renamed.verticalOffset, 12000.5);
        EXPECT_EQ(renamed.effects, uint32_t(cv::Strikeout | cv::Outline));
    }
    {
        // The Position dialog from the editor: OK takes its four values, Cancel none.
        WatermarkSettings corner = WatermarkRecord(L"Corner", L"CORNER");
        corner.position = cv::TopRight;
        corner.verticalOffset = 1.0;
        StoreWatermark(corner);
        DialogScript script;
        script.Then([](HWND editor) {
            Click(editor, IDC_WM_POSITION); // the next step runs in the Position dialog
            Click(editor, IDC_WM_POSITION); // and this one is cancelled
            Click(editor, IDOK);
        });
        script.Then([](HWND dialog) {
            for (int id : {IDC_POS_TOP, IDC_POS_RIGHT, IDC_POS_INCHES})
                EXPECT_TRUE(IsChecked(dialog, id)) << id;
            EXPECT_EQ(ControlString(dialog, IDC_POS_VOFFSET), L"1.0");
            for (int edit : {IDC_POS_VOFFSET, IDC_POS_HOFFSET})
                EXPECT_EQ(SendDlgItemMessageW(dialog, edit, EM_GETLIMITTEXT, 0, 0), 10);
            // Each step: a click, typing or an arrow, and what the two offsets show after it.
            const struct {
                const char* what;
                std::function<void()> act;
                const wchar_t *vertical, *horizontal;
            } steps[] = {
                {"millimetres", [&] { Click(dialog, IDC_POS_MILLIMETERS); }, L"25.4", L"0.0"},
                {"inches", [&] { Click(dialog, IDC_POS_INCHES); }, L"1.0", L"0.0"},
                {"inches again", [&] { Click(dialog, IDC_POS_INCHES); }, L"1.0", L"0.0"},
                {"up, inches", [&] { Arrow(dialog, IDC_POS_VOFFSET, VK_UP); }, L"1.1", L"0.0"},
                {"two points", [&] { Type(dialog, IDC_POS_HOFFSET, L"1.2.3"); }, L"1.1", L"0.0"},
                {"center", [&] { Click(dialog, IDC_POS_CENTER_WATERMARK); }, L"0.0", L"0.0"},
            };
            for (const auto& s : steps) {
                s.act();
                EXPECT_EQ(ControlString(dialog, IDC_POS_VOFFSET), s.vertical) << s.what;
                EXPECT_EQ(ControlString(dialog, IDC_POS_HOFFSET), s.horizontal) << s.what;
            }
            for (int id : {IDC_POS_VCENTER, IDC_POS_HCENTER, IDC_POS_INCHES})
                EXPECT_TRUE(IsChecked(dialog, id)) << id;
            Click(dialog, IDC_POS_BOTTOM);
            Type(dialog, IDC_POS_HOFFSET, L"-1.5");
            Click(dialog, IDC_POS_MILLIMETERS);
            // The preview shows the editor's record where the controls put it.
            auto* preview = reinterpret_cast<cv::PreviewData*>(
                GetWindowLongPtrW(Control(dialog, IDC_WM_PREVIEW), GWLP_USERDATA));
            WatermarkSettings shown{};
            EXPECT_TRUE(preview && preview->buildRecord(dialog, preview, &shown));
            EXPECT_EQ(Text(shown.text), L"CORNER");
            EXPECT_EQ(shown.position, uint32_t(cv::BottomCenter));
            EXPECT_EQ(shown.horizontalOffset, -38.1);
            EXPECT_EQ(shown.units, uint8_t(cv::Millimeters));
            Click(dialog, IDOK);
        });
        script.Then([](HWND dialog) {
            Click(dialog, IDC_POS_TOP);
            DialogScript::PressButton(dialog, IDCANCEL);
        });
        ASSERT_TRUE(cv::EditWatermark(page_, ctx_, L"Corner", &saved));
        EXPECT_EQ(script.Unexpected(), 0);
        EXPECT_EQ(saved.position, uint32_t(cv::BottomCenter));
        EXPECT_EQ(saved.units, uint8_t(cv::Millimeters));
        EXPECT_EQ(saved.verticalOffset, 0.0);
        EXPECT_EQ(saved.horizontalOffset, -38.1);
        EXPECT_EQ(Text(saved.text), L"CORNER") << "nothing else of the record changes";
    }
}

// The registry refuses what a hook of this program's imports tells it to: the dialogs run here.
struct Refusals {
    static inline std::wstring value;    // RegSetValueExW of this name fails
    static inline std::wstring deletion; // RegDeleteValueW of this name fails
    static inline decltype(&::RegSetValueExW) realSet = nullptr;
    static inline decltype(&::RegDeleteValueW) realDelete = nullptr;
    static LSTATUS WINAPI Set(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size) {
        if (name && value == name) return ERROR_ACCESS_DENIED;
        return realSet(key, name, reserved, type, data, size);
    }
    static LSTATUS WINAPI Delete(HKEY key, LPCWSTR name) {
        if (name && deletion == name) return ERROR_ACCESS_DENIED;
        return realDelete(key, name);
    }
    ImportHook setHook{ResourceCounter::Program(), nullptr, "RegSetValueExW",
                       reinterpret_cast<void*>(&Set)};
    ImportHook deleteHook{ResourceCounter::Program(), nullptr, "RegDeleteValueW",
                          reinterpret_cast<void*>(&Delete)};
    Refusals() {
        realSet = reinterpret_cast<decltype(realSet)>(setHook.original());
        realDelete = reinterpret_cast<decltype(realDelete)>(deleteHook.original());
    }
};

// The edit selection, the dialogs without a whole sheet, then what the registry refuses in the
// editor and the remove dialog: said, and nothing lost.
TEST_F(WatermarkDialogs, ChooseRemoveAndWhatTheRegistryRefuses) {
    WatermarkSettings saved{};
    {
        for (const wchar_t* name : {L"Alpha", L"Beta", L"Draft"})
            StoreWatermark(WatermarkRecord(name, L"T"));
        std::vector<std::wstring> listed;
        DialogScript script;
        script.Then([&](HWND dialog) {
            listed = ListEntries(dialog, IDC_SELECT_LIST);
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_SELECT_LIST, LB_GETCURSEL, 0, 0), 0);
            DialogScript::PressButton(dialog, IDOK);
        });
        const auto doubleClick = [](HWND dialog, int index) {
            HWND list = Control(dialog, IDC_SELECT_LIST);
            RECT r{};
            SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
            const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
                SendMessageW(list, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        };
        script.Then([&](HWND dialog) {
            // Below the last name: no name is hit, the dialog stays.
            HWND list = Control(dialog, IDC_SELECT_LIST);
            RECT client{};
            GetClientRect(list, &client);
            SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, client.bottom - 2));
            EXPECT_TRUE(IsWindowVisible(dialog));
            doubleClick(dialog, 2);
        });
        script.Then([](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_SELECT_LIST, LB_SETCURSEL, 1, 0);
            DialogScript::PressButton(dialog, IDCANCEL);
        });
        char16_t name[cv::kWatermarkNameCapacity] = u"before";
        ASSERT_TRUE(cv::ChooseWatermarkToEdit(page_, ctx_, name));
        ASSERT_EQ(listed.size(), 3u);
        EXPECT_EQ(Text(name), listed[0]);
        ASSERT_TRUE(cv::ChooseWatermarkToEdit(page_, ctx_, name));
        EXPECT_EQ(Text(name), listed[2]);
        EXPECT_FALSE(cv::ChooseWatermarkToEdit(page_, ctx_, name));
        EXPECT_EQ(Text(name), listed[2]) << "Cancel leaves the name";
        EXPECT_EQ(script.Unexpected(), 0);

        // Without the whole sheet (here: no core driver) no dialog opens, so none can trap the
        // user.
        auto partial = std::make_unique<cv::SheetContext>(*ctx_);
        partial->coreUI = nullptr;
        EXPECT_FALSE(cv::AddWatermark(page_, partial.get(), &saved));
        EXPECT_FALSE(cv::EditWatermark(page_, partial.get(), L"Alpha", &saved));
        EXPECT_FALSE(cv::ChooseWatermarkToEdit(page_, partial.get(), name));
        cv::RemoveWatermarks(page_, partial.get());
        EXPECT_EQ(script.Seen().size(), 3u);
    }
    {
        Refusals refusals;
        ASSERT_TRUE(refusals.setHook.installed() && refusals.deleteHook.installed());
        Refusals::value = L"Refused";
        Refusals::deletion = L"Draft";

        DialogScript add;
        add.Then([&](HWND dialog) {
            Type(dialog, IDC_WM_NAME, L"Refused");
            Type(dialog, IDC_WM_TEXT, L"T");
            Click(dialog, IDOK);
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays with what was typed";
            EXPECT_EQ(ControlString(dialog, IDC_WM_NAME), L"Refused");
            DialogScript::PressButton(dialog, IDCANCEL);
        });
        add.Press(IDOK);
        EXPECT_FALSE(cv::AddWatermark(page_, ctx_, &saved));
        EXPECT_EQ(BoxTexts(add), (std::vector<std::wstring>{
                                     L"There was an error saving the data to the registry.  Please "
                                     L"make sure you have access rights to do so and try again."}));
        EXPECT_FALSE(StoredWatermark(L"Refused"));

        // A rename whose old name cannot be removed is saved, and the user learns that both stay.
        DialogScript rename;
        rename.Then([](HWND dialog) {
            Type(dialog, IDC_WM_NAME, L"Final");
            Click(dialog, IDOK);
        });
        rename.Press(IDOK);
        EXPECT_TRUE(cv::EditWatermark(page_, ctx_, L"Draft", &saved));
        ASSERT_EQ(rename.Seen().size(), 2u);
        EXPECT_EQ(rename.Seen()[1].caption, L"Warning");
        EXPECT_EQ(rename.Seen()[1].icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(
            rename.Seen()[1].text,
            L"The watermark was saved under its new name, but its old name could not be removed "
            L"from the registry.  Please remove the old watermark with Remove Watermark, and "
            L"make sure you have access rights to do so.");
        EXPECT_TRUE(StoredWatermark(L"Final"));
        EXPECT_TRUE(StoredWatermark(L"Draft"));

        // Removing several names, one of which the registry keeps: asked once, told once, and the
        // list shows what is left. No deletes nothing.
        DialogScript remove;
        remove.Then([&](HWND dialog) {
            EXPECT_FALSE(IsEnabled(dialog, IDC_REMOVE));
            for (const wchar_t* name : {L"Draft", L"Alpha", L"Final"})
                EXPECT_TRUE(SelectListEntry(dialog, IDC_REMOVE_LIST, name)) << Narrow(name);
            EXPECT_TRUE(IsEnabled(dialog, IDC_REMOVE));
            Click(dialog, IDC_REMOVE);
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_REMOVE_LIST, LB_GETSELCOUNT, 0, 0), 3);
            EXPECT_TRUE(StoredWatermark(L"Alpha"));
            Click(dialog, IDC_REMOVE);
            auto left = ListEntries(dialog, IDC_REMOVE_LIST);
            std::sort(left.begin(), left.end());
            EXPECT_EQ(left, (std::vector<std::wstring>{L"Beta", L"Draft"}));
            EXPECT_FALSE(IsEnabled(dialog, IDC_REMOVE));
            ExpectFocus(dialog, IDCANCEL, "Close");
            // A name chosen alone goes as well.
            EXPECT_TRUE(SelectListEntry(dialog, IDC_REMOVE_LIST, L"Beta"));
            Click(dialog, IDC_REMOVE);
            EXPECT_EQ(ListEntries(dialog, IDC_REMOVE_LIST), std::vector<std::wstring>{L"Draft"});
            DialogScript::PressButton(dialog, IDCANCEL);
        });
        remove.Press(IDNO).Press(IDYES).Press(IDOK).Press(IDYES);
        cv::RemoveWatermarks(page_, ctx_);
        EXPECT_EQ(remove.Unexpected(), 0);
        ASSERT_EQ(remove.Seen().size(), 5u);
        EXPECT_EQ(remove.Seen()[1].text,
                  L"Are you sure you want to permanently remove the selected watermark(s)?");
        EXPECT_EQ(remove.Seen()[1].caption, L"Warning");
        EXPECT_EQ(remove.Seen()[1].icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(remove.Seen()[3].text,
                  L"There was an error removing the watermark from the registry.  Please make sure "
                  L"you have access rights to do so and try again.");
        EXPECT_EQ(remove.Seen()[3].icon, UINT(MB_ICONERROR));
        EXPECT_FALSE(StoredWatermark(L"Alpha"));
        EXPECT_FALSE(StoredWatermark(L"Final"));
        EXPECT_FALSE(StoredWatermark(L"Beta"));
        EXPECT_TRUE(StoredWatermark(L"Draft"));
    }
}
} // namespace
