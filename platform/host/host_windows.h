// Windows, the shell's dialog set-up and the cursor, as far as program code and tests reach
// them: DestroyWindow and SHInitDialog only record their calls, for tests to read through
// host_test_hooks.h.
#ifndef DUNVATEL_PLATFORM_HOST_WINDOWS_H
#define DUNVATEL_PLATFORM_HOST_WINDOWS_H

#include "platform/host/host_types.h"
#include "platform/shell_records.h"

// Records the handle and answers TRUE for any handle but NULL, which fails as on Win32.
BOOL DestroyWindow(HWND window);
// Records the record's content and answers TRUE.
BOOL SHInitDialog(PSHINITDLGINFO info);
// The platform's own cursors (instance NULL, a number made a name by MAKEINTRESOURCEW): one
// handle for each number, the same at every call. The program has no cursors of its own.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Makes `cursor` current and answers the one it replaced. The stand-in starts with none (NULL),
// as a handheld without a mouse does.
HCURSOR SetCursor(HCURSOR cursor);
// The cursor SetCursor last made current: what the user sees. Tests ask, in both builds.
HCURSOR GetCursor();

#endif
