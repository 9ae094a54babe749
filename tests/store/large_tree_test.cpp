// Copying styles far larger than any the input method ships: a chain of keys a hundred levels
// deep, and a key with thousands of subkeys. The copy must arrive whole and leave no handle
// open. A key with hundreds of values and subkeys must also keep answering lookups, counts
// and maxima exactly while it changes. Fixtures are built and read back through handles relative to
// their parent, so that no path grows with the depth, and with as few registry calls as will do:
// under Wine each costs tens of microseconds.
#include "tests/store/style_tree.h"

#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

#include <string>

namespace
{

const int DEEP_LEVELS = 100;
const int WIDE_SUBKEYS = 5000;

// A tree as the registry holds it: every value by "relative key path|value name", and the
// class of every key beneath the root by relative path.
struct TreeContent
{
    std::map<WString, StoredValue> values;
    std::map<WString, WString> classes;
};

WString Number(int number, size_t width)
{
    std::string digits = std::to_string(number);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return WString(digits.begin(), digits.end());
}

WString JoinPath(const WString& base, const WString& name)
{
    return base.empty() ? name : base + TEXT("\\") + name;
}

// Reads the open key's values and, below it, every subkey's class and content. `keyClass` and
// its shape come from one query.
void ReadTree(HKEY key, const WString& relative, TreeContent* content)
{
    WCHAR keyClass[64] = {0};
    DWORD classLength = 64;
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, keyClass, &classLength, NULL, &subkeys, &longestSubkey, NULL,
                               &values, &longestName, &longestData, NULL, NULL));
    if (!relative.empty())
        content->classes[relative] = WString(keyClass, classLength);
    std::vector<WCHAR> name(longestName + 1);
    Bytes data(longestData);
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD nameLength = (DWORD)name.size();
        DWORD dataLength = (DWORD)data.size();
        StoredValue value = {0, Bytes()};
        ASSERT_EQ(ERROR_SUCCESS, RegEnumValueW(key, index, name.data(), &nameLength, NULL,
                                               &value.type, data.data(), &dataLength));
        value.data.assign(data.begin(), data.begin() + dataLength);
        content->values[relative + TEXT("|") + WString(name.data(), nameLength)] = value;
    }
    std::vector<WCHAR> subkey(longestSubkey + 1);
    for (DWORD index = 0; index < subkeys; ++index)
    {
        DWORD length = (DWORD)subkey.size();
        ASSERT_EQ(ERROR_SUCCESS,
                  RegEnumKeyExW(key, index, subkey.data(), &length, NULL, NULL, NULL, NULL));
        HKEY opened;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExW(key, subkey.data(), 0, PLATFORM_KEY_ACCESS, &opened));
        ReadTree(opened, JoinPath(relative, WString(subkey.data(), length)), content);
        RegCloseKey(opened);
    }
}

TreeContent ReadTreeAt(const WString& path)
{
    TreeContent content;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
    {
        ADD_FAILURE() << "no key to read";
        return content;
    }
    ReadTree(key, WString(), &content);
    RegCloseKey(key);
    return content;
}

std::string Narrow(const WString& text)
{
    std::string out;
    for (WCHAR unit : text)
        out += unit < 0x80 ? (char)unit : '?';
    return out;
}

// Compares entry by entry and names the first few differences: a failure over thousands of
// entries must stay readable.
void ExpectSameValues(const std::map<WString, StoredValue>& expected,
                      const std::map<WString, StoredValue>& actual)
{
    EXPECT_EQ(expected.size(), actual.size());
    int reported = 0;
    for (const auto& entry : expected)
    {
        auto found = actual.find(entry.first);
        if (found != actual.end() && found->second == entry.second)
            continue;
        ADD_FAILURE() << Narrow(entry.first) << (found == actual.end() ? " missing" : " differs");
        if (++reported == 5)
            return;
    }
}

// The copy holds the expected keys, every one made with the program's class.
void ExpectCreatedKeys(const std::map<WString, WString>& expected,
                       const std::map<WString, WString>& copied)
{
    EXPECT_EQ(expected.size(), copied.size());
    int reported = 0;
    for (const auto& entry : expected)
    {
        auto found = copied.find(entry.first);
        if (found != copied.end() && found->second == CREATED_KEY_CLASS)
            continue;
        ADD_FAILURE() << Narrow(entry.first)
                      << (found == copied.end() ? " missing" : " has another class");
        if (++reported == 5)
            return;
    }
}

void SetValueNoted(HKEY key, const WString& relative, const WString& name, DWORD type,
                   const Bytes& data, TreeContent* expected)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, name.c_str(), 0, type, data.data(), (DWORD)data.size()));
    expected->values[relative + TEXT("|") + name] = StoredValue{type, data};
}

// Generated values depend on where their key sits, so that a value landing on the wrong key
// shows.
void SetKeyDefinition(HKEY key, const WString& relative, int which, TreeContent* expected)
{
    WString label = Number(which, 4);
    SetValueNoted(key, relative, TEXT("Key") + label, REG_MULTI_SZ,
                  MultiString({TEXT("変換") + label, TEXT("Ctrl+") + label, TEXT("x")}), expected);
}

// A key definition, a number, and a binary default value.
void SetGeneratedValues(HKEY key, const WString& relative, int which, TreeContent* expected)
{
    SetKeyDefinition(key, relative, which, expected);
    DWORD number = (DWORD)which * 2654435761u;
    const BYTE* numberBytes = (const BYTE*)&number;
    SetValueNoted(key, relative, TEXT("Number"), REG_DWORD,
                  Bytes(numberBytes, numberBytes + sizeof(number)), expected);
    Bytes blob(64 + which % 7);
    for (size_t i = 0; i < blob.size(); ++i)
        blob[i] = (BYTE)(which + i * 13);
    SetValueNoted(key, relative, TEXT(""), REG_BINARY, blob, expected);
}

HKEY CreateUnder(HKEY parent, const WString& name, LPCWSTR keyClass = NULL)
{
    HKEY key = NULL;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(parent, name.c_str(), 0, (LPWSTR)keyClass, 0,
                                             PLATFORM_KEY_ACCESS, NULL, &key, NULL));
    return key;
}

// The style `path` with a chain of `levels` subkeys below it, each key with its own values;
// the source keys have a class of their own, which the copy does not take over.
void BuildDeepStyle(const WString& path, int levels, TreeContent* expected)
{
    HKEY key = CreateUnder(HKEY_CURRENT_USER, path);
    WString relative;
    for (int level = 0; level <= levels && key; ++level)
    {
        SetGeneratedValues(key, relative, level, expected);
        HKEY next = NULL;
        if (level < levels)
        {
            WString name = TEXT("Level") + Number(level + 1, 3);
            next = CreateUnder(key, name, TEXT("source class"));
            relative = JoinPath(relative, name);
            expected->classes[relative] = CREATED_KEY_CLASS;
        }
        RegCloseKey(key);
        key = next;
    }
}

// The style `path` with `count` subkeys directly below it, each with a key definition of its
// own, and one of them with a short chain below it.
void BuildWideStyle(const WString& path, int count, TreeContent* expected)
{
    HKEY style = CreateUnder(HKEY_CURRENT_USER, path);
    if (!style)
        return;
    SetGeneratedValues(style, WString(), count, expected);
    for (int which = 0; which < count; ++which)
    {
        // Mixed case and widths, so that the registry's name order is not the creation order.
        WString name = (which % 2 ? TEXT("entry") : TEXT("Entry")) + Number(which, which % 3 + 1);
        HKEY key = CreateUnder(style, name);
        if (!key)
            break;
        expected->classes[name] = CREATED_KEY_CLASS;
        SetKeyDefinition(key, name, which, expected);
        if (which == count / 2)
        {
            HKEY below = CreateUnder(key, TEXT("Below\\Further"));
            if (below)
                SetGeneratedValues(below, name + TEXT("\\Below\\Further"), count + 1, expected);
            RegCloseKey(below);
            expected->classes[name + TEXT("\\Below")] = CREATED_KEY_CLASS;
            expected->classes[name + TEXT("\\Below\\Further")] = CREATED_KEY_CLASS;
        }
        RegCloseKey(key);
    }
    RegCloseKey(style);
}

// Removes a wide key's direct subkeys one call each, the few with subkeys of their own as
// trees, then the key: a tree deletion under Wine walks each key with several calls, which
// for thousands of keys takes seconds.
void RemoveWideKey(const WString& path)
{
    std::vector<WString> names = SubkeyNames(path);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    for (const WString& name : names)
    {
        if (RegDeleteKeyW(key, name.c_str()) != ERROR_SUCCESS)
            DeleteTree(JoinPath(path, name));
    }
    RegCloseKey(key);
    DeleteTree(path);
}

class LargeTree : public StoreTest
{
  protected:
    // Copies the style `name` through the command, as the user would: select, answer Yes,
    // acknowledge the notice.
    void CopyThroughTheCommand(const WString& name)
    {
        RefreshStyleList(windows.dialog());
        std::vector<WString> entries = windows.ListEntries();
        for (size_t i = 0; i < entries.size(); ++i)
        {
            if (entries[i] == name)
                windows.Select((int)i);
        }
        ASSERT_EQ(name, windows.SelectedText());
        user.WillAnswer(IDYES);
        user.WillAnswer(IDOK);
        CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
        ASSERT_EQ(2u, user.boxes().size());
        EXPECT_EQ(W(TEXT("Custom にコピーしました")), user.boxes()[1].text);
    }
};

} // namespace

TEST_F(LargeTree, AStyleAHundredLevelsDeepIsCopiedWhole)
{
    TreeContent expected;
    BuildDeepStyle(StylePath(TEXT("Deep")), DEEP_LEVELS, &expected);
    ASSERT_EQ((size_t)DEEP_LEVELS, expected.classes.size());

    CopyThroughTheCommand(TEXT("Deep"));

    TreeContent copy = ReadTreeAt(CUSTOM_STYLE_KEY);
    ExpectSameValues(expected.values, copy.values);
    ExpectCreatedKeys(expected.classes, copy.classes);
    WString deepest;
    for (int level = 1; level <= DEEP_LEVELS; ++level)
        deepest = JoinPath(deepest, TEXT("Level") + Number(level, 3));
    EXPECT_TRUE(copy.values.count(deepest + TEXT("|Key0100")));
}

TEST_F(LargeTree, AStyleWithFiveThousandSubkeysIsCopiedWhole)
{
    WString source = StylePath(TEXT("Wide"));
    TreeContent expected;
    BuildWideStyle(source, WIDE_SUBKEYS, &expected);
    // The subkeys, and the two keys of the chain below one of them.
    ASSERT_EQ(WIDE_SUBKEYS + 2u, expected.classes.size());

    CopyThroughTheCommand(TEXT("Wide"));

    TreeContent copy = ReadTreeAt(CUSTOM_STYLE_KEY);
    ExpectSameValues(expected.values, copy.values);
    ExpectCreatedKeys(expected.classes, copy.classes);
    RemoveWideKey(CUSTOM_STYLE_KEY);
    RemoveWideKey(source);
}

namespace
{

DWORD QueryCount(HKEY key, bool subkeys, DWORD* longestName, DWORD* longestData)
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

Bytes Filled(size_t size, int which)
{
    return Bytes(size, (BYTE)which);
}

} // namespace

TEST_F(LargeTree, AKeyOfManyValuesAnswersExactlyWhileItChanges)
{
    const int count = 500;
    WString path = WString(IME_ROOT_KEY) + TEXT("\\ManyValues");
    HKEY key = CreateUnder(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key != NULL);
    // Names of 8 to 10 units; data of up to 96 bytes, except one value far longer in both.
    for (int which = 0; which < count; ++which)
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, (TEXT("V") + Number(which, 7 + which % 3)).c_str(), 0,
                                 REG_BINARY, Filled(1 + which % 96, which).data(), 1 + which % 96));
    const WString longest = TEXT("TheLongestValueNameOfAll");
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, longest.c_str(), 0, REG_BINARY, Filled(300, 1).data(), 300));
    DWORD name = 0, data = 0;
    EXPECT_EQ(count + 1u, QueryCount(key, false, &name, &data));
    EXPECT_EQ(longest.size(), name);
    EXPECT_EQ(300u, data);

    // Growing one value raises the maximum; shrinking and deleting the longest lower it.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, (TEXT("v") + Number(7, 8)).c_str(), 0, REG_BINARY,
                                            Filled(400, 2).data(), 400));
    QueryCount(key, false, &name, &data);
    EXPECT_EQ(400u, data);
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, (TEXT("V") + Number(7, 8)).c_str(), 0, REG_BINARY,
                                            Filled(5, 3).data(), 5));
    QueryCount(key, false, &name, &data);
    EXPECT_EQ(300u, data);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, TEXT("THELONGESTVALUENAMEOFALL")));
    const WString middle = TEXT("V") + Number(100, 8);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, middle.c_str()));
    EXPECT_EQ(count - 1u, QueryCount(key, false, &name, &data));
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
        Bytes expected = which == 7 ? Filled(5, 3) : Filled(1 + which % 96, which);
        EXPECT_EQ(expected, Bytes(buffer, buffer + size)) << Narrow(wanted);
    }
    for (const WString& deleted : {longest, middle})
    {
        DWORD size = 0;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegQueryValueExW(key, deleted.c_str(), NULL, NULL, NULL, &size));
    }
    RegCloseKey(key);
}

TEST_F(LargeTree, AKeyOfManySubkeysEnumeratesExactlyWhileItChanges)
{
    const int count = 500;
    WString path = WString(IME_ROOT_KEY) + TEXT("\\ManySubkeys");
    HKEY key = CreateUnder(HKEY_CURRENT_USER, path);
    ASSERT_TRUE(key != NULL);
    const WString longest = TEXT("TheLongestSubkeyNameOfAll");
    for (int which = count - 1; which >= 0; --which)
        RegCloseKey(CreateUnder(key, TEXT("K") + Number(which, 4)));
    RegCloseKey(CreateUnder(key, longest));
    DWORD name = 0;
    EXPECT_EQ(count + 1u, QueryCount(key, true, &name, NULL));
    EXPECT_EQ(longest.size(), name);
    std::vector<WString> names = SubkeyNames(path);
    ASSERT_EQ(count + 1u, names.size());
    EXPECT_EQ(W(TEXT("K0250")), names[250]);

    // Removing keys, the longest among them, then adding one: the enumeration follows each
    // change at once.
    for (LPCWSTR removed :
         {TEXT("k0000"), TEXT("K0250"), TEXT("K0499"), TEXT("THELONGESTSUBKEYNAMEOFALL")})
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(key, removed));
    EXPECT_EQ(count - 3u, QueryCount(key, true, &name, NULL));
    EXPECT_EQ(5u, name);
    names = SubkeyNames(path);
    ASSERT_EQ(count - 3u, names.size());
    EXPECT_EQ(W(TEXT("K0001")), names.front());
    EXPECT_EQ(W(TEXT("K0251")), names[249]);
    EXPECT_EQ(W(TEXT("K0498")), names.back());

    RegCloseKey(CreateUnder(key, TEXT("k0250a")));
    EXPECT_EQ(count - 2u, QueryCount(key, true, &name, NULL));
    EXPECT_EQ(6u, name);
    names = SubkeyNames(path);
    ASSERT_EQ(count - 2u, names.size());
    EXPECT_EQ(W(TEXT("k0250a")), names[249]);
    EXPECT_EQ(W(TEXT("K0251")), names[250]);
    RegCloseKey(key);
}
