// Export of the Custom style's key definitions to a file the user names.
#ifndef DUNVATEL_KEYFILE_EXPORT_H
#define DUNVATEL_KEYFILE_EXPORT_H

#include "platform/platform.h"

// What writing a key's definitions came to.
struct KeyFileWriting
{
    BOOL keyRead; // FALSE when the key's values could not be read at all: nothing was written
    UINT lossy;   // key definitions written that reading the file back will not restore unchanged
};

void ExportCustomStyle(HWND dialog, int listId);
// Writes the key's definitions to the file at `path` (of up to 255 units), replacing an
// existing file only with a whole new one. TRUE when the new file stands at `path`; FALSE
// leaves `path` as it was and no other file behind (see PutFileInPlace for the one exception).
// `lossy` counts the key definitions written that will not come back.
BOOL SaveKeyFile(LPCWSTR path, HKEY key, UINT* lossy);
// Writes one block per REG_MULTI_SZ value of the open key.
KeyFileWriting WriteKeyDefinitions(FILE* file, HKEY key);
// Writes the block of one value from its name and its list data, never reading past the data.
// When `readsBack` is given, it is set to whether reading the block back stores the same name
// and strings again, judged from the bytes written; without, nothing is judged.
void WriteDefinitionBlock(FILE* file, LPCWSTR name, const BYTE* data, DWORD dataBytes,
                          BOOL* readsBack = NULL);

#endif
