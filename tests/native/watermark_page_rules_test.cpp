#include "watermark/watermark_page_rules.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <string>

using namespace cv;

namespace {

// A store of "Draft" and "Other" (text "T-<name>"), counting what is asked of it.
struct FakeStore final : WatermarkLookup {
    std::map<std::u16string, WatermarkSettings> records;
    int lookups = 0;
    FakeStore() {
        Add(u"Draft");
        Add(u"Other");
    }
    void Add(const char16_t* name) {
        WatermarkSettings wm = DefaultWatermark();
        BoundedCopyText(wm.name, name);
        BoundedCopyText(wm.text, (u"T-" + std::u16string(name)).c_str());
        wm.angle = 33;
        records[name] = wm;
    }
    bool Exists(const char16_t* name) override {
        ++lookups;
        return records.count(name) > 0;
    }
    bool Read(const char16_t* name, WatermarkSettings* wm) override {
        ++lookups;
        auto it = records.find(name);
        if (it == records.end()) return false;
        *wm = it->second;
        return true;
    }
};

std::u16string Str(const char16_t* text) {
    return text ? std::u16string(text) : u"<none>";
}

PluginDevmode Devmode(uint32_t enabled, uint32_t order, const char16_t* first,
                      const char16_t* other) {
    PluginDevmode dm = DefaultDevmode();
    dm.watermarkEnabled = enabled;
    dm.watermarkOrder = order;
    BoundedCopyText(dm.firstWatermark.name, first);
    BoundedCopyText(dm.otherWatermark.name, other);
    return dm;
}

const OrderRadios kNone{true, false, false, false};
const OrderRadios kAll{false, true, false, false};
const OrderRadios kOddEven{false, false, true, false};
const OrderRadios kFirstOther{false, false, false, true};

} // namespace

TEST(WatermarkPageRules, EachOrderHasItsRadioCaptionsAndEnabledControls) {
    // The radio, whether the selection and the second list are enabled, the two captions.
    const auto look = [](uint32_t state) {
        const OrderLook l = LookOfOrder(state);
        return std::make_tuple(l.radio, l.selection, l.secondList, l.firstCaption, l.secondCaption);
    };
    EXPECT_EQ(look(0), std::make_tuple(1155, false, false, 93u, 92u));
    EXPECT_EQ(look(1), std::make_tuple(1154, true, false, 91u, 92u));
    EXPECT_EQ(look(2), std::make_tuple(1048, true, true, 94u, 95u));
    EXPECT_EQ(look(3), std::make_tuple(1047, true, true, 93u, 92u));
    EXPECT_EQ(look(0xFFFFFFFF), look(0));
    for (const auto& [id, state] :
         {std::pair{1155, 0}, {1154, 1}, {1048, 2}, {1047, 3}, {1153, -1}})
        EXPECT_EQ(OrderOfRadio(id), state) << id;
    EXPECT_EQ(WrittenOrder(kFirstOther), 3u);
    EXPECT_EQ(WrittenOrder(OrderRadios{}), 1u) << "no radio checked writes All Pages";
    EXPECT_EQ(WrittenOrder(OrderRadios{false, true, true, true}), 1u);
    EXPECT_EQ(WrittenOrder(OrderRadios{false, false, true, true}), 2u);
}

TEST(WatermarkPageRules, ADevmodeShowsItsChoiceOrNoWatermarksWhenANameIsGone) {
    const struct {
        const char* what;
        PluginDevmode dm;
        uint32_t start;
        bool off;
        uint32_t state;
        const char16_t *first, *second;
    } rows[] = {
        {"off: the start stays", Devmode(0, 1, u"Draft", u""), 1, true, 1, nullptr, nullptr},
        {"all pages", Devmode(1, 1, u"Draft", u"Gone"), 1, false, 1, u"Draft", nullptr},
        {"odd/even, (None) first", Devmode(1, 2, u"", u"Other"), 2, false, 2, nullptr, u"Other"},
        {"first/other", Devmode(1, 3, u"Other", u"Draft"), 3, false, 3, u"Other", u"Draft"},
        {"first gone", Devmode(1, 1, u"Gone", u""), 1, false, 0, nullptr, nullptr},
        {"other gone", Devmode(1, 3, u"Draft", u"Gone"), 3, false, 0, nullptr, nullptr},
        {"the devmode's order", Devmode(1, 2, u"Draft", u"Gone"), 1, false, 0, nullptr, nullptr},
        {"order 0 while on", Devmode(1, 0, u"Draft", u""), 0, false, 0, nullptr, nullptr},
        {"order out of range", Devmode(1, 9, u"Draft", u""), 9, false, 0, nullptr, nullptr},
    };
    for (const auto& r : rows) {
        FakeStore store;
        const ShownDevmode shown = ShowDevmode(r.dm, r.start, store);
        EXPECT_EQ(shown.off, r.off) << r.what;
        EXPECT_EQ(shown.state, r.state) << r.what;
        EXPECT_EQ(Str(shown.firstName), Str(r.first)) << r.what;
        EXPECT_EQ(Str(shown.secondName), Str(r.second)) << r.what;
    }
    FakeStore store;
    ShowDevmode(Devmode(1, 3, u"", u""), 3, store);
    ShowDevmode(Devmode(0, 3, u"Gone", u"Gone"), 3, store);
    EXPECT_EQ(store.lookups, 0) << "empty names, and names of a devmode that is off";
}

// Which list the user must correct before leaving, and whether an edit of "Draft" changes the
// job: only the lists that count for the order, and there only a watermark (index 0 is "(None)")
// of the whole name in the same letter case.
TEST(WatermarkPageRules, LeavingAndEditingLookOnlyAtTheListsThatCount) {
    using P = LeaveProblem;
    const ListPick none{-1, nullptr}, zero{0, nullptr}, draft{1, u"Draft"}, other{2, u"Other"};
    const struct {
        const char* what;
        OrderRadios radios;
        ListPick first, second;
        LeaveProblem problem;
        bool editTouches;
    } rows[] = {
        {"no watermarks", kNone, draft, draft, P::None, false},
        {"all, first unselected", kAll, none, draft, P::FirstList, false},
        {"all, (None)", kAll, zero, draft, P::FirstList, false},
        {"all, second never looked at", kAll, draft, none, P::None, true},
        {"all, second ignored", kAll, other, draft, P::None, false},
        {"first/other, both (None)", kFirstOther, zero, zero, P::SecondList, false},
        {"odd/even, second unselected", kOddEven, draft, none, P::SecondList, true},
        {"odd/even, (None) then one", kOddEven, zero, draft, P::None, true},
        {"first/other, one then (None)", kFirstOther, draft, zero, P::None, true},
        {"first/other, not chosen", kFirstOther, other, zero, P::None, false},
        {"(None) at index 0", kFirstOther, ListPick{0, u"Draft"}, zero, P::SecondList, false},
        {"letter case counts", kFirstOther, ListPick{1, u"draft"}, zero, P::None, false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(CheckLeave(r.radios, r.first, r.second), r.problem) << r.what;
        EXPECT_EQ(EditTouchesChoice(r.radios, r.first, r.second, u"Draft"), r.editTouches)
            << r.what;
    }
}

TEST(WatermarkPageRules, WritingCopiesTheChosenRecordsOrTurnsWatermarksOff) {
    const ListPick zero{0, nullptr}, draft{2, u"Draft"}, other{1, u"Other"}, gone{3, u"Gone"};
    const std::u16string tooLong(128, u'x');
    const ListPick longName{4, tooLong.c_str()};
    const struct {
        const char* what;
        OrderRadios radios;
        ListPick first, second;
        bool overPage;
        uint32_t enabled, order, placement;
        const char16_t *firstText, *otherText;
    } rows[] = {
        {"no watermarks keeps the placement", kNone, draft, other, false, 0, 0, 1, u"", u""},
        {"all pages", kAll, draft, other, false, 1, 1, 0, u"T-Draft", u""},
        {"all pages, gone second unread", kAll, draft, gone, true, 1, 1, 1, u"T-Draft", u""},
        {"odd/even", kOddEven, zero, other, true, 1, 2, 1, u"", u"T-Other"},
        {"first/other", kFirstOther, other, draft, false, 1, 3, 0, u"T-Other", u"T-Draft"},
        {"first gone", kFirstOther, gone, draft, false, 0, 0, 0, u"", u"T-Draft"},
        {"second gone", kOddEven, draft, gone, true, 0, 0, 1, u"T-Draft", u""},
        {"a name no record holds", kAll, longName, zero, false, 0, 0, 0, u"", u""},
    };
    for (const auto& r : rows) {
        FakeStore store;
        PluginDevmode dm = Devmode(1, 2, u"Stale", u"Stale");
        BoundedCopyText(dm.firstWatermark.text, u"stale");
        dm.watermarkOverPage = 1;
        WriteWatermarkChoice(&dm, r.radios, r.first, r.second, r.overPage, store);
        EXPECT_EQ(dm.watermarkEnabled, r.enabled) << r.what;
        EXPECT_EQ(dm.watermarkOrder, r.order) << r.what;
        EXPECT_EQ(dm.watermarkOverPage, r.placement) << r.what;
        EXPECT_EQ(Text(dm.firstWatermark.text), r.firstText) << r.what;
        EXPECT_EQ(Text(dm.otherWatermark.text), r.otherText) << r.what;
        for (const WatermarkSettings* wm : {&dm.firstWatermark, &dm.otherWatermark}) {
            const std::u16string text = Text(wm->text);
            // A copy is the whole stored record; "(None)" or a failed read leaves the defaults.
            EXPECT_EQ(wm->angle, text.empty() ? 0.0 : 33.0) << r.what;
            EXPECT_EQ(Text(wm->name), text.empty() ? u"" : text.substr(2)) << r.what;
        }
    }
}

TEST(WatermarkPageRules, ListsSelectTheSameWatermarkAgainByItsWholeName) {
    // The pick noted before the dialog and the name selected again after it.
    const std::pair<ListPick, const char16_t*> renames[] = {
        {ListPick{-1, nullptr}, nullptr},  {ListPick{0, u"Draft"}, nullptr},
        {ListPick{1, u"Draft"}, u"Final"}, {ListPick{2, u"Draft 2"}, u"Draft 2"},
        {ListPick{3, u"draft"}, u"draft"},
    };
    for (const auto& [noted, selected] : renames)
        EXPECT_EQ(Str(ReselectAfterRename(noted, u"Draft", u"Final")), Str(selected))
            << noted.index;

    FakeStore store;
    const std::tuple<ListPick, const char16_t*, bool> removals[] = {
        {ListPick{-1, nullptr}, nullptr, false},
        {ListPick{0, u"Gone"}, nullptr, false},
        {ListPick{1, u"Other"}, u"Other", false},
        {ListPick{2, u"Gone"}, nullptr, true}};
    for (const auto& [noted, selected, changed] : removals) {
        const Reselection got = ReselectAfterRemove(noted, store);
        EXPECT_EQ(Str(got.name), Str(selected)) << noted.index;
        EXPECT_EQ(got.changed, changed) << noted.index;
    }
}
