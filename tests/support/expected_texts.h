// The texts the program shows the user, as the tests expect them: message texts, questions and
// captions, written once here for the unit tests and the end-to-end tests alike. They are the
// tests' own copy, not the program's constants, so that a changed text in the program fails.
#ifndef DUNVATEL_TESTS_SUPPORT_EXPECTED_TEXTS_H
#define DUNVATEL_TESTS_SUPPORT_EXPECTED_TEXTS_H

#include "platform/platform.h"

#include <string>

// --- Any command whose buffers the heap cannot give (captioned CAPTION_ERROR) ---------------
const WCHAR OUT_OF_MEMORY[] = TEXT("メモリが足りないため、実行できませんでした");

// --- Setting the standard style -------------------------------------------------------------
const WCHAR CUSTOM_WARNING[] =
    TEXT("Custom の設定内容に間違いがある場合、システムが起動しない等の問題を起こす可能性があります"
         "。事前のバックアップを強くお勧めします。Custom を標準に設定してよろしいですか？");
const WCHAR STANDARD_SET[] = TEXT("標準に設定しました。設定はリセット後に有効になります。");

// --- Copying a style into Custom (captioned with the style's name) ---------------------------
const WCHAR ASK_CREATE[] = TEXT("選択した設定を Custom にコピーて作成します。よろしいです？");
const WCHAR ASK_OVERWRITE[] =
    TEXT("すでに存在する Custom 設定に上書きします。確実にコピーするためには事前にエントリを削除"
         "しておくことをお勧めします。よろしいですか？");
const WCHAR COPIED[] = TEXT("Custom にコピーしました");
const WCHAR COPY_FAILED[] = TEXT("Custom にコピーできませんでした");
const WCHAR COPIED_IN_PART[] =
    TEXT("Custom にコピーしましたが、%u 件の項目をコピーできませんでした"); // see Counted

// --- Deleting Custom (the question has an empty caption) -------------------------------------
const WCHAR CAPTION_DELETE[] = TEXT("削除");
const WCHAR ASK_DELETE[] = TEXT("Custom エントリを削除して良いですか？");
const WCHAR DELETED[] = TEXT("削除しました");
const WCHAR DELETE_FAILED[] = TEXT("削除できませんでした");
const WCHAR CUSTOM_IS_STANDARD[] = TEXT("Custom が標準に設定されているため削除できませんでした。");
const WCHAR NO_CUSTOM_ENTRY[] = TEXT("Custom エントリはありません");

// --- Export and import (the import question is captioned with the file's path) --------------
const WCHAR CAPTION_WRITE[] = TEXT("書き込み");
const WCHAR CAPTION_READ[] = TEXT("読み込み");
const WCHAR CAPTION_EXPORT[] = TEXT("Export");
const WCHAR CAPTION_ERROR[] = TEXT("Error");
const WCHAR NO_CUSTOM_STYLE[] =
    TEXT("Custom が見つかりませんでした。Custom 設定はコピー機能で作成できます。");
const WCHAR EXPORTED[] = TEXT("書き込みました");
const WCHAR EXPORT_FAILED[] = TEXT("書き込めませんでした");
const WCHAR ASK_IMPORT[] = TEXT(
    "キー定義内容をファイルから読み込み Custom 設定に追加します。既存の設定に上書きされますがよ"
    "ろしいですか？");
const WCHAR IMPORTED[] = TEXT("読み込みました");
const WCHAR IMPORT_FAILED[] = TEXT("読み込めませんでした");
const WCHAR NO_DEFINITIONS_IN_FILE[] = TEXT("ファイルにキー定義が見つかりませんでした");
const WCHAR UNREADABLE_ENCODING[] =
    TEXT("このファイルの文字コードは読み込めません。Shift_JIS か UTF-8 で保存し直してください。");
// Captioned with the file's path; the first line that reads differently, as UTF-8, then as
// Shift JIS.
inline std::basic_string<WCHAR> AskUtf8Reading(LPCWSTR utf8, LPCWSTR shiftJis)
{
    return std::basic_string<WCHAR>(TEXT("このファイルは UTF-8 とも Shift_JIS とも読めます。UTF-8 "
                                         "で読み込みますか？\n\nはい: ")) +
           utf8 + TEXT("\nいいえ: ") + shiftJis;
}

// The notices with a count of key definitions, where the texts say %u; see Counted.
const WCHAR EXPORTED_WITH_LOSSES[] =
    TEXT("書き込みましたが、%u 件のキー定義は読み込んでも元どおりになりません"); // CAPTION_WRITE
const WCHAR ASK_UTF8_FILE[] = TEXT("%u 件のキー定義に Shift_JIS で書けない文字があります。UTF-8 "
                                   "で書き込みますか？"); // CAPTION_WRITE
const WCHAR IMPORTED_WITH_UNSTORED[] =
    TEXT("読み込みましたが、%u 件のキー定義を Custom に書き込めませんでした"); // CAPTION_READ
const WCHAR IMPORTED_IN_PART[] = TEXT(
    "ファイルの一部しか読み込めませんでした。%u 件のキー定義を書き込みました"); // CAPTION_ERROR

// The text with the count in place of its %u.
inline std::basic_string<WCHAR> Counted(LPCWSTR text, unsigned count)
{
    std::string digits = std::to_string(count);
    std::basic_string<WCHAR> counted(text);
    return counted.replace(counted.find(TEXT("%u")), 2,
                           std::basic_string<WCHAR>(digits.begin(), digits.end()));
}

#endif
