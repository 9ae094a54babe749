// Export of the Custom style: one block per REG_MULTI_SZ value, in the file the user names.
#include "keyfile/definition_format.h"
#include "keyfile/keyfile.h"
#include "store/style_store.h"
#include "ui/window_globals.h"

static const WCHAR NO_CUSTOM_STYLE[] =
    TEXT("Custom が見つかりませんでした。Custom 設定はコピー機能で作成できます。");

// Writes the file's blocks and closes it. TRUE only when every block reached the file: the key
// could be read, no write failed and the stream flushed on closing.
static BOOL WriteKeyFile(FILE* file, HKEY key)
{
    BOOL written = ExportKeyDefinitions(file, key);
    if (ferror(file))
        written = FALSE;
    if (fclose(file) != 0)
        written = FALSE;
    return written;
}

void ExportCustomStyle(HWND, int)
{
    OPENFILENAMEW record;
    PrepareKeyFileDialog(&record, TEXT("Save"), OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&record))
        return;
    HKEY custom;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY, 0, PLATFORM_KEY_ACCESS, &custom) !=
        ERROR_SUCCESS)
    {
        MessageBoxW(g_mainWindow, NO_CUSTOM_STYLE, TEXT("Export"), MB_OK);
        return;
    }
    BOOL written = FALSE;
    FILE* file = _wfopen(g_keyFilePath, TEXT("wb"));
    if (file)
        written = WriteKeyFile(file, custom);
    RegCloseKey(custom);
    if (written)
        MessageBoxW(g_mainWindow, TEXT("書き込みました"), TEXT("書き込み"), MB_OK);
    else
        MessageBoxW(g_mainWindow, TEXT("書き込めませんでした"), TEXT("Error"), MB_OK);
}

void WriteKeyDefinitions(FILE* file, HKEY key)
{
    ExportKeyDefinitions(file, key);
}

BOOL ExportKeyDefinitions(FILE* file, HKEY key)
{
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, &longestName,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return FALSE;
    WCHAR* name = (WCHAR*)malloc((longestName + WALK_BUFFER_SLACK) * sizeof(WCHAR));
    BYTE* data = (BYTE*)malloc(longestData + WALK_BUFFER_SLACK);
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = longestName + WALK_CAPACITY_SLACK;
        DWORD dataBytes = longestData + WALK_CAPACITY_SLACK;
        if (RegEnumValueW(key, index, name, &nameCapacity, NULL, &type, data, &dataBytes) !=
            ERROR_SUCCESS)
            continue;
        if (type == REG_MULTI_SZ)
            WriteDefinitionBlock(file, name, data, dataBytes);
    }
    free(name);
    free(data);
    return TRUE;
}

// Writes the last string of a list whose data ends before the string's terminator.
static void WriteUnterminatedString(FILE* file, const WCHAR* text, DWORD units)
{
    WCHAR* copy = (WCHAR*)malloc((units + 1) * sizeof(WCHAR));
    memcpy(copy, text, units * sizeof(WCHAR));
    copy[units] = 0;
    WriteFormattedLine(file, TEXT("%s\r\n"), copy);
    free(copy);
}

void WriteDefinitionBlock(FILE* file, LPCWSTR name, const BYTE* data, DWORD dataBytes)
{
    WriteFormattedLine(file, TEXT("--name %s\r\n"), name);
    // The walk never leaves the value's data: a list may lack its closing empty string, or
    // even its last string's terminator, and an odd last byte is no unit at all. The data
    // comes in a heap buffer, aligned for its units.
    const WCHAR* units = (const WCHAR*)data;
    DWORD count = dataBytes / sizeof(WCHAR);
    DWORD at = 0;
    while (at < count && units[at] != 0)
    {
        DWORD end = at;
        while (end < count && units[end] != 0)
            ++end;
        if (end == count)
        {
            WriteUnterminatedString(file, units + at, end - at);
            break;
        }
        WriteFormattedLine(file, TEXT("%s\r\n"), units + at);
        at = end + 1;
    }
    WriteFormattedLine(file, TEXT("--endmulti\r\n"));
}
