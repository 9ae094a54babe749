// Desktop stand-in for the shell's dialog set-up.
#include "platform/platform.h"

#include "platform/win32/shell_screen.h"

BOOL SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg))
        return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS))
        return TRUE;
    HWND dialog = info->hDlg;
    DWORD flags = info->dwFlags;
    BOOL isChild = (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) != 0;
    // A child dialog keeps its place and size in its window.
    if (!isChild && (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)))
        TakeShellPlace(dialog, (flags & SHIDIF_SIZEDLGFULLSCREEN) == 0);
    if (flags & SHIDIF_DONEBUTTON)
    {
        // The OK button stands in the top bar of the window the dialog lies on; a window the
        // shell has not placed (a test's hidden window) has none.
        HWND topBar = isChild ? FindTopBar(GetAncestor(dialog, GA_ROOT)) : ShowTopBar(dialog);
        if (topBar)
            AddTopBarDoneButton(topBar, dialog);
    }
    // There is no input panel to lower (SHIDIF_SIPDOWN).
    return TRUE;
}
