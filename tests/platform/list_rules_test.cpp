// The sorted drop-down list's rules the program relies on, in both builds.
#include "tests/support/test_support.h"

#include "resources/resource.h"

namespace
{

class ListRules : public ::testing::Test
{
  protected:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0)
    {
        return SendDlgItemMessageW(windows.dialog(), IDC_STYLE_LIST, message, wParam, lParam);
    }
    LRESULT SelectString(int start, LPCWSTR text)
    {
        return Send(CB_SELECTSTRING, (WPARAM)start, (LPARAM)text);
    }
    void Add(std::initializer_list<LPCWSTR> entries)
    {
        for (LPCWSTR entry : entries)
            windows.AddEntry(entry);
    }
    TestWindows windows;
};

TEST_F(ListRules, EntriesSortWithoutCaseAndSelectStringSearchesAfterTheStartAndWraps)
{
    Add({TEXT("B"), TEXT("ab"), TEXT("A")});
    EXPECT_EQ((std::vector<WString>{TEXT("A"), TEXT("ab"), TEXT("B")}), windows.ListEntries());
    EXPECT_EQ(1, SelectString(0, TEXT("a"))); // AB comes before the exact match A
    EXPECT_EQ(1, windows.Selection());
    EXPECT_EQ(0, SelectString(-1, TEXT("A")));
    EXPECT_EQ(0, SelectString(2, TEXT("a"))); // from the end round to the start
    EXPECT_EQ(2, SelectString(0, TEXT("b")));

    EXPECT_EQ(CB_ERR, SelectString(0, TEXT("Gamma")));
    EXPECT_EQ(2, windows.Selection());
    EXPECT_EQ(CB_ERR, SelectString(0, TEXT("ABC"))); // longer than every entry
    EXPECT_EQ(CB_ERR, SelectString(0, TEXT("")));
    EXPECT_EQ(2, windows.Selection());
}

TEST_F(ListRules, PositionsOutsideTheListFail)
{
    EXPECT_EQ(CB_ERR, Send(CB_SETCURSEL, 1)); // empty list
    EXPECT_EQ(CB_ERR, windows.Selection());

    Add({TEXT("Name")});
    EXPECT_EQ(0, Send(CB_SETCURSEL, 0));
    EXPECT_EQ(CB_ERR, Send(CB_SETCURSEL, 1));
    EXPECT_EQ(0, windows.Selection());
    EXPECT_EQ(CB_ERR, Send(CB_SETCURSEL, (WPARAM)-1));
    EXPECT_EQ(CB_ERR, windows.Selection());

    WCHAR text[16];
    EXPECT_EQ(4, Send(CB_GETLBTEXTLEN, 0));
    EXPECT_EQ(4, Send(CB_GETLBTEXT, 0, (LPARAM)text));
    EXPECT_EQ(CB_ERR, Send(CB_GETLBTEXTLEN, 1));
    EXPECT_EQ(CB_ERR, Send(CB_GETLBTEXT, 1, (LPARAM)text));
    EXPECT_EQ(CB_ERR, Send(CB_GETLBTEXTLEN, (WPARAM)-1));
    Send(CB_RESETCONTENT, 0);
    EXPECT_EQ(0, Send(CB_GETCOUNT, 0));
    EXPECT_EQ(CB_ERR, Send(CB_GETLBTEXTLEN, 0));
}

} // namespace
