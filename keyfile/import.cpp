// Import into the Custom style from the file the user picks.
#include "keyfile/import.h"

#include "base/count_notice.h"
#include "base/memory_notice.h"
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
    if (reading->outOfMemory)
    {
        ShowMemoryNotice();
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
    if (!reading->survey.text)
    {
        MessageBoxW(g_mainWindow,
                    TEXT("このファイルの文字コードは読み込めません。")
                        TEXT("Shift_JIS か UTF-8 で保存し直してください。"),
                    ERROR_CAPTION, MB_OK);
        return;
    }
    if (!reading->survey.empty && reading->stored == 0 && reading->unstored == 0)
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

// Asks, under the user's cursor, which reading of a file that is text both in UTF-8 and in
// Shift JIS to store, showing the first line that reads differently in each. TRUE for UTF-8.
// The wait cursor is back for the rest of the work.
static BOOL ConfirmUtf8Reading(const KeyFileSurvey* survey, HCURSOR userCursor)
{
    RestoreCursor(userCursor);
    BOOL utf8 = ShowFormattedBox(g_keyFilePath, MB_YESNO,
                                 TEXT("このファイルは UTF-8 とも Shift_JIS とも読めます。")
                                     TEXT("UTF-8 で読み込みますか？\n\nはい: %s\nいいえ: %s"),
                                 survey->utf8Line, survey->oemLine) == IDYES;
    ShowWaitCursor();
    return utf8;
}

// Reads the open file into the key: first the whole file without storing, then, once its
// encoding is settled, again to store.
static KeyFileReading ReadKeyFile(FILE* file, HKEY key, HCURSOR userCursor)
{
    KeyFileSurvey survey = SurveyKeyFile(file);
    if (survey.ambiguous && ConfirmUtf8Reading(&survey, userCursor))
        survey.encoding = ENCODING_UTF8;
    return ReadKeyDefinitions(file, key, &survey);
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
        KeyFileReading reading = ReadKeyFile(file, custom, previous);
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
