// The handheld's side: the device's own headers, with nothing to absorb but the names its
// Pocket PC 2000 headers may lack. The device's build (preset "device") and the compiler check
// (preset "msvc-check") compile program code against platform/wince/sdk, the handheld's API as
// its documentation gives it; the device's SDK itself cannot be had on the development
// machines.
//
// The entry point. The device's program is linked without the SDK's C run-time start-up: its
// entry point is WinMain itself (cmake/device.cmake). "WinMain (Windows CE 5.0)"
// (https://learn.microsoft.com/en-us/previous-versions/windows/embedded/ms914104(v=msdn.10))
// is "called by the system as the initial entry point for Windows CE-based applications",
// with the instance, a previous instance that is always NULL, the wide command line without
// the program's name, and how the window is to be shown. A return from it is the return of
// the process's main thread: "ExitThread (Windows CE 5.0)" (…/ms885219(v=msdn.10)) has the
// system call ExitThread when a thread's function returns, and the main thread's ExitThread
// ends the process; "GetExitCodeProcess (Windows CE 5.0)" (…/ms885622(v=msdn.10)) gives
// WinMain's return value as the process's exit code. The start-up the program goes without
// would run static constructors (program code has none: the device's build refuses their
// sections) and nothing else the program needs: the C run-time it calls lives in coredll,
// which initialises itself.
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
// Microsoft's compilers make char signed and wchar_t a 16-bit unit (a WCHAR).
DUNVATEL_WINCE_ASSERT_SIZE(char_must_be_signed, (char)-1 < 0);
DUNVATEL_WINCE_ASSERT_SIZE(wchar_t_must_be_16_bits, sizeof(wchar_t) == 2);
#undef DUNVATEL_WINCE_ASSERT_SIZE

#endif
