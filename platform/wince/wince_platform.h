// The handheld build: the device's own headers, with nothing to absorb but the names its
// Pocket PC 2000 headers may lack. The handheld check (preset "handheld") compiles program code
// against platform/wince/sdk, the handheld's API as its documentation gives it; the device's
// SDK itself cannot be had on the development machines.
#ifndef DUNVATEL_PLATFORM_WINCE_PLATFORM_H
#define DUNVATEL_PLATFORM_WINCE_PLATFORM_H

#include <windows.h>
#include <commdlg.h>
#include <aygshell.h>

// Dialog procedures answer INT_PTR, the desktop's type. The Windows CE reference gives no
// version of the headers INT_PTR to, and the handheld's dialog procedures answer BOOL: on the
// 32-bit handheld both are int. Declaring it again as int is allowed where the device's
// headers already have it, and supplies it where they do not.
typedef int INT_PTR;

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

// The handheld's MoveFileW never replaces a file, and it has no MoveFileExW: a new file takes an
// old one's place only once the old one is moved aside.
#define PLATFORM_MOVE_REPLACES_FILES FALSE
inline BOOL MoveFileInto(LPCWSTR existing, LPCWSTR newName)
{
    return MoveFileW(existing, newName);
}

// The shell's records as the handheld's shell library expects them.
#define SHMENUBARINFO_SIZE 36
#define SHACTIVATEINFO_SIZE 12

// A running instance is brought forward through its handle with the lowest bit set, which
// makes the handheld bring its owned pop-ups forward with it. Handles are 32 bits wide there.
inline void BringWindowForward(HWND window)
{
    SetForegroundWindow((HWND)((DWORD)window | 1));
}

// The record sizes the handheld's libraries expect, and the sizes program code passes: a
// mismatch stops the compilation here (an array of negative size).
#define DUNVATEL_WINCE_ASSERT_SIZE(name, condition) typedef char name[(condition) ? 1 : -1]
DUNVATEL_WINCE_ASSERT_SIZE(OPENFILENAMEW_must_be_76_bytes, sizeof(OPENFILENAMEW) == 76);
DUNVATEL_WINCE_ASSERT_SIZE(SHMENUBARINFO_must_be_36_bytes, sizeof(SHMENUBARINFO) == 36);
DUNVATEL_WINCE_ASSERT_SIZE(SHACTIVATEINFO_must_be_12_bytes, sizeof(SHACTIVATEINFO) == 12);
DUNVATEL_WINCE_ASSERT_SIZE(SHINITDLGINFO_must_be_12_bytes, sizeof(SHINITDLGINFO) == 12);
DUNVATEL_WINCE_ASSERT_SIZE(PLATFORM_OPENFILENAME_SIZE_must_be_76, PLATFORM_OPENFILENAME_SIZE == 76);
DUNVATEL_WINCE_ASSERT_SIZE(SHMENUBARINFO_SIZE_must_be_36, SHMENUBARINFO_SIZE == 36);
DUNVATEL_WINCE_ASSERT_SIZE(SHACTIVATEINFO_SIZE_must_be_12, SHACTIVATEINFO_SIZE == 12);
#undef DUNVATEL_WINCE_ASSERT_SIZE

#endif
