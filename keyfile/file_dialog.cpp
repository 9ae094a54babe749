#include "keyfile/file_dialog.h"

#include "base/array_size.h"
#include "base/window_globals.h"

WCHAR g_keyFilePath[KEY_FILE_PATH_UNITS] = TEXT("vorlane.txt");

// Each text ends with its terminator, and the list with one more.
static const WCHAR KEY_FILE_FILTER[] = TEXT("Text(*.TXT)\0*.TXT\0All(*.*)\0*.*\0");

void PrepareKeyFileDialog(OPENFILENAMEW* record, LPCWSTR title, DWORD flags)
{
    memset(record, 0, sizeof(*record));
    record->lStructSize = PLATFORM_OPENFILENAME_SIZE;
    record->hwndOwner = g_mainDialog;
    record->lpstrFilter = KEY_FILE_FILTER;
    record->lpstrFile = g_keyFilePath;
    // The dialog is told one unit less than the buffer holds, as it always was.
    record->nMaxFile = ARRAY_SIZE(g_keyFilePath) - 1;
    record->lpstrTitle = title;
    record->Flags = flags | PLATFORM_FILE_DIALOG_FLAGS;
}
