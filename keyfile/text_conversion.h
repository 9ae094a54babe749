// From the registry's UTF-16 to the file's OEM code page: a heap string that the caller frees.
#ifndef DUNVATEL_KEYFILE_TEXT_CONVERSION_H
#define DUNVATEL_KEYFILE_TEXT_CONVERSION_H

#include "platform/platform.h"

char* ToOemText(LPCWSTR text);

#endif
