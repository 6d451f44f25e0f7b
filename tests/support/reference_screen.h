// The screen compared with a reference picture kept in the repository. Run the tests with
// TELVANE_UPDATE_REFERENCES=1 to write the current screen as the new reference instead; a
// mismatch leaves the screen that was seen beside the test, for a look.
#pragma once

#include "display/png_file.h"
#include "gdi/screen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

inline bool UpdatingReferences() {
    const char* update = std::getenv("TELVANE_UPDATE_REFERENCES");
    return update != nullptr && std::string(update) == "1";
}

// How many pixels differ; every pixel when the sizes differ.
inline long DifferingPixels(const handset::Surface& seen, const handset::Surface& reference) {
    if (seen.width() != reference.width() || seen.height() != reference.height()) {
        return static_cast<long>(seen.width()) * seen.height();
    }
    long differing = 0;
    for (int y = 0; y < seen.height(); ++y) {
        for (int x = 0; x < seen.width(); ++x) {
            differing += (seen.pixel(x, y) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF);
        }
    }
    return differing;
}

inline void ExpectScreenMatchesReference(const std::filesystem::path& reference) {
    const handset::Surface seen = handset::Screen::instance().compose();
    if (UpdatingReferences()) {
        ASSERT_TRUE(handset::write_png(reference, seen));
        return;
    }
    const std::optional<handset::Surface> expected = handset::read_png(reference);
    ASSERT_TRUE(expected) << reference << " is missing: run with TELVANE_UPDATE_REFERENCES=1";
    const long differing = DifferingPixels(seen, *expected);
    if (differing != 0) {
        const std::filesystem::path kept = reference.filename().replace_extension(".seen.png");
        handset::write_png(kept, seen);
        ADD_FAILURE() << differing << " pixels differ from " << reference << "; the screen is in "
                      << std::filesystem::absolute(kept);
    }
}
