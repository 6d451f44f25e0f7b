// Two Telvanes started at the same moment on one device, as processes of their own, over and
// over: the device's start lock must leave exactly one of them running each time, the other
// having handed over to it (or closed it while it was still starting) and ended with code 0.
// unistd.h first: spawn_program.h declares environ itself, which must follow the C declaration.
#include <unistd.h>

#include "../../support/program_process.h"
#include "../../support/test_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Without the lock both stayed in about a quarter of the tries; twelve rounds miss that in
// fewer than 4 in 100 runs.
constexpr int rounds = 12;
// Far more than a headless start takes, even under a sanitizer.
constexpr auto hang_limit = 30s;
// How long the instance that stays is watched after the other has ended.
constexpr auto settle_time = 500ms;

std::unique_ptr<ProgramProcess> start_telvane(const TestDevice& device, const std::string& name) {
    return std::make_unique<ProgramProcess>(std::vector<std::string>{TELVANE_PROGRAM, "--device",
                                                                     device.folder().string(),
                                                                     "--display", "headless"},
                                            device.folder() / (name + "-output.txt"));
}

TEST(SingleInstance, OfTwoTelvanesStartedAtOnceExactlyOneStays) {
    for (int round = 1; round <= rounds; ++round) {
        TestDevice device;
        device.card();
        std::unique_ptr<ProgramProcess> both[] = {start_telvane(device, "first"),
                                                  start_telvane(device, "second")};
        ASSERT_TRUE(both[0]->started() && both[1]->started());
        const auto deadline = std::chrono::steady_clock::now() + hang_limit;
        int ended = -1;
        while (ended < 0 && std::chrono::steady_clock::now() < deadline) {
            for (int i = 0; i < 2 && ended < 0; ++i) {
                if (const std::optional<int> code = both[i]->wait_for_exit(0ms)) {
                    EXPECT_EQ(*code, 0) << "round " << round << ": " << both[i]->output();
                    ended = i;
                }
            }
            std::this_thread::sleep_for(10ms);
        }
        ASSERT_GE(ended, 0) << "round " << round << ": both instances stayed";
        ProgramProcess& staying = *both[1 - ended];
        EXPECT_EQ(staying.wait_for_exit(settle_time), std::nullopt)
            << "round " << round << ": neither instance stayed: " << staying.output();
    }
}

} // namespace
