// The Custom style: copying any style into it, and removing it.
#ifndef DUNVATEL_STORE_CUSTOM_STYLE_H
#define DUNVATEL_STORE_CUSTOM_STYLE_H

#include "platform/platform.h"

void CopyStyleToCustom(HWND dialog, int listId);
void DeleteCustomStyle(HWND dialog, int listId);
// Copies the values and subkeys of the key `name` under `sourceParent` into `destination`,
// which stays open and belongs to the caller.
void CopyKeyTree(HKEY destination, HKEY sourceParent, LPCWSTR name);

#endif
