#include "com/guid_text.h"

#include <objbase.h>
#include <winuser.h>

#include <gtest/gtest.h>

namespace {

constexpr CLSID quorrel = {
    0xAA01964D, 0x85CC, 0x44DC, {0x9F, 0xFF, 0xEE, 0xDC, 0xFA, 0x94, 0x5C, 0xBB}};

TEST(ClassIdentifierText, ReadsTheRegistrysSpellingInEitherCaseAndWritesItBack) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromString(u"{aa01964d-85cc-44dc-9fff-eedcfa945cbb}", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, quorrel));
    EXPECT_EQ(handset::guid_to_text(clsid), u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}");
}

TEST(ClassIdentifierText, RefusesEveryOtherTextAndLeavesZerosBehind) {
    for (const char16_t* text :
         {u"", u"AA01964D-85CC-44DC-9FFF-EEDCFA945CBB", u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CB}",
          u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CBBB}", u"{AA01964D-85CC-44DC-9FFFEEEDCFA945CBB}",
          u"{AA01964G-85CC-44DC-9FFF-EEDCFA945CBB}", u"Quorrel"}) {
        CLSID clsid = quorrel;
        EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING) << testing::PrintToString(text);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID{}));
    }
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromString(u"{AA01964D-85CC-44DC-9FFF-EEDCFA945CBB}", nullptr), E_INVALIDARG);
}

TEST(ClipboardFormats, OneNameIsOneRegisteredFormatWhateverItsCase) {
    const UINT oids = RegisterClipboardFormatW(u"Test Format Alpha");
    EXPECT_GE(oids, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(u"TEST FORMAT alpha"), oids);
    const UINT other = RegisterClipboardFormatW(u"Test Format Beta");
    EXPECT_GE(other, 0xC000u);
    EXPECT_NE(other, oids);
    EXPECT_EQ(RegisterClipboardFormatW(u""), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);
}

} // namespace
