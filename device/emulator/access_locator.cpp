#include "device/emulator/access_locator.h"

namespace
{

uint32_t Bits(uint32_t word, int high, int low)
{
    return (word >> low) & ((1u << (high - low + 1)) - 1);
}

uint32_t Bit(uint32_t word, int bit)
{
    return (word >> bit) & 1;
}

// A register offset shifted by an immediate amount: LSL, LSR, ASR, ROR (an amount of 0 means
// 32 for LSR and ASR, and RRX, taken here as a rotation by one, for ROR).
uint32_t ShiftedRegister(uint32_t instruction, const RegisterReader& registers)
{
    uint32_t value = registers((int)Bits(instruction, 3, 0));
    uint32_t amount = Bits(instruction, 11, 7);
    switch (Bits(instruction, 6, 5))
    {
    case 0:
        return value << amount;
    case 1:
        return amount ? value >> amount : 0;
    case 2:
        return amount ? (uint32_t)((int32_t)value >> amount) : (uint32_t)((int32_t)value >> 31);
    default:
        amount = amount ? amount : 1;
        return value >> amount | value << (32 - amount);
    }
}

struct Access
{
    uint32_t start;
    uint32_t size;
};

// Pre-indexed accesses use the base with the offset, post-indexed ones the base alone.
uint32_t Indexed(uint32_t instruction, uint32_t base, uint32_t offset)
{
    if (!Bit(instruction, 24))
        return base;
    return Bit(instruction, 23) ? base + offset : base - offset;
}

// The bytes the instruction reads or writes; size 0 for one that accesses no memory.
Access Decode(uint32_t instruction, const RegisterReader& registers)
{
    uint32_t base = registers((int)Bits(instruction, 19, 16));
    if (Bits(instruction, 27, 26) == 1) // LDR, STR, LDRB, STRB
    {
        uint32_t offset = Bit(instruction, 25) ? ShiftedRegister(instruction, registers)
                                               : Bits(instruction, 11, 0);
        return Access{Indexed(instruction, base, offset), Bit(instruction, 22) ? 1u : 4u};
    }
    if (Bits(instruction, 27, 25) == 4) // LDM, STM
    {
        uint32_t count = 0;
        for (int reg = 0; reg < 16; ++reg)
            count += Bit(instruction, reg);
        bool up = Bit(instruction, 23), before = Bit(instruction, 24);
        uint32_t lowest = up ? base + (before ? 4 : 0) : base - 4 * count + (before ? 0 : 4);
        return Access{lowest, 4 * count};
    }
    if ((instruction & 0x0FB00FF0) == 0x01000090) // SWP, SWPB
        return Access{base, Bit(instruction, 22) ? 1u : 4u};
    if (Bits(instruction, 27, 25) == 0 && Bit(instruction, 7) && Bit(instruction, 4) &&
        Bits(instruction, 6, 5) != 0) // LDRH, STRH, LDRSB, LDRSH
    {
        uint32_t offset = Bit(instruction, 22)
                              ? Bits(instruction, 11, 8) << 4 | Bits(instruction, 3, 0)
                              : registers((int)Bits(instruction, 3, 0));
        return Access{Indexed(instruction, base, offset), Bits(instruction, 6, 5) == 2 ? 1u : 2u};
    }
    return Access{0, 0};
}

} // namespace

uint32_t LocateAccess(uint32_t blockStart, uint32_t count, uint32_t address,
                      const std::function<uint32_t(uint32_t)>& instructionAt,
                      const RegisterReader& registers)
{
    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t at = blockStart + 4 * i;
        RegisterReader seen = [&](int reg) { return reg == 15 ? at + 8 : registers(reg); };
        Access access = Decode(instructionAt(at), seen);
        if (access.size && address - access.start < access.size)
            return at;
    }
    return blockStart;
}
