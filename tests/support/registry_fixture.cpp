// Registry fixtures and the tree reader through the platform's own Reg* calls, the same code in
// both builds, and the rule that a set-up step that fails ends the test.
#include "tests/support/test_support.h"

#include "store/style_store.h"

#ifndef _WIN32
#include "platform/host/host_test_hooks.h"
#endif

#include <ostream>
#include <stdexcept>

const WCHAR IME_ROOT_KEY[] =
    TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\Ime\\Japan\\IME98");

std::string ToUtf8(const WString& text)
{
#ifdef _WIN32
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
#else
    return HostToUtf8(text.c_str());
#endif
}

WString Number(int number, size_t width)
{
    std::string digits = std::to_string(number);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return WString(digits.begin(), digits.end());
}

void RequireSetUp(bool done, const char* step, const WString& subject, Caller caller)
{
    if (done)
        return;
    std::string what = std::string("set-up failed: ") + step + ": " + ToUtf8(subject);
    ADD_FAILURE_AT(caller.file, caller.line) << what;
    throw std::runtime_error(what);
}

WString StylePath(const WString& name)
{
    return WString(STYLE_LIST_KEY) + TEXT("\\") + name;
}

namespace
{

// Creates or opens the key; NULL when the registry refuses.
HKEY CreateOrOpen(const WString& path, LPCWSTR keyClass)
{
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, (LPWSTR)keyClass, 0,
                        PLATFORM_KEY_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

HKEY Open(const WString& path)
{
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
        return NULL;
    return key;
}

// The names RegEnumKeyExW (subkeys) or RegEnumValueW gives, in its order.
std::vector<WString> EnumerateNames(const WString& path, bool subkeys)
{
    std::vector<WString> names;
    HKEY key = Open(path);
    if (!key)
        return names;
    std::vector<WCHAR> name(16384);
    for (DWORD index = 0;; ++index)
    {
        DWORD length = (DWORD)name.size();
        LONG status = subkeys
                          ? RegEnumKeyExW(key, index, name.data(), &length, NULL, NULL, NULL, NULL)
                          : RegEnumValueW(key, index, name.data(), &length, NULL, NULL, NULL, NULL);
        if (status != ERROR_SUCCESS)
            break;
        names.push_back(WString(name.data(), length));
    }
    RegCloseKey(key);
    return names;
}

} // namespace

void CreateKey(const WString& path, LPCWSTR keyClass, Caller caller)
{
    HKEY key = CreateOrOpen(path, keyClass);
    RequireSetUp(key != NULL, "create key", path, caller);
    RegCloseKey(key);
}

void SetValue(const WString& path, const WString& name, DWORD type, const Bytes& data,
              Caller caller)
{
    HKEY key = CreateOrOpen(path, NULL);
    RequireSetUp(key != NULL, "create key", path, caller);
    LONG status = RegSetValueExW(key, name.c_str(), 0, type, data.data(), (DWORD)data.size());
    RegCloseKey(key);
    RequireSetUp(status == ERROR_SUCCESS, "set value", name, caller);
}

Bytes TextBytes(const WString& text)
{
    return UnitBytes(text + WCHAR(0));
}

Bytes UnitBytes(const WString& text)
{
    const BYTE* begin = (const BYTE*)text.data();
    return Bytes(begin, begin + text.size() * sizeof(WCHAR));
}

void SetString(const WString& path, const WString& name, const WString& text, Caller caller)
{
    SetValue(path, name, REG_SZ, TextBytes(text), caller);
}

Bytes MultiString(const std::vector<WString>& strings)
{
    WString joined;
    for (const WString& text : strings)
        joined += text + WString(1, 0);
    return TextBytes(joined);
}

void SetStandardStyleValue(const WString& name, Caller caller)
{
    SetString(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, name, caller);
}

HKEY OpenKey(const WString& path, Caller caller)
{
    HKEY key = Open(path);
    RequireSetUp(key != NULL, "open key", path, caller);
    return key;
}

bool KeyExists(const WString& path)
{
    HKEY key = Open(path);
    if (key)
        RegCloseKey(key);
    return key != NULL;
}

bool ReadValue(const WString& path, const WString& name, DWORD* type, Bytes* data)
{
    HKEY key = Open(path);
    if (!key)
        return false;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), NULL, type, NULL, &size);
    if (status == ERROR_SUCCESS)
    {
        data->assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), NULL, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

Bytes ValueData(const WString& path, const WString& name, DWORD* type, Caller caller)
{
    DWORD read = 0;
    Bytes data;
    if (!ReadValue(path, name, &read, &data))
        ADD_FAILURE_AT(caller.file, caller.line) << "no value " << ToUtf8(name);
    if (type)
        *type = read;
    return data;
}

WString KeyClass(const WString& path)
{
    HKEY key = Open(path);
    if (!key)
    {
        ADD_FAILURE() << "no key to read the class of";
        return WString();
    }
    WCHAR keyClass[256] = {0};
    DWORD length = 256;
    LONG status = RegQueryInfoKeyW(key, keyClass, &length, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
                                   NULL, NULL);
    RegCloseKey(key);
    EXPECT_EQ(ERROR_SUCCESS, status);
    return WString(keyClass, length);
}

std::vector<WString> SubkeyNames(const WString& path)
{
    return EnumerateNames(path, true);
}

std::vector<WString> ValueNames(const WString& path)
{
    return EnumerateNames(path, false);
}

void DeleteTree(const WString& path)
{
    DeleteRegistryTree(HKEY_CURRENT_USER, path.c_str());
}

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

} // namespace

TreeContent ReadTree(const WString& path)
{
    TreeContent content;
    HKEY key = Open(path);
    if (!key)
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
