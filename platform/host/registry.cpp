// The host's registry: one in-memory tree under HKEY_CURRENT_USER that keeps the rules of the
// Win32 registry the program relies on. Names match without regard to case and keep the case
// they were created with; subkeys enumerate in case-insensitive name order and values in
// creation order; sizes are reported as Win32 reports them. A key created volatile (lost when
// the device restarts) takes only volatile subkeys.
//
// No call walks all of a key's values or subkeys: a value is found through a hash of its
// case-folded name and a subkey through the ordered subkey map, enumeration by index reads a
// list kept in enumeration order, a key's maxima are kept as they change, and paths are
// walked without copying their names. Filling, reading or copying thousands of values or
// keys thus costs in proportion to their number, as on the platform.
#include "platform/host/host_test_hooks.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace
{

typedef std::u16string Name;
typedef std::u16string_view NameView;

WCHAR FoldCase(WCHAR unit)
{
    if (unit >= u'a' && unit <= u'z')
        return (WCHAR)(unit - u'a' + u'A');
    return unit;
}

int CompareNames(NameView left, NameView right)
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

// Orders names as the registry does.
struct NameLess
{
    bool operator()(NameView left, NameView right) const
    {
        return CompareNames(left, right) < 0;
    }
};

// FNV-1a with the parameters of size_t's width: 32 bits on 32-bit ARM, 64 on x86-64.
static_assert(sizeof(size_t) == 4 || sizeof(size_t) == 8, "FNV-1a has 32- and 64-bit forms");
const bool kWideHash = sizeof(size_t) == 8;
const size_t kFnvOffset = kWideHash ? (size_t)14695981039346656037ull : (size_t)2166136261u;
const size_t kFnvPrime = kWideHash ? (size_t)1099511628211ull : (size_t)16777619u;

// A hash that names differing only in letter case share.
size_t HashName(NameView name)
{
    size_t hash = kFnvOffset;
    for (WCHAR unit : name)
        hash = (hash ^ FoldCase(unit)) * kFnvPrime;
    return hash;
}

struct Value
{
    Name name;
    DWORD type;
    std::vector<BYTE> data;
};

DWORD Longer(DWORD longest, size_t size)
{
    return size > longest ? (DWORD)size : longest;
}

struct Key : std::enable_shared_from_this<Key>
{
    Name name;
    Name keyClass;
    bool deleted = false;
    bool volatileKey = false;
    // Values in creation order, and each value's position there by the hash of its name.
    std::vector<Value> values;
    std::unordered_multimap<size_t, size_t> valuePositions;
    // Subkeys by name; each entry's name is a view of the subkey's own.
    std::map<NameView, std::shared_ptr<Key>, NameLess> subkeys;
    // The subkeys in enumeration order, rebuilt on the first enumeration after a subkey was
    // added or removed.
    std::vector<const Key*> enumerationOrder;
    bool enumerationStale = false;
    // The maxima RegQueryInfoKeyW reports. Additions raise them; a removal, or a value that
    // shrinks, has them counted again when next asked for.
    DWORD longestSubkey = 0;
    DWORD longestClass = 0;
    DWORD longestValueName = 0;
    DWORD longestValueData = 0;
    bool subkeyMaximaStale = false;
    bool valueMaximaStale = false;
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
    HCURSOR cursors[HOST_REG_CALL_KINDS] = {};
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

// Counts the call, notes the cursor the user sees meanwhile, and tells whether an injected
// fault makes it fail.
bool TakeFault(HostRegistryCall call, LONG* error)
{
    Registry& registry = TheRegistry();
    ++registry.calls[call];
    registry.cursors[call] = GetCursor();
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

NameView ToView(LPCWSTR text)
{
    return text ? NameView(text) : NameView();
}

Key* FindHandle(HKEY key)
{
    Registry& registry = TheRegistry();
    if (key == HKEY_CURRENT_USER)
        return registry.root.get();
    auto found = registry.handles.find(key);
    if (found == registry.handles.end())
        return nullptr;
    return found->second.get();
}

HKEY AddHandle(Key* key)
{
    Registry& registry = TheRegistry();
    HKEY handle = (HKEY)registry.nextHandle;
    registry.nextHandle += 4;
    registry.handles[handle] = key->shared_from_this();
    return handle;
}

// A path is its backslash-separated names. An empty path names the key itself; an empty name
// (a doubled, leading or trailing backslash) makes the path invalid.
bool ValidPath(NameView path)
{
    if (path.empty())
        return true;
    if (path.front() == u'\\' || path.back() == u'\\')
        return false;
    return path.find(u"\\\\") == NameView::npos;
}

// Takes the next name off the front of a valid path; false when none is left.
bool NextName(NameView* rest, NameView* name)
{
    if (rest->empty())
        return false;
    size_t end = rest->find(u'\\');
    *name = rest->substr(0, end);
    *rest = end == NameView::npos ? NameView() : rest->substr(end + 1);
    return true;
}

LONG ResolveParent(HKEY parent, Key** key)
{
    *key = FindHandle(parent);
    if (!*key)
        return ERROR_INVALID_HANDLE;
    if ((*key)->deleted)
        return ERROR_KEY_DELETED;
    return ERROR_SUCCESS;
}

Key* FindSubkey(Key* key, NameView name)
{
    auto found = key->subkeys.find(name);
    return found == key->subkeys.end() ? nullptr : found->second.get();
}

LONG FindKey(HKEY parent, LPCWSTR path, Key** key)
{
    LONG status = ResolveParent(parent, key);
    if (status != ERROR_SUCCESS)
        return status;
    NameView rest = ToView(path);
    if (!ValidPath(rest))
        return ERROR_INVALID_PARAMETER;
    NameView name;
    while (NextName(&rest, &name))
    {
        *key = FindSubkey(*key, name);
        if (!*key)
            return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

LONG FindOpenKey(HKEY handle, Key** key)
{
    return ResolveParent(handle, key);
}

Value* FindValue(Key& key, LPCWSTR name)
{
    NameView wanted = ToView(name);
    auto candidates = key.valuePositions.equal_range(HashName(wanted));
    for (auto entry = candidates.first; entry != candidates.second; ++entry)
    {
        Value& value = key.values[entry->second];
        if (CompareNames(value.name, wanted) == 0)
            return &value;
    }
    return nullptr;
}

void AddValue(Key& key, NameView name, DWORD type, const BYTE* data, DWORD dataLength)
{
    key.valuePositions.emplace(HashName(name), key.values.size());
    key.values.push_back(Value{Name(name), type, std::vector<BYTE>(data, data + dataLength)});
    key.longestValueName = Longer(key.longestValueName, name.size());
    key.longestValueData = Longer(key.longestValueData, dataLength);
}

void ReplaceValue(Key& key, Value* value, DWORD type, const BYTE* data, DWORD dataLength)
{
    if (dataLength < value->data.size() && value->data.size() >= key.longestValueData)
        key.valueMaximaStale = true;
    value->type = type;
    value->data.assign(data, data + dataLength);
    key.longestValueData = Longer(key.longestValueData, dataLength);
}

void RemoveValue(Key& key, Value* value)
{
    size_t position = (size_t)(value - key.values.data());
    auto candidates = key.valuePositions.equal_range(HashName(value->name));
    for (auto entry = candidates.first; entry != candidates.second; ++entry)
    {
        if (entry->second == position)
        {
            key.valuePositions.erase(entry);
            break;
        }
    }
    key.values.erase(key.values.begin() + position);
    for (auto& entry : key.valuePositions)
    {
        if (entry.second > position)
            --entry.second;
    }
    key.valueMaximaStale = true;
}

Key* AddSubkey(Key& parent, NameView name)
{
    auto created = std::make_shared<Key>();
    created->name = Name(name);
    parent.subkeys.emplace(NameView(created->name), created);
    parent.enumerationStale = true;
    parent.longestSubkey = Longer(parent.longestSubkey, name.size());
    return created.get();
}

void SetClass(Key& parent, Key& child, NameView keyClass)
{
    child.keyClass = Name(keyClass);
    parent.longestClass = Longer(parent.longestClass, keyClass.size());
}

void RemoveSubkey(Key& parent, NameView name)
{
    parent.subkeys.erase(parent.subkeys.find(name));
    parent.enumerationStale = true;
    parent.subkeyMaximaStale = true;
}

const Key* SubkeyAt(Key& key, size_t index)
{
    if (key.enumerationStale)
    {
        key.enumerationOrder.clear();
        for (const auto& entry : key.subkeys)
            key.enumerationOrder.push_back(entry.second.get());
        key.enumerationStale = false;
    }
    return key.enumerationOrder[index];
}

void CountMaxima(Key& key)
{
    if (key.subkeyMaximaStale)
    {
        key.longestSubkey = 0;
        key.longestClass = 0;
        for (const auto& entry : key.subkeys)
        {
            key.longestSubkey = Longer(key.longestSubkey, entry.second->name.size());
            key.longestClass = Longer(key.longestClass, entry.second->keyClass.size());
        }
        key.subkeyMaximaStale = false;
    }
    if (key.valueMaximaStale)
    {
        key.longestValueName = 0;
        key.longestValueData = 0;
        for (const Value& value : key.values)
        {
            key.longestValueName = Longer(key.longestValueName, value.name.size());
            key.longestValueData = Longer(key.longestValueData, value.data.size());
        }
        key.valueMaximaStale = false;
    }
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
    Key* key;
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

LONG RegCreateKeyExW(HKEY parent, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options,
                     REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    LONG status;
    if (TakeFault(HOST_REG_CREATE, &status))
        return status;
    if (reserved != 0)
        return ERROR_INVALID_PARAMETER;
    bool makeVolatile = (options & REG_OPTION_VOLATILE) != 0;
    Key* key;
    status = ResolveParent(parent, &key);
    if (status != ERROR_SUCCESS)
        return status;
    NameView rest = ToView(path);
    if (!ValidPath(rest))
        return ERROR_INVALID_PARAMETER;
    DWORD outcome = REG_OPENED_EXISTING_KEY;
    NameView name;
    while (NextName(&rest, &name))
    {
        Key* found = FindSubkey(key, name);
        if (found)
        {
            key = found;
            continue;
        }
        if (key->volatileKey && !makeVolatile)
            return ERROR_CHILD_MUST_BE_VOLATILE;
        Key* created = AddSubkey(*key, name);
        created->volatileKey = makeVolatile;
        // Only the key the path names receives the class; keys made on the way have none.
        if (rest.empty())
            SetClass(*key, *created, ToView(keyClass));
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
    Key* owner;
    status = ResolveParent(parent, &owner);
    if (status != ERROR_SUCCESS)
        return status;
    NameView rest = ToView(path);
    if (rest.empty() || !ValidPath(rest))
        return ERROR_INVALID_PARAMETER;
    NameView name;
    NextName(&rest, &name);
    while (!rest.empty())
    {
        owner = FindSubkey(owner, name);
        if (!owner)
            return ERROR_FILE_NOT_FOUND;
        NextName(&rest, &name);
    }
    Key* victim = FindSubkey(owner, name);
    if (!victim)
        return ERROR_FILE_NOT_FOUND;
    MarkDeleted(*victim);
    RemoveSubkey(*owner, name);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY handle, LPCWSTR name)
{
    LONG status;
    if (TakeFault(HOST_REG_DELETE_VALUE, &status))
        return status;
    Key* key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    Value* value = FindValue(*key, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    RemoveValue(*key, value);
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
    Key* key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    CountMaxima(*key);
    if (keyClass || classLength)
    {
        status = CopyName(key->keyClass, keyClass, classLength);
        if (status != ERROR_SUCCESS)
            return status;
    }
    SetIfWanted(subKeys, (DWORD)key->subkeys.size());
    SetIfWanted(maxSubKeyLength, key->longestSubkey);
    SetIfWanted(maxClassLength, key->longestClass);
    SetIfWanted(values, (DWORD)key->values.size());
    SetIfWanted(maxValueNameLength, key->longestValueName);
    SetIfWanted(maxValueLength, key->longestValueData);
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
    Key* key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (index >= key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    const Key* subkey = SubkeyAt(*key, index);
    status = CopyName(subkey->name, name, nameLength);
    if (status != ERROR_SUCCESS)
        return status;
    if (keyClass || classLength)
    {
        status = CopyName(subkey->keyClass, keyClass, classLength);
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
    Key* key;
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
    Key* key;
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
    Key* key;
    status = FindOpenKey(handle, &key);
    if (status != ERROR_SUCCESS)
        return status;
    if (!data && dataLength)
        return ERROR_INVALID_PARAMETER;
    Value* value = FindValue(*key, name);
    if (value)
        ReplaceValue(*key, value, type, data, dataLength);
    else
        AddValue(*key, ToView(name), type, data, dataLength);
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

HCURSOR HostCursorAtLastCall(HostRegistryCall call)
{
    return TheRegistry().cursors[call];
}

int HostOpenKeyCount()
{
    return (int)TheRegistry().handles.size();
}

void HostResetRegistry()
{
    TheRegistry() = Registry();
}
