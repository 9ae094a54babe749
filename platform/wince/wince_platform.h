// The handheld build: the device's own headers, with nothing to absorb.
// It cannot be built on the development machines; this file keeps the handheld's side of
// every difference that platform/win32 absorbs, so both can be read side by side.
#ifndef DUNVATEL_PLATFORM_WINCE_PLATFORM_H
#define DUNVATEL_PLATFORM_WINCE_PLATFORM_H

#include <windows.h>
#include <commdlg.h>
#include <aygshell.h>

// The handheld's registry ignores access masks.
#define PLATFORM_KEY_ACCESS 0

// The handheld's RegDeleteKeyW removes a key with its whole tree.
inline LONG DeleteRegistryTree(HKEY parent, LPCWSTR path)
{
    return RegDeleteKeyW(parent, path);
}

// The file-dialog record is the handheld's own 76-byte OPENFILENAME, and its one kind of file
// dialog needs no flag beyond the program's.
#define PLATFORM_OPENFILENAME_SIZE sizeof(OPENFILENAMEW)
#define PLATFORM_FILE_DIALOG_FLAGS 0

// The shell's records as the handheld's shell library expects them.
#define SHMENUBARINFO_SIZE 36
#define SHACTIVATEINFO_SIZE 12

// A running instance is brought forward through its handle with the lowest bit set, which
// makes the handheld bring its owned pop-ups forward with it.
inline void BringWindowForward(HWND window)
{
    SetForegroundWindow((HWND)((ULONG_PTR)window | 1));
}

#endif
