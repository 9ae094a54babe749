/* The common controls' constants the resource script's menu-bar record uses (the program
 * calls nothing in commctrl): "Toolbar Styles (Windows CE 5.0)" (https://learn.microsoft.com/
 * en-us/previous-versions/windows/embedded/aa453749(v=msdn.10)) names TBSTYLE_DROPDOWN and
 * TBSTYLE_AUTOSIZE, "TBBUTTON (Windows CE 5.0)" (…/ms940418(v=msdn.10)) TBSTATE_ENABLED;
 * values from the desktop reference ("Toolbar Control and Button Styles", "Toolbar Button
 * States").
 * I_IMAGENONE is not here: no CE page gives it to CE 3.0. platform/wince/wince_resources.h
 * supplies it when the device's headers do not. */
#ifndef DUNVATEL_WINCE_SDK_COMMCTRL_H
#define DUNVATEL_WINCE_SDK_COMMCTRL_H

#include <windows.h>

#define TBSTATE_ENABLED 0x04
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_AUTOSIZE 0x0010

#endif
