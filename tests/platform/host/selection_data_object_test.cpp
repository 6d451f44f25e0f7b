#include "host/selection_data_object.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class SelectionDataObjectTest : public ::testing::Test {
  protected:
    ~SelectionDataObjectTest() override { m_object->release(); }

    IDataObject* Data() {
        IDataObject* data = nullptr;
        EXPECT_EQ(m_object->site()->lpVtbl->QueryInterface(m_object->site(), IID_IDataObject,
                                                           reinterpret_cast<void**>(&data)),
                  S_OK);
        return data;
    }

    static FORMATETC Format() {
        return {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_CONTACTOIDS)), nullptr,
                DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    }

    handset::SelectionDataObject* m_object = handset::SelectionDataObject::create({7, 3, 250});
};

TEST_F(SelectionDataObjectTest, GivesTheCountAndTheObjectIdentifiersInAFreshBlock) {
    IDataObject* data = Data();
    FORMATETC format = Format();
    STGMEDIUM medium{};
    ASSERT_EQ(data->lpVtbl->GetData(data, &format, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    ASSERT_EQ(medium.cbGlobal, 16u);
    DWORD block[4] = {};
    std::memcpy(block, medium.hGlobal, sizeof block);
    EXPECT_EQ(std::vector<DWORD>(block, block + 4), (std::vector<DWORD>{3, 7, 3, 250}));
    std::free(medium.hGlobal);
    EXPECT_EQ(data->lpVtbl->QueryGetData(data, &format), S_OK);
    data->lpVtbl->Release(data);
}

TEST_F(SelectionDataObjectTest, RefusesOtherFormatsMediaAndAspects) {
    IDataObject* data = Data();
    STGMEDIUM medium{};
    FORMATETC other = Format();
    other.cfFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(u"Something Else"));
    EXPECT_EQ(data->lpVtbl->GetData(data, &other, &medium), DV_E_FORMATETC);
    EXPECT_EQ(medium.hGlobal, nullptr);
    FORMATETC no_memory = Format();
    no_memory.tymed = TYMED_NULL;
    EXPECT_EQ(data->lpVtbl->GetData(data, &no_memory, &medium), DV_E_FORMATETC);
    FORMATETC one_item = Format();
    one_item.lindex = 0;
    EXPECT_EQ(data->lpVtbl->QueryGetData(data, &one_item), DV_E_FORMATETC);
    EXPECT_EQ(data->lpVtbl->GetData(data, nullptr, &medium), DV_E_FORMATETC);
    FORMATETC format = Format();
    EXPECT_EQ(data->lpVtbl->SetData(data, &format, &medium, FALSE), E_NOTIMPL);
    data->lpVtbl->Release(data);
}

TEST_F(SelectionDataObjectTest, IsASiteThatOffersOnlyItsDataObject) {
    IUnknown* site = m_object->site();
    void* out = this;
    EXPECT_EQ(site->lpVtbl->QueryInterface(site, IID_IContextMenu, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(site->lpVtbl->QueryInterface(site, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              S_OK);
    EXPECT_EQ(unknown, site);
    EXPECT_EQ(unknown->lpVtbl->Release(unknown), 1u);
}

} // namespace
