#include "radar/label_editor_state.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "base/ini_file.h"
#include "base/strings.h"
#include "base/testing/temp_dir.h"

namespace aerova {
namespace {

std::string FileText(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return "<missing>";
    return text;
}

TEST(LabelEditorStateTest, StoredIndexesOutsideTheirBoxesGiveZeroAndKindsStay) {
    struct Case {
        const char* activetab;
        const char* demo;
        int tab, mach, reg, peer;
    };
    const Case cases[] = {
        {"3", "mach=5\nreg=2\npeer=1\n", 3, 5, 2, 1},
        {"4", "mach=6\nreg=3\npeer=2\n", 0, 0, 0, 0},
        {"-1", "mach=-1\nreg=-2\npeer=-3\n", 0, 0, 0, 0},
        {"x", "", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.activetab);
        testing::TempDir dir;
        dir.Write("labels.ini", Concat({"[labelidx]\nactivetab=", c.activetab,
                                        "\n0-0-0=30\n3-3-3=99\n[demo]\n", c.demo}));
        const LabelEditorState state = LoadLabelEditor(dir.File("labels.ini"));
        EXPECT_EQ(state.tab, c.tab);
        EXPECT_EQ(state.layout.activeTab, c.tab);
        EXPECT_EQ(state.layout.formats.mach, c.mach);
        EXPECT_EQ(state.layout.formats.reg, c.reg);
        EXPECT_EQ(state.layout.formats.peer, c.peer);
        EXPECT_EQ(state.layout.kinds[0][0][0], 30);
        EXPECT_EQ(state.layout.kinds[3][3][3], 99);
        EXPECT_EQ(state.accepted.kinds, state.layout.kinds);
    }
}

TEST(LabelEditorStateTest, EachFormatBoxWritesItsOwnKey) {
    testing::TempDir dir;
    LabelEditorState state = LoadLabelEditor(dir.File("labels.ini"));
    const auto& choices = LabelFormatChoices();
    ASSERT_EQ(choices.size(), 13u);
    for (std::size_t c = 0; c < choices.size(); ++c)
        ChooseLabelFormat(state, static_cast<int>(c),
                          static_cast<int>(choices[c].items.size()) - 1);
    ChooseLabelFormat(state, 0, 9);  // past the last item: 0
    ASSERT_TRUE(AcceptLabelEdits(state, 10, 20));
    const IniFile ini(dir.File("labels.ini"));
    for (std::size_t c = 0; c < choices.size(); ++c) {
        SCOPED_TRACE(choices[c].key);
        const int expected = c == 0 ? 0 : static_cast<int>(choices[c].items.size()) - 1;
        EXPECT_EQ(ini.ReadInteger("demo", choices[c].key, -1), expected);
        EXPECT_EQ(state.layout.formats.*choices[c].field, expected);
    }
}

TEST(LabelEditorStateTest, SlotBoxesShowAndKeepKindsTheyCannotList) {
    struct Case {
        std::int32_t kind;
        const char* extra;  // nullptr: no extra item
        int chosen;
        std::int32_t after;
    };
    const Case cases[] = {
        {5, nullptr, 5, 5},          {5, nullptr, 24, 24},           {24, nullptr, 0, 0},
        {30, "DB: Country", 25, 30}, {31, "DB: Registration", 3, 3}, {73, "DB: UserInt5", 25, 73},
        {99, "Kind 99", 25, 99},     {-1, "Kind -1", 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const LabelSlotBox box = LabelSlotBoxFor(c.kind);
        EXPECT_EQ(box.items.front(), "Flight ID");
        EXPECT_EQ(box.items[24], "++ BLANK ++");
        if (c.extra) {
            ASSERT_EQ(box.items.size(), 26u);
            EXPECT_EQ(box.items.back(), c.extra);
            EXPECT_EQ(box.index, 25);
        } else {
            EXPECT_EQ(box.items.size(), 25u);
            EXPECT_EQ(box.index, c.kind);
        }

        // Only the box the user changed is written back; its neighbours keep their kinds.
        LabelEditorState state;
        SelectLabelTab(state, 2);
        state.layout.kinds[2][1][2] = c.kind;
        state.layout.kinds[2][1][3] = 40;
        const auto before = state.layout.kinds;
        EXPECT_EQ(ChooseLabelSlot(state, 1, 2, c.chosen), c.after != c.kind);
        EXPECT_EQ(state.layout.kinds[2][1][2], c.after);
        auto expected = before;
        expected[2][1][2] = c.after;
        EXPECT_EQ(state.layout.kinds, expected);
    }
}

TEST(LabelEditorStateTest, CancelReturnsToTheLastOpeningOrAcceptAndWritesNothing) {
    testing::TempDir dir;
    const std::string path = dir.File("labels.ini");
    dir.Write("labels.ini", "[labelidx]\n1-0-0=30\n[demo]\nmach=2\n");
    LabelEditorState state = LoadLabelEditor(path);
    OpenLabelEditor(state);
    const LabelLayout opened = state.layout;

    SelectLabelTab(state, 1);
    ChooseLabelSlot(state, 0, 1, 24);
    ChooseLabelFormat(state, 8, 4);  // mach
    CopyPreviousLabelPage(state);
    CancelLabelEdits(state);
    EXPECT_EQ(state.layout.kinds, opened.kinds);
    EXPECT_EQ(state.layout.formats.mach, 2);
    EXPECT_EQ(FileText(path), "[labelidx]\n1-0-0=30\n[demo]\nmach=2\n");
    EXPECT_FALSE(CloseLabelEditor(state, 1, 2));
    EXPECT_EQ(FileText(path), "[labelidx]\n1-0-0=30\n[demo]\nmach=2\n");

    // Reopened: "Cancel" returns to what "Accept" wrote, not to the opening.
    OpenLabelEditor(state);
    ChooseLabelSlot(state, 0, 1, 24);
    ASSERT_TRUE(AcceptLabelEdits(state, 300, 400));
    const LabelLayout accepted = state.layout;
    ChooseLabelSlot(state, 3, 3, 0);
    ChooseLabelFormat(state, 1, 1);  // squawk
    CancelLabelEdits(state);
    EXPECT_EQ(state.layout.kinds, accepted.kinds);
    EXPECT_EQ(state.layout.formats.squawk, 0);
    const LabelLayout written = LoadLabelLayout(path);
    EXPECT_EQ(written.kinds, accepted.kinds);
    EXPECT_EQ(written.kinds[1][0][0], 30);
    EXPECT_EQ(written.kinds[1][0][1], 24);
    EXPECT_EQ(written.activeTab, 1);
    EXPECT_EQ(written.windowLeft, 300);
    EXPECT_EQ(written.windowTop, 400);
}

TEST(LabelEditorStateTest, ClosingWritesUnlessCancelWasUsedInThisRun) {
    testing::TempDir dir;
    const std::string path = dir.File("labels.ini");
    LabelEditorState state = LoadLabelEditor(path);
    OpenLabelEditor(state);
    SelectLabelTab(state, 3);
    ChooseLabelSlot(state, 2, 0, 20);
    EXPECT_TRUE(CloseLabelEditor(state, 5, 6));
    LabelLayout written = LoadLabelLayout(path);
    EXPECT_EQ(written.kinds[3][2][0], 20);
    EXPECT_EQ(written.activeTab, 3);
    EXPECT_EQ(written.windowTop, 6);

    OpenLabelEditor(state);
    CancelLabelEdits(state);
    OpenLabelEditor(state);
    ChooseLabelSlot(state, 2, 0, 21);
    EXPECT_FALSE(CloseLabelEditor(state, 5, 6));
    EXPECT_EQ(LoadLabelLayout(path).kinds[3][2][0], 20);
    // "Accept" still writes.
    EXPECT_TRUE(AcceptLabelEdits(state, 5, 6));
    EXPECT_EQ(LoadLabelLayout(path).kinds[3][2][0], 21);
}

TEST(LabelEditorStateTest, CopyFromPreviousPage) {
    LabelEditorState state;
    state.layout.kinds[1][0][0] = 30;
    state.layout.kinds[1][3][3] = 24;
    EXPECT_FALSE(CanCopyPreviousLabelPage(state));
    const auto before = state.layout.kinds;
    CopyPreviousLabelPage(state);
    EXPECT_EQ(state.layout.kinds, before);

    SelectLabelTab(state, 2);
    ASSERT_TRUE(CanCopyPreviousLabelPage(state));
    CopyPreviousLabelPage(state);
    EXPECT_EQ(state.layout.kinds[2], before[1]);
    EXPECT_EQ(state.layout.kinds[1], before[1]);
    EXPECT_EQ(state.layout.kinds[3], before[3]);
}

TEST(LabelEditorStateTest, WindowOffEveryScreenIsCentred) {
    const std::vector<EditorScreen> two = {{0, 0, 1920, 1080, false}, {1920, 0, 1280, 1024, true}};
    struct Case {
        EditorPoint stored;
        std::vector<EditorScreen> screens;
        EditorPoint expected;
    };
    const Case cases[] = {
        {{200, 120}, two, {200, 120}},
        {{3000, 900}, two, {3000, 900}},                         // reaches into the second screen
        {{-599, -399}, two, {-599, -399}},                       // one pixel on the first
        {{-600, 120}, two, {2260, 312}},                         // off both: centred on the primary
        {{5000, 5000}, {{0, 0, 1024, 768, false}}, {212, 184}},  // no primary: the first
        {{5000, 5000}, {}, {5000, 5000}},                        // no screens known
        {{9000, 0}, {{0, 0, 400, 300, true}}, {0, 0}},           // larger than the screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.stored.left << "," << c.stored.top);
        const EditorPoint p = PlaceEditorWindow(c.stored, 600, 600 - 200, c.screens);
        EXPECT_EQ(p.left, c.expected.left);
        EXPECT_EQ(p.top, c.expected.top);
    }
}

TEST(LabelEditorStateTest, IconScaleIndexOutsideTheListIsTheDefault) {
    const std::pair<int, double> cases[] = {{-1, 0.8}, {0, 0.33}, {3, 0.75}, {6, 1.0}, {7, 0.8}};
    for (const auto& [index, scale] : cases)
        EXPECT_DOUBLE_EQ(kKmlEditorIconScales[KmlEditorIconScaleIndex(index)], scale) << index;
    EXPECT_EQ(KmlEditorIconScaleIndex(KmlEditorOptions{}.iconscale), 4);
}

}  // namespace
}  // namespace aerova
