// Desktop Win32 (mingw-w64, run under Wine): the real headers, and every place where the
// desktop differs from the handheld the program is written for. Each difference is absorbed
// here, once, so that program code stays the handheld's code.
#ifndef DUNVATEL_PLATFORM_WIN32_PLATFORM_H
#define DUNVATEL_PLATFORM_WIN32_PLATFORM_H

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <commdlg.h>

#include "platform/win32/shell_stand_ins.h"

// Entry point. The handheld starts WinMain with a wide command line; the desktop's entry
// point with a wide command line is wWinMain (the program links with -municode).
#define WinMain wWinMain

// Access masks. The handheld ignores the mask given to RegOpenKeyExW and RegCreateKeyExW;
// the desktop honours it, and a key opened with mask 0 can be neither read, written nor
// enumerated. Program code passes this mask, which asks for what the handheld grants.
#define PLATFORM_KEY_ACCESS KEY_ALL_ACCESS

// Recursive deletion. On the handheld RegDeleteKeyW removes the key with its whole tree; on
// the desktop it refuses a key that has subkeys, and RegDeleteTreeW(parent, path) removes the
// key itself together with everything beneath it.
inline LONG DeleteRegistryTree(HKEY parent, LPCWSTR path)
{
    return RegDeleteTreeW(parent, path);
}

// File-dialog record. The handheld's OPENFILENAME is 76 bytes; the desktop's record is larger
// (64-bit pointers and the fields Windows 2000 added), and a dialog given another size fails.
#define PLATFORM_OPENFILENAME_SIZE sizeof(OPENFILENAMEW)
// The handheld has one kind of file dialog. Without this flag the desktop shows its old-style
// dialog instead of the one its users know.
#define PLATFORM_FILE_DIALOG_FLAGS OFN_EXPLORER

// Putting a new file in the place of an old one. The desktop's MoveFileExW replaces the old file
// in one step, so that its name holds one whole file at every moment. The handheld has no
// MoveFileExW and its MoveFileW never replaces a file: there the old file is moved aside first.
#define PLATFORM_MOVE_REPLACES_FILES TRUE
inline BOOL MoveFileInto(LPCWSTR existing, LPCWSTR newName)
{
    return MoveFileExW(existing, newName, MOVEFILE_REPLACE_EXISTING);
}

#endif
