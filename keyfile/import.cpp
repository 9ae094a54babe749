// Import into the Custom style from the file the user picks.
#include "keyfile/definition_format.h"
#include "keyfile/keyfile.h"
#include "store/style_store.h"
#include "ui/window_globals.h"

#include <stdarg.h>

static const WCHAR IMPORT_QUESTION[] = TEXT(
    "キー定義内容をファイルから読み込み Custom 設定に追加します。既存の設定に上書きされますがよ"
    "ろしいですか？");
static const WCHAR NO_CUSTOM_STYLE[] =
    TEXT("Custom が見つかりませんでした。Custom 設定はコピー機能で作成できます。");
static const WCHAR IMPORT_CAPTION[] = TEXT("読み込み");

static void FormatMessageText(WCHAR* text, LPCWSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(text, format, arguments);
    va_end(arguments);
}

// The completion notice, which says how many of the file's key definitions did not reach
// the registry.
static void ReportImported(UINT unstored)
{
    if (unstored == 0)
    {
        MessageBoxW(g_mainWindow, TEXT("読み込みました"), IMPORT_CAPTION, MB_OK);
        return;
    }
    WCHAR text[128];
    FormatMessageText(text, TEXT("読み込みましたが、%u 件のキー定義を書き込めませんでした"),
                      unstored);
    MessageBoxW(g_mainWindow, text, IMPORT_CAPTION, MB_OK);
}

static void ReportUnreadable()
{
    MessageBoxW(g_mainWindow, TEXT("読み込めませんでした"), TEXT("Error"), MB_OK);
}

void ImportCustomStyle(HWND, int)
{
    OPENFILENAMEW record;
    PrepareKeyFileDialog(&record, TEXT("Open"), OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameW(&record))
        return;
    if (MessageBoxW(g_mainWindow, IMPORT_QUESTION, g_keyFilePath, MB_YESNO) != IDYES)
        return;
    HKEY custom;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY, 0, PLATFORM_KEY_ACCESS, &custom) !=
        ERROR_SUCCESS)
    {
        MessageBoxW(g_mainWindow, NO_CUSTOM_STYLE, IMPORT_CAPTION, MB_OK);
        return;
    }
    FILE* file = _wfopen(g_keyFilePath, TEXT("rb"));
    if (file)
    {
        UINT unstored = ImportKeyDefinitions(file, custom);
        // The parse stops at a read error as at the end: only the stream tells them apart.
        BOOL readFailed = ferror(file) != 0;
        fclose(file);
        if (readFailed)
            ReportUnreadable();
        else
            ReportImported(unstored);
    }
    else
    {
        ReportUnreadable();
    }
    RegCloseKey(custom);
}
