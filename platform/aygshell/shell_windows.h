// The shell's own windows: the task bar and the input panel. The first thread that uses a shell
// service makes them (the program's user-interface thread); they end with that thread, and are
// made again should a shell service be used after that.
#pragma once

#include <winuser.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace handset {

class ShellWindows {
  public:
    static ShellWindows& instance();

    // Makes the windows that are missing, on the calling thread, and fits them to the screen.
    void start();
    // Destroys the windows; the thread that made them calls it as it ends.
    void stop();
    // 0 before start().
    HWND task_bar() const { return HWND(m_task_bar.load()); }
    HWND input_panel() const { return HWND(m_input_panel.load()); }

  private:
    ShellWindows() = default;

    std::mutex m_starting;
    // Read from any thread without the lock, and by the windows' own procedures while start()
    // is still making them.
    std::atomic<uint32_t> m_task_bar{0};
    std::atomic<uint32_t> m_input_panel{0};
};

// The window classes of the shell: the menu bar, the task bar, the input panel and the SIPPREF
// control. They are registered when the library loads, so a dialog template may name SIPPREF
// before the program has used any shell service.
void register_shell_classes();

} // namespace handset
