// The shell menu bar's desktop stand-in reads the menu-bar record as the handheld's shell
// does: a record it cannot read makes it fail and leaves no bar and no menu behind.
#include "tests/support/test_support.h"

#include "tests/platform/menu_bar_records.h"
#include "tests/support/win32/dialog_controls.h"

namespace
{

BOOL CALLBACK CountMenuBar(HWND window, LPARAM count)
{
    if (HasWindowClass(window, SHELL_MENU_BAR_CLASS))
        ++*(int*)count;
    return TRUE;
}

int CountMenuBars()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountMenuBar, (LPARAM)&count);
    return count;
}

TEST(ShellMenuBar, ARecordItCannotReadMakesItFailWithoutBarOrMenu)
{
    HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                  GetModuleHandleW(NULL), NULL);
    ASSERT_TRUE(parent != NULL);
    SHMENUBARINFO info;
    for (UINT record : {IDR_RECORD_ONE_WORD_SHORT, IDR_RECORD_ONE_WORD_OVER,
                        IDR_RECORD_COUNTING_TWO_BUTTONS, IDR_RECORD_UNKNOWN_POPUP})
    {
        SCOPED_TRACE(record);
        memset(&info, 0, sizeof(info));
        info.cbSize = SHMENUBARINFO_SIZE;
        info.hwndParent = parent;
        info.nToolBarId = record;
        info.hInstRes = GetModuleHandleW(NULL);
        EXPECT_FALSE(SHCreateMenuBar(&info));
        EXPECT_TRUE(info.hwndMB == NULL);
        EXPECT_EQ(0, CountMenuBars());
        EXPECT_TRUE(GetMenu(parent) == NULL);
    }

    // The same call with a record it reads makes the bar with its one button.
    info.nToolBarId = IDR_READABLE_RECORD;
    ASSERT_TRUE(SHCreateMenuBar(&info));
    EXPECT_EQ(1, CountMenuBars());
    EXPECT_TRUE(FindWindowExW(info.hwndMB, NULL, L"Button", NULL) != NULL);
    DestroyWindow(parent);
    EXPECT_EQ(0, CountMenuBars());
}

} // namespace
