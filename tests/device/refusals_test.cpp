// What the emulated device refuses, each shown with the instruction's address and the function
// it lies in: the program as built, with a few instructions put in place of WinMain's first
// ones, and the program with its file or the device's export record altered.
#include "tests/device/device_test_support.h"
#include "tests/keyfile/keyfile_test_support.h"

#include "platform/platform.h"

#include <fstream>
#include <iterator>

namespace
{

// Instructions in ARM state, as the handheld's assembler encodes them.
const uint32_t RETURN = 0xE1A0F00E;       // mov pc, lr
const uint32_t SAVE_RETURN = 0xE1A0400E;  // mov r4, lr
const uint32_t RETURN_SAVED = 0xE1A0F004; // mov pc, r4
const uint32_t CALL = 0xE1A0E00F;         // mov lr, pc (a call returns past the next word)
const uint32_t FILLER = 0xE1A00000;       // mov r0, r0
const uint32_t IMPORT = 0;                // stands for the trap of the import named

struct Refusal
{
    const char* what;
    std::vector<uint32_t> code;       // put at WinMain, which finds the instance in r0
    std::vector<std::string> imports; // the imports the IMPORT words call, in order
    const char* expected;
};

const Refusal REFUSALS[] = {
    {"an unaligned word read",
     {0xE5901001 /* ldr r1, [r0, #1] */, RETURN},
     {},
     "unaligned word read at 0x00010001 by the instruction at 0x00011000 in WinMain "
     "(ui/winmain.cpp)"},
    {"an unaligned halfword write",
     {0xE3A01000 /* mov r1, #0 */, 0xE1C010B3 /* strh r1, [r0, #3] */, RETURN},
     {},
     "unaligned halfword write at 0x00010003 by the instruction at 0x00011004 in WinMain"},
    {"an instruction later than ARMv4",
     {0xE3A01000, 0xE16F0F11 /* clz r0, r1 */, RETURN},
     {},
     "undefined instruction 0xe16f0f11 at 0x00011004 in WinMain"},
    {"a write to read-only data",
     {0xE2800A07 /* add r0, r0, #0x7000 */, 0xE5801008 /* str r1, [r0, #8] */, RETURN},
     {},
     "write of 4 byte(s) at read-only 0x00017008 (.rdata) by the instruction at 0x00011004 in "
     "WinMain"},
    {"a read of memory never mapped",
     {0xE3A00303 /* mov r0, #0x0C000000 */, 0xE5901000, RETURN},
     {},
     "read of 4 byte(s) at unmapped 0x0c000000 by the instruction at 0x00011004 in WinMain"},
    {"a recursion past the stack",
     {0xE92D4FF0 /* stmfd sp!, {r4-r11, lr} */, 0xEAFFFFFD /* b back to it */},
     {},
     "below the stack: the stack has outgrown its 64 KB by the instruction at 0x00011000 in "
     "WinMain"},
    {"a free of a block malloc did not give",
     {0xE3A00A01 /* mov r0, #0x1000 */, CALL, 0xE59FF004 /* ldr pc, [pc, #4] */, RETURN, FILLER,
      IMPORT},
     {"free"},
     "free of 0x00001000, which malloc did not give, from 0x00011008 in WinMain"},
    {"a block freed twice",
     {0xE3A00010 /* mov r0, #16 */, CALL, 0xE59FF018 /* ldr pc, [pc, #24] */,
      0xE1A05000 /* mov r5, r0 */, CALL, 0xE59FF010 /* ldr pc, [pc, #16] */,
      0xE1A00005 /* mov r0, r5 */, CALL, 0xE59FF004 /* ldr pc, [pc, #4] */, RETURN, IMPORT, IMPORT},
     {"malloc", "free"},
     "free of 0x01000000, which malloc gave and free took back already, from 0x00011020 in "
     "WinMain"},
    {"a block still held when WinMain returns",
     {SAVE_RETURN, 0xE3A00010 /* mov r0, #16 */, CALL, 0xE59FF008 /* ldr pc, [pc, #8] */,
      0xE3A00000 /* mov r0, #0 */, RETURN_SAVED, FILLER, IMPORT},
     {"malloc"},
     "WinMain returned with 1 heap block(s) still held: 0x01000000 (16 bytes, from "
     "0x0001100c in WinMain"},
};

void PrintTo(const Refusal& refusal, std::ostream* out)
{
    *out << refusal.what;
}

class Refusals : public ::testing::TestWithParam<Refusal>
{
};

// The trap the import's address-table entry leads to, once the program is loaded.
uint32_t ImportTrap(EmulatedProcess& process, const std::string& name)
{
    for (const PeImport& import : process.image().imports)
    {
        if (import.name == name)
            return process.ReadWord(process.instance() + import.slot);
    }
    return 0;
}

TEST_P(Refusals, StopTheRunNamingTheInstructionAndItsFunction)
{
    const Refusal& refusal = GetParam();
    Handheld handheld;
    DeviceProgram program(handheld, DeviceBuild());
    program.Start(
        [&](EmulatedProcess& process)
        {
            uint32_t at = process.instance() + process.image().entryPoint;
            size_t import = 0;
            for (uint32_t word : refusal.code)
            {
                if (word == IMPORT)
                    word = ImportTrap(process, refusal.imports.at(import++));
                process.WriteWord(at, word);
                at += 4;
            }
        });
    EXPECT_EQ(-1, program.WaitForExit());
    EXPECT_NE(std::string::npos, program.refusal().find(refusal.expected))
        << refusal.what << ": " << program.refusal();
}

INSTANTIATE_TEST_SUITE_P(Device, Refusals, ::testing::ValuesIn(REFUSALS));

// Copies of the program or of the export record, altered, in a scratch folder.
class Loader : public ::testing::Test
{
  protected:
    // The export record with `line` replaced by `replacement`.
    std::string RecordWith(const std::string& line, const std::string& replacement)
    {
        std::string folder = ToUtf8(scratch.path());
        for (const char* name : {"coredll.def", "aygshell.def"})
        {
            std::ifstream in(std::string(DUNVATEL_DEVICE_RECORD) + "/" + name);
            std::ofstream out(folder + name);
            std::string text;
            while (std::getline(in, text))
                out << (text.compare(0, line.size(), line) == 0 ? replacement : text) << "\n";
        }
        return folder;
    }
    // The program with the 16-bit word at `offset` of its PE header set to `value`.
    std::string ProgramWith(uint32_t offset, uint16_t value)
    {
        std::ifstream in(DeviceBuild().program, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        uint32_t pe = (uint8_t)bytes[0x3C] | (uint8_t)bytes[0x3D] << 8;
        bytes[pe + offset] = (char)(value & 0xFF);
        bytes[pe + offset + 1] = (char)(value >> 8);
        std::string path = ToUtf8(scratch.path()) + "dunvatel.exe";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Refusal(const ProgramFiles& files)
    {
        Handheld handheld;
        DeviceProgram program(handheld, files);
        EXPECT_FALSE(program.Start());
        return program.refusal();
    }
    ScratchDirectory scratch;
};

TEST_F(Loader, RefusesAnImportTheDeviceDoesNotExportAsTheProgramImportsIt)
{
    ProgramFiles files = DeviceBuild();
    files.exportRecord = RecordWith("SHInitDialog", "");
    EXPECT_EQ("the loader cannot start the program: aygshell.dll exports no SHInitDialog by name",
              Refusal(files));
    files.exportRecord = RecordWith("SHHandleWMActivate", "SHHandleWMActivate @85 NONAME");
    EXPECT_EQ("the loader cannot start the program: aygshell.dll exports no ordinal 84",
              Refusal(files));
    files.exportRecord = RecordWith("SHCreateMenuBar", "SHCreateMenuBar @34 NONAME");
    EXPECT_EQ("the loader cannot start the program: aygshell.dll exports no SHCreateMenuBar by "
              "name",
              Refusal(files));
}

TEST_F(Loader, RefusesAFileForAnotherProcessorOrALaterWindowsCe)
{
    ProgramFiles files = DeviceBuild();
    files.program = ProgramWith(4, 0x014C); // machine: i386
    EXPECT_EQ("not a valid Pocket PC application: machine is not ARM", Refusal(files));
    files.program = ProgramWith(24 + 48, 4); // subsystem version 4.00
    EXPECT_EQ("not a valid Pocket PC application: subsystem version later than 3.00",
              Refusal(files));
}

} // namespace
