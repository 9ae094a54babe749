// The registry rules the program relies on. They run in both builds: a case that passes on the
// host and fails under Wine shows a stand-in that does not behave like the platform.
#include "tests/support/test_support.h"

namespace
{

class RegistryRules : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        root = WString(IME_ROOT_KEY) + TEXT("\\Rules");
        CreateKey(root);
        key = OpenKey(root);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        StoreTest::TearDown();
    }
    WString Child(const WString& name) const
    {
        return root + TEXT("\\") + name;
    }
    // The number of subkeys or values the open key reports, with the longest name and data.
    DWORD QueryCount(bool subkeys, DWORD* longestName, DWORD* longestData = NULL) const
    {
        DWORD count = 0, longest = 0, data = 0;
        EXPECT_EQ(ERROR_SUCCESS, subkeys ? RegQueryInfoKeyW(key, NULL, NULL, NULL, &count, &longest,
                                                            NULL, NULL, NULL, NULL, NULL, NULL)
                                         : RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL,
                                                            &count, &longest, &data, NULL, NULL));
        *longestName = longest;
        if (longestData)
            *longestData = data;
        return count;
    }
    // Sets a binary value of `size` bytes, each `which`, through the open key.
    LONG SetFilled(const WString& name, size_t size, int which) const
    {
        Bytes data(size, (BYTE)which);
        return RegSetValueExW(key, name.c_str(), 0, REG_BINARY, data.data(), (DWORD)size);
    }
    // Creates a subkey through the open key.
    LONG AddSubkey(const WString& name, DWORD options = 0, DWORD reserved = 0) const
    {
        HKEY subkey;
        LONG status = RegCreateKeyExW(key, name.c_str(), reserved, NULL, options,
                                      PLATFORM_KEY_ACCESS, NULL, &subkey, NULL);
        if (status == ERROR_SUCCESS)
            RegCloseKey(subkey);
        return status;
    }
    WString root;
    HKEY key = NULL;
};

TEST_F(RegistryRules, NamesMatchWithoutCaseKeepTheirSpellingAndSortWithoutCase)
{
    CreateKey(Child(TEXT("MixedCase")));
    EXPECT_TRUE(KeyExists(Child(TEXT("mixedcase"))));
    EXPECT_TRUE(KeyExists(Child(TEXT("MIXEDCASE"))));
    CreateKey(Child(TEXT("MIXEDCASE"))); // opens the existing key, keeps its spelling
    EXPECT_EQ(std::vector<WString>{TEXT("MixedCase")}, SubkeyNames(root));

    SetString(root, TEXT("Value"), TEXT("one"));
    SetString(root, TEXT("VALUE"), TEXT("two"));
    EXPECT_EQ(std::vector<WString>{TEXT("Value")}, ValueNames(root));
    EXPECT_EQ(TextBytes(TEXT("two")), ValueData(root, TEXT("value")));

    for (LPCWSTR name : {TEXT("beta"), TEXT("Gamma"), TEXT("ALPHA2"), TEXT("Alpha"), TEXT("b")})
        CreateKey(Child(TEXT("MixedCase\\")) + name);
    std::vector<WString> expected = {TEXT("Alpha"), TEXT("ALPHA2"), TEXT("b"), TEXT("beta"),
                                     TEXT("Gamma")};
    EXPECT_EQ(expected, SubkeyNames(Child(TEXT("MixedCase"))));
}

TEST_F(RegistryRules, EnumerationNeedsRoomForTheTerminatorAndReportsTheNeededSizes)
{
    CreateKey(Child(TEXT("Twelve-chars")));
    WCHAR name[32];
    for (WCHAR& unit : name)
        unit = 'x';
    DWORD capacity = 12;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(key, 0, name, &capacity, NULL, NULL, NULL, NULL));
    EXPECT_EQ(12u, capacity);
    EXPECT_EQ('x', name[0]);
    capacity = 13;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExW(key, 0, name, &capacity, NULL, NULL, NULL, NULL));
    EXPECT_EQ(12u, capacity);
    EXPECT_EQ(W(TEXT("Twelve-chars")), WString(name));
    capacity = 32;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExW(key, 1, name, &capacity, NULL, NULL, NULL, NULL));

    Bytes data = MultiString({TEXT("first"), TEXT("second")});
    SetValue(root, TEXT("Keys"), REG_MULTI_SZ, data);
    BYTE buffer[64];
    DWORD nameCapacity = 4; // "Keys" needs 5 with its terminator
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumValueW(key, 0, name, &nameCapacity, NULL, &type, buffer, &size));
    EXPECT_EQ(4u, nameCapacity);
    nameCapacity = 5;
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumValueW(key, 0, name, &nameCapacity, NULL, &type, buffer, &size));
    EXPECT_EQ(W(TEXT("Keys")), WString(name));
    EXPECT_EQ(data.size(), size);
    nameCapacity = 16;
    size = sizeof(buffer);
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumValueW(key, 0, name, &nameCapacity, NULL, &type, buffer, &size));
    EXPECT_EQ(4u, nameCapacity);
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
    EXPECT_EQ(data, Bytes(buffer, buffer + size));
    nameCapacity = 16;
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueW(key, 1, name, &nameCapacity, NULL, &type, buffer, &size));
}

TEST_F(RegistryRules, QueryInfoGivesCountsMaximaAndClass)
{
    CreateKey(Child(TEXT("short")));
    CreateKey(Child(TEXT("a-longer-name")), TEXT("REG_SZ"));
    SetValue(root, TEXT("v"), REG_BINARY, Bytes(10, 7));
    SetValue(root, TEXT("value-name"), REG_DWORD, Bytes(4, 1));

    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeys, &longestSubkey, NULL,
                                              &values, &longestName, &longestData, NULL, NULL));
    EXPECT_EQ(2u, subkeys);
    EXPECT_EQ(13u, longestSubkey);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(10u, longestName);
    EXPECT_EQ(10u, longestData);

    EXPECT_EQ(W(TEXT("REG_SZ")), KeyClass(Child(TEXT("a-longer-name"))));
    EXPECT_EQ(W(TEXT("")), KeyClass(Child(TEXT("short"))));
}

TEST_F(RegistryRules, CreateMakesIntermediateKeysAndTreeDeletionRemovesThemAll)
{
    CreateKey(Child(TEXT("tree\\a\\b")), TEXT("REG_SZ"));
    EXPECT_TRUE(KeyExists(Child(TEXT("tree"))));
    EXPECT_TRUE(KeyExists(Child(TEXT("tree\\a"))));
    SetString(Child(TEXT("tree\\a")), TEXT("v"), TEXT("x"));
    EXPECT_EQ(W(TEXT("REG_SZ")), KeyClass(Child(TEXT("tree\\a\\b"))));
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegistryTree(HKEY_CURRENT_USER, Child(TEXT("tree")).c_str()));
    EXPECT_FALSE(KeyExists(Child(TEXT("tree"))));
    EXPECT_NE(ERROR_SUCCESS, DeleteRegistryTree(HKEY_CURRENT_USER, Child(TEXT("tree")).c_str()));
    EXPECT_TRUE(KeyExists(root));
    // The reserved argument must be 0; a volatile key (lost on restart) takes only volatile ones.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, AddSubkey(TEXT("r"), 0, 1));
    EXPECT_EQ(ERROR_SUCCESS, AddSubkey(TEXT("v"), REG_OPTION_VOLATILE));
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, AddSubkey(TEXT("v\\lasting")));
}

TEST_F(RegistryRules, ValuesHoldExactlyTheBytesGivenAndReportTheNeededSize)
{
    SetString(root, TEXT("text"), TEXT("0123456789"));
    BYTE buffer[8];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(key, TEXT("text"), NULL, NULL, buffer, &size));
    EXPECT_EQ(22u, size);
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(key, TEXT("missing"), NULL, NULL, buffer, &size));

    Bytes unterminated = {'a', 0, 'b'}; // odd length, no terminator
    SetValue(root, TEXT("odd"), REG_SZ, unterminated);
    SetValue(root, TEXT("empty"), REG_MULTI_SZ, Bytes());
    EXPECT_EQ(unterminated, ValueData(root, TEXT("odd")));
    DWORD type = 0;
    EXPECT_TRUE(ValueData(root, TEXT("empty"), &type).empty());
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
}

// A key of hundreds of values and subkeys keeps answering lookups, counts and maxima exactly
// while it changes through an open handle, as a copy's walk changes it.
TEST_F(RegistryRules, AKeyOfManyValuesAndSubkeysAnswersExactlyWhileItChanges)
{
    const int count = 500;
    // Names of 8 to 10 units; data of up to 96 bytes, except one value far longer in both.
    for (int which = 0; which < count; ++which)
        ASSERT_EQ(ERROR_SUCCESS,
                  SetFilled(TEXT("V") + Number(which, 7 + which % 3), 1 + which % 96, which));
    const WString longest = TEXT("TheLongestValueNameOfAll");
    ASSERT_EQ(ERROR_SUCCESS, SetFilled(longest, 300, 1));
    DWORD name = 0, data = 0;
    EXPECT_EQ(count + 1u, QueryCount(false, &name, &data));
    EXPECT_EQ(longest.size(), name);
    EXPECT_EQ(300u, data);

    // Growing one value raises the maximum; shrinking and deleting the longest lower it.
    ASSERT_EQ(ERROR_SUCCESS, SetFilled(TEXT("v") + Number(7, 8), 400, 2));
    QueryCount(false, &name, &data);
    EXPECT_EQ(400u, data);
    ASSERT_EQ(ERROR_SUCCESS, SetFilled(TEXT("V") + Number(7, 8), 5, 3));
    QueryCount(false, &name, &data);
    EXPECT_EQ(300u, data);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, TEXT("THELONGESTVALUENAMEOFALL")));
    const WString middle = TEXT("V") + Number(100, 8);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, middle.c_str()));
    EXPECT_EQ(count - 1u, QueryCount(false, &name, &data));
    EXPECT_EQ(10u, name);
    EXPECT_EQ(96u, data);

    // Every value found by name in any case, with its own data, also those created after
    // a deleted one; the deleted names are gone.
    for (int which : {0, 7, 250, count - 1})
    {
        WString wanted = TEXT("v") + Number(which, 7 + which % 3);
        DWORD type = 0;
        BYTE buffer[512];
        DWORD size = sizeof(buffer);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, wanted.c_str(), NULL, &type, buffer, &size));
        Bytes expected = which == 7 ? Bytes(5, 3) : Bytes(1 + which % 96, (BYTE)which);
        EXPECT_EQ(expected, Bytes(buffer, buffer + size)) << ToUtf8(wanted);
    }
    for (const WString& deleted : {longest, middle})
    {
        DWORD size = 0;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegQueryValueExW(key, deleted.c_str(), NULL, NULL, NULL, &size));
    }

    const WString longestKey = TEXT("TheLongestSubkeyNameOfAll");
    for (int which = count - 1; which >= 0; --which)
        ASSERT_EQ(ERROR_SUCCESS, AddSubkey(TEXT("K") + Number(which, 4)));
    ASSERT_EQ(ERROR_SUCCESS, AddSubkey(longestKey));
    EXPECT_EQ(count + 1u, QueryCount(true, &name));
    EXPECT_EQ(longestKey.size(), name);
    std::vector<WString> names = SubkeyNames(root);
    ASSERT_EQ(count + 1u, names.size());
    EXPECT_EQ(W(TEXT("K0250")), names[250]);

    // Removing keys, the longest among them, then adding one: the enumeration follows each
    // change at once.
    for (LPCWSTR removed :
         {TEXT("k0000"), TEXT("K0250"), TEXT("K0499"), TEXT("THELONGESTSUBKEYNAMEOFALL")})
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(key, removed));
    EXPECT_EQ(count - 3u, QueryCount(true, &name));
    EXPECT_EQ(5u, name);
    names = SubkeyNames(root);
    ASSERT_EQ(count - 3u, names.size());
    EXPECT_EQ(W(TEXT("K0001")), names.front());
    EXPECT_EQ(W(TEXT("K0251")), names[249]);
    EXPECT_EQ(W(TEXT("K0498")), names.back());

    ASSERT_EQ(ERROR_SUCCESS, AddSubkey(TEXT("k0250a")));
    EXPECT_EQ(count - 2u, QueryCount(true, &name));
    EXPECT_EQ(6u, name);
    names = SubkeyNames(root);
    ASSERT_EQ(count - 2u, names.size());
    EXPECT_EQ(W(TEXT("k0250a")), names[249]);
    EXPECT_EQ(W(TEXT("K0251")), names[250]);
}

} // namespace
