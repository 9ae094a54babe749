// The recursive copy of one registry key, values and subkeys at every depth, into another.
#ifndef DUNVATEL_STORE_KEY_TREE_H
#define DUNVATEL_STORE_KEY_TREE_H

#include "platform/platform.h"

// Copies the values and subkeys of the key `name` under `sourceParent` into `destination`,
// which stays open and belongs to the caller.
void CopyKeyTree(HKEY destination, HKEY sourceParent, LPCWSTR name);

#endif
