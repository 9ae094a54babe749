// Registry fixtures through the platform's own Reg* calls, the same code in both builds.
#include "tests/support/test_support.h"

#include "store/style_store.h"

const WCHAR IME_ROOT_KEY[] =
    TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\Ime\\Japan\\IME98");

WString StylePath(const WString& name)
{
    return WString(STYLE_LIST_KEY) + TEXT("\\") + name;
}

void CreateKey(const WString& path, LPCWSTR keyClass)
{
    HKEY key;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, (LPWSTR)keyClass, 0,
                                  PLATFORM_KEY_ACCESS, NULL, &key, NULL);
    ASSERT_EQ(ERROR_SUCCESS, status);
    RegCloseKey(key);
}

void SetValue(const WString& path, const WString& name, DWORD type, const Bytes& data)
{
    HKEY key;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, PLATFORM_KEY_ACCESS,
                                  NULL, &key, NULL);
    ASSERT_EQ(ERROR_SUCCESS, status);
    status = RegSetValueExW(key, name.c_str(), 0, type, data.data(), (DWORD)data.size());
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, status);
}

Bytes TextBytes(const WString& text)
{
    const BYTE* begin = (const BYTE*)text.c_str();
    return Bytes(begin, begin + (text.size() + 1) * sizeof(WCHAR));
}

void SetString(const WString& path, const WString& name, const WString& text)
{
    SetValue(path, name, REG_SZ, TextBytes(text));
}

Bytes MultiString(const std::vector<WString>& strings)
{
    WString joined;
    for (const WString& text : strings)
        joined += text + WString(1, 0);
    return TextBytes(joined);
}

void SetStandardStyleValue(const WString& name)
{
    SetString(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, name);
}

bool KeyExists(const WString& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadValue(const WString& path, const WString& name, DWORD* type, Bytes* data)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
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

WString KeyClass(const WString& path)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
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
    std::vector<WString> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index)
    {
        WCHAR name[512];
        DWORD length = 512;
        if (RegEnumKeyExW(key, index, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(WString(name, length));
    }
    RegCloseKey(key);
    return names;
}

std::vector<WString> ValueNames(const WString& path)
{
    std::vector<WString> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, PLATFORM_KEY_ACCESS, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index)
    {
        WCHAR name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(key, index, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.push_back(WString(name, length));
    }
    RegCloseKey(key);
    return names;
}

void DeleteTree(const WString& path)
{
    DeleteRegistryTree(HKEY_CURRENT_USER, path.c_str());
}
