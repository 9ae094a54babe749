// Export of the Custom style: one block per REG_MULTI_SZ value, in the file the user names.
#include "keyfile/export.h"

#include "base/buffer_slack.h"
#include "base/count_notice.h"
#include "base/wait_cursor.h"
#include "base/window_globals.h"
#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"
#include "keyfile/file_dialog.h"
#include "keyfile/file_replacement.h"
#include "keyfile/notices.h"
#include "keyfile/round_trip.h"
#include "store/style_store.h"

static const WCHAR WRITE_CAPTION[] = TEXT("書き込み");

// Writes the key's blocks into the file at `path` and closes it. TRUE only when every block
// reached the file: the key could be read, no write failed and the stream flushed on closing.
static BOOL WriteKeyFileAt(LPCWSTR path, HKEY key, UINT* lossy)
{
    FILE* file = _wfopen(path, TEXT("wb"));
    if (!file)
        return FALSE;
    KeyFileWriting writing = WriteKeyDefinitions(file, key);
    *lossy = writing.lossy;
    BOOL written = writing.keyRead && !ferror(file);
    if (fclose(file) != 0)
        written = FALSE;
    return written;
}

BOOL SaveKeyFile(LPCWSTR path, HKEY key, UINT* lossy)
{
    *lossy = 0;
    WCHAR partial[SIDE_PATH_UNITS];
    if (!CanReplaceFile(path) || !CreateSideFile(path, partial))
        return FALSE;
    if (!WriteKeyFileAt(partial, key, lossy))
    {
        DeleteFileW(partial);
        return FALSE;
    }
    return PutFileInPlace(partial, path);
}

// The completion notice. A file that reading back will not restore whole is still written,
// and the user is told how many key definitions it will not bring back unchanged.
static void ReportWritten(UINT lossy)
{
    if (lossy == 0)
    {
        MessageBoxW(g_mainWindow, TEXT("書き込みました"), WRITE_CAPTION, MB_OK);
        return;
    }
    ShowCountNotice(TEXT("書き込みましたが、%u 件のキー定義は読み込んでも元どおりになりません"),
                    lossy, WRITE_CAPTION);
}

void ExportCustomStyle(HWND, int)
{
    OPENFILENAMEW record;
    PrepareKeyFileDialog(&record, TEXT("Save"), OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&record))
        return;
    HCURSOR previous = ShowWaitCursor();
    HKEY custom;
    if (!OpenUserKey(CUSTOM_STYLE_KEY, &custom))
    {
        RestoreCursor(previous);
        ShowNoCustomStyle(TEXT("Export"));
        return;
    }
    UINT lossy = 0;
    BOOL written = SaveKeyFile(g_keyFilePath, custom, &lossy);
    RegCloseKey(custom);
    RestoreCursor(previous);
    if (written)
        ReportWritten(lossy);
    else
        MessageBoxW(g_mainWindow, TEXT("書き込めませんでした"), TEXT("Error"), MB_OK);
}

KeyFileWriting WriteKeyDefinitions(FILE* file, HKEY key)
{
    KeyFileWriting writing;
    writing.keyRead = FALSE;
    writing.lossy = 0;
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, &longestName,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return writing;
    writing.keyRead = TRUE;
    WCHAR* name = (WCHAR*)malloc((longestName + BUFFER_SLACK) * sizeof(WCHAR));
    BYTE* data = (BYTE*)malloc(longestData + BUFFER_SLACK);
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = longestName + CAPACITY_SLACK;
        DWORD dataBytes = longestData + CAPACITY_SLACK;
        if (RegEnumValueW(key, index, name, &nameCapacity, NULL, &type, data, &dataBytes) !=
                ERROR_SUCCESS ||
            type != REG_MULTI_SZ)
            continue;
        BOOL readsBack = FALSE;
        WriteDefinitionBlock(file, name, data, dataBytes, &readsBack);
        if (!readsBack)
            ++writing.lossy;
    }
    free(name);
    free(data);
    return writing;
}

// Writes the last string of a list whose data ends before the string's terminator. Such a
// list does not come back as it is, whatever the string.
static void WriteUnterminatedString(FILE* file, const WCHAR* text, DWORD units)
{
    WCHAR* copy = (WCHAR*)malloc((units + 1) * sizeof(WCHAR));
    memcpy(copy, text, units * sizeof(WCHAR));
    copy[units] = 0;
    WriteDefinitionLine(file, TEXT(""), copy, FALSE);
    free(copy);
}

void WriteDefinitionBlock(FILE* file, LPCWSTR name, const BYTE* data, DWORD dataBytes,
                          BOOL* readsBack)
{
    BOOL judge = readsBack != NULL;
    BOOL linesBack = WriteDefinitionLine(file, NAME_DIRECTIVE, name, judge);
    // The walk never leaves the value's data: a list may lack its closing empty string, or
    // even its last string's terminator, and an odd last byte is no unit at all. The data
    // comes in a heap buffer, aligned for its units.
    const WCHAR* units = (const WCHAR*)data;
    DWORD count = dataBytes / sizeof(WCHAR);
    DWORD at = 0;
    BOOL closed = FALSE; // the list ends with its empty string within the data
    while (at < count)
    {
        if (units[at] == 0)
        {
            closed = TRUE;
            break;
        }
        DWORD end = at;
        while (end < count && units[end] != 0)
            ++end;
        if (end == count)
        {
            WriteUnterminatedString(file, units + at, end - at);
            break;
        }
        if (!WriteDefinitionLine(file, TEXT(""), units + at, judge) ||
            (judge && !CanReadBackString(units + at)))
            linesBack = FALSE;
        at = end + 1;
    }
    WriteFormattedLine(file, TEXT("%s\r\n"), END_DIRECTIVE);
    if (judge)
        *readsBack = linesBack && closed && CanReadBackName(name) && CanReadBackList(at + 1);
}
