// A code module for the loader tests. Its DllMain writes each call to the debug output, which the
// tests capture: "<library>: DllMain <reason> on thread <id>". Built several times over:
//   REFUSE_ATTACH         DllMain answers FALSE to the process attach
//   DISABLE_THREAD_CALLS  DllMain turns thread calls off at process attach, as a COM server does
#include "base/debug_output.h"

#include <libloaderapi.h>
#include <winbase.h>

extern "C" __attribute__((visibility("default"))) BOOL WINAPI DllMain(HINSTANCE instance,
                                                                      DWORD reason, LPVOID) {
    handset::debug_printf("%s: DllMain %u on thread %u", LIBRARY_NAME, reason,
                          GetCurrentThreadId());
#ifdef DISABLE_THREAD_CALLS
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
    }
#else
    (void)instance;
#endif
#ifdef REFUSE_ATTACH
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
#else
    return TRUE;
#endif
}

extern "C" __attribute__((visibility("default"))) int test_library_answer() {
    return 42;
}
