// Replacing a file only with a whole one: the new file is written beside the old one and put
// in its place when it is complete, so that a full or pulled-out storage card never leaves the
// user without one whole file. The handheld's MoveFileW does not replace an existing file, and
// its one-step DeleteAndRenameFile works only in the object store, not on a storage card.
#ifndef DUNVATEL_KEYFILE_FILE_REPLACEMENT_H
#define DUNVATEL_KEYFILE_FILE_REPLACEMENT_H

#include "platform/platform.h"

// Units the name of a file beside another adds to that file's path: "~" and two digits.
#define SIDE_NAME_SUFFIX_UNITS 3

// TRUE when there is no file at `path`, or one the program may replace: not read-only and no
// folder.
BOOL CanReplaceFile(LPCWSTR path);
// Creates a new, empty file beside `path` in the same folder, under a name no file had, and
// writes that name to `side` (`capacity` units). FALSE when none could be made.
BOOL CreateSideFile(LPCWSTR path, WCHAR* side, size_t capacity);
// Puts the file `newFile` in the place of `path`. The old file at `path`, if any, is moved
// aside first and deleted only once the new file stands in its place; on any failure it is
// moved back. FALSE leaves `path` as it was and `newFile` where it was.
BOOL PutFileInPlace(LPCWSTR newFile, LPCWSTR path);

#endif
