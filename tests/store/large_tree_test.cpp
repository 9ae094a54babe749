// Copying styles far larger than any the input method ships: a chain of keys a hundred levels
// deep, and a key with thousands of subkeys. The copy must arrive whole and leave no handle
// open. Fixtures are built and read back through handles relative to their parent, so that no
// path grows with the depth, and with as few registry calls as will do: under Wine each costs
// tens of microseconds.
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

#include <string>

namespace
{

const int DEEP_LEVELS = 100;
const int WIDE_SUBKEYS = 5000;

// Compares entry by entry and names the first few differences: a failure over thousands of
// entries must stay readable. The expected classes are all the program's class.
template <typename Entries> void ExpectSameEntries(const Entries& expected, const Entries& actual)
{
    EXPECT_EQ(expected.size(), actual.size());
    int reported = 0;
    for (const auto& entry : expected)
    {
        auto found = actual.find(entry.first);
        if (found != actual.end() && found->second == entry.second)
            continue;
        ADD_FAILURE() << ToUtf8(entry.first) << (found == actual.end() ? " missing" : " differs");
        if (++reported == 5)
            return;
    }
}

void SetValueNoted(HKEY key, const WString& relative, const WString& name, DWORD type,
                   const Bytes& data, TreeContent* expected, Caller caller = {})
{
    RequireSetUp(RegSetValueExW(key, name.c_str(), 0, type, data.data(), (DWORD)data.size()) ==
                     ERROR_SUCCESS,
                 "set value", name, caller);
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

HKEY CreateUnder(HKEY parent, const WString& name, LPCWSTR keyClass = NULL, Caller caller = {})
{
    HKEY key = NULL;
    RequireSetUp(RegCreateKeyExW(parent, name.c_str(), 0, (LPWSTR)keyClass, 0, PLATFORM_KEY_ACCESS,
                                 NULL, &key, NULL) == ERROR_SUCCESS,
                 "create key", name, caller);
    return key;
}

// The style `path` with a chain of `levels` subkeys below it, each key with its own values;
// the source keys have a class of their own, which the copy does not take over.
void BuildDeepStyle(const WString& path, int levels, TreeContent* expected)
{
    HKEY key = CreateUnder(HKEY_CURRENT_USER, path);
    WString relative;
    for (int level = 0; level <= levels; ++level)
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
    SetGeneratedValues(style, WString(), count, expected);
    for (int which = 0; which < count; ++which)
    {
        // Mixed case and widths, so that the registry's name order is not the creation order.
        WString name = (which % 2 ? TEXT("entry") : TEXT("Entry")) + Number(which, which % 3 + 1);
        HKEY key = CreateUnder(style, name);
        expected->classes[name] = CREATED_KEY_CLASS;
        SetKeyDefinition(key, name, which, expected);
        if (which == count / 2)
        {
            HKEY below = CreateUnder(key, TEXT("Below\\Further"));
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
        windows.SelectByText(name);
        user.WillAnswer({IDYES, IDOK});
        CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
        ASSERT_EQ(2u, user.boxes().size());
        ASSERT_TRUE(user.Showed(1, COPIED, name));
    }
};

} // namespace

TEST_F(LargeTree, AStyleAHundredLevelsDeepIsCopiedWhole)
{
    TreeContent expected;
    BuildDeepStyle(StylePath(TEXT("Deep")), DEEP_LEVELS, &expected);
    ASSERT_EQ((size_t)DEEP_LEVELS, expected.classes.size());

    ASSERT_NO_FATAL_FAILURE(CopyThroughTheCommand(TEXT("Deep")));

    TreeContent copy = ReadTree(CUSTOM_STYLE_KEY);
    ExpectSameEntries(expected.values, copy.values);
    ExpectSameEntries(expected.classes, copy.classes);
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

    ASSERT_NO_FATAL_FAILURE(CopyThroughTheCommand(TEXT("Wide")));

    TreeContent copy = ReadTree(CUSTOM_STYLE_KEY);
    ExpectSameEntries(expected.values, copy.values);
    ExpectSameEntries(expected.classes, copy.classes);
    RemoveWideKey(CUSTOM_STYLE_KEY);
    RemoveWideKey(source);
}
