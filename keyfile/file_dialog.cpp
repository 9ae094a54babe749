#include "keyfile/file_dialog.h"

#include "base/window_globals.h"

// The file buffer holds 256 units; the dialog is told 255.
#define KEY_FILE_PATH_CAPACITY 255

WCHAR g_keyFilePath[256] = TEXT("vorlane.txt");

// Each text ends with its terminator, and the list with one more.
static const WCHAR KEY_FILE_FILTER[] = TEXT("Text(*.TXT)\0*.TXT\0All(*.*)\0*.*\0");

void PrepareKeyFileDialog(OPENFILENAMEW* record, LPCWSTR title, DWORD flags)
{
    memset(record, 0, sizeof(*record));
    record->lStructSize = PLATFORM_OPENFILENAME_SIZE;
    record->hwndOwner = g_mainDialog;
    record->lpstrFilter = KEY_FILE_FILTER;
    record->lpstrFile = g_keyFilePath;
    record->nMaxFile = KEY_FILE_PATH_CAPACITY;
    record->lpstrTitle = title;
    record->Flags = flags | PLATFORM_FILE_DIALOG_FLAGS;
}
