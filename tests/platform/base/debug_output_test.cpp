#include "base/debug_output.h"
#include "base/debug_sink.h"
#include "base/device_folder.h"

#include "scoped_environment.h"
#include "temporary_folder.h"

#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <thread>

using handset::debug_line;
using handset::debug_printf;
using handset::DebugCapture;
using testing::ElementsAre;

TEST(DebugCapture, ReceivesTextExactlyAndEndsEachCallWithALineBreak) {
    DebugCapture capture;
    OutputDebugStringW(u"Telvane <RD_INFO>: started\r\n");
    OutputDebugStringW(u"no line break");
    OutputDebugStringW(u" Quorrel: CMenuExt::QueryInterface !\n");
    OutputDebugStringW(nullptr);
    EXPECT_EQ(capture.text(), "Telvane <RD_INFO>: started\r\nno line break\n"
                              " Quorrel: CMenuExt::QueryInterface !\n");
    EXPECT_THAT(capture.lines(), ElementsAre("Telvane <RD_INFO>: started", "no line break",
                                             " Quorrel: CMenuExt::QueryInterface !"));
}

TEST(DebugCapture, ConvertsWideTextToUtf8AndKeepsEmptyLines) {
    DebugCapture capture;
    OutputDebugStringW(u"\u4e2d\u6587\r\n\r\n");
    debug_printf("%s=%d", "count", -3);
    EXPECT_THAT(capture.lines(), ElementsAre("\xE4\xB8\xAD\xE6\x96\x87", "", "count=-3"));
}

TEST(DebugCapture, ControlCharactersInsideALineAreEscapedSoNoLineCanBeForged) {
    DebugCapture capture;
    OutputDebugStringW(u"Telvane <RD_INFO>: Name == Ann\nTelvane <RD_ERROR>: forged\r\n");
    debug_line("tab\there, screen \x1b[2J, bell \a, C1 \xC2\x9B, DEL \x7F, lone \r, path A\\B");
    debug_printf("%s", "ends in a break\n");
    EXPECT_THAT(capture.lines(),
                ElementsAre("Telvane <RD_INFO>: Name == Ann\\nTelvane <RD_ERROR>: forged",
                            "tab\\there, screen \\x1b[2J, bell \\x07, C1 \\u009b, DEL \\x7f, lone "
                            "\\r, path A\\B",
                            "ends in a break"));
}

TEST(DebugCapture, SharesLinesWithEveryLiveCaptureAndStopsAtItsEnd) {
    DebugCapture outer;
    {
        DebugCapture inner;
        debug_line("both");
        EXPECT_THAT(inner.lines(), ElementsAre("both"));
    }
    debug_line("outer only");
    EXPECT_THAT(outer.lines(), ElementsAre("both", "outer only"));
}

TEST(DebugCapture, FormatsTextLongerThanAnyFixedBuffer) {
    DebugCapture capture;
    const std::string long_text(10000, 'x');
    debug_printf("[%s]", long_text.c_str());
    EXPECT_THAT(capture.lines(), ElementsAre("[" + long_text + "]"));
}

namespace {

class DebugSinkChoice : public testing::Test {
  protected:
    void TearDown() override { handset::set_device_folder({}); }

    ScopedEnvironment m_environment;
    TemporaryFolder m_folder;
};

} // namespace

TEST_F(DebugSinkChoice, AppendsToTheNamedFile) {
    m_folder.write("trace.txt", "earlier\n");
    m_environment.set("TELVANE_DEBUG", "file:" + (m_folder.path() / "trace.txt").string());
    debug_line("one");
    OutputDebugStringW(u"two\r\n");
    EXPECT_EQ(m_folder.read("trace.txt"), "earlier\none\ntwo\r\n");
}

TEST_F(DebugSinkChoice, MovesAFullLogAsideKeepingOneOlderAndWritesItForTheUserAlone) {
    const std::filesystem::path log = m_folder.path() / "trace.txt";
    m_environment.set("TELVANE_DEBUG", "file:" + log.string());
    const std::string line(1023, 'x');
    const int lines_per_log = static_cast<int>(handset::debug_log_limit / 1024);
    for (int i = 0; i < 3 * lines_per_log; ++i) {
        debug_line(line);
    }
    debug_line("the last line");
    const std::filesystem::path older = log.string() + ".1";
    ASSERT_TRUE(std::filesystem::exists(older));
    EXPECT_LE(std::filesystem::file_size(older),
              static_cast<uintmax_t>(handset::debug_log_limit) + 1024);
    EXPECT_LT(std::filesystem::file_size(log), static_cast<uintmax_t>(handset::debug_log_limit));
    EXPECT_THAT(m_folder.read("trace.txt"), testing::EndsWith("the last line\n"));
    EXPECT_THAT(m_folder.read("trace.txt.1"), testing::EndsWith(line + "\n"));
    EXPECT_FALSE(std::filesystem::exists(log.string() + ".2"));
    EXPECT_EQ(std::filesystem::status(log).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(DebugSinkChoice, DiscardsEverythingWhenOff) {
    m_environment.set("TELVANE_DEBUG", "off");
    handset::set_device_folder(m_folder.path());
    testing::internal::CaptureStderr();
    debug_line("nowhere");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(std::filesystem::exists(m_folder.path() / "debug.log"));
}

TEST_F(DebugSinkChoice, WritesToStandardErrorWhenAsked) {
    m_environment.set("TELVANE_DEBUG", "stderr");
    handset::set_device_folder(m_folder.path());
    testing::internal::CaptureStderr();
    debug_line("to the console");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to the console\n");
}

TEST_F(DebugSinkChoice, DefaultsToTheDeviceLogOnceTheFolderExists) {
    m_environment.clear("TELVANE_DEBUG");
    const std::filesystem::path device = m_folder.path() / "device";
    handset::set_device_folder(device);

    testing::internal::CaptureStderr();
    debug_line("before the folder");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "before the folder\n");

    std::filesystem::create_directory(device);
    debug_line("after the folder");
    EXPECT_EQ(m_folder.read("device/debug.log"), "after the folder\n");

    std::filesystem::remove_all(device);
    std::filesystem::create_directory(device);
    debug_line("in the new folder");
    EXPECT_EQ(m_folder.read("device/debug.log"), "in the new folder\n");
}

TEST_F(DebugSinkChoice, FallsBackToStandardErrorWhenTheFileCannotBeOpened) {
    m_environment.set("TELVANE_DEBUG", "file:" + (m_folder.path() / "missing/x.log").string());
    testing::internal::CaptureStderr();
    debug_line("still seen");
    debug_line("seen again");
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_THAT(errors, testing::HasSubstr("cannot open"));
    EXPECT_THAT(errors, testing::EndsWith("still seen\nseen again\n"));
    EXPECT_EQ(errors.find("cannot open"), errors.rfind("cannot open")) << "said once";
}

TEST_F(DebugSinkChoice, KeepsLinesOfConcurrentWritersWhole) {
    m_environment.set("TELVANE_DEBUG", "file:" + (m_folder.path() / "threads.log").string());
    constexpr int thread_count = 8;
    constexpr int lines_per_thread = 400;
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < lines_per_thread; ++i) {
                if (i % 2 == 0) {
                    debug_printf("thread %d line %d %s", t, i, std::string(100, 'A' + t).c_str());
                } else {
                    const std::u16string wide = u"thread " + std::u16string(1, u'0' + t) +
                                                u" line " + std::u16string(100, u'A' + t) + u"\r\n";
                    OutputDebugStringW(wide.c_str());
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }

    std::istringstream log(m_folder.read("threads.log"));
    std::map<int, int> lines_seen;
    std::string line;
    while (std::getline(log, line)) {
        const int t = line.at(7) - '0';
        ASSERT_GE(t, 0);
        ASSERT_LT(t, thread_count);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        EXPECT_THAT(line, testing::MatchesRegex("thread [0-9] line [0-9 ]*[A-H]{100}"));
        EXPECT_THAT(line, testing::EndsWith(std::string(100, char('A' + t))));
        ++lines_seen[t];
    }
    for (int t = 0; t < thread_count; ++t) {
        EXPECT_EQ(lines_seen[t], lines_per_thread) << "thread " << t;
    }
}
