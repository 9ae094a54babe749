// Windows and the shell's dialog set-up, as far as the main dialog's procedure reaches them:
// DestroyWindow and SHInitDialog only record their calls, for tests to read through
// host_test_hooks.h.
#ifndef DUNVATEL_PLATFORM_HOST_WINDOWS_H
#define DUNVATEL_PLATFORM_HOST_WINDOWS_H

#include "platform/host/host_types.h"
#include "platform/shell_records.h"

// Records the handle and answers TRUE for any handle but NULL, which fails as on Win32.
BOOL DestroyWindow(HWND window);
// Records the record's content and answers TRUE.
BOOL SHInitDialog(PSHINITDLGINFO info);

#endif
