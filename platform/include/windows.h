// The core of the handset's programming interface in one include, as programs for the device
// write it: kernel, registry, modules, drawing and windows. The shell, common controls, COM, the
// contacts store and the SIM library have headers of their own, included where used.
#pragma once

#include <windef.h>
#include <winstyles.h>

#include <libloaderapi.h>
#include <processthreadsapi.h>
#include <strsafe.h>
#include <winbase.h>
#include <wingdi.h>
#include <winreg.h>
#include <winuser.h>
