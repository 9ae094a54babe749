#include "keyfile/notices.h"

#include "base/window_globals.h"

void ShowNoCustomStyle(LPCWSTR caption)
{
    MessageBoxW(g_mainWindow,
                TEXT("Custom が見つかりませんでした。Custom 設定はコピー機能で作成できます。"),
                caption, MB_OK);
}
