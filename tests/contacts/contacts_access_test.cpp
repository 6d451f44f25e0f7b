#include "contacts/contacts_access.h"
#include "failing_contact_reads.h"
#include "poom/contact_store.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using handset::ContactField;
using handset::ContactRecord;

std::unique_ptr<handset::ContactStore> CreateStore(const TestDevice& device) {
    handset::StoreResult result;
    auto store = handset::ContactStore::create(device.folder() / "contacts.db", result);
    EXPECT_TRUE(store);
    return store;
}

void AddContact(handset::ContactStore& store, std::u16string first, std::u16string last,
                std::u16string mobile) {
    ContactRecord record;
    record[ContactField::first_name] = std::move(first);
    record[ContactField::last_name] = std::move(last);
    record[ContactField::mobile_telephone] = std::move(mobile);
    store.add(record);
}

std::u16string Text(LPCWSTR text) {
    return text ? std::u16string(text) : std::u16string(u"(none)");
}

} // namespace

TEST(ContactConnection, OpensOnceAndReadsTheStoreInFilingOrder) {
    TestDevice device;
    auto store = CreateStore(device);
    AddContact(*store, u"Ann", u"Lee", u"0170111");
    AddContact(*store, u"Bob", u"Adams", u"");

    ASSERT_TRUE(CONTACT_Init(nullptr));
    IPOutlookApp* app = CONTACT_GetAppHandle(nullptr);
    EXPECT_EQ(CONTACT_GetAppHandle(nullptr), app);
    EXPECT_EQ(device.count_lines("CONTACT_GetAppHandle: CoInitializeEx: Success"), 1);
    EXPECT_EQ(device.count_lines("CONTACT_GetAppHandle: CoCreateInstance: Success"), 1);
    EXPECT_TRUE(device.has_line("CONTACT_GetAppHandle: Poom Version == "));

    EXPECT_EQ(CONTACT_GetCount(), 2);
    EXPECT_TRUE(device.has_line("CONTACT_GetCount: Contact Numbers == 2"));

    IContact* contact = nullptr;
    ASSERT_EQ(CONTACT_GetItem(1, &contact), CONTACT_OK);
    EXPECT_EQ(Text(CONTACTITEM_GetLastName(contact)), u"Adams");
    EXPECT_EQ(Text(CONTACTITEM_GetMobileTel(contact)), u"");
    CONTACTITEM_Release(contact);
    ASSERT_EQ(CONTACT_GetItem(2, &contact), CONTACT_OK);
    EXPECT_EQ(Text(CONTACTITEM_GetFirstName(contact)), u"Ann");
    EXPECT_EQ(Text(CONTACTITEM_GetMobileTel(contact)), u"0170111");
    EXPECT_TRUE(device.has_line("CONTACTITEM_GetMobileTel: Mobile Tel == 0170111"));
    CONTACTITEM_Release(contact);
    CONTACT_Release();
}

TEST(ContactItems, ACreatedContactIsSavedAndReadBack) {
    TestDevice device;
    CreateStore(device);
    CONTACT_Init(nullptr);

    IContact* contact = nullptr;
    ASSERT_EQ(CONTACTITEM_Create(&contact), CONTACT_OK);
    EXPECT_EQ(CONTACTITEM_SetFirstName(contact, u"Anna"), S_OK);
    EXPECT_EQ(CONTACTITEM_SetMobileTel(contact, u"+4930123"), S_OK);
    EXPECT_EQ(CONTACTITEM_SetBussinessTel(contact, u"0301"), S_OK);
    EXPECT_EQ(CONTACTITEM_SetEmail1(contact, u"anna@example.org"), S_OK);
    EXPECT_EQ(CONTACTITEM_SetNickName(contact, u"Annie"), S_OK);
    EXPECT_TRUE(device.has_line("CONTACTITEM_SetNickName: Success"));
    EXPECT_EQ(CONTACTITEM_Save(contact), CONTACT_OK);
    EXPECT_TRUE(device.has_line("CONTACT_Error: Save OK"));
    CONTACTITEM_Release(contact);
    CONTACT_Release();

    handset::StoreResult result;
    auto store = handset::ContactStore::open(device.folder() / "contacts.db", result);
    ASSERT_TRUE(store);
    std::vector<ContactRecord> contacts;
    store->list(contacts);
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts[0][ContactField::first_name], u"Anna");
    EXPECT_EQ(contacts[0][ContactField::mobile_telephone], u"+4930123");
    EXPECT_EQ(contacts[0][ContactField::business_telephone], u"0301");
    EXPECT_EQ(contacts[0][ContactField::email1], u"anna@example.org");
    EXPECT_EQ(contacts[0][ContactField::nickname], u"Annie");
}

TEST(ContactItems, AFullStoreAnswersStorageFull) {
    TestDevice device;
    auto store = CreateStore(device);
    uint64_t quota = 0;
    store->set_quota_bytes(1);
    store->quota_bytes(quota);
    CONTACT_Init(nullptr);

    std::u16string name(900, u'n');
    int result = CONTACT_OK;
    for (int i = 0; i < 500 && result == CONTACT_OK; ++i) {
        IContact* contact = nullptr;
        ASSERT_EQ(CONTACTITEM_Create(&contact), CONTACT_OK);
        CONTACTITEM_SetFirstName(contact, name.c_str());
        result = CONTACTITEM_Save(contact);
        CONTACTITEM_Release(contact);
    }
    EXPECT_EQ(result, CONTACT_STORAGE_FULL);
    EXPECT_TRUE(device.has_line("CONTACT_Error: Out of Memory"));
    CONTACT_Release();
}

TEST(ContactItems, MissingArgumentsAreRefusedWithTheirOwnTrace) {
    TestDevice device;
    CreateStore(device);
    CONTACT_Init(nullptr);

    EXPECT_EQ(CONTACT_GetItem(1, nullptr), CONTACT_FAIL);
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: CONTACT_GetItem: ppIContact == NULL!"));
    EXPECT_EQ(CONTACTITEM_Create(nullptr), CONTACT_FAIL);
    EXPECT_EQ(CONTACTITEM_Save(nullptr), CONTACT_FAIL);
    EXPECT_TRUE(device.has_line("CONTACTITEM_Save: pIContact == NULL!"));
    EXPECT_EQ(CONTACTITEM_GetFirstName(nullptr), nullptr);
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: CONTACTITEM_GetFirstName: Error"));

    IContact* contact = nullptr;
    ASSERT_EQ(CONTACTITEM_Create(&contact), CONTACT_OK);
    EXPECT_NE(CONTACTITEM_SetMobileTel(contact, nullptr), S_OK);
    EXPECT_TRUE(device.has_line("Telvane <RD_Error>: CONTACTITEM_SetMobileTel: Error"));
    CONTACTITEM_Release(contact);
    CONTACT_Release();
}

TEST(ContactStatus, AnUnknownStatusIsNeitherSuccessNorAKnownFailure) {
    TestDevice device;
    EXPECT_EQ(CONTACT_Error(HRESULT(0x80001234)), CONTACT_UNKNOWN_STATUS);
    EXPECT_TRUE(device.has_line("CONTACT_Error: Unknown Error"));
    EXPECT_EQ(CONTACT_Error(E_INVALIDARG), CONTACT_INVALID_ARGS);
    EXPECT_EQ(CONTACT_Error(E_UNEXPECTED), CONTACT_UNEXPECTED);
    EXPECT_EQ(CONTACT_Error(E_FAIL), CONTACT_FAIL);
}

TEST(ContactConnection, WithoutAStoreTheCountIsZero) {
    TestDevice device;
    CONTACT_Init(nullptr);
    EXPECT_EQ(CONTACT_GetCount(), 0);
    IContact* contact = nullptr;
    EXPECT_NE(CONTACT_GetItem(1, &contact), CONTACT_OK);
    EXPECT_FALSE(contact);
    CONTACT_Release();
}

TEST(ContactItems, AFailedReadGivesAnEmptyTextNotThatOfTheContactReadBefore) {
    TestDevice device;
    auto store = CreateStore(device);
    AddContact(*store, u"Ann", u"Lee", u"0170111");
    AddContact(*store, u"Bob", u"Mayer", u"0170222");
    ASSERT_TRUE(CONTACT_Init(nullptr));
    {
        FailingContactReads failing(CONTACT_GetItemHandle(), 2, FailingContactReads::Reads::all);
        IContact* contact = nullptr;
        ASSERT_EQ(CONTACT_GetItem(1, &contact), CONTACT_OK);
        EXPECT_EQ(Text(CONTACTITEM_GetLastName(contact)), u"Lee");
        EXPECT_EQ(Text(CONTACTITEM_GetMobileTel(contact)), u"0170111");
        CONTACTITEM_Release(contact);
        ASSERT_EQ(CONTACT_GetItem(2, &contact), CONTACT_OK);
        EXPECT_EQ(Text(CONTACTITEM_GetLastName(contact)), u"");
        EXPECT_EQ(Text(CONTACTITEM_GetMobileTel(contact)), u"");
        CONTACTITEM_Release(contact);
    }
    CONTACT_Release();
}
