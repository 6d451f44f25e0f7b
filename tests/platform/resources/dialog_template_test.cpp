#include "resources/dialog_template.h"

#include "base/debug_output.h"
#include "resource_bytes.h"

#include <libloaderapi.h>
#include <winstyles.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace handset {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;

constexpr WORD kButton = 0x80;
constexpr WORD kEdit = 0x81;
constexpr WORD kStatic = 0x82;

// windres adds these to every control it writes.
constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;

DialogTemplate fixture_dialog(WORD id) {
    return testing::parse_fixture(id, RT_DIALOG, parse_dialog_template);
}

TEST(DialogTemplate, ReadsEveryFieldOfAClassicTemplate) {
    DialogTemplate dialog = fixture_dialog(100);

    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | WS_VISIBLE | DS_SETFONT | WS_CAPTION))
        << "windres adds WS_CAPTION for CAPTION";
    EXPECT_EQ(dialog.ex_style, 0u);
    EXPECT_EQ(dialog.x, 10);
    EXPECT_EQ(dialog.y, 20);
    EXPECT_EQ(dialog.cx, 160);
    EXPECT_EQ(dialog.cy, 120);
    EXPECT_EQ(dialog.menu, ResourceName::from_ordinal(200));
    EXPECT_TRUE(dialog.window_class.is_none());
    EXPECT_EQ(dialog.title, u"Classic");
    ASSERT_TRUE(dialog.font.has_value());
    EXPECT_EQ(*dialog.font, (DialogFont{8, 0, false, 0, u"Tahoma"}));

    ASSERT_EQ(dialog.items.size(), 4u);
    const DialogItem& label = dialog.items[0];
    EXPECT_EQ(label.window_class, ResourceName::from_ordinal(kStatic));
    EXPECT_EQ(label.text, ResourceName::from_text(u"Name:"));
    EXPECT_EQ(label.id, 1001u);
    EXPECT_EQ(label.style, DWORD(kChildVisible | WS_GROUP | SS_LEFT));
    EXPECT_EQ(label.x, 4);
    EXPECT_EQ(label.y, 6);
    EXPECT_EQ(label.cx, 40);
    EXPECT_EQ(label.cy, 10);

    const DialogItem& tree = dialog.items[1];
    EXPECT_EQ(tree.window_class, ResourceName::from_text(u"SYSTREEVIEW32"));
    EXPECT_TRUE(tree.text.is_none());
    EXPECT_EQ(tree.id, 0xFFFFu) << "a classic template keeps -1 in 16 bits";
    EXPECT_EQ(tree.style, DWORD(kChildVisible | TVS_HASLINES | TVS_CHECKBOXES));

    const DialogItem& icon = dialog.items[2];
    EXPECT_EQ(icon.window_class, ResourceName::from_ordinal(kStatic));
    EXPECT_EQ(icon.text, ResourceName::from_ordinal(400));
    EXPECT_EQ(icon.style & SS_ICON, DWORD(SS_ICON));

    const DialogItem& ok = dialog.items[3];
    EXPECT_EQ(ok.window_class, ResourceName::from_ordinal(kButton));
    EXPECT_EQ(ok.id, DWORD(IDOK));
    EXPECT_EQ(ok.style & 0xF, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(ok.creation_data.empty());
}

TEST(DialogTemplate, ReadsEveryFieldOfAnExtendedTemplate) {
    DialogTemplate dialog = fixture_dialog(101);

    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.style, DWORD(WS_POPUP | DS_SETFONT | WS_CAPTION));
    EXPECT_EQ(dialog.ex_style, DWORD(WS_EX_TOPMOST));
    EXPECT_EQ(dialog.cx, 240);
    EXPECT_EQ(dialog.cy, 268);
    EXPECT_EQ(dialog.menu, ResourceName::from_text(u"NAMEDMENU"));
    EXPECT_EQ(dialog.window_class, ResourceName::from_text(u"TELVANEDIALOG"));
    EXPECT_EQ(dialog.title, u"Extended");
    ASSERT_TRUE(dialog.font.has_value());
    EXPECT_EQ(*dialog.font, (DialogFont{9, 700, true, 0, u"DejaVu Sans"}));

    ASSERT_EQ(dialog.items.size(), 3u);
    const DialogItem& edit = dialog.items[0];
    EXPECT_EQ(edit.window_class, ResourceName::from_ordinal(kEdit));
    EXPECT_EQ(edit.help_id, 77u);
    EXPECT_EQ(edit.ex_style, DWORD(WS_EX_CLIENTEDGE));
    EXPECT_EQ(edit.style & (ES_NUMBER | ES_AUTOHSCROLL), DWORD(ES_NUMBER | ES_AUTOHSCROLL));
    EXPECT_EQ(edit.id, 2001u);

    const DialogItem& list = dialog.items[1];
    EXPECT_EQ(list.window_class, ResourceName::from_text(u"SYSLISTVIEW32"));
    EXPECT_EQ(list.id, 0xFFFFFFFFu) << "an extended template keeps -1 in 32 bits";

    const DialogItem& check = dialog.items[2];
    EXPECT_EQ(check.text, ResourceName::from_text(u"Data"));
    EXPECT_EQ(check.help_id, 88u);
    EXPECT_EQ(check.creation_data, (std::vector<BYTE>{0x01, 0x02, 0x03, 0x04}));
}

TEST(DialogTemplate, HasNoFontWithoutSetFontAndMayHaveNoControls) {
    DialogTemplate dialog = fixture_dialog(102);
    EXPECT_FALSE(dialog.font.has_value());
    EXPECT_TRUE(dialog.items.empty());
    EXPECT_TRUE(dialog.menu.is_none());
}

// The alignment of each control counts from the template's start, including after a string that
// ends on an odd WORD.
TEST(DialogTemplate, AlignsEachControlToFourBytes) {
    Bytes bytes;
    bytes.dword(WS_POPUP).dword(0).word(2).word(0).word(0).word(10).word(10);
    bytes.word(0).word(0).text(u"T");
    bytes.align(4).dword(WS_CHILD).dword(0).word(1).word(2).word(3).word(4).word(7);
    bytes.ordinal(kStatic).text(u"ab").word(0);
    bytes.align(4).dword(WS_CHILD).dword(0).word(5).word(6).word(7).word(8).word(9);
    bytes.ordinal(kButton).word(0).word(2).byte(0xAA).byte(0xBB);

    std::optional<DialogTemplate> dialog = parse_dialog_template(bytes);
    ASSERT_TRUE(dialog.has_value());
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].id, 7u);
    EXPECT_EQ(dialog->items[0].text, ResourceName::from_text(u"ab"));
    EXPECT_EQ(dialog->items[1].id, 9u);
    EXPECT_EQ(dialog->items[1].x, 5);
    EXPECT_EQ(dialog->items[1].creation_data, (std::vector<BYTE>{0xAA, 0xBB}));
}

TEST(DialogTemplate, RefusesAControlCountBeyondTheData) {
    for (WORD id : {100, 101}) {
        std::vector<BYTE> data = testing::fixture_resource(MAKEINTRESOURCE(id), RT_DIALOG);
        size_t count_offset = id == 100 ? 8 : 16;
        data[count_offset] += 1;
        DebugCapture capture;

        EXPECT_FALSE(parse_dialog_template(data).has_value()) << "dialog " << id;
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_THAT(capture.lines()[0], HasSubstr("damaged"));
        EXPECT_THAT(capture.lines()[0], HasSubstr(id == 100 ? "control 5 of 5" : "control 4 of 4"));
    }
}

TEST(DialogTemplate, RefusesEveryTruncation) {
    for (WORD id : {100, 101, 102}) {
        SCOPED_TRACE(id);
        testing::expect_every_truncation_refused(
            testing::fixture_resource(MAKEINTRESOURCE(id), RT_DIALOG), parse_dialog_template);
    }
}

TEST(DialogTemplate, NamesTheFieldThatRunsOffTheEnd) {
    Bytes bytes;
    bytes.dword(WS_POPUP).dword(0).word(0).word(0).word(0).word(10).word(10);
    bytes.word(0).word(0).text(u"no end", false);
    DebugCapture capture;

    EXPECT_FALSE(parse_dialog_template(bytes).has_value());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("dialog title"));
    EXPECT_THAT(capture.lines()[0], HasSubstr("no terminator"));
}

} // namespace
} // namespace handset
