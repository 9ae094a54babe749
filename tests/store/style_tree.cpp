#include "tests/store/style_tree.h"

#include <ostream>

const WCHAR LONG_SUBKEY_NAME[] = TEXT("AVeryLongSubkeyNameThatIsFortyUnitsLong!");

bool operator==(const StoredValue& left, const StoredValue& right)
{
    return left.type == right.type && left.data == right.data;
}

void PrintTo(const StoredValue& value, std::ostream* out)
{
    *out << "type " << value.type << ", " << value.data.size() << " bytes";
}

WString JoinPath(const WString& base, const WString& name)
{
    return base.empty() ? name : base + TEXT("\\") + name;
}

namespace
{

// Reads the open key's values and, below it, every subkey's class and content. A registry call
// that fails is reported, and what it would have read is missing from the content.
void ReadOpenKey(HKEY key, const WString& relative, TreeContent* content)
{
    WCHAR keyClass[64] = {0};
    DWORD classLength = 64;
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    LONG status = RegQueryInfoKeyW(key, keyClass, &classLength, NULL, &subkeys, &longestSubkey,
                                   NULL, &values, &longestName, &longestData, NULL, NULL);
    EXPECT_EQ(ERROR_SUCCESS, status) << "query of " << ToUtf8(relative);
    if (status != ERROR_SUCCESS)
        return;
    if (!relative.empty())
        content->classes[relative] = WString(keyClass, classLength);
    std::vector<WCHAR> name(longestName + 1);
    Bytes data(longestData);
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD nameLength = (DWORD)name.size();
        DWORD dataLength = (DWORD)data.size();
        StoredValue value = {0, Bytes()};
        EXPECT_EQ(ERROR_SUCCESS, RegEnumValueW(key, index, name.data(), &nameLength, NULL,
                                               &value.type, data.data(), &dataLength));
        value.data.assign(data.begin(), data.begin() + dataLength);
        content->values[relative + TEXT("|") + WString(name.data(), nameLength)] = value;
    }
    std::vector<WCHAR> subkey(longestSubkey + 1);
    for (DWORD index = 0; index < subkeys; ++index)
    {
        DWORD length = (DWORD)subkey.size();
        HKEY opened;
        if (RegEnumKeyExW(key, index, subkey.data(), &length, NULL, NULL, NULL, NULL) !=
                ERROR_SUCCESS ||
            RegOpenKeyExW(key, subkey.data(), 0, PLATFORM_KEY_ACCESS, &opened) != ERROR_SUCCESS)
        {
            ADD_FAILURE() << "subkey " << index << " of " << ToUtf8(relative) << " not read";
            continue;
        }
        ReadOpenKey(opened, JoinPath(relative, WString(subkey.data(), length)), content);
        RegCloseKey(opened);
    }
}

Bytes DwordBytes(DWORD number)
{
    const BYTE* begin = (const BYTE*)&number;
    return Bytes(begin, begin + sizeof(number));
}

} // namespace

TreeContent ReadTree(const WString& path)
{
    TreeContent content;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
    {
        ADD_FAILURE() << "no key " << ToUtf8(path) << " to read";
        return content;
    }
    ReadOpenKey(key, WString(), &content);
    RegCloseKey(key);
    return content;
}

std::map<WString, StoredValue> TreeValues(const WString& path)
{
    return ReadTree(path).values;
}

std::vector<WString> TreeKeyPaths(const WString& path)
{
    std::vector<WString> paths;
    for (const auto& entry : ReadTree(path).classes)
        paths.push_back(entry.first);
    return paths;
}

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
