// Copying a style into Custom and deleting Custom, through the commands as the user meets them.
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/key_tree.h"
#include "store/standard_style.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

namespace
{

// The subkey of the sample style whose name does not fit the style list's 32 units.
const WCHAR LONG_SUBKEY_NAME[] = TEXT("AVeryLongSubkeyNameThatIsFortyUnitsLong!");

Bytes DwordBytes(DWORD number)
{
    const BYTE* begin = (const BYTE*)&number;
    return Bytes(begin, begin + sizeof(number));
}

// A style three levels deep with values of many types, a subkey name longer than the style
// list could show, and long value names and data.
void BuildSampleStyle(const WString& path)
{
    SetString(path, TEXT("Title"), TEXT("見本 style"));
    SetValue(path, TEXT("Count"), REG_DWORD, DwordBytes(0x12345678));
    SetValue(path, TEXT("Blob"), REG_BINARY, Bytes{0x00, 0xFF, 0x10, 0x00, 0x7F});
    SetValue(path, TEXT("Keys"), REG_MULTI_SZ,
             MultiString({TEXT("変換"), TEXT("Ctrl+Space"), TEXT("x")}));
    SetValue(path, TEXT("Empty"), REG_BINARY, Bytes());
    SetValue(path, TEXT("Odd"), REG_BINARY, Bytes{1, 2, 3});
    SetValue(path, TEXT("Wide"), REG_QWORD, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    Bytes big(5000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = (BYTE)(i * 7);
    SetValue(path, WString(100, 'N'), REG_BINARY, big);

    WString level1 = path + TEXT("\\Level1");
    SetValue(level1, TEXT("Depth"), REG_DWORD, DwordBytes(1));
    SetValue(level1, TEXT("Keys"), REG_MULTI_SZ, MultiString({TEXT("one"), TEXT("two")}));
    WString level2 = level1 + TEXT("\\Level2");
    SetValue(level2, TEXT("Depth"), REG_DWORD, DwordBytes(2));
    SetValue(level2 + TEXT("\\Level3"), TEXT("Depth"), REG_DWORD, DwordBytes(3));
    CreateKey(level2 + TEXT("\\Level3\\EmptyLeaf"));
    WString longKey = level1 + TEXT("\\") + LONG_SUBKEY_NAME;
    SetString(longKey, TEXT("Where"), TEXT("deep and long"));
    SetString(longKey + TEXT("\\") + WString(200, 'K'), TEXT("Where"), TEXT("longer still"));
    SetString(path + TEXT("\\Sibling"), TEXT(""), TEXT("default value"));
}

class CustomStyle : public StoreTest
{
  protected:
    // The commands, the user answering their boxes with these buttons.
    void Copy(std::initializer_list<int> answers = {})
    {
        user.WillAnswer(answers);
        CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    }
    void Delete(std::initializer_list<int> answers = {})
    {
        user.WillAnswer(answers);
        DeleteCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    }
    void MakeCustomWithTree()
    {
        SetString(CUSTOM_STYLE_KEY, TEXT("Mine"), TEXT("kept"));
        SetString(WString(CUSTOM_STYLE_KEY) + TEXT("\\A\\B\\C"), TEXT("Deep"), TEXT("x"));
    }
};

// --- Copy -----------------------------------------------------------------------------------

TEST_F(CustomStyle, CopyCopiesNothingWithoutASelectionOfAnotherStyleAndAYes)
{
    CreateKey(StylePath(TEXT("Alpha")));
    BuildSampleStyle(StylePath(TEXT("Source")));
    windows.AddEntry(LIST_MARKER); // listed, not selected
    ASSERT_EQ(CB_ERR, windows.Selection());
    Copy();
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha"), TEXT("Source")}),
              windows.ListEntries()); // rebuilt
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));

    ShowStylesSelecting(TEXT("Source"));
    Copy({IDNO});
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_CREATE, TEXT("Source"), MB_YESNO));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());

    MakeCustomWithTree();
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    ShowStylesSelecting(TEXT("Source"));
    Copy({IDNO});
    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(1, ASK_OVERWRITE, TEXT("Source"), MB_YESNO));
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());

    // Custom itself is not copied onto itself, and nothing is asked.
    ShowStylesSelecting(TEXT("Custom"));
    Copy();
    EXPECT_FALSE(ListWasRebuilt());
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_EQ(2u, user.boxes().size());
}

TEST_F(CustomStyle, CopyCreatesCustomAsAWholeCopyOfTheStyle)
{
    WString source = StylePath(TEXT("Source"));
    BuildSampleStyle(source);
    CreateKey(StylePath(TEXT("Other")));
    std::map<WString, StoredValue> sourceValues = TreeValues(source);
    ASSERT_EQ(15u, sourceValues.size());
    ShowStylesSelecting(TEXT("Source"));
    Copy({IDYES, IDOK});

    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_CREATE, TEXT("Source"), MB_YESNO));
    EXPECT_TRUE(user.Showed(1, COPIED, TEXT("Source")));
    EXPECT_EQ(sourceValues, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_EQ(TreeKeyPaths(source), TreeKeyPaths(CUSTOM_STYLE_KEY));
    EXPECT_EQ(sourceValues, TreeValues(source));
    EXPECT_TRUE(ListWasRebuilt());
    EXPECT_EQ((std::vector<WString>{TEXT("Custom"), TEXT("Other"), TEXT("Source")}),
              windows.ListEntries());

    // Every created key has the class REG_SZ, also three levels below the style and under a
    // name the style list could not hold.
    EXPECT_EQ(W(CREATED_KEY_CLASS), KeyClass(CUSTOM_STYLE_KEY));
    std::map<WString, WString> classes = ReadTree(CUSTOM_STYLE_KEY).classes;
    ASSERT_EQ(7u, classes.size());
    for (const auto& entry : classes)
        EXPECT_EQ(W(CREATED_KEY_CLASS), entry.second) << "on a created key";
    EXPECT_TRUE(classes.count(TEXT("Level1\\Level2\\Level3")));
    EXPECT_TRUE(classes.count(WString(TEXT("Level1\\")) + LONG_SUBKEY_NAME));
    // They last: a lasting key can be made below them, which a volatile key refuses.
    CreateKey(WString(CUSTOM_STYLE_KEY) + TEXT("\\Level1\\Later"));
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
    Copy({IDYES, IDOK});

    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_OVERWRITE, TEXT("Source"), MB_YESNO));
    EXPECT_TRUE(user.Showed(1, COPIED, TEXT("Source")));
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
    Copy({IDYES, IDOK});
    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_OVERWRITE, TEXT("custom"), MB_YESNO));
    EXPECT_EQ(before, TreeValues(CUSTOM_STYLE_KEY));
    EXPECT_EQ(keysBefore, TreeKeyPaths(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha"), TEXT("custom")}), SubkeyNames(STYLE_LIST_KEY));
}

TEST_F(CustomStyle, CopyKeyTreeLeavesTheDestinationOpenForItsCaller)
{
    SetString(StylePath(TEXT("Source")), TEXT("One"), TEXT("1"));
    CreateKey(CUSTOM_STYLE_KEY);
    HKEY styles = OpenKey(STYLE_LIST_KEY);
    HKEY custom = OpenKey(CUSTOM_STYLE_KEY);
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
        Delete({IDOK});
        ASSERT_EQ(++shown, user.boxes().size());
        EXPECT_TRUE(user.ShowedLast(CUSTOM_IS_STANDARD, CAPTION_DELETE));
        EXPECT_TRUE(KeyExists(WString(CUSTOM_STYLE_KEY) + TEXT("\\A\\B\\C")));
        EXPECT_FALSE(ListWasRebuilt());
    }

    // Stored without its terminator, the name is still "Custom".
    SetValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, REG_SZ, UnitBytes(CUSTOM_STYLE_NAME));
    Delete({IDOK});
    ASSERT_EQ(++shown, user.boxes().size());
    EXPECT_TRUE(user.ShowedLast(CUSTOM_IS_STANDARD, CAPTION_DELETE));

    // The refusal comes first, whether or not there is a Custom style at all.
    DeleteTree(CUSTOM_STYLE_KEY);
    SetStandardStyleValue(TEXT("Custom"));
    Delete({IDOK});
    ASSERT_EQ(++shown, user.boxes().size());
    EXPECT_TRUE(user.ShowedLast(CUSTOM_IS_STANDARD, CAPTION_DELETE));
}

TEST_F(CustomStyle, NamesThatMerelyResembleCustomDoNotRefuse)
{
    MakeCustomWithTree();
    WString full = CUSTOM_STYLE_NAME;
    full.resize(STANDARD_NAME_BYTES / sizeof(WCHAR), 'x'); // all the bytes read, unended
    const Bytes standards[] = {TextBytes(TEXT("Customs")), TextBytes(TEXT("Custo")),
                               TextBytes(TEXT("Bustom")), TextBytes(TEXT("")), UnitBytes(full)};
    for (const Bytes& standard : standards)
    {
        SetValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, REG_SZ, standard);
        Delete({IDNO});
        ASSERT_FALSE(user.boxes().empty());
        EXPECT_TRUE(user.ShowedLast(ASK_DELETE, TEXT(""), MB_YESNO));
    }
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyle, DeleteIsSilentWithoutTheSettingsKeyAndTellsWhenThereIsNoCustom)
{
    MakeCustomWithTree();
    ShowStylesSelecting(TEXT("Custom"));
    Delete();
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_FALSE(ListWasRebuilt());

    DeleteTree(CUSTOM_STYLE_KEY);
    CreateKey(StylePath(TEXT("Alpha")));
    SetStandardStyleValue(TEXT("Alpha"));
    ShowStylesSelecting(TEXT("Alpha"));
    Delete({IDOK});
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, NO_CUSTOM_ENTRY, CAPTION_DELETE));
    EXPECT_FALSE(ListWasRebuilt());
}

TEST_F(CustomStyle, DeleteAsksAndRemovesTheWholeTreeOnlyAfterAYesInAnySpelling)
{
    CreateKey(StylePath(TEXT("Alpha")));
    BuildSampleStyle(CUSTOM_STYLE_KEY);
    SetStandardStyleValue(TEXT("Alpha"));
    ShowStylesSelecting(TEXT("Custom"));
    Delete({IDNO});
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_DELETE, TEXT(""), MB_YESNO));
    EXPECT_TRUE(KeyExists(WString(CUSTOM_STYLE_KEY) + TEXT("\\Level1\\Level2\\Level3")));
    EXPECT_FALSE(ListWasRebuilt());

    Delete({IDYES, IDOK}); // and the list is rebuilt
    ASSERT_EQ(3u, user.boxes().size());
    EXPECT_TRUE(user.Showed(1, ASK_DELETE, TEXT(""), MB_YESNO));
    EXPECT_TRUE(user.Showed(2, DELETED, CAPTION_DELETE));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ(std::vector<WString>{TEXT("Alpha")}, SubkeyNames(STYLE_LIST_KEY));
    EXPECT_EQ(std::vector<WString>{TEXT("Alpha")}, windows.ListEntries());

    // Without a standard-style value the deletion goes ahead, and reaches any spelling.
    SetString(StylePath(TEXT("cUSTOM")), TEXT("Mine"), TEXT("x"));
    SetString(StylePath(TEXT("cUSTOM")) + TEXT("\\Sub"), TEXT("Mine"), TEXT("x"));
    DeleteTree(IME_SETTINGS_KEY);
    CreateKey(IME_SETTINGS_KEY); // the settings key, without the value "style"
    Delete({IDYES, IDOK});
    ASSERT_EQ(5u, user.boxes().size());
    EXPECT_TRUE(user.Showed(4, DELETED, CAPTION_DELETE));
    EXPECT_EQ(std::vector<WString>{TEXT("Alpha")}, SubkeyNames(STYLE_LIST_KEY));
}

} // namespace
