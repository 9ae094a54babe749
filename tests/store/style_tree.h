// Reading a whole style back from the registry, for comparing a copy with its source without
// depending on the order in which the registry enumerates values.
#ifndef DUNVATEL_TESTS_STORE_STYLE_TREE_H
#define DUNVATEL_TESTS_STORE_STYLE_TREE_H

#include "tests/support/test_support.h"

#include <map>

struct StoredValue
{
    DWORD type;
    Bytes data;
};
bool operator==(const StoredValue& left, const StoredValue& right);
void PrintTo(const StoredValue& value, std::ostream* out);

// Every value beneath `path`, keyed by its key's path relative to `path` (empty for the key
// itself), a bar, and the value's name.
std::map<WString, StoredValue> TreeValues(const WString& path);
// The class of every key beneath `path` (not of the key itself), keyed by relative path.
std::map<WString, WString> TreeKeyClasses(const WString& path);
std::vector<WString> TreeKeyPaths(const WString& path);

// A style three levels deep with values of many types, a subkey name longer than the style
// list could show, and long value names and data.
void BuildSampleStyle(const WString& path);
// The subkey of the sample style whose name does not fit the style list's 32 units.
extern const WCHAR LONG_SUBKEY_NAME[];

#endif
