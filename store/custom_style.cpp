// The two commands of the main dialog that make and remove the Custom style.
#include "store/custom_style.h"

#include "base/count_notice.h"
#include "base/memory_notice.h"
#include "base/wait_cursor.h"
#include "base/window_globals.h"
#include "store/key_tree.h"
#include "store/standard_style.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

static const WCHAR DELETE_CAPTION[] = TEXT("削除");

// Whether the Custom style exists: its key can be opened.
static BOOL FindCustomStyle()
{
    HKEY custom;
    if (!OpenUserKey(CUSTOM_STYLE_KEY, &custom))
        return FALSE;
    RegCloseKey(custom);
    return TRUE;
}

// Asks before copying `name`, warning that an existing Custom style is merged into rather
// than replaced. TRUE when the user answered Yes.
static BOOL ConfirmCopy(LPCWSTR name)
{
    LPCWSTR question = FindCustomStyle()
                           ? TEXT("すでに存在する Custom 設定に上書きします。")
                                 TEXT("確実にコピーするためには事前にエントリを削除しておくことを")
                                     TEXT("お勧めします。よろしいですか？")
                           : TEXT("選択した設定を Custom にコピーて作成します。よろしいです？");
    return MessageBoxW(g_mainWindow, question, name, MB_YESNO) == IDYES;
}

// Copies the style `name` into the Custom style, creating it if need be, and counts in `missed`
// what did not arrive. FALSE when the style list, the style or the Custom key could not be had,
// so that nothing was copied.
static BOOL CopyIntoCustom(LPCWSTR name, UINT* missed)
{
    HKEY styles;
    if (!OpenUserKey(STYLE_LIST_KEY, &styles))
        return FALSE;
    // A style that cannot be opened copies nothing: Custom is not even created for it.
    HKEY style;
    if (RegOpenKeyExW(styles, name, 0, PLATFORM_KEY_ACCESS, &style) != ERROR_SUCCESS)
    {
        RegCloseKey(styles);
        return FALSE;
    }
    RegCloseKey(style);
    HKEY custom;
    if (!CreateStyleKey(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY, &custom))
    {
        RegCloseKey(styles);
        return FALSE;
    }
    *missed = CopyKeyTree(custom, styles, name);
    RegCloseKey(custom);
    RegCloseKey(styles);
    return TRUE;
}

static WCHAR FoldAsciiCase(WCHAR unit)
{
    if (unit >= 'a' && unit <= 'z')
        return (WCHAR)(unit - 'a' + 'A');
    return unit;
}

// Whether the standard style's name reaches the Custom key. The registry matches key names
// without regard to letter case, so a standard style "custom" is the Custom style as much as
// "Custom" is; the name is a single ASCII word, so folding ASCII letters is enough.
static BOOL NamesCustomStyle(LPCWSTR name)
{
    size_t i = 0;
    for (; CUSTOM_STYLE_NAME[i] != 0; ++i)
    {
        if (FoldAsciiCase(name[i]) != FoldAsciiCase(CUSTOM_STYLE_NAME[i]))
            return FALSE;
    }
    return name[i] == 0;
}

void CopyStyleToCustom(HWND dialog, int listId)
{
    BOOL outOfMemory;
    WCHAR* name = GetSelectedStyleName(dialog, listId, &outOfMemory);
    // The list is read again when nothing was selected, but not when memory is short: emptying
    // it then could leave it empty.
    if (outOfMemory)
    {
        ShowMemoryNotice();
        return;
    }
    if (!name)
    {
        RefreshStyleList(dialog);
        return;
    }
    // Only the exact name: a style spelled otherwise is copied, even onto itself.
    if (wcscmp(name, CUSTOM_STYLE_NAME) == 0)
    {
        free(name);
        return;
    }
    if (!ConfirmCopy(name))
    {
        free(name);
        return;
    }
    HCURSOR previous = ShowWaitCursor();
    UINT missed = 0;
    BOOL copied = CopyIntoCustom(name, &missed);
    RestoreCursor(previous);
    if (!copied)
        MessageBoxW(g_mainWindow, TEXT("Custom にコピーできませんでした"), name, MB_OK);
    else if (missed > 0)
        ShowCountNotice(TEXT("Custom にコピーしましたが、%u 件の項目をコピーできませんでした"),
                        missed, name);
    else
        MessageBoxW(g_mainWindow, TEXT("Custom にコピーしました"), name, MB_OK);
    free(name);
    RefreshStyleList(dialog);
}

void DeleteCustomStyle(HWND dialog, int /* listId: the selection plays no part */)
{
    HKEY settings;
    if (!OpenUserKey(IME_SETTINGS_KEY, &settings))
        return;
    WCHAR standard[STANDARD_NAME_UNITS];
    // A value that cannot be read leaves the name empty, as if some other style were standard.
    ReadStandardStyleName(settings, standard);
    RegCloseKey(settings);
    if (NamesCustomStyle(standard))
    {
        MessageBoxW(g_mainWindow, TEXT("Custom が標準に設定されているため削除できませんでした。"),
                    DELETE_CAPTION, MB_OK);
        return;
    }
    if (!FindCustomStyle())
    {
        MessageBoxW(g_mainWindow, TEXT("Custom エントリはありません"), DELETE_CAPTION, MB_OK);
        return;
    }
    if (MessageBoxW(g_mainWindow, TEXT("Custom エントリを削除して良いですか？"), TEXT(""),
                    MB_YESNO) != IDYES)
        return;
    HCURSOR previous = ShowWaitCursor();
    LONG deletion = DeleteRegistryTree(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY);
    RestoreCursor(previous);
    if (deletion != ERROR_SUCCESS)
    {
        MessageBoxW(g_mainWindow, TEXT("削除できませんでした"), DELETE_CAPTION, MB_OK);
        return;
    }
    MessageBoxW(g_mainWindow, TEXT("削除しました"), DELETE_CAPTION, MB_OK);
    RefreshStyleList(dialog);
}
