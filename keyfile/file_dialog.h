// The file dialogs of export and import, which share one file buffer.
#ifndef DUNVATEL_KEYFILE_FILE_DIALOG_H
#define DUNVATEL_KEYFILE_FILE_DIALOG_H

#include "platform/platform.h"

// Units of the file buffer, terminator included.
#define KEY_FILE_PATH_UNITS 256

// The dialogs' file buffer, shared by export and import for the life of the process; the
// dialog writes the chosen full path back into it.
extern WCHAR g_keyFilePath[KEY_FILE_PATH_UNITS];

// Fills the file-dialog record both commands use, with g_keyFilePath as its file buffer.
void PrepareKeyFileDialog(OPENFILENAMEW* record, LPCWSTR title, DWORD flags);

#endif
