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

namespace
{

WString Join(const WString& base, const WString& name)
{
    if (base.empty())
        return name;
    if (name.empty())
        return base;
    return base + TEXT("\\") + name;
}

void CollectValues(const WString& root, const WString& relative,
                   std::map<WString, StoredValue>* values)
{
    WString path = Join(root, relative);
    for (const WString& name : ValueNames(path))
    {
        StoredValue value = {0, Bytes()};
        EXPECT_TRUE(ReadValue(path, name, &value.type, &value.data));
        (*values)[relative + TEXT("|") + name] = value;
    }
    for (const WString& subkey : SubkeyNames(path))
        CollectValues(root, Join(relative, subkey), values);
}

void CollectClasses(const WString& root, const WString& relative,
                    std::map<WString, WString>* classes)
{
    for (const WString& subkey : SubkeyNames(Join(root, relative)))
    {
        WString child = Join(relative, subkey);
        (*classes)[child] = KeyClass(Join(root, child));
        CollectClasses(root, child, classes);
    }
}

Bytes DwordBytes(DWORD number)
{
    const BYTE* begin = (const BYTE*)&number;
    return Bytes(begin, begin + sizeof(number));
}

} // namespace

std::map<WString, StoredValue> TreeValues(const WString& path)
{
    std::map<WString, StoredValue> values;
    CollectValues(path, WString(), &values);
    return values;
}

std::map<WString, WString> TreeKeyClasses(const WString& path)
{
    std::map<WString, WString> classes;
    CollectClasses(path, WString(), &classes);
    return classes;
}

std::vector<WString> TreeKeyPaths(const WString& path)
{
    std::vector<WString> paths;
    for (const auto& entry : TreeKeyClasses(path))
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
