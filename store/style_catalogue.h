// The style list of the main dialog and the standard style.
#ifndef DUNVATEL_STORE_STYLE_CATALOGUE_H
#define DUNVATEL_STORE_STYLE_CATALOGUE_H

#include "platform/platform.h"

void RefreshStyleList(HWND dialog);
void FillStyleNames(HWND dialog, int listId);
void SelectStandardStyle(HWND dialog, int listId);
// The selected entry's text as a heap string the caller frees, or NULL when none is selected
// or when the heap could not hold it, which `outOfMemory`, when given, tells.
WCHAR* GetSelectedStyleName(HWND dialog, int listId, BOOL* outOfMemory = NULL);
void SetStandardStyle(HWND dialog, int listId);

#endif
