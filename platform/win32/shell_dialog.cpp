// Desktop stand-in for the shell's dialog set-up.
#include "platform/platform.h"

namespace
{

// The OK button's size and its margins from the dialog's right and bottom edges, in dialog
// units: the size of a dialog's usual OK button.
const int OK_BUTTON_WIDTH = 40;
const int OK_BUTTON_HEIGHT = 14;
const int OK_BUTTON_MARGIN_X = 7;
const int OK_BUTTON_MARGIN_Y = 4;

void AddDoneButton(HWND dialog)
{
    RECT size = {0, 0, OK_BUTTON_WIDTH, OK_BUTTON_HEIGHT};
    RECT margin = {0, 0, OK_BUTTON_MARGIN_X, OK_BUTTON_MARGIN_Y};
    MapDialogRect(dialog, &size);
    MapDialogRect(dialog, &margin);
    RECT client;
    GetClientRect(dialog, &client);
    int x = client.right - margin.right - size.right;
    int y = client.bottom - margin.bottom - size.bottom;
    HWND button = CreateWindowExW(0, TEXT("Button"), TEXT("OK"),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, x, y,
                                  size.right, size.bottom, dialog, (HMENU)(INT_PTR)IDOK,
                                  (HINSTANCE)GetWindowLongPtrW(dialog, GWLP_HINSTANCE), NULL);
    if (!button)
        return;
    SendMessageW(button, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
}

// Grows the parent, never shrinks it, until its client area holds the dialog where it lies.
void FitParentToDialog(HWND dialog)
{
    HWND parent = GetParent(dialog);
    if (!parent)
        return;
    RECT dialogRect;
    GetWindowRect(dialog, &dialogRect);
    MapWindowPoints(NULL, parent, (POINT*)&dialogRect, 2);
    RECT client;
    GetClientRect(parent, &client);
    int extraWidth = dialogRect.right - client.right;
    int extraHeight = dialogRect.bottom - client.bottom;
    if (extraWidth <= 0 && extraHeight <= 0)
        return;
    RECT window;
    GetWindowRect(parent, &window);
    int width = window.right - window.left + (extraWidth > 0 ? extraWidth : 0);
    int height = window.bottom - window.top + (extraHeight > 0 ? extraHeight : 0);
    SetWindowPos(parent, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

BOOL SHInitDialog(PSHINITDLGINFO info)
{
    if (!info || !IsWindow(info->hDlg))
        return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS))
        return TRUE;
    HWND dialog = info->hDlg;
    BOOL isChild = (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) != 0;
    if (isChild)
        FitParentToDialog(dialog);
    else if ((info->dwFlags & SHIDIF_DONEBUTTON) && !GetDlgItem(dialog, IDOK))
        AddDoneButton(dialog);
    // A desktop dialog keeps its template size (no SHIDIF_SIZEDLG*), and there is no input
    // panel to lower (SHIDIF_SIPDOWN).
    return TRUE;
}
