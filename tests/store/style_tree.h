// Reading a whole style back from the registry, for comparing a copy with its source without
// depending on the order in which the registry enumerates values; and a sample style to copy.
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

// A tree as the registry holds it: every value keyed by its key's path relative to the root
// (empty for the root itself), a bar, and the value's name; and the class of every key beneath
// the root (not of the root itself) by relative path.
struct TreeContent
{
    std::map<WString, StoredValue> values;
    std::map<WString, WString> classes;
};
// Reads the tree below `path` through handles relative to their parent, so that no path grows
// with the depth, with one query for each key's class and shape.
TreeContent ReadTree(const WString& path);
std::map<WString, StoredValue> TreeValues(const WString& path);
std::vector<WString> TreeKeyPaths(const WString& path);
WString JoinPath(const WString& base, const WString& name);

// A style three levels deep with values of many types, a subkey name longer than the style
// list could show, and long value names and data.
void BuildSampleStyle(const WString& path);
// The subkey of the sample style whose name does not fit the style list's 32 units.
extern const WCHAR LONG_SUBKEY_NAME[];

#endif
