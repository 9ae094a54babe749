#include "tests/device/device_test_support.h"

#include <cstdlib>

namespace
{

std::string Setting(const char* name, const char* built)
{
    const char* set = getenv(name);
    return set && *set ? set : built;
}

} // namespace

ProgramFiles DeviceBuild()
{
    // Another build's program may be run instead: one with a fault put in on purpose.
    return ProgramFiles{Setting("DUNVATEL_DEVICE_PROGRAM", DUNVATEL_DEVICE_PROGRAM),
                        Setting("DUNVATEL_DEVICE_FUNCTIONS", DUNVATEL_DEVICE_FUNCTIONS),
                        Setting("DUNVATEL_DEVICE_RECORD", DUNVATEL_DEVICE_RECORD)};
}
