#include <objbase.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

using namespace std::chrono_literals;

// Runs body on a thread of its own and fails, instead of hanging, if it does not finish.
template <typename Body>
auto on_new_thread(Body body) {
    auto result = std::async(std::launch::async, body);
    EXPECT_EQ(result.wait_for(10s), std::future_status::ready);
    return result.get();
}

TEST(CoInitializeEx, AnswersSOkTheFirstTimeOnAThreadAndSFalseAfter) {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK)
        << "every initialisation, S_FALSE ones included, is closed by one CoUninitialize";
    CoUninitialize();
}

TEST(CoInitializeEx, CountsEachThreadOnItsOwn) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(on_new_thread([] {
                  const HRESULT first = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                  CoUninitialize();
                  return first;
              }),
              S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
}

TEST(CoInitializeEx, KeepsTheThreadsFirstConcurrencyModel) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK)
        << "the refused call opened nothing that needed closing";
    CoUninitialize();
}

TEST(CoInitializeEx, RefusesAReservedPointerAndUnknownFlags) {
    int reserved = 0;
    EXPECT_EQ(CoInitializeEx(&reserved, COINIT_MULTITHREADED), E_INVALIDARG);
    EXPECT_EQ(CoInitializeEx(nullptr, 0x100), E_INVALIDARG);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "nothing was opened";
    CoUninitialize();
}

TEST(CoUninitialize, IsHarmlessOnAThreadThatNeverInitialised) {
    on_new_thread([] {
        CoUninitialize();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
}

} // namespace
