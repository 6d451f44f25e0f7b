#include "store_damage.h"

#include "../base/temporary_folder.h"

#include "base/debug_output.h"
#include "poom/contact_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using handset::ContactField;
using handset::ContactRecord;
using handset::ContactStore;
using handset::StoreResult;
using handset::StoreStatus;
using ::testing::HasSubstr;

ContactRecord named(std::u16string first, std::u16string last) {
    ContactRecord contact;
    contact[ContactField::first_name] = std::move(first);
    contact[ContactField::last_name] = std::move(last);
    return contact;
}

std::vector<int64_t> ids_of(const std::vector<ContactRecord>& contacts) {
    std::vector<int64_t> ids;
    for (const ContactRecord& contact : contacts) {
        ids.push_back(contact.id);
    }
    return ids;
}

class ContactStoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<ContactStore> create() {
        StoreResult result;
        auto store = ContactStore::create(m_path, result);
        EXPECT_TRUE(result.ok()) << result.detail;
        return store;
    }

    std::unique_ptr<ContactStore> open() {
        StoreResult result;
        auto store = ContactStore::open(m_path, result);
        EXPECT_TRUE(result.ok()) << result.detail;
        return store;
    }

    std::vector<ContactRecord> list(ContactStore& store) {
        std::vector<ContactRecord> contacts;
        const StoreResult result = store.list(contacts);
        EXPECT_TRUE(result.ok()) << result.detail;
        return contacts;
    }

    // Adds contacts with long names until the store refuses one; returns how many it took.
    size_t fill_until_refused(ContactStore& store, StoreResult& refusal) {
        for (size_t added = 0; added < 1000; ++added) {
            ContactRecord contact = named(std::u16string(900, u'x'), u"Filler");
            refusal = store.add(contact);
            if (!refusal.ok()) {
                return added;
            }
        }
        ADD_FAILURE() << "the store never filled up";
        return 0;
    }

    TemporaryFolder m_folder;
    std::filesystem::path m_path = m_folder.path() / "contacts.db";
};

TEST_F(ContactStoreTest, KeepsEveryPropertyThroughAnotherConnection) {
    ContactRecord contact;
    contact[ContactField::first_name] = u"Zoë";
    contact[ContactField::middle_name] = u"Ἀθηνᾶ";
    contact[ContactField::last_name] = u"李小龍";
    contact[ContactField::mobile_telephone] = u"+491721217212";
    contact[ContactField::home_telephone] = u"030 1234";
    contact[ContactField::business_telephone] = u"*31#p5";
    contact[ContactField::email1] = u"zoe@example.org";
    contact[ContactField::nickname] = u"\U0001F600 Z";
    auto store = create();
    ASSERT_TRUE(store->add(contact).ok());
    EXPECT_GT(contact.id, 0);

    const std::vector<ContactRecord> contacts = list(*open());
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0].id, contact.id);
    EXPECT_EQ(contacts[0].fields, contact.fields);
    EXPECT_TRUE(store->check().ok());
}

TEST_F(ContactStoreTest, ListsContactsAsTheDeviceFilesThem) {
    auto store = create();
    std::vector<ContactRecord> contacts = {named(u"Carl", u"brown"), named(u"anna", u""),
                                           named(u"Zed", u"Adams"),  named(u"Bob", u"Brown"),
                                           named(u"", u"Brown"),     named(u"Bob", u"Brown")};
    ASSERT_TRUE(store->add_all(contacts).ok());

    // "Adams, Zed", "anna", "Brown", "Brown, Bob" twice (by id), "brown, Carl"
    EXPECT_EQ(ids_of(list(*store)),
              (std::vector<int64_t>{contacts[2].id, contacts[1].id, contacts[4].id, contacts[3].id,
                                    contacts[5].id, contacts[0].id}));
}

TEST_F(ContactStoreTest, ReplacesAndRemovesByIdentifierAndSaysWhenTheContactIsGone) {
    auto store = create();
    ContactRecord contact = named(u"Anna", u"Berg");
    ASSERT_TRUE(store->add(contact).ok());
    contact[ContactField::mobile_telephone] = u"0170";
    ASSERT_TRUE(store->update(contact).ok());
    EXPECT_EQ(list(*store).at(0)[ContactField::mobile_telephone], u"0170");

    ASSERT_TRUE(store->remove(contact.id).ok());
    EXPECT_TRUE(list(*store).empty());
    EXPECT_EQ(store->update(contact).status, StoreStatus::not_found);
    EXPECT_EQ(store->remove(contact.id).status, StoreStatus::not_found);
}

TEST_F(ContactStoreTest, CreatesOnlyWhereNoFileIsAndLeavesAnExistingStoreAlone) {
    ContactRecord contact = named(u"Anna", u"Berg");
    ASSERT_TRUE(create()->add(contact).ok());

    StoreResult result;
    EXPECT_EQ(ContactStore::create(m_path, result), nullptr);
    EXPECT_EQ(result.status, StoreStatus::exists);
    EXPECT_EQ(list(*open()).size(), 1u);
}

TEST_F(ContactStoreTest, RefusesToOpenWhatIsNotAContactsStoreAndSaysWhy) {
    handset::DebugCapture debug;
    StoreResult result;
    EXPECT_EQ(ContactStore::open(m_path, result), nullptr);
    EXPECT_EQ(result.status, StoreStatus::missing);

    write_file(m_path, std::string(8192, '\x17'));
    EXPECT_EQ(ContactStore::open(m_path, result), nullptr);
    EXPECT_EQ(result.status, StoreStatus::unusable);
    EXPECT_THAT(result.detail, HasSubstr("not a database"));

    write_file(m_path, "");
    EXPECT_EQ(ContactStore::open(m_path, result), nullptr);
    EXPECT_EQ(result.status, StoreStatus::unusable);
    EXPECT_THAT(result.detail, HasSubstr("is not a contacts store"));

    EXPECT_THAT(debug.text(), HasSubstr("there is no contacts store at " + m_path.string()));
    EXPECT_THAT(debug.text(), HasSubstr("not a database"));
}

TEST_F(ContactStoreTest, ReportsDamageFoundAfterOpening) {
    {
        auto store = create();
        ContactRecord contact = named(u"Anna", u"Berg");
        ASSERT_TRUE(store->add(contact).ok());
    }
    scribble_over_pages(m_path);
    handset::DebugCapture debug;
    auto store = open();
    ASSERT_NE(store, nullptr);

    std::vector<ContactRecord> contacts;
    const StoreResult listed = store->list(contacts);
    EXPECT_EQ(listed.status, StoreStatus::unusable);
    EXPECT_TRUE(contacts.empty());
    ContactRecord contact = named(u"Bob", u"Brown");
    EXPECT_EQ(store->add(contact).status, StoreStatus::unusable);
    EXPECT_EQ(store->check().status, StoreStatus::unusable);
    EXPECT_THAT(debug.text(), HasSubstr("malformed"));
}

TEST_F(ContactStoreTest, RefusesWhatExceedsTheQuotaAndKeepsEverythingItAccepted) {
    auto store = create();
    ASSERT_TRUE(store->set_quota_bytes(64 * 1024).ok());
    uint64_t quota = 0;
    ASSERT_TRUE(store->quota_bytes(quota).ok());
    EXPECT_EQ(quota, 64u * 1024);

    StoreResult refusal;
    const size_t accepted = fill_until_refused(*store, refusal);
    EXPECT_EQ(refusal.status, StoreStatus::full);
    EXPECT_GT(accepted, 0u);
    EXPECT_EQ(list(*store).size(), accepted);

    std::vector<ContactRecord> batch = {named(u"A", u"B"), named(std::u16string(900, u'y'), u"C")};
    EXPECT_EQ(store->add_all(batch).status, StoreStatus::full);
    EXPECT_EQ(list(*store).size(), accepted) << "a refused batch leaves nothing behind";

    ASSERT_TRUE(store->set_quota_bytes(0).ok()) << "a full store can still lift its quota";
    EXPECT_TRUE(store->add_all(batch).ok());
    EXPECT_EQ(list(*store).size(), accepted + 2);
}

TEST_F(ContactStoreTest, AQuotaBindsConnectionsThatWereOpenBeforeItWasSet) {
    auto program = create();
    auto tool = open();
    ASSERT_TRUE(tool->set_quota_bytes(48 * 1024).ok());

    StoreResult refusal;
    fill_until_refused(*program, refusal);
    EXPECT_EQ(refusal.status, StoreStatus::full);
    uint64_t quota = 0;
    ASSERT_TRUE(program->quota_bytes(quota).ok());
    EXPECT_EQ(quota, 48u * 1024);
}

TEST_F(ContactStoreTest, ChangeStampMovesWithTheCommitsOfEveryConnection) {
    auto reader = create();
    auto writer = open();
    const handset::ChangeStamp before = reader->change_stamp();
    EXPECT_EQ(reader->change_stamp(), before);

    ContactRecord contact = named(u"Anna", u"Berg");
    ASSERT_TRUE(writer->add(contact).ok());
    const handset::ChangeStamp after_other = reader->change_stamp();
    EXPECT_NE(after_other, before);

    ASSERT_TRUE(reader->remove(contact.id).ok());
    EXPECT_NE(reader->change_stamp(), after_other);
}

// A struck save fails at its commit, as a real full disk or a held lock would, so a batch that was
// already written in the transaction is undone; each failure keeps its own status.
TEST_F(ContactStoreTest, AStruckBatchLeavesNothingBehindAndSaysWhatFailed) {
    auto program = create();
    program->honour_faults();
    auto tool = open();
    const std::vector<std::pair<std::string_view, StoreStatus>> failures = {
        {"storage-full", StoreStatus::full},
        {"busy", StoreStatus::busy},
        {"damaged", StoreStatus::unusable},
        {"no-memory", StoreStatus::no_memory},
    };
    for (const auto& [name, status] : failures) {
        handset::Fault fault = contacts_fault(handset::FaultPoint::contacts_save, name, 1);
        ASSERT_TRUE(tool->add_fault(fault).ok());
        std::vector<ContactRecord> batch = {named(u"A", u"B"), named(u"C", u"D")};
        EXPECT_EQ(program->add_all(batch).status, status);
        EXPECT_TRUE(list(*program).empty());
    }
    std::vector<ContactRecord> batch = {named(u"A", u"B"), named(u"C", u"D")};
    EXPECT_TRUE(program->add_all(batch).ok()) << "every fault struck once";
    EXPECT_EQ(list(*tool).size(), 2u);
}

} // namespace
