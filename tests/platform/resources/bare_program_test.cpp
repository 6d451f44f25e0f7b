// A program with no resources embedded: its module exists and has nothing to serve.
#include <libloaderapi.h>
#include <winbase.h>

#include <gtest/gtest.h>

namespace {

TEST(BareProgramModule, ExistsAndFindsNoResources) {
    HMODULE program = GetModuleHandleW(nullptr);
    ASSERT_TRUE(program);
    EXPECT_FALSE(FindResourceW(program, u"HI_RES_AWARE", u"CEUX"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));

    WCHAR text[16] = u"untouched";
    EXPECT_EQ(LoadStringW(nullptr, 1, text, 16), 0);
    EXPECT_EQ(text[0], 0);
    EXPECT_TRUE(FreeLibrary(program));
}

} // namespace
