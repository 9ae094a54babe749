// The one header through which program code reaches the platform.
//
// Program code is written against the handheld's Win32 API. Each build supplies it here:
//   - Windows CE (the handheld): the device's own headers;
//   - desktop Win32 (mingw, run under Wine): the real headers plus stand-ins for the
//     handheld-only pieces and the places where desktop behaviour differs;
//   - host (Linux): a stand-in written in platform/host for unit tests.
#ifndef DUNVATEL_PLATFORM_PLATFORM_H
#define DUNVATEL_PLATFORM_PLATFORM_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32_WCE)
#include "platform/wince/wince_platform.h"
#elif defined(_WIN32)
#include "platform/win32/win32_platform.h"
#else
#include "platform/host/host_platform.h"
#endif

#endif
