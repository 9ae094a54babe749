// The notice export and import both show when there is no Custom style.
#ifndef DUNVATEL_KEYFILE_NOTICES_H
#define DUNVATEL_KEYFILE_NOTICES_H

#include "platform/platform.h"

// Tells the user that there is no Custom style to export or import.
void ShowNoCustomStyle(LPCWSTR caption);

#endif
