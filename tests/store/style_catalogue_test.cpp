// The style list, the standard style and the command that sets it.
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "store/standard_style.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

namespace
{

class StyleCatalogue : public StoreTest
{
  protected:
    void AddStyles(std::initializer_list<LPCWSTR> names)
    {
        for (LPCWSTR name : names)
            CreateKey(StylePath(name));
    }
    void Refresh()
    {
        RefreshStyleList(windows.dialog());
    }
    // The command, the user answering its boxes with these buttons.
    void SetStandard(std::initializer_list<int> answers = {})
    {
        user.WillAnswer(answers);
        SetStandardStyle(windows.dialog(), IDC_STYLE_LIST);
    }
    WString StandardStyle()
    {
        StoredValue value = {0, Bytes()};
        if (!ReadValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, &value.type, &value.data))
            return TEXT("<missing>");
        EXPECT_EQ((DWORD)REG_SZ, value.type);
        return WString((const WCHAR*)value.data.data(), value.data.size() / sizeof(WCHAR));
    }
};

TEST_F(StyleCatalogue, ListsStylesShorterThanThirtyTwoUnitsSortedWithTheStandardSelected)
{
    SetStandardStyleValue(TEXT("Anything"));
    Refresh(); // no style keys at all
    EXPECT_TRUE(windows.ListEntries().empty());
    EXPECT_EQ(CB_ERR, windows.Selection());

    windows.AddEntry(TEXT("Stale")); // the refresh replaces what the list held
    WString fits(31, 'F');
    WString tooLong(32, 'L');
    AddStyles({TEXT("Gamma"), TEXT("alpha"), fits.c_str(), tooLong.c_str(), TEXT("Beta")});
    SetStandardStyleValue(TEXT("Gamma"));
    Refresh();
    EXPECT_EQ((std::vector<WString>{TEXT("alpha"), TEXT("Beta"), fits, TEXT("Gamma")}),
              windows.ListEntries());
    EXPECT_EQ(W(TEXT("Gamma")), windows.SelectedText());
    EXPECT_TRUE(user.boxes().empty());
}

TEST_F(StyleCatalogue, TheStandardIsFoundByPrefixAfterTheFirstEntryElseTheSecondIsSelected)
{
    const WString tooLongForTheBuffer = WString(TEXT("One")) + WString(200, 'x');
    const struct
    {
        std::vector<LPCWSTR> styles;
        LPCWSTR standard; // NULL: no standard-style value at all
        int selected;
    } cases[] = {
        {{TEXT("A"), TEXT("AB"), TEXT("C")}, TEXT("a"), 1}, // AB, found after the first entry
        {{TEXT("One"), TEXT("Three"), TEXT("Two")}, NULL, 1},
        {{TEXT("One"), TEXT("Three"), TEXT("Two")}, TEXT("Gone"), 1},
        {{TEXT("One"), TEXT("Three"), TEXT("Two")}, TEXT(""), 1}, // an empty name matches nothing
        // A value too long for the buffer is not used, though it begins with "One".
        {{TEXT("One"), TEXT("Three"), TEXT("Two")}, tooLongForTheBuffer.c_str(), 1},
        {{TEXT("Solo")}, TEXT("Other"), CB_ERR}, // a one-entry list has no second entry
        {{TEXT("Solo")}, TEXT("so"), 0},
    };
    for (const auto& each : cases)
    {
        SCOPED_TRACE(ToUtf8(each.standard ? each.standard : TEXT("<none>")));
        DeleteTree(IME_ROOT_KEY);
        for (LPCWSTR style : each.styles)
            CreateKey(StylePath(style));
        if (each.standard)
            SetStandardStyleValue(each.standard);
        Refresh();
        EXPECT_EQ(each.selected, windows.Selection());
    }
}

TEST_F(StyleCatalogue, AStandardValueFillingItsWholeCapacityStillEndsInTheBuffer)
{
    AddStyles({TEXT("One"), TEXT("Two")});
    // No terminator: exactly the bytes offered.
    WString full(STANDARD_NAME_BYTES / sizeof(WCHAR), 'T');
    SetValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, REG_SZ, UnitBytes(full));
    Refresh();
    EXPECT_EQ(1, windows.Selection()); // "Two" does not begin with Ts

    WCHAR name[STANDARD_NAME_UNITS];
    HKEY settings = OpenKey(IME_SETTINGS_KEY);
    // The handheld hands over the stored bytes as they are, and the name is then ended in the
    // buffer. Wine wants room for a terminator it adds and refuses the read: no name then.
    BOOL read = ReadStandardStyleName(settings, name);
    EXPECT_EQ(read ? full : WString(), WString(name));
    // A value that is not there gives no name.
    RegDeleteValueW(settings, STANDARD_STYLE_VALUE);
    EXPECT_FALSE(ReadStandardStyleName(settings, name));
    EXPECT_EQ(WString(), WString(name));
    RegCloseKey(settings);
#ifndef _WIN32
    EXPECT_TRUE(read);
#endif
}

TEST_F(StyleCatalogue, SetStandardWritesTheSelectedNameAfterAYesForExactlyCustomElseIsSilent)
{
    AddStyles({TEXT("Alpha"), TEXT("Beta"), TEXT("Custom")});
    SetStandardStyleValue(TEXT("Alpha"));
    Refresh();
    windows.SelectByText(TEXT("Beta"));
    SetStandard({IDOK});
    EXPECT_EQ(W(TEXT("Beta")) + WCHAR(0), StandardStyle());
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, STANDARD_SET, TEXT("Beta")));
    EXPECT_EQ(W(TEXT("Beta")), windows.SelectedText()); // the list is left as it was

    windows.SelectByText(TEXT("Custom"));
    SetStandard({IDNO});
    EXPECT_EQ(W(TEXT("Beta")) + WCHAR(0), StandardStyle());
    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(1, CUSTOM_WARNING, TEXT("Custom"), MB_YESNO));
    SetStandard({IDYES, IDOK});
    EXPECT_EQ(W(TEXT("Custom")) + WCHAR(0), StandardStyle());
    ASSERT_EQ(4u, user.boxes().size());
    EXPECT_TRUE(user.Showed(3, STANDARD_SET, TEXT("Custom")));

    // Another spelling of Custom is not warned about.
    DeleteTree(StylePath(TEXT("Custom")));
    AddStyles({TEXT("custom")});
    Refresh();
    windows.SelectByText(TEXT("custom"));
    SetStandard({IDOK});
    ASSERT_EQ(5u, user.boxes().size());
    EXPECT_TRUE(user.Showed(4, STANDARD_SET, TEXT("custom")));
    EXPECT_EQ(W(TEXT("custom")) + WCHAR(0), StandardStyle());

    // Silent without a selection, or without the settings key, which it never creates.
    windows.Select(-1);
    SetStandard();
    EXPECT_EQ(W(TEXT("custom")) + WCHAR(0), StandardStyle());
    DeleteTree(IME_SETTINGS_KEY);
    windows.Select(0);
    SetStandard();
    EXPECT_FALSE(KeyExists(IME_SETTINGS_KEY));
    EXPECT_EQ(5u, user.boxes().size());
}

} // namespace
