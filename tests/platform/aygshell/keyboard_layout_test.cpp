#include "aygshell/keyboard_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using handset::KeyboardLayout;
using handset::PanelKey;

namespace {

std::u16string typed(const KeyboardLayout& layout, bool shift) {
    std::u16string text;
    for (const PanelKey& key : layout.keys()) {
        if (key.action == PanelKey::Action::character) {
            text += key.character(shift);
        }
    }
    return text;
}

int keys_covering(const KeyboardLayout& layout, LONG x, LONG y) {
    return static_cast<int>(
        std::count_if(layout.keys().begin(), layout.keys().end(), [&](const PanelKey& key) {
            return x >= key.area.left && x < key.area.right && y >= key.area.top &&
                   y < key.area.bottom;
        }));
}

} // namespace

TEST(KeyboardLayout, KeysCoverThePanelExactlyOnceAtEverySize) {
    for (const SIZE size : {SIZE{240, 80}, SIZE{480, 160}, SIZE{320, 80}, SIZE{237, 79}}) {
        const KeyboardLayout layout(size.cx, size.cy);
        for (LONG y = 0; y < size.cy; ++y) {
            for (LONG x = 0; x < size.cx; ++x) {
                ASSERT_EQ(keys_covering(layout, x, y), 1)
                    << "at " << x << "," << y << " of " << size.cx << "x" << size.cy;
            }
        }
    }
}

TEST(KeyboardLayout, TypesLettersDigitsAndTheCharactersOfPhoneNumbersAndAddresses) {
    const KeyboardLayout layout(240, 80);
    const std::u16string plain = typed(layout, false);
    for (char16_t c : std::u16string(u"0123456789abcdefghijklmnopqrstuvwxyz+*#@. -")) {
        EXPECT_NE(plain.find(c), std::u16string::npos) << static_cast<char>(c);
    }
    const std::u16string shifted = typed(layout, true);
    for (char16_t c : std::u16string(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^&*()")) {
        EXPECT_NE(shifted.find(c), std::u16string::npos) << static_cast<char>(c);
    }
}

TEST(KeyboardLayout, TheSpaceBarIsOneWideKeyOnTheBottomRow) {
    const KeyboardLayout layout(240, 80);
    const PanelKey* left = layout.key_at(POINT{80, 70});
    const PanelKey* right = layout.key_at(POINT{200, 70});
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left, right);
    EXPECT_EQ(left->character(false), u' ');
}

TEST(KeyboardLayout, FindsShiftAndBackspaceAndNothingOutsideThePanel) {
    const KeyboardLayout layout(240, 80);
    ASSERT_NE(layout.key_at(POINT{2, 50}), nullptr);
    EXPECT_EQ(layout.key_at(POINT{2, 50})->action, PanelKey::Action::shift);
    ASSERT_NE(layout.key_at(POINT{238, 40}), nullptr);
    EXPECT_EQ(layout.key_at(POINT{238, 40})->action, PanelKey::Action::backspace);
    EXPECT_EQ(layout.key_at(POINT{240, 40}), nullptr);
    EXPECT_EQ(layout.key_at(POINT{-1, 0}), nullptr);
    EXPECT_EQ(layout.key_at(POINT{0, 80}), nullptr);
}
