// handsetctl on a device whose files are damaged, foreign, of a newer version or on read-only
// storage: each command says what is wrong, exits as it should, and leaves every file of the
// device exactly as it found it, down to the journals beside them.
#include "../../support/reader_process.h"
#include "handsetctl_fixture.h"

#include <gmock/gmock.h>

#include <functional>
#include <map>

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Snapshot = std::map<std::string, std::string>;

constexpr std::chrono::seconds process_limit{30};

struct Damage {
    const char* what;
    std::function<void(const std::filesystem::path& device)> apply;
};

struct Refusal {
    std::vector<std::string> words;
    int code;
    std::string message;
};

void set_file(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << content;
}

// A database of another program, with a rollback journal as most programs keep.
void make_foreign(const std::filesystem::path& file) {
    std::filesystem::remove(file);
    handset::SqliteDatabase database(file, handset::SqliteDatabase::Mode::create);
    database.execute("PRAGMA journal_mode = DELETE; PRAGMA application_id = 1234;"
                     "CREATE TABLE notes (text TEXT);"
                     "INSERT INTO notes VALUES ('mine')");
}

void set_card_version(const std::filesystem::path& device, int version) {
    handset::SqliteDatabase(device / "sim.db", handset::SqliteDatabase::Mode::existing)
        .execute("PRAGMA user_version = " + std::to_string(version));
}

// The names of the files that are not in both, or not the same in both.
std::vector<std::string> changed(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> names;
    for (const auto& [name, content] : before) {
        if (!after.contains(name) || after.at(name) != content) {
            names.push_back(name);
        }
    }
    for (const auto& [name, content] : after) {
        if (!before.contains(name)) {
            names.push_back(name);
        }
    }
    return names;
}

class HandsetctlDamageTest : public HandsetctlTest {
  protected:
    // Every file and folder of the device with what it holds, but for the debug output, to which
    // the commands' complaints are added.
    Snapshot snapshot() const {
        Snapshot files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(device())) {
            const std::string name = entry.path().lexically_relative(device()).string();
            if (name.starts_with("debug.log")) {
                continue;
            }
            files[name] = entry.is_directory() ? "(folder)" : m_folder.read("device/" + name);
        }
        return files;
    }

    void expect_refused(const Damage& damage, const std::vector<Refusal>& refusals) {
        ok({"init"});
        damage.apply(device());
        const Snapshot before = snapshot();
        for (const Refusal& refusal : refusals) {
            std::string line = std::string(damage.what) + ":";
            for (const std::string& word : refusal.words) {
                line += " " + word;
            }
            const Outcome outcome = run(refusal.words);
            EXPECT_EQ(outcome.code, refusal.code) << line;
            EXPECT_THAT(outcome.err + outcome.out, HasSubstr(refusal.message)) << line;
            EXPECT_THAT(changed(before, snapshot()), IsEmpty()) << line;
        }
    }
};

TEST_F(HandsetctlDamageTest, DamagedOrForeignFilesAreNamedAndNoCommandChangesThem) {
    const Damage empty_card{"an empty sim.db",
                            [](const auto& device) { set_file(device / "sim.db", ""); }};
    expect_refused(empty_card,
                   {
                       {{"phonebook", "list"}, 1, "sim.db is not a card file: an empty file"},
                       {{"sim", "export-adn", "-"}, 1, "is not a card file"},
                       {{"calls"}, 1, "is not a card file"},
                       {{"status"}, 1, "card: unreadable"},
                       {{"phonebook", "add", "Ann", "1"}, 1, "is not a card file"},
                       {{"radio", "off"}, 1, "'handsetctl init' makes a new device in its place"},
                   });
}

TEST_F(HandsetctlDamageTest, AnotherProgramsDatabaseInPlaceOfTheCardOrStoreIsLeftAsItIs) {
    expect_refused(
        {"a foreign sim.db", [](const auto& device) { make_foreign(device / "sim.db"); }},
        {
            {{"phonebook", "list"},
             1,
             "sim.db is not a card file: a database of "
             "another program (application id 1234)"},
            {{"phonebook", "clear"}, 1, "is not a card file"},
            {{"fault", "list"}, 1, "is not a card file"},
        });
}

TEST_F(HandsetctlDamageTest, AForeignOrEmptyContactsStoreIsNamedAndLeftAsItIs) {
    expect_refused(
        {"an empty contacts.db", [](const auto& device) { set_file(device / "contacts.db", ""); }},
        {
            {{"contacts", "list"}, 1, "contacts.db is not a contacts store"},
            {{"contacts", "add", "--first", "Ann"}, 1, "is not a contacts store"},
            {{"status"}, 1, "contacts: unreadable"},
        });
}

TEST_F(HandsetctlDamageTest, ACardThatIsAFolderOrOfANewerVersionIsNamedAndInitRecovers) {
    expect_refused({"a folder for sim.db",
                    [](const auto& device) {
                        std::filesystem::remove(device / "sim.db");
                        std::filesystem::create_directories(device / "sim.db" / "photos");
                    }},
                   {
                       {{"phonebook", "list"}, 1, "sim.db is a folder, not a card file"},
                       {{"phonebook", "add", "Ann", "1"}, 1, "is a folder, not a card file"},
                   });
    ok({"init"});
    EXPECT_THAT(ok({"phonebook", "list"}), HasSubstr("5 of 250 slots used"));
    EXPECT_TRUE(std::filesystem::exists(device() / "sim.db.folder" / "photos"))
        << "what was in the folder is kept beside the new card";

    expect_refused({"a newer sim.db", [](const auto& device) { set_card_version(device, 2); }},
                   {
                       {{"phonebook", "list"},
                        1,
                        "sim.db is a card file of a newer version (2) than this handset reads (1)"},
                       {{"phonebook", "delete", "1"}, 1, "of a newer version (2)"},
                   });
    ok({"init"});
    EXPECT_THAT(ok({"phonebook", "list"}), HasSubstr("5 of 250 slots used"));
}

// The device as a person who may only read it meets it: handsetctl in a process of its own.
class HandsetctlReadOnlyTest : public HandsetctlTest {
  protected:
    void TearDown() override {
        std::filesystem::permissions(m_folder.path(), std::filesystem::perms::owner_all);
        std::filesystem::permissions(device(), std::filesystem::perms::owner_all);
        HandsetctlTest::TearDown();
    }

    ReaderRun read_only(std::vector<std::string> words) {
        words.insert(words.begin(), {HANDSETCTL, "--device", device().string()});
        return RunAsReader(words,
                           std::filesystem::temp_directory_path() /
                               ("handsetctl-reader-" + std::to_string(::getpid())),
                           process_limit);
    }
};

TEST_F(HandsetctlReadOnlyTest, ADeviceOnReadOnlyStorageIsListedAndAWriteSaysItIsReadOnly) {
    ok({"init"});
    ok({"phonebook", "add", "Ann", "1"});
    MakeReadOnly(device(), m_folder.path());
    std::map<std::string, std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(device())) {
        before[entry.path().filename().string()] =
            m_folder.read("device" / entry.path().filename());
    }

    const ReaderRun listed = read_only({"phonebook", "list"});
    EXPECT_EQ(listed.code, 0) << listed.output;
    EXPECT_THAT(listed.output, HasSubstr("6 of 250 slots used"));
    const ReaderRun status = read_only({"status"});
    EXPECT_EQ(status.code, 0) << status.output;
    EXPECT_THAT(status.output, HasSubstr("phonebook: ready, 6 of 250 slots used"));
    EXPECT_EQ(read_only({"contacts", "list"}).code, 0);

    for (const std::vector<std::string>& write :
         {std::vector<std::string>{"phonebook", "add", "Bob", "2"},
          std::vector<std::string>{"contacts", "add", "--first", "Bob"},
          std::vector<std::string>{"reg", "set", "Software", "X", "--dword", "1"}}) {
        const ReaderRun refused = read_only(write);
        EXPECT_EQ(refused.code, 1) << write[0];
        EXPECT_THAT(refused.output, HasSubstr("the device is read-only")) << refused.output;
        EXPECT_THAT(refused.output, ::testing::Not(HasSubstr("damaged"))) << write[0];
    }
    std::map<std::string, std::string> after;
    for (const auto& entry : std::filesystem::directory_iterator(device())) {
        after[entry.path().filename().string()] = m_folder.read("device" / entry.path().filename());
    }
    EXPECT_TRUE(after == before) << "a file of the read-only device changed or appeared";
}

} // namespace
