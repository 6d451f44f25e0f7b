#include "base/debug_output.h"
#include "base/wide_format.h"

#include <strsafe.h>
#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::u16string format(const char16_t* pattern, ...) {
    WCHAR out[1100];
    va_list arguments;
    va_start(arguments, pattern);
    wvsprintfW(out, pattern, arguments);
    va_end(arguments);
    return out;
}

handset::FormattedSize format_bounded(WCHAR* out, size_t capacity, const char16_t* pattern, ...) {
    va_list arguments;
    va_start(arguments, pattern);
    const handset::FormattedSize size = handset::format_wide(out, capacity, pattern, arguments);
    va_end(arguments);
    return size;
}

} // namespace

TEST(WideFormat, ProducesTheProgramsTraceAndFileNameFormatsExactly) {
    EXPECT_EQ(format(u"%s <%s>: %s\r\n", u"Telvane", u"RD_INFO", u"REG_Open: Success"),
              u"Telvane <RD_INFO>: REG_Open: Success\r\n");
    EXPECT_EQ(format(u" %s: %3d/%3d", u"SIM Memory", 5, 250), u" SIM Memory:   5/250");
    EXPECT_EQ(format(u" %s: %3d/%3d", u"SIM Memory", 1000, 1234), u" SIM Memory: 1000/1234");
    EXPECT_EQ(format(u"%s0%x%s", u"Telvane.exe.", 0x409, u".mui"), u"Telvane.exe.0409.mui");
    EXPECT_EQ(format(u"%s0%x%s", u"Telvane.exe.", 0x1004, u".mui"), u"Telvane.exe.01004.mui");
    EXPECT_EQ(format(u"SIM_Error: #%d: %s(%d)", 3, u"SIM_ReadPhonebookEntry", -2147467259),
              u"SIM_Error: #3: SIM_ReadPhonebookEntry(-2147467259)");
    EXPECT_EQ(format(u"SIM_Error: #%d: %s(%d)", -1, u"x", INT_MIN),
              u"SIM_Error: #-1: x(-2147483648)");
}

TEST(WideFormat, AppliesWidthPrecisionAndFlagsToNumbers) {
    EXPECT_EQ(format(u"[%5d][%-5d][%05d][%-05d]", 42, 42, -42, -42),
              u"[   42][42   ][-0042][-42  ]");
    EXPECT_EQ(format(u"[%.3d][%6.3d][%.0d][%1d]", 7, -7, 0, 12345), u"[007][  -007][][12345]");
    EXPECT_EQ(format(u"[%x][%X][%#x][%#X][%#x][%08X]", 0xbeef, 0xbeef, 255, 255, 0, 0xabc),
              u"[beef][BEEF][0xff][0XFF][0][00000ABC]");
    EXPECT_EQ(format(u"[%u][%i][%d]", -1, -5, 0), u"[4294967295][-5][0]");
}

TEST(WideFormat, ReadsArgumentsAtTheDevicesSizes) {
    const LONG negative = -5;
    EXPECT_EQ(format(u"%ld %lu %lx|%d", negative, 7u, 0xffu, 9), u"-5 7 ff|9");
    EXPECT_EQ(format(u"%hd %hu|%d", 70000, 70000, 1), u"4464 4464|1");
    EXPECT_EQ(format(u"%I64d %I64u %I64x|%d", INT64_MIN, UINT64_MAX, int64_t{1} << 40, 2),
              u"-9223372036854775808 18446744073709551615 10000000000|2");
}

TEST(WideFormat, FormatsTextAndCharacters) {
    EXPECT_EQ(format(u"[%5s][%-5s][%.2s][%05s]", u"ab", u"ab", u"abcdef", u"ab"),
              u"[   ab][ab   ][ab][000ab]");
    EXPECT_EQ(format(u"[%hs][%S]", "caf\xC3\xA9", "x"), u"[caf\u00e9][x]");
    EXPECT_EQ(format(u"[%c][%3c][%hc][%C]", u'\u4e2d', u'a', 'b', 'c'), u"[\u4e2d][  a][b][c]");
    EXPECT_EQ(
        format(u"[%s][%hs]", static_cast<const WCHAR*>(nullptr), static_cast<const char*>(nullptr)),
        u"[(null)][(null)]");
}

TEST(WideFormat, PrintsUnknownConversionsAndLeavesTheirArgumentsForTheNext) {
    EXPECT_EQ(format(u"100%% %q %d", 3), u"100% q 3");
    EXPECT_EQ(format(u"%+d %d", 4), u"+d 4");
    EXPECT_EQ(format(u"trailing %"), u"trailing ");
    EXPECT_EQ(format(u"cut %-0"), u"cut ");
}

TEST(WideFormat, NeverWritesPastTheCapacityAndAlwaysTerminates) {
    WCHAR out[8];
    std::fill(std::begin(out), std::end(out), u'#');

    auto size = format_bounded(out, 0, u"%s", u"abc");
    EXPECT_EQ(size.length, 0u);
    EXPECT_TRUE(size.truncated);
    EXPECT_EQ(out[0], u'#');

    size = format_bounded(out, 1, u"%s", u"abc");
    EXPECT_EQ(size.length, 0u);
    EXPECT_TRUE(size.truncated);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], u'#');

    size = format_bounded(out, 4, u"%d", -123456);
    EXPECT_EQ(std::u16string(out), u"-12");
    EXPECT_TRUE(size.truncated);
    EXPECT_EQ(out[4], u'#');

    size = format_bounded(out, 4, u"%s", u"abc");
    EXPECT_EQ(size.length, 3u);
    EXPECT_FALSE(size.truncated);

    size = format_bounded(out, 8, u"%999999999d", 1);
    EXPECT_EQ(std::u16string(out), u"       ");
    EXPECT_TRUE(size.truncated);
}

TEST(WideFormat, LimitsWsprintfToItsThousandTwentyFourCharacters) {
    std::vector<WCHAR> out(1100, u'#');
    const std::u16string long_text(2000, u'x');
    EXPECT_EQ(wsprintfW(out.data(), u"%s", long_text.c_str()), 1023);
    EXPECT_EQ(out[1022], u'x');
    EXPECT_EQ(out[1023], 0);
    EXPECT_EQ(out[1024], u'#');
}

TEST(WideFormat, ReportsCutsThroughStringCchPrintf) {
    WCHAR out[6];
    EXPECT_EQ(StringCchPrintfW(out, 6, u"%d-%d", 12, 34), S_OK);
    EXPECT_EQ(std::u16string(out), u"12-34");
    EXPECT_EQ(StringCchPrintfW(out, 5, u"%d-%d", 12, 34), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(out), u"12-3");
    EXPECT_EQ(StringCchPrintfW(out, 0, u"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchPrintfW(nullptr, 5, u"x"), STRSAFE_E_INVALID_PARAMETER);
}

TEST(WideFormat, WritesFormattedDebugLines) {
    handset::DebugCapture capture;
    NKDbgPrintfW(u" %s: CMenuExt::QueryInterface !\n", u"Quorrel");
    NKDbgPrintfW(u"%s: %d", u"count", -1);
    EXPECT_EQ(capture.text(), " Quorrel: CMenuExt::QueryInterface !\ncount: -1\n");
}
