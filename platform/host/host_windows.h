// Host stand-ins: see the .cpp files beside this header.
#ifndef DUNVATEL_PLATFORM_HOST_WINDOWS_H
#define DUNVATEL_PLATFORM_HOST_WINDOWS_H

#include "platform/host/host_types.h"

#endif
