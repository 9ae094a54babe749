// What the tests of the emulated run share: the device build's program and its function
// listing, and a handheld to run it on.
#ifndef DUNVATEL_TESTS_DEVICE_DEVICE_TEST_SUPPORT_H
#define DUNVATEL_TESTS_DEVICE_DEVICE_TEST_SUPPORT_H

#include "device/emulator/device_program.h"

#include <gtest/gtest.h>

#include <string>

// build/device/dunvatel.exe with its listing and the export record; the environment variables
// of the same names (DUNVATEL_DEVICE_PROGRAM, _FUNCTIONS, _RECORD) name others.
ProgramFiles DeviceBuild();

#endif
