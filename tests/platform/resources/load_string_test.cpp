#include "base/debug_output.h"
#include "resource_bytes.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace handset {
namespace {

using testing::Bytes;
using ::testing::HasSubstr;

constexpr int kBufferSize = 260;

class StringResource : public ::testing::Test {
  protected:
    void SetUp() override {
        m_module = LoadLibraryExW(u"resources_fixture.res", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(m_module);
    }
    void TearDown() override { FreeLibrary(m_module); }

    // Fills the buffer with 'x' first, so a test can see how far the call wrote.
    std::u16string load(UINT id, int size = kBufferSize) {
        std::fill(std::begin(m_buffer), std::end(m_buffer), u'x');
        m_result = LoadStringW(m_module, id, m_buffer, size);
        return m_buffer;
    }

    HMODULE m_module = nullptr;
    WCHAR m_buffer[kBufferSize];
    int m_result = -1;
};

TEST_F(StringResource, CopiesTheStringTerminatedAndCountsItsCharacters) {
    EXPECT_EQ(load(1), u"Telvane");
    EXPECT_EQ(m_result, 7);
    EXPECT_EQ(load(2), u"TELVANE");
    EXPECT_EQ(load(700), u"SIM Memory");
    EXPECT_EQ(m_result, 10);
    EXPECT_EQ(load(701), u"Grüße, 世界");
    EXPECT_EQ(m_result, 9);
}

TEST_F(StringResource, FindsStringsAtTheEdgesOfTheirBlocks) {
    EXPECT_EQ(load(15), u"end of the first block");
    EXPECT_EQ(load(16), u"start of the second block");
}

TEST_F(StringResource, CutsTheCopyToTheBufferAndTerminatesIt) {
    EXPECT_EQ(load(702, 10), u"This text");
    EXPECT_EQ(m_result, 9);
    EXPECT_EQ(m_buffer[10], u'x') << "nothing written past the buffer";

    EXPECT_EQ(load(1, 1), u"");
    EXPECT_EQ(m_result, 0);
    EXPECT_EQ(m_buffer[1], u'x');

    EXPECT_EQ(load(1, 8), u"Telvane") << "exactly room for the text and its terminator";
    EXPECT_EQ(m_result, 7);
}

TEST_F(StringResource, GivesZeroAndAnEmptyBufferForAMissingString) {
    EXPECT_EQ(load(3), u"") << "a gap inside a block that exists";
    EXPECT_EQ(m_result, 0);
    EXPECT_EQ(load(5000), u"") << "a block that does not exist";
    EXPECT_EQ(m_result, 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(StringResource, WithBufferSizeZeroGivesAPointerToTheTextItself) {
    const WCHAR* text = nullptr;
    int length = LoadStringW(m_module, 700, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(length, 10);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string_view(text, length), u"SIM Memory");
}

TEST_F(StringResource, RefusesANullBuffer) {
    DebugCapture capture;
    EXPECT_EQ(LoadStringW(m_module, 1, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(capture.lines().size(), 1u);
}

TEST_F(StringResource, GivesZeroForAModuleThatIsNotLoaded) {
    EXPECT_EQ(LoadStringW(HMODULE(0x7777), 1, m_buffer, kBufferSize), 0);
    EXPECT_EQ(m_buffer[0], 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(LoadStringFromProgram, ReadsTheProgramsOwnStringsForANullInstance) {
    WCHAR buffer[kBufferSize];
    EXPECT_EQ(LoadStringW(nullptr, 1, buffer, kBufferSize), 23);
    EXPECT_EQ(std::u16string(buffer), u"Embedded in the program");
    EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 1, buffer, kBufferSize), 23);
}

TEST(LoadStringFromDamagedBlock, GivesZeroAndSaysWhichBlock) {
    Bytes block;
    block.word(3).text(u"abc", false).word(500).text(u"cut", false);
    Bytes image;
    image.res_marker().res_entry(ResourceName::from_ordinal(6), ResourceName::from_ordinal(1),
                                 block);
    testing::TemporaryFile file(image);
    HMODULE module = LoadLibraryExW(file.path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);

    WCHAR buffer[kBufferSize];
    DebugCapture capture;
    EXPECT_EQ(LoadStringW(module, 0, buffer, kBufferSize), 3);
    EXPECT_EQ(LoadStringW(module, 1, buffer, kBufferSize), 0);
    EXPECT_EQ(buffer[0], 0);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("String table block 1 is damaged at string 1"));
    FreeLibrary(module);
}

} // namespace
} // namespace handset
