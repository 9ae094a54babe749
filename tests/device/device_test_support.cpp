#include "tests/device/device_test_support.h"

#include "platform/host/host_test_hooks.h"

ProgramFiles DeviceBuild()
{
    return ProgramFiles{DUNVATEL_DEVICE_PROGRAM, DUNVATEL_DEVICE_FUNCTIONS, DUNVATEL_DEVICE_RECORD};
}

std::string Narrow(const std::u16string& text)
{
    return HostToUtf8(text.c_str());
}
