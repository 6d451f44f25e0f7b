#include "registry/ui_language.h"

#include "registry_fixture.h"
#include "scoped_environment.h"

#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using handset::language_of_locale;

TEST(LanguageOfLocale, KnowsTheCommonLocalesAndTheMainTerritoryOfEachLanguage) {
    const std::pair<const char*, LANGID> cases[] = {
        {"en_US", 0x0409},       {"de_DE.UTF-8", 0x0407},
        {"zh_TW.Big5", 0x0404},  {"zh_CN.GB18030", 0x0804},
        {"zh_SG", 0x1004},       {"fr_FR@euro", 0x040C},
        {"es_ES", 0x0C0A},       {"it_IT", 0x0410},
        {"ja_JP.eucJP", 0x0411}, {"ko_KR", 0x0412},
        {"pt_BR", 0x0416},       {"nl_NL", 0x0413},
        {"en_GB.UTF-8", 0x0809}, {"de", 0x0407},
        {"de_BE", 0x0407},       {"zh", 0x0804},
        {"pt", 0x0416},
    };
    for (const auto& [locale, language] : cases) {
        EXPECT_EQ(language_of_locale(locale), language) << locale;
    }
}

TEST(LanguageOfLocale, KnowsNothingOfTheCLocaleOrUnknownLanguages) {
    for (const char* locale : {"C", "C.UTF-8", "POSIX", "xx_YY", ""}) {
        EXPECT_EQ(language_of_locale(locale), 0) << locale;
    }
}

namespace {

class UserInterfaceLanguage : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        m_environment.clear("LC_ALL");
        m_environment.clear("LC_MESSAGES");
        m_environment.clear("LANG");
    }

    void set_device_language(const std::string& value_line) {
        replace_registry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Handset\\Device]\n" + value_line + "\n");
    }

    ScopedEnvironment m_environment;
};

} // namespace

TEST_F(UserInterfaceLanguage, PrefersTheDeviceSetting) {
    m_environment.set("LANG", "de_DE.UTF-8");
    set_device_language("\"UILanguage\"=dword:00000404");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0404);
    set_device_language("\"UILanguage\"=dword:00001004");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x1004);
}

TEST_F(UserInterfaceLanguage, FollowsTheLocaleVariablesInTheirOrder) {
    m_environment.set("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x040C);
    m_environment.set("LC_MESSAGES", "ja_JP.UTF-8");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0411);
    m_environment.set("LC_ALL", "zh_TW.UTF-8");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0404);
    m_environment.set("LC_ALL", "");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0411) << "an empty variable does not count";
}

TEST_F(UserInterfaceLanguage, FallsBackToUsEnglish) {
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0409);
    m_environment.set("LANG", "C.UTF-8");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0409);
}

TEST_F(UserInterfaceLanguage, IgnoresADeviceSettingThatIsNotALanguageNumber) {
    m_environment.set("LANG", "ko_KR.UTF-8");
    set_device_language("\"UILanguage\"=\"0x0404\"");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0412);
    EXPECT_THAT(m_debug.text(), testing::HasSubstr("is not a language number"));
    set_device_language("\"UILanguage\"=dword:00000000");
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0412);
}
