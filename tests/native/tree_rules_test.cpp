#include "treeoptions/tree_rules.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace cv;

namespace {

std::vector<uint16_t> Ids(const TreeFeatures& f) {
    std::vector<uint16_t> ids;
    size_t n = 0;
    for (auto group : {f.manualColor ? ManualColorGroup : nullptr,
                       f.newPrintQuality ? PrintQualityGroup : nullptr}) {
        const TreeItemSpec* g = group ? group(&n) : nullptr;
        for (size_t i = 0; g && i < n; ++i)
            if (TreeItemPresent(g[i], f)) ids.push_back(g[i].id);
    }
    return ids;
}

// The tree's items as a map from identifier to selection and flags.
struct FakeTree final : TreeItemStates {
    struct State {
        int32_t sel = 0;
        bool disabled = false, changed = false;
    };
    std::map<uint32_t, State> items;
    bool Selection(uint32_t id, int32_t* sel) const override {
        auto it = items.find(id);
        if (it != items.end()) *sel = it->second.sel;
        return it != items.end();
    }
    void SetDisabledAndChanged(uint32_t id, bool disabled) override {
        if (items.count(id)) items[id] = {items[id].sel, disabled, true};
    }
    void MarkChanged(uint32_t id) override {
        if (items.count(id)) items[id].changed = true;
    }
};

FakeTree FullTree() {
    FakeTree t;
    for (uint16_t id : Ids({true, true}))
        t.items[id] = {};
    return t;
}

} // namespace

TEST(TreeRules, ItemsAndOrderPerModel) {
    const std::pair<TreeFeatures, std::vector<uint16_t>> cases[] = {
        {{true, true}, {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 18, 19, 21}},
        {{true, false}, {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {{false, true}, {16, 17, 18, 20, 21}},
        {{false, false}, {}},
    };
    for (const auto& [features, ids] : cases) {
        EXPECT_EQ(Ids(features), ids);
        EXPECT_EQ(CountTreeItems(features), ids.size());
    }
}

// The tree's shape: each item of the full model as its level, its kind (Heading, List, UpDown,
// Check) and an up-down's range. Their names are checked through the real tree.
TEST(TreeRules, LevelsKindsAndRangesOfTheFullModel) {
    std::string shape;
    for (uint16_t id : Ids({true, true})) {
        const TreeItemSpec& s = *FindTreeItemSpec(id);
        shape += std::to_string(s.level) + "HLUC"[static_cast<int>(s.kind)];
        if (s.kind == TreeItemKind::UpDown)
            shape += "(" + std::to_string(s.low) + "," + std::to_string(s.high) + ")";
        shape += ' ';
    }
    EXPECT_EQ(shape, "1H 2L 3H 4L 4L 4L 3L 2L 3U(-5,5) 3U(-5,5) 3U(-5,5) 3U(-5,5) 2L "
                     "1H 2U(-6,6) 2U(0,5) 2U(0,5) 2C ");
}

TEST(TreeRules, ListEntriesByModel) {
    const std::tuple<uint16_t, TreeFeatures, std::vector<uint16_t>> cases[] = {
        {2, {true, false}, {104, 144, 138, 108}},
        {5, {true, false}, {104, 139, 140, 141, 144}},
        {6, {true, true}, {104, 139, 140, 141, 144, 1233}},
        {8, {true, true}, {104, 142, 143, 146, 144}},
        {9, {true, true}, {104, 108}},
        {14, {true, true}, {104, 144, 105}},
        {17, {true, true}, {}},
    };
    for (const auto& [id, features, want] : cases) {
        const TreeItemSpec& s = *FindTreeItemSpec(id);
        std::vector<uint16_t> entries;
        for (size_t i = 0; i < TreeEntryCount(s, features); ++i)
            entries.push_back(TreeEntryString(s, i));
        EXPECT_EQ(entries, want) << id;
    }
}

TEST(TreeRules, StartFromTheStoredNumbersAndManualStates) {
    PluginDevmode dm = DefaultDevmode();
    dm.colorCorrection = 2; // Auto
    dm.rgbImages = 5;       // kept as it is, whatever the entries
    dm.cmykGraphics = 3;
    dm.cmykImages = 1;
    dm.colorBalance = 1; // Manual
    dm.cyanBalance = -4;
    dm.brightness = -6;
    dm.enhanceFineLines = 1;
    // The item, its selection and whether it starts disabled.
    const std::tuple<uint16_t, int32_t, bool> cases[] = {
        {2, 2, false},  {5, 5, true},    {8, 3, true},   {9, 1, false}, {10, -4, false},
        {13, 0, false}, {17, -6, false}, {21, 1, false}, {14, 0, false}};
    for (const auto& [id, sel, disabled] : cases) {
        EXPECT_EQ(TreeInitialSelection(*FindTreeItemSpec(id), dm), sel) << id;
        EXPECT_EQ(TreeInitiallyDisabled(*FindTreeItemSpec(id), dm), disabled) << id;
    }
    dm.colorCorrection = 3;
    dm.colorBalance = 0;
    EXPECT_FALSE(TreeInitiallyDisabled(*FindTreeItemSpec(7), dm));
    EXPECT_TRUE(TreeInitiallyDisabled(*FindTreeItemSpec(12), dm));
}

// What one change writes, at the stored offsets, into every devmode it is given; the rest of
// each record stays as it was. Only the quality up-downs ask for the items to be read again.
TEST(TreeRules, ChangesWriteTheirFieldsIntoEveryTarget) {
    // The item, the selection, and the offsets then set to it.
    const std::tuple<uint16_t, int32_t, std::vector<size_t>> cases[] = {
        {5, 4, {7332}},   {6, 5, {7336}},   {7, 1, {7340}},   {8, 2, {7344, 7348, 7352}},
        {10, -3, {7360}}, {11, 4, {7368}},  {12, -5, {7364}}, {13, 5, {7372}},
        {14, 2, {7376}},  {17, -6, {7648}}, {18, 5, {7652}},  {19, 3, {7656}},
        {20, 1, {7660}},  {21, 1, {7664}},  {99, 1, {}},      {1, 1, {}} /* a heading */};
    for (const auto& [id, sel, offsets] : cases) {
        SCOPED_TRACE(id);
        PluginDevmode job{};
        std::memset(&job, 0x11, sizeof job);
        PluginDevmode work = job, before = job;
        FakeTree tree = FullTree();
        PluginDevmode* targets[] = {&job, nullptr, &work};
        const bool reinit = id >= 17 && id <= 19;
        EXPECT_EQ(TreeSelectionChanged(id, sel, tree, targets, 3),
                  reinit ? kTreeActionReinitItems : kTreeActionNone);
        for (size_t at : offsets)
            std::memcpy(reinterpret_cast<unsigned char*>(&before) + at, &sel, 4);
        EXPECT_EQ(std::memcmp(&job, &before, sizeof job), 0) << "sel at the offsets, nothing else";
        EXPECT_EQ(std::memcmp(&work, &job, sizeof job), 0) << "every target alike";
        if (tree.items.count(id)) {
            EXPECT_EQ(tree.items[id].changed, reinit);
        }
    }
}

// The two controllers: their dependents' current selections go in first, their marks turn
// with Manual, and the host is asked to re-read every item.
TEST(TreeRules, ControllersCopyAndEnableTheirDependents) {
    // The controller, its new selection and whether its dependents are then enabled.
    const std::tuple<uint16_t, int32_t, bool> cases[] = {
        {2, 3, true}, {2, 2, false}, {2, 0, false}, {9, 1, true}, {9, 0, false}};
    for (const auto& [controller, sel, enabled] : cases) {
        SCOPED_TRACE(std::to_string(controller) + " to " + std::to_string(sel));
        FakeTree tree = FullTree();
        const std::map<uint16_t, int32_t> current{{5, 1},   {6, 2},  {7, 3},   {8, 4},
                                                  {10, -1}, {11, 2}, {12, -3}, {13, 4}};
        for (const auto& [id, sel] : current) {
            tree.items[id].sel = sel;
            tree.items[id].disabled = enabled;
        }
        PluginDevmode dm{};
        PluginDevmode* targets[] = {&dm};
        EXPECT_EQ(TreeSelectionChanged(controller, sel, tree, targets, 1), kTreeActionReinitItems);
        using V = std::vector<int32_t>;
        const bool color = controller == 2;
        EXPECT_EQ(color ? dm.colorCorrection : dm.colorBalance, static_cast<uint32_t>(sel));
        const V copied =
            color ? V{int32_t(dm.rgbImages), int32_t(dm.rgbText), int32_t(dm.rgbGraphics),
                      int32_t(dm.cmykGraphics)}
                  : V{dm.cyanBalance, dm.yellowBalance, dm.magentaBalance, dm.blackBalance};
        const V want = color ? V{1, 2, 3, 0} : V{-1, 2, -3, 4}; // the CMYK item is not copied
        EXPECT_EQ(copied, want);
        for (int32_t id : color ? V{5, 6, 7, 8} : V{10, 11, 12, 13}) {
            EXPECT_EQ(tree.items[id].disabled, !enabled) << id;
            EXPECT_TRUE(tree.items[id].changed) << id;
        }
        EXPECT_FALSE(tree.items[color ? 10 : 5].changed);
    }
    // Dependents missing from the tree are skipped: nothing read, nothing marked.
    FakeTree empty;
    PluginDevmode dm{};
    dm.rgbImages = 4;
    PluginDevmode* targets[] = {&dm};
    EXPECT_EQ(TreeSelectionChanged(2, 3, empty, targets, 1), kTreeActionReinitItems);
    EXPECT_EQ(dm.rgbImages, 4u);
    EXPECT_EQ(dm.colorCorrection, 3u);
}

TEST(TreeRules, PrinterSheetHidesFourFeaturesInAnyCase) {
    for (const char* k : {"HasPrintandHold", "hasmanualduplex", "HASMANUALCOLORCORRECTION",
                          "HasKeepPreviousPHJobs", "hasPrintAndHold"})
        EXPECT_TRUE(HiddenInPrinterSheet(k)) << k;
    for (const char* k : {"HasNewPin", "FaxCard", "HasManualDuplex2", "HasManual", "", "Duplex"})
        EXPECT_FALSE(HiddenInPrinterSheet(k)) << k;
    EXPECT_FALSE(HiddenInPrinterSheet(nullptr));
}

TEST(TreeRules, LayoutItemsFoundInOneWalk) {
    struct Item {
        uint32_t pubId;
        bool hidden;
        const char* keyword;
    };
    const Item other{1, false, nullptr}, nup{16, false, nullptr}, order{17, false, nullptr},
        feature{0, false, "OutputOrder"};
    const struct {
        const char* what;
        std::vector<Item> items;
        ptrdiff_t pageOrder, nup;
    } cases[] = {
        {"both", {other, nup, order}, 2, 1},
        {"hidden ones are not taken", {{16, true, nullptr}, {17, true, nullptr}}, -1, -1},
        {"a later page-order item replaces an earlier one", {order, order}, 1, -1},
        {"the feature while no page-order item is known", {feature, nup}, 0, 1},
        {"the keyword is exact", {{0, false, "outputorder"}}, -1, -1},
        {"a page-order item before the feature keeps its place", {order, feature}, 0, -1},
        {"a page-order item after the feature replaces it", {feature, order}, 1, -1},
        {"a hidden feature item is not taken", {{0, true, "OutputOrder"}}, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LayoutItemFinder f;
        for (size_t i = 0; i < c.items.size(); ++i)
            f.See(i, c.items[i].pubId, c.items[i].hidden, c.items[i].keyword);
        EXPECT_EQ(f.pageOrder, c.pageOrder);
        EXPECT_EQ(f.nup, c.nup);
    }
}

TEST(TreeRules, BookletIndexByTextElseTheFallback) {
    struct Texts final : EntryTexts {
        std::vector<const char16_t*> texts; // null: the entry's text cannot be read
        bool Text(size_t i, std::u16string* t) const override {
            if (!texts[i]) return false;
            *t = texts[i];
            return true;
        }
    };
    const std::u16string booklet = u"Booklet";
    const struct {
        const char* what;
        const std::u16string* bookletText;
        std::vector<const char16_t*> entries;
        int32_t index;
    } cases[] = {
        {"found", &booklet, {u"1", u"2", u"Booklet", u"4"}, 2},
        {"the first that matches", &booklet, {u"Booklet", u"Booklet"}, 0},
        {"an unreadable entry is skipped", &booklet, {nullptr, u"Booklet"}, 1},
        {"case counts", &booklet, {u"booklet", u"BOOKLET"}, 6},
        {"no booklet text", nullptr, {u"Booklet"}, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Texts t;
        t.texts = c.entries;
        EXPECT_EQ(BookletIndex(c.bookletText, c.entries.size(), t), c.index);
    }
    EXPECT_TRUE(ReverseOrBooklet(true, 0) && ReverseOrBooklet(false, 1));
    EXPECT_FALSE(ReverseOrBooklet(false, 0) || ReverseOrBooklet(false, 2));
}
