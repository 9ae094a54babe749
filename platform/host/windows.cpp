// The host's windows: calls recorded in order for tests to read, and the current cursor.
#include "platform/host/host_test_hooks.h"

#include <vector>

namespace
{

std::vector<HostWindowCall>& Calls()
{
    static std::vector<HostWindowCall> calls;
    return calls;
}

HCURSOR g_cursor = NULL;

} // namespace

BOOL DestroyWindow(HWND window)
{
    Calls().push_back(HostWindowCall{HOST_DESTROY_WINDOW, window, 0, 0});
    return window != NULL;
}

BOOL SHInitDialog(PSHINITDLGINFO info)
{
    if (!info)
        return FALSE;
    Calls().push_back(HostWindowCall{HOST_SH_INIT_DIALOG, info->hDlg, info->dwMask, info->dwFlags});
    return TRUE;
}

const std::vector<HostWindowCall>& HostWindowCalls()
{
    return Calls();
}

void HostClearWindowCalls()
{
    Calls().clear();
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    return instance ? NULL : (HCURSOR)(0xC0000 + (ULONG_PTR)name);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = g_cursor;
    g_cursor = cursor;
    return previous;
}

HCURSOR GetCursor()
{
    return g_cursor;
}
