#include "card_test_support.h"
#include "child_process.h"

#include "../../support/file_integrity.h"
#include "base/utf.h"

#include <gtest/gtest.h>

#include <vector>

class SimCrashTest : public CardTest {};

// A writer killed at whatever point of its loop it reached: the file must be whole, and every
// write it was told had succeeded must be there.
TEST_F(SimCrashTest, AWriterKilledMidLoopLosesNothingItReportedDone) {
    for (int run = 0; run < 10; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        create_card();
        ChildProcess writer({SIM_CARD_TOOL, m_folder.path().string(), "write-loop"});
        ASSERT_TRUE(writer.started());
        const int kill_after = 5 + (run * 37) % 90;
        std::vector<int> reported;
        while (static_cast<int>(reported.size()) < kill_after) {
            std::optional<std::string> line = writer.read_line();
            ASSERT_TRUE(line) << "the writer stopped by itself";
            reported.push_back(std::stoi(*line));
        }
        writer.kill();
        while (std::optional<std::string> line = writer.read_line()) {
            reported.push_back(std::stoi(*line));
        }
        writer.wait();

        EXPECT_EQ(integrity_of(card_path()), "ok");
        handset::CardFile card = handset::CardFile::open(card_path());
        for (int written : reported) {
            std::optional<handset::PhonebookEntry> stored = card.entry(written % 250 + 1);
            ASSERT_TRUE(stored) << "write " << written << " is lost";
            EXPECT_EQ(handset::utf16_to_utf8(stored->name), "W" + std::to_string(written));
        }
    }
}
