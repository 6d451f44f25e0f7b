// The two screens a view is tried at, for tests run once at each.
#pragma once

#include "gdi/screen.h"

#include <gtest/gtest.h>

#include <string>

struct ScreenCase {
    const char* name;
    handset::ScreenProfile profile;
    // Pixel sizes of the views are multiplied by this: 2 at 192 dots per inch.
    int scale;
};

inline auto EachScreen() {
    return ::testing::Values(ScreenCase{"qvga", handset::ScreenProfile::qvga(), 1},
                             ScreenCase{"vga", handset::ScreenProfile::vga(), 2});
}

inline std::string ScreenName(const ::testing::TestParamInfo<ScreenCase>& info) {
    return info.param.name;
}
