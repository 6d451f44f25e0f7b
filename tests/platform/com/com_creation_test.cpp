#include "temporary_device.h"
#include "test_counter.h"

#include "base/debug_output.h"
#include "com/builtin_classes.h"
#include "com/com_object.h"

#include <objbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

// {6A1E0C56-7B2D-4E1A-9C3F-2D5B8E7A1F40}
constexpr CLSID CLSID_TestBuiltin = {
    0x6A1E0C56, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};
// {6A1E0C57-7B2D-4E1A-9C3F-2D5B8E7A1F40}: registered to libraries that cannot serve it.
constexpr CLSID CLSID_TestMissingLibrary = {
    0x6A1E0C57, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};
constexpr CLSID CLSID_TestNoFactory = {
    0x6A1E0C58, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};
constexpr CLSID CLSID_Nobody = {
    0x6A1E0C59, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};

// A class of the platform's own kind, made with the same helpers as the contacts objects.
class BuiltinCounter final : public handset::ComObject {
  public:
    static HRESULT create(REFIID iid, void** out) {
        auto* counter = new BuiltinCounter();
        const HRESULT status = counter->query_interface(iid, out);
        counter->release();
        return status;
    }

  private:
    using Entries = handset::UnknownEntries<ITestCounter, BuiltinCounter>;

    BuiltinCounter() : m_counter{{&table}, this} {}

    void* find_interface(REFIID iid) override {
        const bool served = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITestCounter);
        return served ? &m_counter.iface : nullptr;
    }

    static HRESULT STDMETHODCALLTYPE increment(ITestCounter* self, LONG* value) {
        *value = ++Entries::Binding::object_of(self)->m_value;
        return S_OK;
    }

    static constexpr ITestCounterVtbl table = {Entries::query_interface, Entries::add_ref,
                                               Entries::release, increment};

    handset::InterfaceBinding<ITestCounter, BuiltinCounter> m_counter;
    LONG m_value = 0;
};

const handset::BuiltinClassRegistration builtin(CLSID_TestBuiltin, &BuiltinCounter::create);

std::string registry_section(const char* clsid, const std::string& library) {
    return std::string("[HKEY_CLASSES_ROOT\\CLSID\\") + clsid + "\\InprocServer32]\n@=\"" +
           library + "\"\n\n";
}

bool library_is_loaded(const char* path) {
    void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr) {
        dlclose(handle);
    }
    return handle != nullptr;
}

LONG increment(ITestCounter* counter) {
    LONG value = 0;
    EXPECT_EQ(counter->lpVtbl->Increment(counter, &value), S_OK);
    return value;
}

class CoCreateInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_device.write(
            "registry.reg",
            "REGEDIT4\n\n" +
                registry_section("{6A1E0C53-7B2D-4E1A-9C3F-2D5B8E7A1F40}", TEST_SERVER_PATH) +
                registry_section("{6A1E0C55-7B2D-4E1A-9C3F-2D5B8E7A1F40}", TEST_SERVER_PATH) +
                registry_section("{6A1E0C57-7B2D-4E1A-9C3F-2D5B8E7A1F40}",
                                 (m_device.path() / "gone.so").string()) +
                registry_section("{6A1E0C58-7B2D-4E1A-9C3F-2D5B8E7A1F40}",
                                 TEST_LIBRARY_WITHOUT_FACTORY_PATH));
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    }
    void TearDown() override { CoUninitialize(); }

    HRESULT create(const CLSID& clsid, IUnknown* outer, REFIID iid, void** out) {
        return CoCreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, iid, out);
    }

    TemporaryDevice m_device;
};

TEST_F(CoCreateInstanceTest, CreatesThePlatformsOwnClassesWithoutTheRegistry) {
    ITestCounter* counter = nullptr;
    ASSERT_EQ(
        create(CLSID_TestBuiltin, nullptr, IID_ITestCounter, reinterpret_cast<void**>(&counter)),
        S_OK);
    EXPECT_EQ(increment(counter), 1);
    EXPECT_EQ(increment(counter), 2);
    EXPECT_EQ(counter->lpVtbl->Release(counter), 0u);
}

TEST_F(CoCreateInstanceTest, RefusesAggregationAndUnservedInterfacesOfThePlatformsOwnClasses) {
    IUnknown outer = {nullptr};
    void* object = &outer;
    EXPECT_EQ(create(CLSID_TestBuiltin, &outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = &outer;
    EXPECT_EQ(create(CLSID_TestBuiltin, nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(CoCreateInstanceTest, LoadsTheRegisteredLibraryAndLetsItsFactoryMakeTheObject) {
    ITestCounter* first = nullptr;
    ITestCounter* second = nullptr;
    ASSERT_EQ(
        create(CLSID_TestCounter, nullptr, IID_ITestCounter, reinterpret_cast<void**>(&first)),
        S_OK);
    ASSERT_EQ(
        create(CLSID_TestCounter, nullptr, IID_ITestCounter, reinterpret_cast<void**>(&second)),
        S_OK);
    EXPECT_NE(first, second);
    EXPECT_EQ(increment(first), 1);
    EXPECT_EQ(increment(first), 2);
    EXPECT_EQ(increment(second), 1);
    first->lpVtbl->Release(first);
    second->lpVtbl->Release(second);
}

TEST_F(CoCreateInstanceTest, HandsOnTheFactorysRefusals) {
    IUnknown outer = {nullptr};
    void* object = &outer;
    EXPECT_EQ(create(CLSID_TestCounter, &outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = &outer;
    EXPECT_EQ(create(CLSID_TestCounter, nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(create(CLSID_TestUnserved, nullptr, IID_IUnknown, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
}

TEST_F(CoCreateInstanceTest, AnswersClassNotRegisteredAndSaysWhichClass) {
    handset::DebugCapture debug;
    void* object = this;
    EXPECT_EQ(create(CLSID_Nobody, nullptr, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_THAT(debug.text(), HasSubstr("{6A1E0C59-7B2D-4E1A-9C3F-2D5B8E7A1F40}"));
}

TEST_F(CoCreateInstanceTest, ServesOnlyInProcessContexts) {
    constexpr DWORD local_server = 0x4;
    void* object = this;
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, local_server, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST_F(CoCreateInstanceTest, ReportsRegisteredLibrariesThatCannotServe) {
    handset::DebugCapture debug;
    void* object = this;
    EXPECT_EQ(create(CLSID_TestMissingLibrary, nullptr, IID_IUnknown, &object),
              static_cast<HRESULT>(0x8007007E));
    EXPECT_EQ(object, nullptr);
    EXPECT_THAT(debug.text(), HasSubstr("gone.so"));

    object = this;
    EXPECT_EQ(create(CLSID_TestNoFactory, nullptr, IID_IUnknown, &object), CO_E_ERRORINDLL);
    EXPECT_EQ(object, nullptr);
    EXPECT_THAT(debug.text(), HasSubstr("DllGetClassObject"));
}

TEST_F(CoCreateInstanceTest, RefusesANullResultPointer) {
    EXPECT_EQ(create(CLSID_TestBuiltin, nullptr, IID_IUnknown, nullptr), E_INVALIDARG);
}

TEST_F(CoCreateInstanceTest, AnswersNotInitialisedOnAThreadThatDidNotInitialise) {
    auto outcome = std::async(std::launch::async, [] {
        void* object = &object;
        const HRESULT status = CoCreateInstance(CLSID_TestBuiltin, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IUnknown, &object);
        return std::make_pair(status, object);
    });
    ASSERT_EQ(outcome.wait_for(10s), std::future_status::ready);
    const auto [status, object] = outcome.get();
    EXPECT_EQ(status, CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
}

TEST_F(CoCreateInstanceTest, FreesALibraryWhenCOMEndsAndNoneOfItsObjectsLives) {
    ITestCounter* counter = nullptr;
    ASSERT_EQ(
        create(CLSID_TestCounter, nullptr, IID_ITestCounter, reinterpret_cast<void**>(&counter)),
        S_OK);
    ASSERT_TRUE(library_is_loaded(TEST_SERVER_PATH));

    CoUninitialize();
    EXPECT_TRUE(library_is_loaded(TEST_SERVER_PATH)) << "a live object keeps its code loaded";
    EXPECT_EQ(increment(counter), 1);
    counter->lpVtbl->Release(counter);

    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
    EXPECT_FALSE(library_is_loaded(TEST_SERVER_PATH));

    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
}

} // namespace
