// Export of the Custom style's key definitions to a file the user names.
#ifndef DUNVATEL_KEYFILE_EXPORT_H
#define DUNVATEL_KEYFILE_EXPORT_H

#include "keyfile/definition_line.h"

// What writing a key's definitions came to.
struct KeyFileWriting
{
    BOOL keyRead; // FALSE when the key's values could not be read at all: nothing was written
    // Key definitions that reading the file back will not restore unchanged, and values that
    // could not be read.
    UINT lossy;
    // Of those, the ones a UTF-8 file would restore: lost only to the OEM code page.
    UINT codePageLosses;
    // A buffer could not be had: the file is not whole, or nothing was written.
    BOOL outOfMemory;
};

void ExportCustomStyle(HWND dialog, int listId);
// Writes the key's definitions to the file at `path` (of up to 255 units), replacing an
// existing file only with a whole new one: in the OEM code page, or, when the user prefers it
// to losing what the code page cannot hold, in UTF-8. TRUE when the new file stands at `path`;
// FALSE leaves `path` as it was and no other file behind (see PutFileInPlace for the one
// exception). `lossy` counts the key definitions written that will not come back;
// `outOfMemory`, when given, tells a FALSE that came of a buffer the heap could not give.
// While the user is asked, `userCursor` stands in for the wait cursor.
BOOL SaveKeyFile(LPCWSTR path, HKEY key, HCURSOR userCursor, UINT* lossy, BOOL* outOfMemory = NULL);
// Writes one block per REG_MULTI_SZ value of the open key, in the OEM code page or in UTF-8
// after its byte-order mark.
KeyFileWriting WriteKeyDefinitions(FILE* file, HKEY key, FileEncoding encoding);
// Writes the block of one value from its name and its list data, never reading past the data,
// converting the list at once. When `readsBack` is given, it is set to the flags of
// WriteDefinitionLines for the whole block: whether reading it back stores the same name and
// strings again, judged from the bytes written; without, nothing is judged.
void WriteDefinitionBlock(LineOutput* output, LPCWSTR name, const BYTE* data, DWORD dataBytes,
                          UINT* readsBack = NULL);

#endif
