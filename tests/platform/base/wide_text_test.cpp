#include "base/wide_text.h"

#include <strsafe.h>
#include <winbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

template <size_t N>
void fill(WCHAR (&buffer)[N]) {
    std::fill(std::begin(buffer), std::end(buffer), u'#');
}

} // namespace

TEST(WideText, MeasuresAndCopiesTerminatedText) {
    EXPECT_EQ(lstrlenW(u"Telvane"), 7);
    EXPECT_EQ(lstrlenW(u""), 0);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    WCHAR out[16];
    EXPECT_EQ(lstrcpyW(out, u"SIM"), out);
    EXPECT_EQ(lstrcatW(out, u" card"), out);
    EXPECT_EQ(std::u16string(out), u"SIM card");
    EXPECT_EQ(lstrcpyW(nullptr, u"x"), nullptr);
}

TEST(WideText, CopiesAtMostOneLessThanTheLimitAndTerminates) {
    WCHAR out[8];
    fill(out);
    EXPECT_EQ(lstrcpynW(out, u"abcdef", 4), out);
    EXPECT_EQ(std::u16string(out), u"abc");
    EXPECT_EQ(out[4], u'#');

    fill(out);
    lstrcpynW(out, u"abcdef", 1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], u'#');

    fill(out);
    lstrcpynW(out, u"abcdef", 0);
    EXPECT_EQ(out[0], u'#');

    lstrcpynW(out, u"ab", 8);
    EXPECT_EQ(std::u16string(out), u"ab");
}

TEST(WideText, KeepsTheCMeaningOfWcsncpy) {
    WCHAR out[6];
    fill(out);
    wcsncpy(out, u"ab", 4);
    EXPECT_EQ(std::u16string(out, 5), std::u16string(u"ab\0\0#", 5)) << "pads with zeros";

    fill(out);
    wcsncpy(out, u"abcdef", 3);
    EXPECT_EQ(std::u16string(out, 4), u"abc#") << "no terminator when the source is long";
    EXPECT_EQ(wcslen(u"\u4e2d\u6587"), 2u);
}

TEST(WideText, ComparesIgnoringCaseAcrossTheHandsetsScripts) {
    EXPECT_EQ(lstrcmpiW(u"Software\\Nemora", u"SOFTWARE\\nemora"), 0);
    EXPECT_EQ(lstrcmpiW(u"\u00e9t\u00e9", u"\u00c9T\u00c9"), 0);             // Latin-1
    EXPECT_EQ(lstrcmpiW(u"\u0142\u00f3d\u017a", u"\u0141\u00d3D\u0179"), 0); // Latin Extended-A
    EXPECT_EQ(lstrcmpiW(u"\u03ac\u03bb\u03c2", u"\u0386\u039b\u03a3"), 0);   // Greek
    EXPECT_EQ(lstrcmpiW(u"\u0451\u0436", u"\u0401\u0416"), 0);               // Cyrillic
    EXPECT_EQ(lstrcmpiW(u"\uff41", u"\uff21"), 0);                           // full width
    EXPECT_EQ(_wcsicmp(u"\u00ff", u"\u0178"), 0);
    EXPECT_NE(lstrcmpiW(u"\u0131", u"I"), 0) << "dotless i is its own letter";
}

TEST(WideText, OrdersStringsWithMissingOnesFirst) {
    EXPECT_EQ(lstrcmpiW(u"abc", u"ABD"), -1);
    EXPECT_EQ(lstrcmpiW(u"abcd", u"ABC"), 1);
    EXPECT_EQ(lstrcmpW(u"abc", u"ABC"), 1);
    EXPECT_EQ(wcscmp(u"a", u"b"), -1);
    EXPECT_EQ(lstrcmpW(nullptr, u""), -1);
    EXPECT_EQ(lstrcmpiW(u"", nullptr), 1);
    EXPECT_EQ(lstrcmpiW(nullptr, nullptr), 0);
}

TEST(StringSafe, CopiesWithinTheCountAndReportsCuts) {
    WCHAR out[5];
    EXPECT_EQ(StringCchCopyW(out, 5, u"abcd"), S_OK);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(StringCchCopyW(out, 5, u"abcdef"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(StringCchCopyNW(out, 5, u"abcdef", 2), S_OK);
    EXPECT_EQ(std::u16string(out), u"ab");
    EXPECT_EQ(StringCchCopyW(out, 5, nullptr), S_OK);
    EXPECT_EQ(out[0], 0);

    fill(out);
    EXPECT_EQ(StringCchCopyW(out, 0, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(out[0], u'#');
    EXPECT_EQ(StringCchCopyW(out, size_t{STRSAFE_MAX_CCH} + 1, u"x"), STRSAFE_E_INVALID_PARAMETER);
}

TEST(StringSafe, AppendsOnlyToTerminatedText) {
    WCHAR out[6] = u"ab";
    EXPECT_EQ(StringCchCatW(out, 6, u"cd"), S_OK);
    EXPECT_EQ(StringCchCatW(out, 6, u"efgh"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(out), u"abcde");

    fill(out);
    EXPECT_EQ(StringCchCatW(out, 6, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(out[0], u'#') << "nothing written into a destination without a terminator";
}

TEST(StringSafe, MeasuresOnlyWithinTheCount) {
    size_t length = 99;
    EXPECT_EQ(StringCchLengthW(u"abc", 4, &length), S_OK);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(StringCchLengthW(u"abc", 3, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(StringCchLengthW(nullptr, 3, &length), STRSAFE_E_INVALID_PARAMETER);
}
