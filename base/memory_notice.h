// The notice of a command that stopped because the heap could not give it a buffer.
#ifndef DUNVATEL_BASE_MEMORY_NOTICE_H
#define DUNVATEL_BASE_MEMORY_NOTICE_H

#include "platform/platform.h"

// Tells the user that the command did not run for want of memory; what it had not finished it
// left as it was.
void ShowMemoryNotice();

#endif
