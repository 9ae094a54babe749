// Import into the Custom style from the file the user picks.
#include "keyfile/import.h"

#include "base/count_notice.h"
#include "base/wait_cursor.h"
#include "base/window_globals.h"
#include "keyfile/definition_parser.h"
#include "keyfile/file_dialog.h"
#include "keyfile/notices.h"
#include "store/style_store.h"

static const WCHAR IMPORT_QUESTION[] =
    TEXT("キー定義内容をファイルから読み込み Custom 設定に追加します。")
        TEXT("既存の設定に上書きされますがよろしいですか？");
static const WCHAR IMPORT_CAPTION[] = TEXT("読み込み");
static const WCHAR ERROR_CAPTION[] = TEXT("Error");

static void ReportUnreadable()
{
    MessageBoxW(g_mainWindow, TEXT("読み込めませんでした"), ERROR_CAPTION, MB_OK);
}

// Tells the user what reading the file came to: nothing is called read that was not.
static void ReportReading(const KeyFileReading* reading)
{
    if (reading->unicode)
    {
        MessageBoxW(g_mainWindow,
                    TEXT("Unicode で保存されたファイルは読み込めません。")
                        TEXT("Shift_JIS で保存し直してください。"),
                    ERROR_CAPTION, MB_OK);
        return;
    }
    if (reading->foreign)
    {
        MessageBoxW(g_mainWindow,
                    TEXT("Shift_JIS 以外の文字を含むファイルは読み込めません。")
                        TEXT("Shift_JIS で保存し直してください。"),
                    ERROR_CAPTION, MB_OK);
        return;
    }
    if (!reading->complete)
    {
        if (reading->stored == 0)
            ReportUnreadable();
        else
            ShowCountNotice(TEXT("ファイルの一部しか読み込めませんでした。")
                                TEXT("%u 件のキー定義を書き込みました"),
                            reading->stored, ERROR_CAPTION);
        return;
    }
    if (!reading->empty && reading->stored == 0 && reading->unstored == 0)
    {
        MessageBoxW(g_mainWindow, TEXT("ファイルにキー定義が見つかりませんでした"), IMPORT_CAPTION,
                    MB_OK);
        return;
    }
    if (reading->unstored > 0)
    {
        ShowCountNotice(TEXT("読み込みましたが、%u 件のキー定義を Custom に書き込めませんでした"),
                        reading->unstored, IMPORT_CAPTION);
        return;
    }
    MessageBoxW(g_mainWindow, TEXT("読み込みました"), IMPORT_CAPTION, MB_OK);
}

void ImportCustomStyle(HWND, int)
{
    OPENFILENAMEW record;
    PrepareKeyFileDialog(&record, TEXT("Open"), OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameW(&record))
        return;
    if (MessageBoxW(g_mainWindow, IMPORT_QUESTION, g_keyFilePath, MB_YESNO) != IDYES)
        return;
    HCURSOR previous = ShowWaitCursor();
    HKEY custom;
    if (!OpenUserKey(CUSTOM_STYLE_KEY, &custom))
    {
        RestoreCursor(previous);
        ShowNoCustomStyle(IMPORT_CAPTION);
        return;
    }
    FILE* file = _wfopen(g_keyFilePath, TEXT("rb"));
    if (file)
    {
        KeyFileReading reading = ReadKeyDefinitions(file, custom);
        fclose(file);
        RestoreCursor(previous);
        ReportReading(&reading);
    }
    else
    {
        RestoreCursor(previous);
        ReportUnreadable();
    }
    RegCloseKey(custom);
}
