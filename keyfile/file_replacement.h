// Replacing a file only with a whole one: the new file is written beside the old one and put
// in its place when it is complete, so that a full or pulled-out storage card never leaves the
// user without one whole file. The handheld's MoveFileW does not replace an existing file, and
// its one-step DeleteAndRenameFile works only in the object store, not on a storage card.
#ifndef DUNVATEL_KEYFILE_FILE_REPLACEMENT_H
#define DUNVATEL_KEYFILE_FILE_REPLACEMENT_H

#include "platform/platform.h"

// Units of the name of a file beside another: the longest path the file calls take (MAX_PATH),
// terminator included. A side name is the path with "~" and two digits, so any path of up to
// 255 units has one.
#define SIDE_PATH_UNITS 260

// TRUE when there is no file at `path`, or one the program may replace: not read-only and no
// folder.
BOOL CanReplaceFile(LPCWSTR path);
// Creates a new, empty file beside `path` in the same folder, under a name no file had, and
// writes that name to `side` (SIDE_PATH_UNITS units). FALSE when none could be made.
BOOL CreateSideFile(LPCWSTR path, WCHAR* side);
// Puts the file `newFile` in the place of `path`. Where the platform cannot replace a file in
// one step, the old file at `path`, if any, is moved aside first and deleted only once the new
// file stands in its place; on any failure it is moved back and `newFile` deleted, so that
// FALSE leaves `path` as it was. Only when the old file cannot be moved back are both kept,
// whole, beside `path`.
BOOL PutFileInPlace(LPCWSTR newFile, LPCWSTR path);

#endif
