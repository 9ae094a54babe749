// The standard style: the value under the input method's settings key that names the style in
// use.
#ifndef DUNVATEL_STORE_STANDARD_STYLE_H
#define DUNVATEL_STORE_STANDARD_STYLE_H

#include "platform/platform.h"

// Bytes offered to the registry for the standard style's name.
#define STANDARD_NAME_BYTES 260
// Units of a buffer that holds the standard style's name: one more than the capacity offered,
// so that a value filling every byte still ends within the buffer.
#define STANDARD_NAME_UNITS (STANDARD_NAME_BYTES / sizeof(WCHAR) + 1)

// Reads the standard style's name from the open settings key into `name`, which holds
// STANDARD_NAME_UNITS units and always ends within them. TRUE when the value was read; an
// unreadable value leaves `name` empty.
BOOL ReadStandardStyleName(HKEY settings, WCHAR* name);

#endif
