#include "registry_fixture.h"

#include "thread_signal.h"

#include <winreg.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using testing::HasSubstr;

namespace {

constexpr const char* device_registry = "REGEDIT4\n"
                                        "\n"
                                        "[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n"
                                        "\"Status\"=dword:00000020\n"
                                        "\"Bad\"=\"unterminated\n"
                                        "\n"
                                        "[HKEY_LOCAL_MACHINE\\Software\\Nemora\\Telvane]\n"
                                        "\"Version\"=\"2.1.0.7\"\n"
                                        "\"USIMSupport\"=dword:00000001\n"
                                        "@=\"Telvane\"\n"
                                        "\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Nemora]\n"
                                        "\"ODM_AP\"=dword:ffffffff\n"
                                        "\n"
                                        "[HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32]\n"
                                        "@=\"/opt/Quorrel.dll\"\n";

class RegistryApi : public RegistryFixture {
  protected:
    void SetUp() override {
        RegistryFixture::SetUp();
        replace_registry(device_registry);
    }

    // The key opened under HKEY_LOCAL_MACHINE, or 0.
    HKEY open(LPCWSTR path) {
        HKEY key = HKEY(0x1234);
        const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
        EXPECT_EQ(status == ERROR_SUCCESS, static_cast<bool>(key));
        return key;
    }

    std::optional<DWORD> read_dword(HKEY key, LPCWSTR name) {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            return std::nullopt;
        }
        return value;
    }
};

} // namespace

TEST_F(RegistryApi, OpensKeysRegardlessOfCaseAndTrailingBackslash) {
    for (LPCWSTR path :
         {u"System\\State\\Phone", u"SYSTEM\\state\\pHONE", u"System\\State\\Phone\\",
          u"Software\\Nemora\\Telvane\\", u"software\\nemora"}) {
        const HKEY key = open(path);
        EXPECT_TRUE(key) << std::string(path, path + std::u16string_view(path).size());
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
}

TEST_F(RegistryApi, AnswersMissingKeysAndBadPathsAsTheDeviceDoes) {
    HKEY key = HKEY(0x1234);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\Nothing", 0, 0, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\\\State", 0, 0, &key),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\System", 0, 0, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegOpenKeyExW(HKEY(0x777), u"System", 0, 0, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(HKEY(0x777)), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, OpensSubkeysOfOpenKeysAndTheKeyItselfAgain) {
    const HKEY software = open(u"Software");
    HKEY telvane{};
    ASSERT_EQ(RegOpenKeyExW(software, u"Nemora\\Telvane", 0, 0, &telvane), ERROR_SUCCESS);
    HKEY again{};
    ASSERT_EQ(RegOpenKeyExW(telvane, nullptr, 0, 0, &again), ERROR_SUCCESS);
    EXPECT_NE(again, telvane);
    EXPECT_EQ(read_dword(again, u"USIMSupport"), 1u);
    EXPECT_EQ(RegCloseKey(telvane), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(telvane), ERROR_INVALID_HANDLE);
    EXPECT_EQ(read_dword(again, u"usimsupport"), 1u);
    RegCloseKey(again);
    RegCloseKey(software);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegistryApi, ReadsTextWithItsTerminatorCountedInTheSize) {
    const HKEY key = open(u"Software\\Nemora\\Telvane\\");
    WCHAR text[260] = {};
    DWORD type = 0;
    DWORD size = sizeof text;
    ASSERT_EQ(
        RegQueryValueExW(key, u"Version", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 16u) << "seven characters and the terminator, two bytes each";
    EXPECT_EQ(std::u16string(text), u"2.1.0.7");

    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"Telvane") << "the default value";
    RegCloseKey(key);
}

TEST_F(RegistryApi, TellsTheSizeNeededWithoutTouchingASmallBuffer) {
    const HKEY key = open(u"Software\\Nemora\\Telvane");
    BYTE buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    DWORD type = 0;
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExW(key, u"Version", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(buffer[0], 0xAA);

    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Version", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(RegQueryValueExW(key, u"Version", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, u"Version", nullptr, &type, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryApi, ReadsNumbersAndReportsMissingValues) {
    const HKEY phone = open(u"System\\State\\Phone");
    EXPECT_EQ(read_dword(phone, u"Status"), 0x20u);
    DWORD size = 4;
    DWORD type = 99;
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(phone, u"Nothing", nullptr, &type, data, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 99u);
    EXPECT_EQ(RegQueryValueExW(phone, u"Bad", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND)
        << "a bad line is skipped";
    RegCloseKey(phone);

    const HKEY nemora = open(u"SOFTWARE\\Nemora");
    EXPECT_EQ(read_dword(nemora, u"ODM_AP"), 0xFFFFFFFFu);
    RegCloseKey(nemora);
}

TEST_F(RegistryApi, ServesTheClassesRoot) {
    HKEY key{};
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\{1}\\InprocServer32", 0, 0, &key),
              ERROR_SUCCESS);
    WCHAR path[64];
    DWORD size = sizeof path;
    ASSERT_EQ(RegQueryValueExW(key, u"", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(path), u"/opt/Quorrel.dll");
    RegCloseKey(key);
}

TEST_F(RegistryApi, ReportsEachBadLineOnceHoweverOftenTheFileIsRead) {
    for (int i = 0; i < 3; ++i) {
        RegCloseKey(open(u"System\\State\\Phone"));
    }
    const auto lines = m_debug.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], HasSubstr("registry.reg:5: unterminated string"));
}

TEST_F(RegistryApi, SeesChangesMadeByAnotherProcessWhileKeysAreOpen) {
    const HKEY phone = open(u"System\\State\\Phone");
    EXPECT_EQ(read_dword(phone, u"Status"), 0x20u);

    replace_registry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n\"Status\"=dword:1\n");
    EXPECT_EQ(read_dword(phone, u"Status"), 1u);

    rewrite_registry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\System\\State\\Phone]\n\"Status\"=dword:2\n");
    EXPECT_EQ(read_dword(phone, u"Status"), 2u) << "same size, same second, same inode";

    rewrite_registry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\System\\State]\n");
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExW(phone, u"Status", nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);

    std::filesystem::remove(registry_path());
    EXPECT_EQ(RegQueryValueExW(phone, u"Status", nullptr, nullptr, nullptr, &size),
              ERROR_KEY_DELETED);
    HKEY key{};
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_THAT(m_debug.text(), HasSubstr("there is no"));
    RegCloseKey(phone);
}

TEST_F(RegistryApi, ServesReadersOnManyThreadsWhileTheFileIsReplaced) {
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            while (!stop) {
                HKEY key{};
                if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Nemora\\Telvane", 0, 0, &key) !=
                    ERROR_SUCCESS) {
                    ++wrong;
                    continue;
                }
                WCHAR text[32];
                DWORD size = sizeof text;
                const LSTATUS status = RegQueryValueExW(key, u"Version", nullptr, nullptr,
                                                        reinterpret_cast<BYTE*>(text), &size);
                if (status != ERROR_SUCCESS ||
                    (std::u16string(text) != u"2.1.0.7" && std::u16string(text) != u"3.0.0.0")) {
                    ++wrong;
                }
                RegCloseKey(key);
            }
        });
    }
    for (int round = 0; round < 50; ++round) {
        replace_registry(round % 2 ? device_registry
                                   : "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Nemora\\Telvane]\n"
                                     "\"Version\"=\"3.0.0.0\"\n");
    }
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(wrong, 0);
}
