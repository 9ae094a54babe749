// The shell's wait cursor, shown while a command works and the screen cannot answer a tap.
#ifndef DUNVATEL_BASE_WAIT_CURSOR_H
#define DUNVATEL_BASE_WAIT_CURSOR_H

#include "platform/platform.h"

// Shows the wait cursor; returns the cursor it replaced (NULL where none was shown).
HCURSOR ShowWaitCursor();
// Puts back the cursor ShowWaitCursor replaced. A command does so before every message box,
// so that the user is never asked or told anything under the wait cursor.
void RestoreCursor(HCURSOR previous);

#endif
