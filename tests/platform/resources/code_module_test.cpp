#include "base/debug_output.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace handset {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// The DllMain calls of one test library, as it reported them: "<reason> on thread <id>".
std::vector<std::string> calls_of(const DebugCapture& capture, const std::string& library) {
    std::vector<std::string> calls;
    std::string prefix = library + ": DllMain ";
    for (const std::string& line : capture.lines()) {
        if (line.rfind(prefix, 0) == 0) {
            calls.push_back(line.substr(prefix.size()));
        }
    }
    return calls;
}

std::string call(DWORD reason, DWORD thread) {
    return std::to_string(reason) + " on thread " + std::to_string(thread);
}

// Waits (at most ten seconds, then fails) until the library has reported `count` calls.
void wait_for_calls(const DebugCapture& capture, const std::string& library, size_t count) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (calls_of(capture, library).size() < count) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << library << " made too few calls";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

DWORD WINAPI report_thread(LPVOID parameter) {
    *static_cast<std::atomic<DWORD>*>(parameter) = GetCurrentThreadId();
    return 0;
}

// Starts a thread with CreateThread and gives its id, once the thread has run.
DWORD run_thread(std::atomic<DWORD>& id) {
    HANDLE thread = CreateThread(nullptr, 0, report_thread, &id, 0, nullptr);
    EXPECT_TRUE(thread);
    CloseHandle(thread);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (id == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return id;
}

TEST(CodeModule, AttachesOnTheFirstLoadAndDetachesOnTheLastFree) {
    DebugCapture capture;
    DWORD me = GetCurrentThreadId();

    HMODULE first = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(first) << "error " << GetLastError();
    HMODULE second = LoadLibraryW(u"TestLibrary.dll");
    EXPECT_EQ(second, first);
    EXPECT_THAT(calls_of(capture, "TestLibrary"), ElementsAre(call(DLL_PROCESS_ATTACH, me)));

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(calls_of(capture, "TestLibrary").size(), 1u) << "one reference is left";
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_THAT(calls_of(capture, "TestLibrary"),
                ElementsAre(call(DLL_PROCESS_ATTACH, me), call(DLL_PROCESS_DETACH, me)));

    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddressA(first, "test_library_answer"), nullptr);
}

TEST(CodeModule, FindsExportsByNameOnly) {
    HMODULE module = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(module);

    auto answer = reinterpret_cast<int (*)()>(GetProcAddressW(module, u"test_library_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddressA(module, "test_library_answer"), reinterpret_cast<FARPROC>(answer));

    EXPECT_EQ(GetProcAddress(module, u"no_such_export"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCE(1)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddressA(module, "LoadLibraryW"), nullptr)
        << "a function of a library it depends on is not its export";
    FreeLibrary(module);
}

TEST(CodeModule, ServesTheResourcesEmbeddedInIt) {
    HMODULE module = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(module);
    WCHAR text[64];
    EXPECT_GT(LoadStringW(module, 1, text, 64), 0);
    EXPECT_EQ(std::u16string(text), u"Embedded in the library");
    EXPECT_GT(LoadStringW(nullptr, 1, text, 64), 0);
    EXPECT_EQ(std::u16string(text), u"Embedded in the program");
    FreeLibrary(module);
}

TEST(CodeModule, IsFoundByItsFileNameWhileLoaded) {
    HMODULE module = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(module);
    EXPECT_EQ(GetModuleHandleW(u"testlibrary.DLL"), module);
    FreeLibrary(module);
    EXPECT_FALSE(GetModuleHandleW(u"TestLibrary.dll"));
}

TEST(CodeModule, WithoutADllMainOfItsOwnGetsNoEntryPointCalls) {
    DebugCapture capture;
    HMODULE module = LoadLibraryW(u"PlainLibrary.dll");
    ASSERT_TRUE(module) << "error " << GetLastError();
    auto answer = reinterpret_cast<int (*)()>(GetProcAddressA(module, "plain_library_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 43);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_THAT(calls_of(capture, "TestLibrary"), IsEmpty())
        << "the DllMain of the library it links against is not its own";
}

TEST(CodeModule, FailsToLoadWhenDllMainRefusesTheAttach) {
    DebugCapture capture;
    DWORD me = GetCurrentThreadId();
    EXPECT_FALSE(LoadLibraryW(u"RefusingLibrary.dll"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
    EXPECT_THAT(calls_of(capture, "RefusingLibrary"),
                ElementsAre(call(DLL_PROCESS_ATTACH, me), call(DLL_PROCESS_DETACH, me)));
    EXPECT_FALSE(GetModuleHandleW(u"RefusingLibrary.dll"));
}

TEST(CodeModule, RefusesFilesThatAreNotSharedObjects) {
    DebugCapture capture;
    EXPECT_FALSE(LoadLibraryW(u"resources_fixture.res"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_THAT(capture.lines()[0], HasSubstr("is not a loadable shared object"));

    EXPECT_FALSE(LoadLibraryW(u"NoSuchLibrary.dll"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST(CodeModule, HearsOfThreadsThatCreateThreadMakesOnThoseThreads) {
    HMODULE module = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(module);
    DebugCapture capture;

    std::atomic<DWORD> id{0};
    DWORD thread = run_thread(id);
    ASSERT_NE(thread, 0u);
    wait_for_calls(capture, "TestLibrary", 2);

    EXPECT_THAT(calls_of(capture, "TestLibrary"),
                ElementsAre(call(DLL_THREAD_ATTACH, thread), call(DLL_THREAD_DETACH, thread)));
    FreeLibrary(module);
}

struct GatedThread {
    std::atomic<DWORD> id{0};
    std::atomic<bool> may_end{false};
};

DWORD WINAPI wait_at_gate(LPVOID parameter) {
    auto& gate = *static_cast<GatedThread*>(parameter);
    gate.id = GetCurrentThreadId();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!gate.may_end && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return 0;
}

TEST(CodeModule, HearsOnlyTheDetachOfAThreadThatWasRunningWhenItLoaded) {
    GatedThread gate;
    HANDLE thread = CreateThread(nullptr, 0, wait_at_gate, &gate, 0, nullptr);
    ASSERT_TRUE(thread);
    CloseHandle(thread);
    while (gate.id == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    DebugCapture capture;
    HMODULE module = LoadLibraryW(u"TestLibrary.dll");
    ASSERT_TRUE(module);

    gate.may_end = true;
    wait_for_calls(capture, "TestLibrary", 2);
    EXPECT_THAT(calls_of(capture, "TestLibrary"),
                ElementsAre(call(DLL_PROCESS_ATTACH, GetCurrentThreadId()),
                            call(DLL_THREAD_DETACH, gate.id)));
    FreeLibrary(module);
}

TEST(CodeModule, HearsOfNoThreadsAfterDisableThreadLibraryCalls) {
    HMODULE loud = LoadLibraryW(u"TestLibrary.dll");
    DebugCapture capture;
    HMODULE quiet = LoadLibraryW(u"QuietLibrary.dll");
    ASSERT_TRUE(loud);
    ASSERT_TRUE(quiet);

    std::atomic<DWORD> id{0};
    ASSERT_NE(run_thread(id), 0u);
    wait_for_calls(capture, "TestLibrary", 2);

    EXPECT_THAT(calls_of(capture, "QuietLibrary"),
                ElementsAre(call(DLL_PROCESS_ATTACH, GetCurrentThreadId())))
        << "it turned thread calls off in its process attach";
    FreeLibrary(quiet);
    FreeLibrary(loud);
}

TEST(CodeModule, DisableThreadLibraryCallsWantsACodeModule) {
    EXPECT_FALSE(DisableThreadLibraryCalls(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DisableThreadLibraryCalls(HMODULE(0x7777)));
    EXPECT_TRUE(DisableThreadLibraryCalls(GetModuleHandleW(nullptr)));
}

} // namespace
} // namespace handset
