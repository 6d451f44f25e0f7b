#include "user/modal_loop.h"

#include "user/window_lifecycle.h"
#include "user/window_placement.h"
#include "user/window_system.h"

namespace handset {

namespace {

// creating → running: the owner is disabled, unless the dialog already ended.
HWND disable_owner(HWND dialog, DialogState& state) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* window = system.find(lock, dialog);
    if (window == nullptr || state.ended) {
        return HWND();
    }
    Window* owner = system.find(lock, window->owner);
    if (owner == nullptr || !owner->enabled() || owner->foreign_token) {
        return HWND();
    }
    state.disabled_owner = owner->handle;
    return owner->handle;
}

bool still_running(HWND dialog, const DialogState& state) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return !state.ended && system.find(lock, dialog) != nullptr;
}

// A run that stops without EndDialog (WM_QUIT, or the dialog destroyed elsewhere) still gives the
// owner back its input, unless the owner is gone: destroying an owner destroys its dialogs too.
void enable_owner_again(DialogState& state) {
    HWND owner;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        owner = state.disabled_owner;
        state.disabled_owner = HWND();
    }
    if (owner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
}

} // namespace

INT_PTR run_modal(HWND dialog, const std::shared_ptr<DialogState>& state) {
    if (const HWND owner = disable_owner(dialog, *state)) {
        EnableWindow(owner, FALSE);
    }
    if (still_running(dialog, *state)) {
        show_window(dialog, SW_SHOW);
    }
    while (still_running(dialog, *state)) {
        MSG message;
        if (!GetMessageW(&message, HWND(), 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    enable_owner_again(*state);
    if (IsWindow(dialog)) {
        destroy_window(dialog);
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return state->ended ? state->result : 0;
}

} // namespace handset
