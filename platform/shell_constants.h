// The handheld shell's constants, for the platforms that lack its library (desktop Win32 and
// the host), with the values the handheld gives them where those platforms can honour them.
// Plain #defines: the resource script includes this file as well as the program.
#ifndef DUNVATEL_PLATFORM_SHELL_CONSTANTS_H
#define DUNVATEL_PLATFORM_SHELL_CONSTANTS_H

// SHInitDialog's mask and flags.
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008

// The handheld draws an OK button in the caption of a window with this extended style
// (0x80000000 there). The desktop has no such button and gives the bit no meaning, so it is
// 0 here; SHInitDialog's desktop stand-in supplies the OK button instead.
#define WS_EX_CAPTIONOKBTN 0

#endif
