#include "../../support/in_folder.h"
#include "../base/temporary_folder.h"
#include "base/debug_output.h"
#include "base/device_folder.h"
#include "resource_bytes.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace handset {
namespace {

using testing::fixture_file_bytes;
using ::testing::HasSubstr;
using testing::TemporaryFile;

constexpr const WCHAR* kFixture = u"resources_fixture.res";

std::vector<BYTE> locked_bytes(HMODULE module, const WCHAR* name, const WCHAR* type) {
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource) {
        ADD_FAILURE() << "resource not found, error " << GetLastError();
        return {};
    }
    HGLOBAL data = LoadResource(module, resource);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(data));
    EXPECT_NE(bytes, nullptr);
    return {bytes, bytes + SizeofResource(module, resource)};
}

class DataFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_module = LoadLibraryExW(kFixture, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(m_module) << "error " << GetLastError();
    }
    void TearDown() override {
        if (m_module) {
            FreeLibrary(m_module);
        }
    }

    HMODULE m_module = nullptr;
};

TEST_F(DataFile, LoadsFromBesideTheProgramAndServesItsResources) {
    EXPECT_EQ(locked_bytes(m_module, u"HI_RES_AWARE", u"CEUX"), (std::vector<BYTE>{0x01, 0x00}));
    EXPECT_EQ(locked_bytes(m_module, MAKEINTRESOURCE(7), u"CEUX"),
              (std::vector<BYTE>{0x34, 0x12, 0x78, 0x56}));
    EXPECT_EQ(locked_bytes(m_module, u"MIXED_CASE", RT_RCDATA), (std::vector<BYTE>{'a', 'b', 'c'}));
}

TEST_F(DataFile, MatchesNamesWithoutRegardToCaseAndOrdinalsWrittenAsText) {
    EXPECT_TRUE(FindResourceW(m_module, u"hi_res_aware", u"ceux"));
    EXPECT_TRUE(FindResourceW(m_module, u"Mixed_Case", RT_RCDATA));
    EXPECT_EQ(FindResourceW(m_module, u"#7", u"CEUX"),
              FindResourceW(m_module, MAKEINTRESOURCE(7), u"CEUX"));
    EXPECT_EQ(FindResourceW(m_module, u"#100", u"#5"),
              FindResourceW(m_module, MAKEINTRESOURCE(100), RT_DIALOG));
    EXPECT_FALSE(FindResourceW(m_module, u"#7x", u"CEUX")) << "not an ordinal, and no such name";
}

TEST_F(DataFile, LoadsByThePathAsGiven) {
    HMODULE again =
        LoadLibraryExW(std::filesystem::path(RESOURCES_FIXTURE_FILE).u16string().c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(again, m_module) << "the same file is the same module";
    EXPECT_TRUE(FreeLibrary(again));
}

TEST_F(DataFile, CountsReferencesAndUnloadsOnTheLastFree) {
    HMODULE second = LoadLibraryExW(kFixture, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_EQ(second, m_module);
    HRSRC resource = FindResourceW(m_module, u"HI_RES_AWARE", u"CEUX");
    HGLOBAL data = LoadResource(m_module, resource);

    EXPECT_TRUE(FreeLibrary(m_module));
    EXPECT_NE(LockResource(data), nullptr) << "one reference is left";
    EXPECT_TRUE(FreeLibrary(m_module));

    EXPECT_EQ(LockResource(data), nullptr) << "the resource went with its module";
    EXPECT_FALSE(FindResourceW(m_module, u"HI_RES_AWARE", u"CEUX"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FreeLibrary(m_module));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    HMODULE reloaded = LoadLibraryExW(kFixture, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_TRUE(reloaded);
    EXPECT_NE(reloaded, m_module) << "an unloaded module's handle is not handed out again";
    m_module = reloaded;
}

TEST_F(DataFile, FindsTheSameHandleForTheSameResource) {
    HRSRC first = FindResourceW(m_module, MAKEINTRESOURCE(1), RT_BITMAP);
    EXPECT_TRUE(first);
    EXPECT_EQ(FindResourceW(m_module, MAKEINTRESOURCE(1), RT_BITMAP), first);
    EXPECT_NE(FindResourceW(m_module, MAKEINTRESOURCE(4), RT_BITMAP), first);
}

TEST_F(DataFile, TellsAMissingNameFromAMissingType) {
    EXPECT_FALSE(FindResourceW(m_module, MAKEINTRESOURCE(999), RT_BITMAP));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_FALSE(FindResourceW(m_module, MAKEINTRESOURCE(1), RT_ACCELERATOR));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

TEST_F(DataFile, RefusesAResourceHandleOfAnotherModule) {
    HRSRC resource = FindResourceW(m_module, MAKEINTRESOURCE(1), RT_BITMAP);
    HMODULE program = GetModuleHandleW(nullptr);
    EXPECT_FALSE(LoadResource(program, resource));
    EXPECT_EQ(SizeofResource(program, resource), 0u);
    EXPECT_FALSE(LoadResource(m_module, HRSRC(12345)));
    EXPECT_EQ(LockResource(HGLOBAL(12345)), nullptr);
}

TEST_F(DataFile, HasNoExportsAndNoThreadCalls) {
    EXPECT_EQ(GetProcAddressA(m_module, "DllMain"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_FALSE(DisableThreadLibraryCalls(m_module));
    EXPECT_FALSE(GetModuleHandleW(kFixture)) << "data files are not loaded modules";
}

TEST(DataFileLoad, FailsForAMissingFileWithModNotFound) {
    DebugCapture capture;
    EXPECT_FALSE(LoadLibraryExW(u"no_such_file.res", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("no_such_file.res was not found"));
    EXPECT_FALSE(LoadLibraryExW(u"", nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

TEST(DataFileLoad, AFilePlantedInTheWorkingFolderIsNotLoadedButOneInTheDeviceFolderIs) {
    TemporaryFolder working;
    TemporaryFolder device;
    std::filesystem::copy_file(RESOURCES_FIXTURE_FILE, working.path() / "Planted.res");
    set_device_folder(device.path());
    {
        InFolder here(working.path());
        DebugCapture capture;
        EXPECT_FALSE(LoadLibraryExW(u"Planted.res", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
        std::filesystem::copy_file(RESOURCES_FIXTURE_FILE, device.path() / "Planted.res");
        const HMODULE installed = LoadLibraryExW(u"Planted.res", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_TRUE(installed);
        FreeLibrary(installed);
    }
    set_device_folder({});
}

TEST(DataFileLoad, RefusesUnknownFlagsAFileHandleAndNoName) {
    EXPECT_FALSE(LoadLibraryExW(kFixture, nullptr, LOAD_LIBRARY_AS_DATAFILE | 0x100));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(LoadLibraryExW(kFixture, HANDLE(5), LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(LoadLibraryExW(nullptr, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(DataFileLoad, RefusesDamagedFilesWithALineNamingTheFile) {
    std::vector<BYTE> whole = fixture_file_bytes();
    std::vector<std::vector<BYTE>> damaged{
        {},
        {'R', 'E', 'G', 'E', 'D', 'I', 'T', '4'},
        std::vector<BYTE>(whole.begin(), whole.begin() + whole.size() / 2 + 1),
        std::vector<BYTE>(whole.begin(), whole.end() - 5),
    };
    for (const std::vector<BYTE>& contents : damaged) {
        TemporaryFile file(contents);
        DebugCapture capture;
        EXPECT_FALSE(LoadLibraryExW(file.path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
            << contents.size() << " bytes";
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_FORMAT));
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_THAT(capture.lines()[0], HasSubstr(file.name() + " is damaged"));
    }
}

TEST(ProgramModule, ServesTheResourcesEmbeddedAtBuildTime) {
    HMODULE program = GetModuleHandleW(nullptr);
    ASSERT_TRUE(program);
    EXPECT_EQ(GetModuleHandleW(nullptr), program);
    EXPECT_EQ(locked_bytes(program, u"HI_RES_AWARE", u"CEUX"), (std::vector<BYTE>{0x01, 0x00}));
    EXPECT_EQ(locked_bytes(nullptr, u"HI_RES_AWARE", u"CEUX"), (std::vector<BYTE>{0x01, 0x00}))
        << "NULL stands for the program's module";
    EXPECT_FALSE(FindResourceW(program, MAKEINTRESOURCE(1), RT_BITMAP))
        << "the program carries its own set, not the fixture's";
}

TEST(ProgramModule, IsNotUnloadedByFreeLibrary) {
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(program, u"HI_RES_AWARE", u"CEUX");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(FreeLibrary(program));
    }
    EXPECT_EQ(GetModuleHandleW(nullptr), program);
    EXPECT_NE(LockResource(LoadResource(program, resource)), nullptr);
}

TEST(ProgramModule, IsFoundByTheProgramsFileName) {
    EXPECT_EQ(GetModuleHandleW(u"resources_loader_test"), GetModuleHandleW(nullptr));
    EXPECT_EQ(GetModuleHandleW(u"RESOURCES_LOADER_TEST"), GetModuleHandleW(nullptr));
    EXPECT_FALSE(GetModuleHandleW(u"not_loaded.dll"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

} // namespace
} // namespace handset
