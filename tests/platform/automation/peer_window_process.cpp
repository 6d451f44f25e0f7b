// The other process of the cross-process tests, on the device folder given:
//   peer_window_process DEVICE serve TITLE USERDATA  a window of class PeerTest that lives until it
//                                                     is closed; prints "ready" once it can be
//                                                     found
//   peer_window_process DEVICE close TITLE           sends WM_CLOSE to the PeerTest window titled
//                                                     so; exits 0 when it found one, 3 otherwise
#include "base/device_folder.h"
#include "user/peer_service.h"

#include <winuser.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LRESULT CALLBACK serving_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int serve(const std::u16string& title, LONG_PTR user_data) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = serving_procedure;
    window_class.lpszClassName = u"PeerTest";
    RegisterClassW(&window_class);
    const HWND window = CreateWindowExW(0, u"PeerTest", title.c_str(), 0, 0, 0, 1, 1, HWND(),
                                        HMENU(), HINSTANCE(), nullptr);
    SetWindowLongW(window, GWL_USERDATA, static_cast<LONG>(user_data));
    std::puts("ready");
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, HWND(), 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    handset::set_device_folder(argv[1]);
    const handset::PeerService peers;
    const std::string mode = argv[2];
    const std::u16string title(argv[3], argv[3] + std::char_traits<char>::length(argv[3]));
    if (mode == "serve" && argc == 5) {
        return serve(title, std::atol(argv[4]));
    }
    if (mode == "close") {
        const HWND window = FindWindowW(u"PeerTest", title.c_str());
        SendMessageW(window, WM_CLOSE, 0, 0);
        return window ? 0 : 3;
    }
    return 2;
}
