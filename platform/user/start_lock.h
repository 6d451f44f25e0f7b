// The device's start lock: it makes a program's single-instance test and the creation of the
// window that test looks for one step across the processes of a device.
//
// A program that runs once per device asks FindWindow for its main window, hands over to the
// instance that owns one, and creates the window itself when there is none. Two programs started
// together could both find none and both stay. So FindWindow, on a thread that has created no
// top-level window yet (a program starting), takes this lock before it asks the other processes:
//
//   the find             the lock afterwards
//   found a window       given back: the caller deals with the instance it found
//   found none           kept until this process has created a top-level window, which the other
//                        processes' finds then see, or until the process ends (the kernel drops
//                        an ended process's lock)
//
// The lock is an exclusive flock on start.lock in the device's socket folder, held per process.
// A process that waits for it longer than start_lock_wait looks without it and says so in a debug
// line: a process that took the lock and never makes a window delays the others' starts, it does
// not stop them.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>

namespace handset {

inline constexpr std::chrono::milliseconds start_lock_wait{5000};

class StartLock {
  public:
    explicit StartLock(const std::filesystem::path& folder);
    ~StartLock();
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;

    // Waits, up to start_lock_wait, until this process holds the lock; at once when it does.
    void hold();
    // Gives the lock back; nothing when this process does not hold it.
    void release();

  private:
    int m_descriptor = -1;
    // One thread at a time waits for the lock; the others of the process then find it held.
    std::mutex m_waiting;
    std::atomic<bool> m_held{false};
};

} // namespace handset
