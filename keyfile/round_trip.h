// Whether a key definition survives the trip through a key-definition file.
#ifndef DUNVATEL_KEYFILE_ROUND_TRIP_H
#define DUNVATEL_KEYFILE_ROUND_TRIP_H

#include "platform/platform.h"

// TRUE when reading back the block that WriteDefinitionBlock writes for this REG_MULTI_SZ
// value stores the same name and the same strings again.
BOOL ComesBackUnchanged(LPCWSTR name, const BYTE* data, DWORD dataBytes);

#endif
