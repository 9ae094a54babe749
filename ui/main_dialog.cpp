// The main dialog's procedure: set-up, the style list, and each button sent to its command.
#include "ui/main_dialog.h"

#include "base/window_globals.h"
#include "keyfile/export.h"
#include "keyfile/import.h"
#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/style_catalogue.h"

static void InitMainDialog(HWND dialog)
{
    SHINITDLGINFO info;
    memset(&info, 0, sizeof(info));
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN;
    SHInitDialog(&info);
    RefreshStyleList(dialog);
}

// Runs the command behind a button. The list's own notifications arrive here too, under the
// list's id, and are no command.
static void RunCommand(HWND dialog, WORD commandId)
{
    switch (commandId)
    {
    case IDC_SET_STANDARD:
        SetStandardStyle(dialog, IDC_STYLE_LIST);
        return;
    case IDC_EXPORT_CUSTOM:
        ExportCustomStyle(dialog, IDC_STYLE_LIST);
        return;
    case IDC_IMPORT_CUSTOM:
        ImportCustomStyle(dialog, IDC_STYLE_LIST);
        return;
    case IDC_DELETE_CUSTOM:
        DeleteCustomStyle(dialog, IDC_STYLE_LIST);
        return;
    case IDC_COPY_TO_CUSTOM:
        CopyStyleToCustom(dialog, IDC_STYLE_LIST);
        return;
    default:
        return;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
    {
        InitMainDialog(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    WORD commandId = LOWORD(wParam);
    if (commandId == IDOK)
    {
        // "EXIT", and the shell's done button: the end of the program.
        DestroyWindow(g_mainWindow);
        return TRUE;
    }
    // A command counts as not handled, so the dialog manager's own handling still runs.
    RunCommand(dialog, commandId);
    return FALSE;
}
