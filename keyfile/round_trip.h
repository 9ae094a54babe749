// Whether a key definition survives the trip through a key-definition file. What each line's
// own bytes decide (its characters, line breaks and length) is judged as the line is written
// (WriteDefinitionLine); these judge the rest, which the reading rules decide.
#ifndef DUNVATEL_KEYFILE_ROUND_TRIP_H
#define DUNVATEL_KEYFILE_ROUND_TRIP_H

#include "platform/platform.h"

// Whether reading takes the name back: not empty, no leading blank, within the name buffer.
BOOL CanReadBackName(LPCWSTR name);
// Whether reading takes the text back as a string: not a comment, a directive or led by blanks.
BOOL CanReadBackString(LPCWSTR text);
// Whether a list of `listUnits` units, its strings with their terminators and the closing
// one, fits a block's gathering buffer.
BOOL CanReadBackList(DWORD listUnits);

#endif
