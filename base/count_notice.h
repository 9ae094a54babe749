// Message boxes whose text has figures or names put in: the notice that counts what a command
// could not do, and the questions that show what they are about.
#ifndef DUNVATEL_BASE_COUNT_NOTICE_H
#define DUNVATEL_BASE_COUNT_NOTICE_H

#include "platform/platform.h"

// Shows a message box of `type` whose text is `format` with the arguments put in (%u takes a
// UINT, %s a wide string); the button pressed.
int ShowFormattedBox(LPCWSTR caption, UINT type, LPCWSTR format, ...);
// Shows a notice whose text is `format` with `count` put in for its %u.
void ShowCountNotice(LPCWSTR format, UINT count, LPCWSTR caption);

#endif
