// The Custom style: copying any style into it, and removing it.
#ifndef DUNVATEL_STORE_CUSTOM_STYLE_H
#define DUNVATEL_STORE_CUSTOM_STYLE_H

#include "platform/platform.h"

void CopyStyleToCustom(HWND dialog, int listId);
void DeleteCustomStyle(HWND dialog, int listId);

#endif
