#include "bench/bench_data.h"

#include "base/buffer_slack.h"
#include "keyfile/export.h"
#include "store/style_store.h"

namespace
{

const WCHAR* const KEYS[] = {
    TEXT("Henkan"), TEXT("Muhenkan"), TEXT("Space"),
    TEXT("Enter"),  TEXT("Escape"),   TEXT("Backspace"),
    TEXT("Tab"),    TEXT("F6"),       TEXT("F7"),
    TEXT("F8"),     TEXT("F9"),       TEXT("F10"),
    TEXT("Up"),     TEXT("Down"),     TEXT("Left"),
    TEXT("Right"),  TEXT("Kana"),     TEXT("ZenkakuHankaku"),
};
const WCHAR* const MODIFIERS[] = {
    TEXT(""), TEXT("Ctrl+"), TEXT("Shift+"), TEXT("Ctrl+Shift+"), TEXT("Alt+"),
};
const WCHAR* const STATES[] = {
    TEXT("Input"),
    TEXT("Conversion"),
    TEXT("Candidates"),
    TEXT("Direct"),
};
const WCHAR* const TEXTS[] = {
    TEXT("再変換"),
    TEXT("全角英数に変換"),
    TEXT("ひらがなに変換"),
    TEXT("文節長を縮める"),
    TEXT("IME オン/オフ"),
    TEXT("候補一覧を表示"),
    TEXT("確定"),
    TEXT("ｶﾀｶﾅ"),
    TEXT("Convert"),
    TEXT("Ctrl+Space"),
    TEXT("Shift+F10"),
    TEXT("ReconvertSelection"),
    TEXT("次の候補 (Next candidate)"),
    TEXT("Cancel all"),
};

template <typename T, size_t N> size_t CountOf(T (&)[N])
{
    return N;
}

WString Number(unsigned number)
{
    std::string digits = std::to_string(number);
    while (digits.size() < 5)
        digits.insert(digits.begin(), '0');
    return WString(digits.begin(), digits.end());
}

// A small generator of its own, so that every build and run sees the same data.
unsigned Next(unsigned* state)
{
    *state = *state * 1103515245u + 12345u;
    return (*state >> 16) & 0x7FFF;
}

void AppendUnits(std::vector<BYTE>* data, const WString& text)
{
    const BYTE* begin = (const BYTE*)text.c_str();
    data->insert(data->end(), begin, begin + (text.size() + 1) * sizeof(WCHAR));
}

} // namespace

std::vector<KeyDefinition> MakeKeyDefinitions(int count)
{
    std::vector<KeyDefinition> definitions;
    definitions.reserve(count);
    unsigned state = 20240601u;
    for (int i = 0; i < count; ++i)
    {
        KeyDefinition definition;
        definition.name = WString(STATES[Next(&state) % CountOf(STATES)]) + TEXT(".") +
                          MODIFIERS[Next(&state) % CountOf(MODIFIERS)] +
                          KEYS[Next(&state) % CountOf(KEYS)] + TEXT(".") + Number(i);
        int strings = 2 + Next(&state) % 7;
        for (int s = 0; s < strings; ++s)
            AppendUnits(&definition.data, TEXTS[Next(&state) % CountOf(TEXTS)]);
        AppendUnits(&definition.data, WString());
        definitions.push_back(definition);
    }
    return definitions;
}

HKEY RecreateKey(LPCWSTR path)
{
    DeleteRegistryTree(HKEY_CURRENT_USER, path);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, (LPWSTR)CREATED_KEY_CLASS, 0,
                        PLATFORM_KEY_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
}

BOOL StoreDefinitions(HKEY key, const std::vector<KeyDefinition>& definitions)
{
    for (const KeyDefinition& definition : definitions)
    {
        if (RegSetValueExW(key, definition.name.c_str(), 0, REG_MULTI_SZ, definition.data.data(),
                           (DWORD)definition.data.size()) != ERROR_SUCCESS)
            return FALSE;
    }
    return TRUE;
}

namespace
{

BOOL CreateWithDefinition(HKEY parent, const WString& name, const KeyDefinition& definition,
                          HKEY* key)
{
    if (RegCreateKeyExW(parent, name.c_str(), 0, NULL, 0, PLATFORM_KEY_ACCESS, NULL, key, NULL) !=
        ERROR_SUCCESS)
        return FALSE;
    if (RegSetValueExW(*key, definition.name.c_str(), 0, REG_MULTI_SZ, definition.data.data(),
                       (DWORD)definition.data.size()) == ERROR_SUCCESS)
        return TRUE;
    RegCloseKey(*key);
    return FALSE;
}

} // namespace

BOOL BuildStyleTree(LPCWSTR name, int keys)
{
    WString path = WString(STYLE_LIST_KEY) + TEXT("\\") + name;
    HKEY style = RecreateKey(path.c_str());
    if (!style)
        return FALSE;
    std::vector<KeyDefinition> definitions = MakeKeyDefinitions(keys);
    int groups = keys / 100 > 0 ? keys / 100 : 1;
    BOOL built = TRUE;
    int made = 0;
    for (int group = 0; group < groups && built; ++group)
    {
        HKEY groupKey;
        built = CreateWithDefinition(style, TEXT("Group") + Number(group), definitions[made++],
                                     &groupKey);
        if (!built)
            break;
        // The groups share out the keys left, the first ones taking any remainder.
        int below = (keys - groups) / groups + (group < (keys - groups) % groups ? 1 : 0);
        for (int i = 0; i < below && built; ++i)
        {
            HKEY leaf;
            built =
                CreateWithDefinition(groupKey, TEXT("Key") + Number(i), definitions[made++], &leaf);
            if (built)
                RegCloseKey(leaf);
        }
        RegCloseKey(groupKey);
    }
    RegCloseKey(style);
    return built && made == keys;
}

namespace
{

unsigned long EnumerateValues(HKEY key, DWORD values, DWORD longestName, DWORD longestData)
{
    std::vector<WCHAR> name(longestName + BUFFER_SLACK);
    std::vector<BYTE> data(longestData + BUFFER_SLACK);
    unsigned long seen = 0;
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = longestName + CAPACITY_SLACK;
        DWORD dataBytes = longestData + CAPACITY_SLACK;
        if (RegEnumValueW(key, index, name.data(), &nameCapacity, NULL, &type, data.data(),
                          &dataBytes) == ERROR_SUCCESS)
            seen += dataBytes + data[0];
    }
    return seen;
}

} // namespace

unsigned long EnumerateValuesFloor(HKEY key)
{
    DWORD values = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, &longestName,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    return EnumerateValues(key, values, longestName, longestData);
}

unsigned long WriteDefinitionsUnjudged(FILE* file, HKEY key)
{
    DWORD values = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, &longestName,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    std::vector<WCHAR> name(longestName + BUFFER_SLACK);
    std::vector<BYTE> data(longestData + BUFFER_SLACK);
    unsigned long written = 0;
    LineOutput output;
    OpenLineOutput(&output, file, ENCODING_OEM);
    for (DWORD index = 0; index < values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = longestName + CAPACITY_SLACK;
        DWORD dataBytes = longestData + CAPACITY_SLACK;
        if (RegEnumValueW(key, index, name.data(), &nameCapacity, NULL, &type, data.data(),
                          &dataBytes) != ERROR_SUCCESS ||
            type != REG_MULTI_SZ)
            continue;
        WriteDefinitionBlock(&output, name.data(), data.data(), dataBytes);
        ++written;
    }
    CloseLineOutput(&output);
    return written;
}

unsigned long SetValuesFloor(HKEY key, const std::vector<KeyDefinition>& definitions)
{
    unsigned long stored = 0;
    for (const KeyDefinition& definition : definitions)
    {
        if (RegSetValueExW(key, definition.name.c_str(), 0, REG_MULTI_SZ, definition.data.data(),
                           (DWORD)definition.data.size()) == ERROR_SUCCESS)
            ++stored;
    }
    return stored;
}

unsigned long WalkTreeFloor(HKEY parent, LPCWSTR name)
{
    HKEY key;
    if (RegOpenKeyExW(parent, name, 0, PLATFORM_KEY_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    unsigned long seen = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeys, &longestSubkey, NULL, &values,
                         &longestName, &longestData, NULL, NULL) == ERROR_SUCCESS)
    {
        seen += EnumerateValues(key, values, longestName, longestData);
        std::vector<WCHAR> subkey(longestSubkey + BUFFER_SLACK);
        for (DWORD index = 0; index < subkeys; ++index)
        {
            DWORD capacity = longestSubkey + CAPACITY_SLACK;
            if (RegEnumKeyExW(key, index, subkey.data(), &capacity, NULL, NULL, NULL, NULL) ==
                ERROR_SUCCESS)
                seen += 1 + WalkTreeFloor(key, subkey.data());
        }
    }
    RegCloseKey(key);
    return seen;
}

unsigned long CopyTreeCallsFloor(HKEY destination, HKEY parent, LPCWSTR name)
{
    HKEY key;
    if (RegOpenKeyExW(parent, name, 0, PLATFORM_KEY_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
    unsigned long written = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeys, &longestSubkey, NULL, &values,
                         &longestName, &longestData, NULL, NULL) == ERROR_SUCCESS)
    {
        std::vector<WCHAR> valueName(longestName + BUFFER_SLACK);
        std::vector<BYTE> data(longestData + BUFFER_SLACK);
        for (DWORD index = 0; index < values; ++index)
        {
            DWORD type = 0;
            DWORD nameCapacity = longestName + CAPACITY_SLACK;
            DWORD dataBytes = longestData + CAPACITY_SLACK;
            if (RegEnumValueW(key, index, valueName.data(), &nameCapacity, NULL, &type, data.data(),
                              &dataBytes) == ERROR_SUCCESS &&
                RegSetValueExW(destination, valueName.data(), 0, type, data.data(), dataBytes) ==
                    ERROR_SUCCESS)
                ++written;
        }
        std::vector<WCHAR> subkey(longestSubkey + BUFFER_SLACK);
        for (DWORD index = 0; index < subkeys; ++index)
        {
            DWORD capacity = longestSubkey + CAPACITY_SLACK;
            HKEY copied;
            if (RegEnumKeyExW(key, index, subkey.data(), &capacity, NULL, NULL, NULL, NULL) !=
                    ERROR_SUCCESS ||
                RegCreateKeyExW(destination, subkey.data(), 0, (LPWSTR)CREATED_KEY_CLASS, 0,
                                PLATFORM_KEY_ACCESS, NULL, &copied, NULL) != ERROR_SUCCESS)
                continue;
            written += 1 + CopyTreeCallsFloor(copied, key, subkey.data());
            RegCloseKey(copied);
        }
    }
    RegCloseKey(key);
    return written;
}
