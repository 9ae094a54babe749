// The notices export and import both show.
#ifndef DUNVATEL_KEYFILE_NOTICES_H
#define DUNVATEL_KEYFILE_NOTICES_H

#include "platform/platform.h"

// Tells the user that there is no Custom style to export or import.
void ShowNoCustomStyle(LPCWSTR caption);
// Shows a notice whose text is `format` with `count` put in for its %u.
void ShowCountNotice(LPCWSTR format, UINT count, LPCWSTR caption);

#endif
