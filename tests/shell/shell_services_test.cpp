#include "shell/registry.h"
#include "shell/resources.h"
#include "shell/trace.h"
#include "telvane_ids.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void PlaceLanguageFile(const std::filesystem::path& folder, const char* name) {
    std::filesystem::copy_file(LANGUAGE_FILE, folder / name);
}

void SetLanguage(TestDevice& device, DWORD language) {
    device.set_dword(u"Handset\\Device", u"UILanguage", language);
}

} // namespace

TEST(TraceLines, CarryTheProgramNameTheTagAndALineBreak) {
    TestDevice device;
    DBG_Print(u"hello", u"RD_Error");
    DBG_Print(u"plain", nullptr);
    DBG_Result(1, u"REG_Open: System");
    DBG_Result(-1, u"SIM_GetHandle");
    DBG_Result(0, u"never");
    DBG_Bool(1, u"SIM Ready");
    DBG_Bool(0, u"PIN Lock");

    std::vector<std::string> expected = {"Telvane <RD_Error>: hello",
                                         "Telvane <RD_INFO>: plain",
                                         "Telvane <RD_INFO>: REG_Open: System: Success",
                                         "Telvane <RD_Error>: SIM_GetHandle: Error",
                                         "Telvane <RD_INFO>: SIM Ready == TRUE",
                                         "Telvane <RD_INFO>: PIN Lock == FALSE"};
    EXPECT_EQ(device.trace(), expected);
}

TEST(TraceLines, AnOverlongTextIsCutNotOverrun) {
    TestDevice device;
    std::u16string text(5000, u'x');
    DBG_Printf(nullptr, u"%s", text.c_str());
    ASSERT_EQ(device.trace().size(), 1u);
    EXPECT_LT(device.trace()[0].size(), 1400u);
}

TEST(RegistryReads, ADwordReadOfATextValueFails) {
    TestDevice device;
    device.set_string(u"Software\\Nemora\\Telvane\\", u"Version", u"2.1.0.7");
    HKEY key = nullptr;
    REG_Open(&key, HKEY_LOCAL_MACHINE, u"Software\\Nemora\\Telvane\\");
    ASSERT_TRUE(key);
    EXPECT_EQ(REG_QueryDWORD(key, u"Version"), -1);
    ASSERT_TRUE(REG_QueryString(key, u"Version"));
    EXPECT_EQ(std::u16string(REG_QueryString(key, u"Version")), u"2.1.0.7");
    REG_Close(key);
    EXPECT_TRUE(
        device.has_line("Telvane <RD_INFO>: REG_Open: Software\\Nemora\\Telvane\\: Success"));
    EXPECT_TRUE(device.has_line("REG_QueryDWORD: Success"));
}

TEST(RegistryReads, AStringReadOfADwordValueGivesNone) {
    TestDevice device;
    HKEY key = nullptr;
    REG_Open(&key, HKEY_LOCAL_MACHINE, u"System\\State\\Phone");
    ASSERT_TRUE(key);
    EXPECT_EQ(REG_QueryDWORD(key, u"Status"), static_cast<int>(TestDevice::healthy_status));
    EXPECT_EQ(REG_QueryString(key, u"Status"), nullptr);
    REG_Close(key);
}

TEST(RegistryReads, AMissingKeyFailsWithoutASuccessLine) {
    TestDevice device;
    HKEY key = nullptr;
    REG_Open(&key, HKEY_LOCAL_MACHINE, u"Software\\Nowhere");
    EXPECT_FALSE(key);
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: REG_Open: Software\\Nowhere: Error"));
    EXPECT_EQ(REG_QueryDWORD(key, u"Status"), -1);
    EXPECT_FALSE(device.has_line("REG_QueryDWORD: Success"));
}

TEST(LanguageFile, TheUsersLanguageIsLoadedWhenThere) {
    TestDevice device;
    SetLanguage(device, 0x0404);
    PlaceLanguageFile(device.folder(), "Telvane.exe.0404.mui");

    EXPECT_EQ(RC_LoadMUI(GetModuleHandleW(nullptr)), 1);
    EXPECT_TRUE(device.has_line("Telvane <RD_INFO>: RC_LoadMUI: Telvane.exe.0404.mui is loaded!"));
    EXPECT_NE(g_hLangModule, GetModuleHandleW(nullptr));
    RC_FreeMUI();
}

TEST(LanguageFile, AMissingLanguageFallsBackToEnglish) {
    TestDevice device;
    SetLanguage(device, 0x0404);
    PlaceLanguageFile(device.folder(), "Telvane.exe.0409.mui");

    EXPECT_EQ(RC_LoadMUI(GetModuleHandleW(nullptr)), 1);
    EXPECT_TRUE(device.has_line("RC_LoadMUI: Telvane.exe.0409.mui is loaded!"));
    RC_FreeMUI();
}

TEST(LanguageFile, WithoutAnyTheProgramsOwnStringsServe) {
    TestDevice device;
    SetLanguage(device, 0x0404);

    EXPECT_EQ(RC_LoadMUI(GetModuleHandleW(nullptr)), -1);
    EXPECT_TRUE(
        device.has_line("Telvane <RD_INFO>: RC_LoadMUI: Failed to load Telvane.exe.0409.mui!"));
    EXPECT_EQ(g_hLangModule, GetModuleHandleW(nullptr));
    EXPECT_EQ(std::u16string(RC_LoadString(IDS_SIM_INVALID)), u"SIM card is invalid.");
    RC_FreeMUI();
    EXPECT_FALSE(g_hLangModule);
}

TEST(LanguageFile, ADamagedFileCountsAsMissing) {
    TestDevice device;
    SetLanguage(device, 0x0409);
    std::ofstream(device.folder() / "Telvane.exe.0409.mui") << "not a resource file";

    EXPECT_EQ(RC_LoadMUI(GetModuleHandleW(nullptr)), -1);
    EXPECT_EQ(g_hLangModule, GetModuleHandleW(nullptr));
}

TEST(LanguageFile, AFiveDigitLanguageGivesAFiveDigitName) {
    TestDevice device;
    SetLanguage(device, 0x1004);
    PlaceLanguageFile(device.folder(), "Telvane.exe.01004.mui");

    EXPECT_EQ(RC_LoadMUI(GetModuleHandleW(nullptr)), 1);
    EXPECT_TRUE(device.has_line("RC_LoadMUI: Telvane.exe.01004.mui is loaded!"));
    WCHAR code[8];
    RC_GetLanguageCode(code, 8);
    EXPECT_EQ(std::u16string(code), u"01004");
    RC_FreeMUI();
}

TEST(Strings, TheSecondLoadReplacesTheFirst) {
    TestDevice device;
    RC_LoadMUI(GetModuleHandleW(nullptr));

    LPWSTR first = RC_LoadString(IDS_CAPTION_ERROR);
    EXPECT_EQ(std::u16string(first), u"Error");
    LPWSTR second = RC_LoadString(IDS_CAPTION_WARNING);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::u16string(first), u"Warning");
    EXPECT_EQ(std::u16string(RC_LoadString(9999)), u"");
}

TEST(ResourceLibrary, IsMissingWithoutTelvaneDll) {
    TestDevice device;
    EXPECT_EQ(RC_LoadResDll(), -1);
    EXPECT_FALSE(g_hResDll);
}
