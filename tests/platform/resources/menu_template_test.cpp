#include "resources/menu_template.h"

#include "base/debug_output.h"
#include "resource_bytes.h"

#include <libloaderapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace handset {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;

constexpr UINT kGrayed = 0x1;
constexpr UINT kChecked = 0x8;
constexpr UINT kMenuBarBreak = 0x20;
constexpr UINT kRadioCheck = 0x200;
constexpr UINT kSeparator = 0x800;
constexpr WORD kPopupFlag = 0x10;
constexpr WORD kEndFlag = 0x80;

MenuTemplate fixture_menu(WORD id) {
    return testing::parse_fixture(id, RT_MENU, parse_menu_template);
}

TEST(MenuTemplate, ReadsClassicPopupsSeparatorsAndOptions) {
    MenuTemplate menu = fixture_menu(200);
    EXPECT_FALSE(menu.extended);
    ASSERT_EQ(menu.items.size(), 2u);

    const MenuItem& file = menu.items[0];
    EXPECT_TRUE(file.popup);
    EXPECT_EQ(file.text, u"&File");
    EXPECT_EQ(file.id, 0u);
    ASSERT_EQ(file.items.size(), 3u);

    EXPECT_EQ(file.items[0].text, u"&Open");
    EXPECT_EQ(file.items[0].id, 300u);
    EXPECT_EQ(file.items[0].state, kGrayed);
    EXPECT_EQ(file.items[0].type, 0u);

    EXPECT_EQ(file.items[1].type, kSeparator);
    EXPECT_EQ(file.items[1].id, 0u);

    const MenuItem& recent = file.items[2];
    EXPECT_TRUE(recent.popup);
    ASSERT_EQ(recent.items.size(), 2u);
    EXPECT_EQ(recent.items[0].state, kChecked) << "the end mark is not a state";
    EXPECT_EQ(recent.items[0].id, 301u);
    EXPECT_EQ(recent.items[1].type, kMenuBarBreak);
    EXPECT_EQ(recent.items[1].state, 0u) << "the end mark (0x80) is not MF_HILITE";

    const MenuItem& quit = menu.items[1];
    EXPECT_FALSE(quit.popup);
    EXPECT_EQ(quit.id, 303u);
    EXPECT_EQ(quit.text, u"Quit");
}

TEST(MenuTemplate, ReadsExtendedTypesStatesIdsAndHelpIds) {
    MenuTemplate menu = fixture_menu(201);
    EXPECT_TRUE(menu.extended);
    ASSERT_EQ(menu.items.size(), 2u);

    const MenuItem& edit = menu.items[0];
    EXPECT_TRUE(edit.popup);
    EXPECT_EQ(edit.id, 400u);
    EXPECT_EQ(edit.help_id, 55u);
    ASSERT_EQ(edit.items.size(), 3u);
    EXPECT_EQ(edit.items[0].state, 3u);
    EXPECT_EQ(edit.items[1].type, kSeparator);
    EXPECT_EQ(edit.items[2].type, kRadioCheck);
    EXPECT_EQ(edit.items[2].state, kChecked);
    EXPECT_EQ(edit.items[2].id, 402u);

    EXPECT_EQ(menu.items[1].text, u"Last");
    EXPECT_EQ(menu.items[1].id, 403u);
}

TEST(MenuTemplate, RefusesEveryTruncation) {
    for (WORD id : {200, 201}) {
        SCOPED_TRACE(id);
        testing::expect_every_truncation_refused(
            testing::fixture_resource(MAKEINTRESOURCE(id), RT_MENU), parse_menu_template);
    }
}

TEST(MenuTemplate, RefusesAnUnknownVersion) {
    Bytes bytes;
    bytes.word(2).word(0).word(kEndFlag).word(1).text(u"x");
    DebugCapture capture;

    EXPECT_FALSE(parse_menu_template(bytes).has_value());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("unknown template version 2"));
}

TEST(MenuTemplate, RefusesAHeaderThatPointsPastTheData) {
    Bytes bytes;
    bytes.word(0).word(200).word(kEndFlag).word(1).text(u"x");
    EXPECT_FALSE(parse_menu_template(bytes).has_value());
}

// A classic template of popups, each the only item of the one above, around one "leaf" item.
Bytes nested_popups(int levels) {
    Bytes bytes;
    bytes.word(0).word(0);
    for (int level = 0; level < levels; ++level) {
        bytes.word(kPopupFlag | kEndFlag).text(u"p");
    }
    bytes.word(kEndFlag).word(1).text(u"leaf");
    return bytes;
}

TEST(MenuTemplate, RefusesPopupsNestedWithoutLimit) {
    DebugCapture capture;
    EXPECT_FALSE(parse_menu_template(nested_popups(100)).has_value());
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("nest deeper"));
}

TEST(MenuTemplate, AcceptsPopupsNestedAFewLevels) {
    std::optional<MenuTemplate> menu = parse_menu_template(nested_popups(5));
    ASSERT_TRUE(menu.has_value());
    const MenuItem* item = &menu->items.at(0);
    for (int level = 0; level < 5; ++level) {
        ASSERT_TRUE(item->popup);
        item = &item->items.at(0);
    }
    EXPECT_EQ(item->text, u"leaf");
}

} // namespace
} // namespace handset
