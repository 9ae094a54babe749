#include "keyfile/file_replacement.h"

// What GetFileAttributesW answers for a name that names no file.
#define NO_FILE_ATTRIBUTES 0xFFFFFFFF
// Side names end in "~00" to "~99".
#define SIDE_NAMES 100
#define SIDE_NAME_SUFFIX_UNITS 3

static BOOL FileExists(LPCWSTR path)
{
    return GetFileAttributesW(path) != NO_FILE_ATTRIBUTES;
}

// The path with "~" and the two digits of `number` appended: beside it, in the same folder.
static BOOL FormatSideName(LPCWSTR path, int number, WCHAR* side)
{
    size_t length = wcslen(path);
    if (length + SIDE_NAME_SUFFIX_UNITS >= SIDE_PATH_UNITS)
        return FALSE;
    memcpy(side, path, length * sizeof(WCHAR));
    side[length] = '~';
    side[length + 1] = (WCHAR)('0' + number / 10);
    side[length + 2] = (WCHAR)('0' + number % 10);
    side[length + 3] = 0;
    return TRUE;
}

BOOL CanReplaceFile(LPCWSTR path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes == NO_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

BOOL CreateSideFile(LPCWSTR path, WCHAR* side)
{
    for (int number = 0; number < SIDE_NAMES; ++number)
    {
        if (!FormatSideName(path, number, side))
            return FALSE;
        // CREATE_NEW fails on a name that is taken, so no other file is ever touched.
        HANDLE file =
            CreateFileW(side, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
        {
            CloseHandle(file);
            return TRUE;
        }
        // Only a taken name is worth another try; a full or missing folder is not.
        if (!FileExists(side))
            return FALSE;
    }
    return FALSE;
}

// A free name beside `path` for the old file while the new one moves in.
static BOOL FindFreeSideName(LPCWSTR path, WCHAR* side)
{
    for (int number = 0; number < SIDE_NAMES; ++number)
    {
        if (!FormatSideName(path, number, side))
            return FALSE;
        if (!FileExists(side))
            return TRUE;
    }
    return FALSE;
}

// Moves the old file at `path` aside and the new one in. FALSE leaves the old file at `path`,
// unless it could not be moved back: `stranded` then says so.
static BOOL MoveInPlace(LPCWSTR newFile, LPCWSTR path, BOOL* stranded)
{
    WCHAR aside[SIDE_PATH_UNITS];
    // MoveFileW never replaces a file: at every moment one whole file holds the old or the new
    // content, under its own name or beside it.
    if (!FindFreeSideName(path, aside) || !MoveFileW(path, aside))
        return FALSE;
    if (!MoveFileW(newFile, path))
    {
        *stranded = !MoveFileW(aside, path);
        return FALSE;
    }
    // The old file is not needed once the new one stands in its place; one that cannot be
    // deleted stays beside it, whole.
    DeleteFileW(aside);
    return TRUE;
}

BOOL PutFileInPlace(LPCWSTR newFile, LPCWSTR path)
{
    BOOL stranded = FALSE;
    // Where the platform replaces a file in one step, the old one need not move aside.
    BOOL placed = PLATFORM_MOVE_REPLACES_FILES || !FileExists(path)
                      ? MoveFileInto(newFile, path)
                      : MoveInPlace(newFile, path, &stranded);
    if (!placed && !stranded)
        DeleteFileW(newFile);
    return placed;
}
