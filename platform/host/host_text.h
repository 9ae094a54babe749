// The wide-string functions of the C library, for the host's 16-bit WCHAR. They overload the
// library's wchar_t versions, so program code calls them by their usual names.
#ifndef DUNVATEL_PLATFORM_HOST_TEXT_H
#define DUNVATEL_PLATFORM_HOST_TEXT_H

#include "platform/host/host_types.h"

size_t wcslen(const WCHAR* text);
WCHAR* wcscpy(WCHAR* destination, const WCHAR* source);
int wcscmp(const WCHAR* left, const WCHAR* right);

#endif
