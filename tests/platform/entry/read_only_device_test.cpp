// Telvane started by a person who may only read the device (storage mounted read-only, or a
// device of another user): the card is read as it lies, so the program opens its main view
// rather than taking the card for one that is not ready, and no file of the device changes.
#include "../../support/reader_process.h"
#include "../../support/test_device.h"
#include "poom/contact_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <unistd.h>

namespace {

constexpr std::chrono::seconds hang_limit{60};

std::map<std::string, std::string> contents_of(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return files;
}

TEST(ReadOnlyDevice, TelvaneOpensItsMainViewOnACardItMayOnlyRead) {
    TestDevice device;
    device.card().store(0, sim_entry(u"Ann", u"0301"), handset::EntryFields::all);
    handset::StoreResult created;
    ASSERT_TRUE(handset::ContactStore::create(device.folder() / "contacts.db", created));
    const std::filesystem::path script =
        std::filesystem::temp_directory_path() / ("telvane-reader-" + std::to_string(::getpid()));
    std::ofstream(script.string() + "-steps.txt") << "wait class SysTreeView32\nidle\nclose\n";
    std::filesystem::permissions(script.string() + "-steps.txt",
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::others_read);
    MakeReadOnly(device.folder(), device.folder());
    const auto before = contents_of(device.folder());

    const ReaderRun run =
        RunAsReader({TELVANE_PROGRAM, "--device", device.folder().string(), "--display", "headless",
                     "--script", script.string() + "-steps.txt"},
                    script.string() + "-output.txt", hang_limit);
    EXPECT_EQ(run.code, std::optional<int>(0)) << run.output;
    EXPECT_EQ(run.output.find("SIM card is not ready"), std::string::npos) << run.output;
    EXPECT_TRUE(contents_of(device.folder()) == before) << "a file of the device changed";

    std::filesystem::permissions(device.folder(), std::filesystem::perms::owner_all);
    std::filesystem::remove(script.string() + "-steps.txt");
    std::filesystem::remove(script.string() + "-output.txt");
}

} // namespace
