// Finds the instruction that made a data access. The emulator names the start of the running
// block, not the instruction, when a memory hook fires; the block's loads and stores, decoded
// as ARMv4 defines them (ARM Architecture Reference Manual, ARMv4 load and store instructions:
// single word and byte, halfword and signed byte, multiple, swap), are matched against the
// access with the registers as they stand.
#ifndef DUNVATEL_DEVICE_EMULATOR_ACCESS_LOCATOR_H
#define DUNVATEL_DEVICE_EMULATOR_ACCESS_LOCATOR_H

#include <cstdint>
#include <functional>

// The registers r0-r15 as the access finds them; r15 is read as the instruction's own address
// plus 8, as the processor reads it.
typedef std::function<uint32_t(int reg)> RegisterReader;

// The address of the first instruction in [blockStart, blockStart + 4 * count) whose access
// covers `address`, or blockStart when none does. `instructionAt` reads code.
uint32_t LocateAccess(uint32_t blockStart, uint32_t count, uint32_t address,
                      const std::function<uint32_t(uint32_t)>& instructionAt,
                      const RegisterReader& registers);

#endif
