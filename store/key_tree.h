// The recursive copy of one registry key, values and subkeys at every depth, into another.
#ifndef DUNVATEL_STORE_KEY_TREE_H
#define DUNVATEL_STORE_KEY_TREE_H

#include "platform/platform.h"

// Copies the values and subkeys of the key `name` under `sourceParent` into `destination`,
// which stays open and belongs to the caller. Returns how many values and subkeys could not be
// read, created or written: 0 when everything arrived.
UINT CopyKeyTree(HKEY destination, HKEY sourceParent, LPCWSTR name);

#endif
