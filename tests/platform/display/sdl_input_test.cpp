#include "display/sdl_input.h"

#include <SDL.h>
#include <gmock/gmock.h>
#include <winuser.h>

using handset::handset_key_for;
using handset::InputEvent;
using handset::MouseStylus;
using Kind = handset::InputEvent::Kind;
using Button = handset::MouseStylus::Button;
using testing::IsEmpty;

namespace {

std::vector<Kind> kinds(const std::vector<InputEvent>& events) {
    std::vector<Kind> result;
    for (const InputEvent& event : events) {
        result.push_back(event.kind);
    }
    return result;
}

} // namespace

TEST(SdlKeys, TheFunctionKeysAreTheHandsetsSoftKeysAndTalk) {
    EXPECT_EQ(handset_key_for(SDLK_F1), VK_TSOFT1);
    EXPECT_EQ(handset_key_for(SDLK_F2), VK_TSOFT2);
    EXPECT_EQ(handset_key_for(SDLK_F3), VK_TTALK);
    EXPECT_EQ(handset_key_for(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(handset_key_for(SDLK_BACKSPACE), VK_BACK);
    EXPECT_EQ(handset_key_for(SDLK_KP_ENTER), VK_RETURN);
}

TEST(SdlKeys, TextKeysAndTheRotationKeyAreNoHandsetKeys) {
    EXPECT_FALSE(handset_key_for(SDLK_a));
    EXPECT_FALSE(handset_key_for(SDLK_5));
    EXPECT_FALSE(handset_key_for(SDLK_SPACE));
    EXPECT_FALSE(handset_key_for(SDLK_F5));
}

TEST(MouseStylus, TheLeftButtonIsTheStylusItself) {
    MouseStylus stylus;
    EXPECT_THAT(kinds(stylus.press(Button::left, POINT{10, 20}, 1000)),
                testing::ElementsAre(Kind::stylus_down));
    const std::vector<InputEvent> moved = stylus.move(POINT{12, 22});
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].point.x, 12);
    EXPECT_THAT(kinds(stylus.release(Button::left, POINT{12, 22}, 1010)),
                testing::ElementsAre(Kind::stylus_up));
    EXPECT_THAT(stylus.move(POINT{1, 1}), IsEmpty()) << "no stylus while the button is up";
}

TEST(MouseStylus, AQuickRightClickKeepsTheStylusDownForTheHoldTime) {
    MouseStylus stylus;
    EXPECT_THAT(kinds(stylus.press(Button::right, POINT{30, 40}, 1000)),
                testing::ElementsAre(Kind::stylus_down));
    EXPECT_THAT(stylus.release(Button::right, POINT{35, 45}, 1050), IsEmpty());
    EXPECT_EQ(stylus.wait_before_due(1050), MouseStylus::right_click_hold_ms - 50);
    EXPECT_THAT(stylus.move(POINT{50, 50}), IsEmpty()) << "the hold does not wander";
    EXPECT_THAT(stylus.due(1000 + MouseStylus::right_click_hold_ms - 1), IsEmpty());
    const std::vector<InputEvent> lift = stylus.due(1000 + MouseStylus::right_click_hold_ms);
    ASSERT_EQ(lift.size(), 1u);
    EXPECT_EQ(lift[0].kind, Kind::stylus_up);
    EXPECT_EQ(lift[0].point.x, 30) << "lifted where it went down";
    EXPECT_FALSE(stylus.wait_before_due(2000));
}

TEST(MouseStylus, ALongRightClickLiftsAtOnceOnRelease) {
    MouseStylus stylus;
    stylus.press(Button::right, POINT{1, 2}, 0xFFFFFF00u);
    // The tick counter wraps while the button is held.
    EXPECT_THAT(kinds(stylus.release(Button::right, POINT{1, 2}, 0x00000400u)),
                testing::ElementsAre(Kind::stylus_up));
}

TEST(MouseStylus, WhileOneButtonHasTheStylusTheOtherDoesNothing) {
    MouseStylus stylus;
    stylus.press(Button::right, POINT{1, 1}, 0);
    EXPECT_THAT(stylus.press(Button::left, POINT{2, 2}, 10), IsEmpty());
    EXPECT_THAT(stylus.release(Button::left, POINT{2, 2}, 20), IsEmpty());
    stylus.release(Button::right, POINT{1, 1}, 30);
    EXPECT_THAT(stylus.press(Button::left, POINT{2, 2}, 40), IsEmpty()) << "the hold is not over";
    stylus.due(MouseStylus::right_click_hold_ms);
    EXPECT_THAT(kinds(stylus.press(Button::left, POINT{2, 2}, 700)),
                testing::ElementsAre(Kind::stylus_down));
}
