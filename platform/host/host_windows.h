// Windows and the shell's dialog set-up, as far as the main dialog's procedure reaches them:
// DestroyWindow and SHInitDialog only record their calls, for tests to read through
// host_control.h. The shell's activation record is here for the window globals.
#ifndef DUNVATEL_PLATFORM_HOST_WINDOWS_H
#define DUNVATEL_PLATFORM_HOST_WINDOWS_H

#include "platform/host/host_types.h"

// SHInitDialog's mask and flags, with the handheld's values.
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008

typedef struct SHINITDLGINFO
{
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

typedef struct SHACTIVATEINFO
{
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// Records the handle and answers TRUE for any handle but NULL, which fails as on Win32.
BOOL DestroyWindow(HWND window);
// Records the record's content and answers TRUE.
BOOL SHInitDialog(PSHINITDLGINFO info);

#endif
