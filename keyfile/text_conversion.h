// Between the registry's UTF-16 and the file's OEM code page. Both directions hand out heap
// strings that the caller frees.
#ifndef DUNVATEL_KEYFILE_TEXT_CONVERSION_H
#define DUNVATEL_KEYFILE_TEXT_CONVERSION_H

#include "platform/platform.h"

char* ToOemText(LPCWSTR text);
WCHAR* ToWideText(const char* bytes);

#endif
