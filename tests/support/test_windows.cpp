// What tests read and do with the style list: plain CB_ messages, the same in both builds; and
// the list as a command finds it.
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "store/style_catalogue.h"

#include <algorithm>

const WCHAR LIST_MARKER[] = TEXT("zz-not-from-the-registry");

std::vector<WString> TestWindows::ListEntries() const
{
    std::vector<WString> entries;
    LRESULT count = SendDlgItemMessageW(dialog_, IDC_STYLE_LIST, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        WCHAR text[512] = {0};
        LRESULT length =
            SendDlgItemMessageW(dialog_, IDC_STYLE_LIST, CB_GETLBTEXT, i, (LPARAM)text);
        entries.push_back(WString(text, length < 0 ? 0 : length));
    }
    return entries;
}

int TestWindows::Selection() const
{
    return (int)SendDlgItemMessageW(dialog_, IDC_STYLE_LIST, CB_GETCURSEL, 0, 0);
}

WString TestWindows::SelectedText() const
{
    int position = Selection();
    if (position == CB_ERR)
        return WString();
    return ListEntries().at(position);
}

void TestWindows::AddEntry(const WString& text) const
{
    SendDlgItemMessageW(dialog_, IDC_STYLE_LIST, CB_ADDSTRING, 0, (LPARAM)text.c_str());
}

void TestWindows::Select(int position) const
{
    SendDlgItemMessageW(dialog_, IDC_STYLE_LIST, CB_SETCURSEL, position, 0);
}

void TestWindows::SelectByText(const WString& text, Caller caller) const
{
    std::vector<WString> entries = ListEntries();
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i] == text)
        {
            Select((int)i);
            break;
        }
    }
    RequireSetUp(SelectedText() == text, "select in the style list", text, caller);
}

void StoreTest::ShowStylesSelecting(const WString& name, Caller caller)
{
    RefreshStyleList(windows.dialog());
    windows.AddEntry(LIST_MARKER);
    windows.SelectByText(name, caller);
}

bool StoreTest::ListWasRebuilt() const
{
    std::vector<WString> entries = windows.ListEntries();
    return std::find(entries.begin(), entries.end(), LIST_MARKER) == entries.end();
}
