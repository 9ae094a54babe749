// Import of a key-definition file the user picks into the Custom style.
#ifndef DUNVATEL_KEYFILE_IMPORT_H
#define DUNVATEL_KEYFILE_IMPORT_H

#include "platform/platform.h"

void ImportCustomStyle(HWND dialog, int listId);

#endif
