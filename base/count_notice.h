// A notice that counts what a command could not do.
#ifndef DUNVATEL_BASE_COUNT_NOTICE_H
#define DUNVATEL_BASE_COUNT_NOTICE_H

#include "platform/platform.h"

// Shows a notice whose text is `format` with `count` put in for its %u.
void ShowCountNotice(LPCWSTR format, UINT count, LPCWSTR caption);

#endif
