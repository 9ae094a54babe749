// What the benchmarks measure on: key definitions of realistic size, the Custom key filled
// with them, a style tree of a given number of keys, and the bare registry loops that are the
// floor each operation is judged against. The same code serves both builds.
#ifndef DUNVATEL_BENCH_BENCH_DATA_H
#define DUNVATEL_BENCH_BENCH_DATA_H

#include "platform/platform.h"

#include <string>
#include <vector>

typedef std::basic_string<WCHAR> WString;

struct KeyDefinition
{
    WString name;
    std::vector<BYTE> data; // REG_MULTI_SZ: strings with terminators, then one more zero
};

// `count` key definitions, each named like a key with its modifiers and holding two to eight
// strings of Japanese and ASCII text, the same for the same count on every run.
std::vector<KeyDefinition> MakeKeyDefinitions(int count);

// Removes the key's tree and creates it empty; the handle belongs to the caller. NULL on
// failure.
HKEY RecreateKey(LPCWSTR path);
// Stores the definitions as values of the open key. FALSE when a write failed.
BOOL StoreDefinitions(HKEY key, const std::vector<KeyDefinition>& definitions);

// The style `name` under the style list, of `keys` keys in all: a tenth of a percent of them
// directly below the style, the rest spread evenly below those. Every key holds one key
// definition. FALSE when a key or value could not be made.
BOOL BuildStyleTree(LPCWSTR name, int keys);

// Export's walk as WriteKeyDefinitions makes it, with no block judged for what reading it back
// would restore: what the judgement costs is the difference. Returns the blocks written.
unsigned long WriteDefinitionsUnjudged(FILE* file, HKEY key);

// The floors. Export: the key's maxima, then every value enumerated with its data. Import:
// every definition written. Copy: every key of the tree opened, its maxima read and its values
// and subkeys enumerated. Each returns what it saw, so that no work can be optimised away.
unsigned long EnumerateValuesFloor(HKEY key);
unsigned long SetValuesFloor(HKEY key, const std::vector<KeyDefinition>& definitions);
unsigned long WalkTreeFloor(HKEY parent, LPCWSTR name);
// The calls no copy can do without: the walk of WalkTreeFloor, and each value and subkey
// written under `destination` as it is met. Returns the keys and values written.
unsigned long CopyTreeCallsFloor(HKEY destination, HKEY parent, LPCWSTR name);

#endif
