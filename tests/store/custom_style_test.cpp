// Copying a style into Custom and deleting Custom, through the commands as the user meets them.
#include "tests/store/style_tree.h"

#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/key_tree.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

namespace
{

const WCHAR ASK_OVERWRITE[] =
    TEXT("すでに存在する Custom 設定に上書きします。確実にコピーするためには事前にエントリを削除"
         "しておくことをお勧めします。よろしいですか？");
const WCHAR ASK_CREATE[] = TEXT("選択した設定を Custom にコピーて作成します。よろしいです？");
const WCHAR COPIED[] = TEXT("Custom にコピーしました");
const WCHAR CUSTOM_IS_STANDARD[] = TEXT("Custom が標準に設定されているため削除できませんでした。");
const WCHAR NO_CUSTOM[] = TEXT("Custom エントリはありません");
const WCHAR ASK_DELETE[] = TEXT("Custom エントリを削除して良いですか？");
const WCHAR DELETED[] = TEXT("削除しました");
const WCHAR DELETE_CAPTION[] = TEXT("削除");
const WCHAR MARKER[] = TEXT("zz-not-from-the-registry");

class CustomStyle : public StoreTest
{
  protected:
    void Refresh()
    {
        RefreshStyleList(windows.dialog());
    }
    void SelectByText(const WString& name)
    {
        std::vector<WString> entries = windows.ListEntries();
        for (size_t i = 0; i < entries.size(); ++i)
        {
            if (entries[i] == name)
                windows.Select((int)i);
        }
        ASSERT_EQ(name, windows.SelectedText());
    }
    // Lists the registry's styles, selects `name` and adds an entry no refresh would make, so
    // that a test can tell whether the command rebuilt the list.
    void ShowStylesSelecting(const WString& name)
    {
        Refresh();
        SelectByText(name);
        windows.AddEntry(MARKER);
        SelectByText(name);
    }
    bool ListWasRebuilt() const
    {
        for (const WString& entry : windows.ListEntries())
        {
            if (entry == MARKER)
                return false;
        }
        return true;
    }
    void Copy()
    {
        CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    }
    void Delete()
    {
        DeleteCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    }
    void ExpectBox(size_t index, LPCWSTR text, const WString& caption, UINT type)
    {
        ASSERT_LT(index, user.boxes().size());
        const ShownBox& box = user.boxes()[index];
        EXPECT_EQ(windows.mainWindow(), box.owner);
        EXPECT_EQ(W(text), box.text);
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(type, box.type);
    }
    void MakeCustomWithTree()
    {
        SetString(CUSTOM_STYLE_KEY, TEXT("Mine"), TEXT("kept"));
        SetString(WString(CUSTOM_STYLE_KEY) + TEXT("\\A\\B\\C"), TEXT("Deep"), TEXT("x"));
    }
};

// --- Copy -----------------------------------------------------------------------------------

TEST_F(CustomStyle, CopyWithNothingSelectedOnlyRebuildsTheList)
{
    CreateKey(StylePath(TEXT("Alpha")));
    CreateKey(StylePath(TEXT("Beta")));
    windows.AddEntry(MARKER); // listed, not selected
    ASSERT_EQ(CB_ERR, windows.Selection());
    Copy();
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha"), TEXT("Beta")}), windows.ListEntries());
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_TRUE(user.boxes().empty());
}

TEST_F(CustomStyle, CopyOfCustomItselfDoesNothing)
{
    CreateKey(StylePath(TEXT("Alpha")));
    MakeCustomWithTree();
    ShowStylesSelecting(TEXT("Custom"));
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    Copy();
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_FALSE(ListWasRebuilt());
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyle, AnsweringNoLeavesEverything)
{
    BuildSampleStyle(StylePath(TEXT("Source")));
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDNO);
    Copy();
    ASSERT_EQ(1u, user.boxes().size());
    ExpectBox(0, ASK_CREATE, TEXT("Source"), MB_YESNO);
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());

    MakeCustomWithTree();
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDNO);
    Copy();
    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(1, ASK_OVERWRITE, TEXT("Source"), MB_YESNO);
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());
}

TEST_F(CustomStyle, CopyCreatesCustomAsAWholeCopyOfTheStyle)
{
    WString source = StylePath(TEXT("Source"));
    BuildSampleStyle(source);
    CreateKey(StylePath(TEXT("Other")));
    std::map<WString, StoredValue> sourceValues = TreeValues(source);
    ASSERT_EQ(15u, sourceValues.size());
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Copy();

    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(0, ASK_CREATE, TEXT("Source"), MB_YESNO);
    ExpectBox(1, COPIED, TEXT("Source"), MB_OK);
    EXPECT_EQ(sourceValues, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_EQ(TreeKeyPaths(source), TreeKeyPaths(CUSTOM_STYLE_KEY));
    EXPECT_EQ(sourceValues, TreeValues(source));
    EXPECT_TRUE(ListWasRebuilt());
    EXPECT_EQ((std::vector<WString>{TEXT("Custom"), TEXT("Other"), TEXT("Source")}),
              windows.ListEntries());
}

TEST_F(CustomStyle, EveryCreatedKeyHasTheClassRegSz)
{
    BuildSampleStyle(StylePath(TEXT("Source")));
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Copy();

    EXPECT_EQ(W(CREATED_KEY_CLASS), KeyClass(CUSTOM_STYLE_KEY));
    std::map<WString, WString> classes = TreeKeyClasses(CUSTOM_STYLE_KEY);
    ASSERT_EQ(7u, classes.size());
    for (const auto& entry : classes)
        EXPECT_EQ(W(CREATED_KEY_CLASS), entry.second) << "on a created key";
    // Three levels below the style, and a name the style list could not hold.
    EXPECT_TRUE(classes.count(TEXT("Level1\\Level2\\Level3")));
    EXPECT_TRUE(classes.count(WString(TEXT("Level1\\")) + LONG_SUBKEY_NAME));
}

TEST_F(CustomStyle, CopyMergesIntoAnExistingCustom)
{
    WString source = StylePath(TEXT("Source"));
    SetString(source, TEXT("Shared"), TEXT("new"));
    SetString(source + TEXT("\\Sub"), TEXT("Shared"), TEXT("new below"));
    SetString(CUSTOM_STYLE_KEY, TEXT("Shared"), TEXT("old"));
    SetString(CUSTOM_STYLE_KEY, TEXT("OnlyInCustom"), TEXT("kept"));
    SetString(WString(CUSTOM_STYLE_KEY) + TEXT("\\Sub"), TEXT("Mine"), TEXT("kept below"));
    SetString(WString(CUSTOM_STYLE_KEY) + TEXT("\\OwnKey"), TEXT("Mine"), TEXT("kept too"));
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Copy();

    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(0, ASK_OVERWRITE, TEXT("Source"), MB_YESNO);
    ExpectBox(1, COPIED, TEXT("Source"), MB_OK);
    std::map<WString, StoredValue> expected = {
        {TEXT("|Shared"), {REG_SZ, TextBytes(TEXT("new"))}},
        {TEXT("|OnlyInCustom"), {REG_SZ, TextBytes(TEXT("kept"))}},
        {TEXT("Sub|Shared"), {REG_SZ, TextBytes(TEXT("new below"))}},
        {TEXT("Sub|Mine"), {REG_SZ, TextBytes(TEXT("kept below"))}},
        {TEXT("OwnKey|Mine"), {REG_SZ, TextBytes(TEXT("kept too"))}},
    };
    EXPECT_EQ(expected, TreeValues(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyle, AStyleSpelledLikeCustomInAnotherCaseIsCopiedOntoItselfUnchanged)
{
    // "custom" is not the exact name, so the copy goes ahead; the registry reaches the very
    // same key, and the walk over counts taken beforehand must leave it as it was.
    BuildSampleStyle(StylePath(TEXT("custom")));
    CreateKey(StylePath(TEXT("Alpha")));
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    std::vector<WString> keysBefore = TreeKeyPaths(CUSTOM_STYLE_KEY);
    ShowStylesSelecting(TEXT("custom"));
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Copy();
    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(0, ASK_OVERWRITE, TEXT("custom"), MB_YESNO);
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_EQ(keysBefore, TreeKeyPaths(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha"), TEXT("custom")}), SubkeyNames(STYLE_LIST_KEY));
}

TEST_F(CustomStyle, CopyKeyTreeLeavesTheDestinationOpenForItsCaller)
{
    SetString(StylePath(TEXT("Source")), TEXT("One"), TEXT("1"));
    CreateKey(CUSTOM_STYLE_KEY);
    HKEY styles;
    HKEY custom;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, STYLE_LIST_KEY, 0, PLATFORM_KEY_ACCESS, &styles));
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, CUSTOM_STYLE_KEY, 0, PLATFORM_KEY_ACCESS, &custom));
    CopyKeyTree(custom, styles, TEXT("Source"));
    CopyKeyTree(custom, styles, TEXT("Missing")); // nothing to open: nothing happens
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(custom, TEXT("After"), 0, REG_BINARY, NULL, 0));
    RegCloseKey(custom);
    RegCloseKey(styles);
    std::map<WString, StoredValue> expected = {
        {TEXT("|One"), {REG_SZ, TextBytes(TEXT("1"))}},
        {TEXT("|After"), {REG_BINARY, Bytes()}},
    };
    EXPECT_EQ(expected, TreeValues(CUSTOM_STYLE_KEY));
}

// --- Delete ---------------------------------------------------------------------------------

TEST_F(CustomStyle, DeleteIsRefusedWhileCustomIsStandardInAnyCase)
{
    CreateKey(StylePath(TEXT("Alpha")));
    MakeCustomWithTree();
    const WString spellings[] = {TEXT("Custom"), TEXT("custom"), TEXT("CUSTOM")};
    size_t shown = 0;
    for (const WString& standard : spellings)
    {
        SetStandardStyleValue(standard);
        ShowStylesSelecting(TEXT("Alpha"));
        user.WillAnswer(IDOK);
        Delete();
        ASSERT_EQ(++shown, user.boxes().size());
        ExpectBox(shown - 1, CUSTOM_IS_STANDARD, DELETE_CAPTION, MB_OK);
        EXPECT_TRUE(KeyExists(WString(CUSTOM_STYLE_KEY) + TEXT("\\A\\B\\C")));
        EXPECT_FALSE(ListWasRebuilt());
    }

    // Stored without its terminator, the name is still "Custom".
    SetValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, REG_SZ,
             Bytes((const BYTE*)CUSTOM_STYLE_NAME, (const BYTE*)CUSTOM_STYLE_NAME + 12));
    user.WillAnswer(IDOK);
    Delete();
    ASSERT_EQ(++shown, user.boxes().size());
    ExpectBox(shown - 1, CUSTOM_IS_STANDARD, DELETE_CAPTION, MB_OK);

    // The refusal comes first, whether or not there is a Custom style at all.
    DeleteTree(CUSTOM_STYLE_KEY);
    SetStandardStyleValue(TEXT("Custom"));
    user.WillAnswer(IDOK);
    Delete();
    ASSERT_EQ(++shown, user.boxes().size());
    ExpectBox(shown - 1, CUSTOM_IS_STANDARD, DELETE_CAPTION, MB_OK);
}

TEST_F(CustomStyle, NamesThatMerelyResembleCustomDoNotRefuse)
{
    MakeCustomWithTree();
    WString full = WString(CUSTOM_STYLE_NAME) + WString(124, 'x'); // all 260 bytes, unended
    const Bytes standards[] = {TextBytes(TEXT("Customer")), TextBytes(TEXT("Custo")),
                               TextBytes(TEXT("")),
                               Bytes((const BYTE*)full.data(), (const BYTE*)full.data() + 260)};
    for (const Bytes& standard : standards)
    {
        SetValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, REG_SZ, standard);
        user.WillAnswer(IDNO);
        Delete();
        ASSERT_FALSE(user.boxes().empty());
        ExpectBox(user.boxes().size() - 1, ASK_DELETE, W(TEXT("")), MB_YESNO);
    }
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyle, DeleteTellsWhenThereIsNoCustom)
{
    CreateKey(StylePath(TEXT("Alpha")));
    SetStandardStyleValue(TEXT("Alpha"));
    ShowStylesSelecting(TEXT("Alpha"));
    user.WillAnswer(IDOK);
    Delete();
    ASSERT_EQ(1u, user.boxes().size());
    ExpectBox(0, NO_CUSTOM, DELETE_CAPTION, MB_OK);
    EXPECT_FALSE(ListWasRebuilt());
}

TEST_F(CustomStyle, DeleteAsksAndNoKeepsCustom)
{
    MakeCustomWithTree();
    SetStandardStyleValue(TEXT("Alpha"));
    ShowStylesSelecting(TEXT("Custom"));
    user.WillAnswer(IDNO);
    Delete();
    ASSERT_EQ(1u, user.boxes().size());
    ExpectBox(0, ASK_DELETE, W(TEXT("")), MB_YESNO);
    EXPECT_TRUE(KeyExists(WString(CUSTOM_STYLE_KEY) + TEXT("\\A\\B\\C")));
    EXPECT_FALSE(ListWasRebuilt());
}

TEST_F(CustomStyle, DeleteRemovesTheWholeTreeAndRebuildsTheList)
{
    CreateKey(StylePath(TEXT("Alpha")));
    BuildSampleStyle(CUSTOM_STYLE_KEY);
    SetStandardStyleValue(TEXT("Alpha"));
    ShowStylesSelecting(TEXT("Custom"));
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Delete();
    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(0, ASK_DELETE, W(TEXT("")), MB_YESNO);
    ExpectBox(1, DELETED, DELETE_CAPTION, MB_OK);
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ(std::vector<WString>{TEXT("Alpha")}, SubkeyNames(STYLE_LIST_KEY));
    EXPECT_EQ(std::vector<WString>{TEXT("Alpha")}, windows.ListEntries());
}

TEST_F(CustomStyle, DeleteProceedsWithoutAStandardValueAndReachesAnySpelling)
{
    SetString(StylePath(TEXT("cUSTOM")), TEXT("Mine"), TEXT("x"));
    SetString(StylePath(TEXT("cUSTOM")) + TEXT("\\Sub"), TEXT("Mine"), TEXT("x"));
    CreateKey(IME_SETTINGS_KEY); // the settings key, without the value "style"
    user.WillAnswer(IDYES);
    user.WillAnswer(IDOK);
    Delete();
    ASSERT_EQ(2u, user.boxes().size());
    ExpectBox(1, DELETED, DELETE_CAPTION, MB_OK);
    EXPECT_TRUE(SubkeyNames(STYLE_LIST_KEY).empty());
}

TEST_F(CustomStyle, DeleteIsSilentWithoutTheSettingsKey)
{
    MakeCustomWithTree();
    ShowStylesSelecting(TEXT("Custom"));
    Delete();
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());
}

} // namespace
