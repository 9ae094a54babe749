// One command run twice from the same registry and files: by program code on the host, over
// the stand-in, and by dunvatel.exe on the emulated handheld, the same answers given to the
// same boxes; what each showed, left and made is read back for the two to be compared.
#ifndef DUNVATEL_TESTS_DEVICE_SIDE_BY_SIDE_H
#define DUNVATEL_TESTS_DEVICE_SIDE_BY_SIDE_H

#include "tests/device/device_test_support.h"
#include "tests/support/test_support.h"

#include <functional>

enum Command
{
    SET_STANDARD_COMMAND,
    COPY_COMMAND,
    DELETE_COMMAND,
    EXPORT_COMMAND,
    IMPORT_COMMAND
};

struct Box
{
    WString text;
    WString caption;
    UINT type;
};
bool operator==(const Box& left, const Box& right);
void PrintTo(const Box& box, std::ostream* out);

struct CommandRun
{
    Command command;
    WString style;               // selected in the list before the command
    WString file;                // chosen in every file dialog
    bool utf8 = true;            // the answer to the questions whether to write or read UTF-8
    long failingAllocation = 0;  // the command's allocation that fails; 0: none
    std::function<void()> setUp; // makes the registry and files the command starts from
};

struct Outcome
{
    std::vector<Box> boxes;
    std::vector<WString> list;
    TreeContent tree; // below the input method's key
    std::string file;
    long allocations = 0;
    long leftBehind = 0;
    std::string refusal; // the device's, empty on the host
};

Outcome RunOnHost(const CommandRun& run);
Outcome RunOnDevice(const CommandRun& run);
// Runs both and expects the same outcome; returns the host's.
Outcome ExpectSameOnBothSides(const CommandRun& run);

#endif
