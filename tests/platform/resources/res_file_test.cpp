#include "resources/res_file.h"

#include "base/debug_output.h"
#include "resource_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace handset {
namespace {

using testing::Bytes;

constexpr WORD kEnglish = 0x0409;

Bytes marker_entry() {
    return Bytes().res_marker();
}

TEST(ResFile, ReadsEveryEntryThatWindresWrote) {
    std::vector<BYTE> image = testing::fixture_file_bytes();
    std::optional<std::vector<ResEntry>> entries = parse_res_file(image, "fixture");
    ASSERT_TRUE(entries.has_value());

    int bitmaps = 0;
    const ResEntry* marker = nullptr;
    for (const ResEntry& entry : *entries) {
        EXPECT_EQ(entry.language, kEnglish);
        bitmaps += entry.type == ResourceName::from_ordinal(2);
        if (entry.type == ResourceName::from_text(u"CEUX") &&
            entry.name == ResourceName::from_text(u"HI_RES_AWARE")) {
            marker = &entry;
        }
    }
    EXPECT_EQ(bitmaps, 8);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(std::vector<BYTE>(marker->data.begin(), marker->data.end()),
              (std::vector<BYTE>{0x01, 0x00}));
}

// Cutting a file between two entries (in the padding after an entry's data, or right after it)
// leaves a shorter valid file; any other cut is damage.
TEST(ResFile, AcceptsACutOnlyBetweenEntries) {
    std::vector<BYTE> image = testing::fixture_file_bytes();
    std::vector<ResEntry> entries = parse_res_file(image, "fixture").value();
    std::vector<size_t> boundaries{32};
    for (const ResEntry& entry : entries) {
        size_t end = static_cast<size_t>(entry.data.data() + entry.data.size() - image.data());
        for (size_t cut = end; cut <= (end + 3) / 4 * 4; ++cut) {
            boundaries.push_back(cut);
        }
    }
    for (size_t size = 0; size < image.size(); ++size) {
        DebugCapture capture;
        bool boundary = std::find(boundaries.begin(), boundaries.end(), size) != boundaries.end();
        std::span<const BYTE> cut(image.data(), size);
        EXPECT_EQ(parse_res_file(cut, "cut").has_value(), boundary) << "cut to " << size;
        EXPECT_EQ(capture.lines().size(), boundary ? 0u : 1u);
    }
}

TEST(ResFile, RefusesDamagedFilesWithAReason) {
    std::vector<testing::DamagedInput> cases;
    cases.push_back({"empty", Bytes(), "Resource file damaged.res is damaged: the file is empty"});
    cases.push_back({"text", Bytes().text(u"REGEDIT4\r\n"), "does not start with the empty entry"});
    cases.push_back({"16-bit file", Bytes().byte(0xFF).word(5).byte(0xFF).word(100).word(0x1030),
                     "does not start with the empty entry"});
    cases.push_back({"small header", marker_entry().dword(0).dword(8), "less than the smallest"});
    cases.push_back({"header past the end", marker_entry().dword(0).dword(64).ordinal(1),
                     "entry header needs 64 bytes"});
    cases.push_back({"data past the end",
                     marker_entry()
                         .res_entry(ResourceName::from_text(u"X"), ResourceName::from_ordinal(1),
                                    std::vector<BYTE>{1})
                         .dword(100)
                         .dword(32)
                         .ordinal(1)
                         .ordinal(1)
                         .dword(0)
                         .dword(0)
                         .dword(0)
                         .dword(0),
                     "declares 100 bytes of data"});
    cases.push_back({"unterminated name",
                     marker_entry().dword(0).dword(32).text(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ", false),
                     "entry type"});
    cases.push_back({"trailing bytes", marker_entry().word(7), "entry data size"});
    testing::expect_refused_with_reason(
        cases, [](std::span<const BYTE> image) { return parse_res_file(image, "damaged.res"); });
}

} // namespace
} // namespace handset
