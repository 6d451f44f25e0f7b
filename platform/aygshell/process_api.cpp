// CreateProcess: the handset's only program to start is the help viewer.
#include "aygshell/help_viewer.h"
#include "base/debug_output.h"
#include "base/kernel_objects.h"
#include "base/utf.h"

#include <processthreadsapi.h>
#include <winbase.h>

#include <atomic>

using namespace handset;

namespace {

constexpr const WCHAR* help_viewer_name = u"peghelp.exe";

// The viewer's process and its main thread. They end at once on their own (the page is in the
// desktop's hands or in the log), so the handles only need to exist until they are closed.
class HelpViewerObject : public KernelObject {};

// The device finds its programs in \Windows, so a folder in front of the name changes nothing.
bool names_help_viewer(LPCWSTR application) {
    std::u16string_view name(application);
    if (const size_t slash = name.rfind(u'\\'); slash != std::u16string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    return _wcsicmp(name.data(), help_viewer_name) == 0;
}

// Process ids of the viewers that only logged their page, which have no process of their own.
DWORD next_logged_viewer_id() {
    static std::atomic<DWORD> next{1};
    return next++;
}

} // namespace

BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                           LPPROCESS_INFORMATION lpProcessInformation) {
    if (lpApplicationName == nullptr || lpProcessInformation == nullptr) {
        debug_line("CreateProcess: the application name and the process record are required");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!names_help_viewer(lpApplicationName)) {
        debug_printf("CreateProcess: the handset has no program %s",
                     utf16_to_utf8(lpApplicationName).c_str());
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const HANDLE process = add_kernel_object(std::make_shared<HelpViewerObject>());
    const HANDLE thread = add_kernel_object(std::make_shared<HelpViewerObject>());
    if (!process || !thread) {
        close_kernel_object(process);
        close_kernel_object(thread);
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return FALSE;
    }
    const int launched = show_help_page(lpCommandLine != nullptr ? lpCommandLine : u"");
    const DWORD id = launched != 0 ? static_cast<DWORD>(launched) : next_logged_viewer_id();
    *lpProcessInformation = PROCESS_INFORMATION{process, thread, id, id};
    return TRUE;
}
