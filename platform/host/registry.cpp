// The host's registry: one in-memory tree under HKEY_CURRENT_USER that keeps the rules of the
// Win32 registry the program relies on. Names match without regard to case and keep the case
// they were created with; subkeys enumerate in case-insensitive name order and values in
// creation order; sizes are reported as Win32 reports them.
#include "platform/host/host_control.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

typedef std::u16string Name;

WCHAR FoldCase(WCHAR unit)
{
    if (unit >= u'a' && unit <= u'z')
        return (WCHAR)(unit - u'a' + u'A');
    return unit;
}

int CompareNames(const Name& left, const Name& right)
{
    size_t length = left.size() < right.size() ? left.size() : right.size();
    for (size_t i = 0; i < length; ++i)
    {
        WCHAR a = FoldCase(left[i]);
        WCHAR b = FoldCase(right[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

struct NameLess
{
    bool operator()(const Name& left, const Name& right) const
    {
        return CompareNames(left, right) < 0;
    }
};

struct Value
{
    Name name;
    DWORD type;
    std::vector<BYTE> data;
};

struct Key
{
    Name name;
    Name keyClass;
    bool deleted = false;
    std::vector<Value> values;
    std::map<Name, std::shared_ptr<Key>, NameLess> subkeys;
};

struct Fault
{
    bool armed = false;
    int skip = 0;
    LONG error = ERROR_SUCCESS;
};

struct Registry
{
    std::shared_ptr<Key> root = std::make_shared<Key>();
    std::map<HKEY, std::shared_ptr<Key>> handles;
    ULONG_PTR nextHandle = 0x1000;
    Fault faults[HOST_REG_CALL_KINDS];
    long calls[HOST_REG_CALL_KINDS] = {};
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

// Counts the call and tells whether an injected fault makes it fail.
bool TakeFault(HostRegistryCall call, LONG* error)
{
    Registry& registry = TheRegistry();
    ++registry.calls[call];
    Fault& fault = registry.faults[call];
    if (!fault.armed)
        return false;
    if (fault.skip > 0)
    {
        --fault.skip;
        return false;
    }
    fault.armed = false;
    *error = fault.error;
    return true;
}

Name ToName(LPCWSTR text)
{
    return text ? Name(text) : Name();
}

std::shared_ptr<Key> FindHandle(HKEY key)
{
    Registry& registry = TheRegistry();
    if (key == HKEY_CURRENT_USER)
        return registry.root;
    auto found = registry.handles.find(key);
    if (found == registry.handles.end())
        return nullptr;
    return found->second;
}

HKEY AddHandle(const std::shared_ptr<Key>& key)
{
    Registry& registry = TheRegistry();
    HKEY handle = (HKEY)registry.nextHandle;
    registry.nextHandle += 4;
    registry.handles[handle] = key;
    return handle;
}

// Splits a path at its backslashes. An empty path names the key itself; an empty component
// (a doubled, leading or trailing backslash) makes the path invalid.
bool SplitPath(LPCWSTR path, std::vector<Name>* parts)
{
    Name whole = ToName(path);
    if (whole.empty())
        return true;
    size_t start = 0;
    while (true)
    {
        size_t end = whole.find(u'\\', start);
        Name part = whole.substr(start, end == Name::npos ? Name::npos : end - start);
        if (part.empty())
            return false;
        parts->push_back(part);
        if (end == Name::npos)
            return true;
        start = end + 1;
    }
}

LONG ResolveParent(HKEY parent, std::shared_ptr<Key>* key)
{
    *key = FindHandle(parent);
    if (!*key)
        return ERROR_INVALID_HANDLE;
    if ((*key)->deleted)
        return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
}

LONG FindKey(HKEY parent, LPCWSTR path, std::shared_ptr<Key>* key)
{
    LONG status = ResolveParent(parent, key);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<Name> parts;
    if (!SplitPath(path, &parts))
        return ERROR_INVALID_PARAMETER;
    for (const Name& part : parts)
    {
        auto found = (*key)->subkeys.find(part);
        if (found == (*key)->subkeys.end())
            return ERROR_FILE_NOT_FOUND;
        *key = found->second;
    }
    return ERROR_SUCCESS;
}

LONG FindOpenKey(HKEY handle, std::shared_ptr<Key>* key)
{
    return ResolveParent(handle, key);
}

Value* FindValue(Key& key, LPCWSTR name)
{
    Name wanted = ToName(name);
    for (Value& value : key.values)
    {
        if (CompareNames(value.name, wanted) == 0)
            return &value;
    }
    return nullptr;
}

void MarkDeleted(Key& key)
{
    key.deleted = true;
    for (auto& entry : key.subkeys)
        MarkDeleted(*entry.second);
}

// Copies a name into a caller's buffer of `capacity` units (terminator included) as the
// enumeration calls do: a name that leaves no room for its terminator is not copied at all.
LONG CopyName(const Name& name, LPWSTR buffer, LPDWORD capacity)
{
    if (!capacity)
        return ERROR_INVALID_PARAMETER;
    if (*capacity <= name.size())
        return ERROR_MORE_DATA;
    if (buffer)
    {
        name.copy(buffer, name.size());
        buffer[name.size()] = 0;
    }
    *capacity = (DWORD)name.size();
    return ERROR_SUCCESS;
}

// Copies value data as RegQueryValueExW and RegEnumValueW do: with no buffer the size alone
// is reported, with a buffer too small the needed size comes back with ERROR_MORE_DATA.
LONG CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD dataLength)
{
    if (type)
        *type = value.type;
    if (!dataLength)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    DWORD needed = (DWORD)value.data.size();
    if (data && *dataLength < needed)
    {
        *dataLength = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed)
        memcpy(data, value.data.data(), needed);
    *dataLength = needed;
    return ERROR_SUCCESS;
}

void SetIfWanted(LPDWORD place, DWORD value)
{
    if (place)
        *place = value;
}

} // namespace

LONG RegOpenKeyExW(HKEY parent, LPCWSTR path, DWORD, REGSAM, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    LONG status;
    if (TakeFault(HOST_REG_OPEN, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindKey(parent, path, &key);
    if (status != ERROR_SUCCESS)
        return status;
    *result = AddHandle(key);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    LONG status;
    if (TakeFault(HOST_REG_CLOSE, &status))
        return status;
    if (key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    return TheRegistry().handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegCreateKeyExW(HKEY parent, LPCWSTR path, DWORD, LPWSTR keyClass, DWORD, REGSAM,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    LONG status;
    if (TakeFault(HOST_REG_CREATE, &status))
        return status;
    std::shared_ptr<Key> key;
    status = ResolveParent(parent, &key);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<Name> parts;
    if (!SplitPath(path, &parts))
        return ERROR_INVALID_PARAMETER;
    DWORD outcome = REG_OPENED_EXISTING_KEY;
    for (size_t i = 0; i < parts.size(); ++i)
    {
        auto found = key->subkeys.find(parts[i]);
        if (found != key->subkeys.end())
        {
            key = found->second;
            continue;
        }
        // Only the key the path names receives the class; keys made on the way have none.
        auto created = std::make_shared<Key>();
        created->name = parts[i];
        if (i + 1 == parts.size())
            created->keyClass = ToName(keyClass);
        key->subkeys[parts[i]] = created;
        key = created;
        outcome = REG_CREATED_NEW_KEY;
    }
    SetIfWanted(disposition, outcome);
    *result = AddHandle(key);
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY parent, LPCWSTR path)
{
    LONG status;
    if (TakeFault(HOST_REG_DELETE_KEY, &status))
        return status;
    std::shared_ptr<Key> owner;
    status = ResolveParent(parent, &owner);
    if (status != ERROR_SUCCESS)
        return status;
    std::vector<Name> parts;
    if (!SplitPath(path, &parts) || parts.empty())
        return ERROR_INVALID_PARAMETER;
    Name last = parts.back();
    parts.pop_back();
    for (const Name& part : parts)
    {
        auto found = owner->subkeys.find(part);
        if (found == owner->subkeys.end())
            return ERROR_FILE_NOT_FOUND;
        owner = found->second;
    }
    auto victim = owner->subkeys.find(last);
    if (victim == owner->subkeys.end())
        return ERROR_FILE_NOT_FOUND;
    MarkDeleted(*victim->second);
    owner->subkeys.erase(victim);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY handle, LPCWSTR name)
{
    LONG status;
    if (TakeFault(HOST_REG_DELETE_VALUE, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    Value* value = FindValue(*key, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyW(HKEY handle, LPWSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptor, PFILETIME lastWriteTime)
{
    LONG status;
    if (TakeFault(HOST_REG_QUERY_INFO, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    DWORD longestSubKey = 0;
    DWORD longestClass = 0;
    for (const auto& entry : key->subkeys)
    {
        if (entry.second->name.size() > longestSubKey)
            longestSubKey = (DWORD)entry.second->name.size();
        if (entry.second->keyClass.size() > longestClass)
            longestClass = (DWORD)entry.second->keyClass.size();
    }
    DWORD longestName = 0;
    DWORD longestData = 0;
    for (const Value& value : key->values)
    {
        if (value.name.size() > longestName)
            longestName = (DWORD)value.name.size();
        if (value.data.size() > longestData)
            longestData = (DWORD)value.data.size();
    }
    if (keyClass || classLength)
    {
        status = CopyName(key->keyClass, keyClass, classLength);
        if (status != ERROR_SUCCESS)
            return status;
    }
    SetIfWanted(subKeys, (DWORD)key->subkeys.size());
    SetIfWanted(maxSubKeyLength, longestSubKey);
    SetIfWanted(maxClassLength, longestClass);
    SetIfWanted(values, (DWORD)key->values.size());
    SetIfWanted(maxValueNameLength, longestName);
    SetIfWanted(maxValueLength, longestData);
    SetIfWanted(securityDescriptor, 0);
    if (lastWriteTime)
        *lastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD,
                   LPWSTR keyClass, LPDWORD classLength, PFILETIME lastWriteTime)
{
    LONG status;
    if (TakeFault(HOST_REG_ENUM_KEY, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (index >= key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    auto entry = key->subkeys.begin();
    std::advance(entry, index);
    status = CopyName(entry->second->name, name, nameLength);
    if (status != ERROR_SUCCESS)
        return status;
    if (keyClass || classLength)
    {
        status = CopyName(entry->second->keyClass, keyClass, classLength);
        if (status != ERROR_SUCCESS)
            return status;
    }
    if (lastWriteTime)
        *lastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataLength)
{
    LONG status;
    if (TakeFault(HOST_REG_ENUM_VALUE, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (index >= key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = key->values[index];
    status = CopyName(value.name, name, nameLength);
    if (status != ERROR_SUCCESS)
        return status;
    return CopyData(value, type, data, dataLength);
}

LONG RegQueryValueExW(HKEY handle, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataLength)
{
    LONG status;
    if (TakeFault(HOST_REG_QUERY_VALUE, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    const Value* value = FindValue(*key, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    return CopyData(*value, type, data, dataLength);
}

LONG RegSetValueExW(HKEY handle, LPCWSTR name, DWORD, DWORD type, const BYTE* data,
                    DWORD dataLength)
{
    LONG status;
    if (TakeFault(HOST_REG_SET_VALUE, &status))
        return status;
    std::shared_ptr<Key> key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (!data && dataLength)
        return ERROR_INVALID_PARAMETER;
    std::vector<BYTE> bytes(data, data + dataLength);
    Value* value = FindValue(*key, name);
    if (value)
    {
        value->type = type;
        value->data = bytes;
        return ERROR_SUCCESS;
    }
    key->values.push_back(Value{ToName(name), type, bytes});
    return ERROR_SUCCESS;
}

void HostFailRegistryCall(HostRegistryCall call, int skip, LONG error)
{
    Fault& fault = TheRegistry().faults[call];
    fault.armed = true;
    fault.skip = skip;
    fault.error = error;
}

void HostClearRegistryFaults()
{
    for (Fault& fault : TheRegistry().faults)
        fault = Fault();
}

long HostRegistryCallCount(HostRegistryCall call)
{
    return TheRegistry().calls[call];
}

int HostOpenKeyCount()
{
    return (int)TheRegistry().handles.size();
}

void HostResetRegistry()
{
    TheRegistry() = Registry();
}
