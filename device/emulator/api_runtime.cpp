// The C run-time the program imports from coredll: the heap, and the memory and string calls,
// which run here as part of the device's library rather than on the emulated processor.
#include "device/emulator/api.h"

#include "platform/platform.h"

#include <cstring>

namespace
{

// What a block malloc gives holds: not zeros, as the device's heap gives no promise of any.
const uint8_t FRESH_BLOCK_BYTE = 0xA5;

uint32_t CallMalloc(EmulatedProcess& process)
{
    uint32_t size = process.Argument(0);
    uint32_t block = process.heap().Allocate(size, process.callerAddress());
    if (block && size)
    {
        std::vector<uint8_t> fresh(size, FRESH_BLOCK_BYTE);
        process.WriteMemory(block, fresh.data(), size);
    }
    return block;
}

uint32_t CallFree(EmulatedProcess& process)
{
    uint32_t block = process.Argument(0);
    if (!block)
        return 0;
    switch (process.heap().Free(block))
    {
    case GuestHeap::NEVER_GIVEN:
        process.Refuse("free of " + HexAddress(block) + ", which malloc did not give, from " +
                       process.CallerPlace());
        break;
    case GuestHeap::ALREADY_FREED:
        process.Refuse("free of " + HexAddress(block) +
                       ", which malloc gave and free took back already, from " +
                       process.CallerPlace());
        break;
    default:
        break;
    }
    return 0;
}

std::vector<uint8_t> Bytes(EmulatedProcess& process, uint32_t address, uint32_t count)
{
    std::vector<uint8_t> bytes(count);
    if (count && !process.ReadMemory(address, bytes.data(), count))
        process.Refuse("a run-time call was passed unmapped memory at " + HexAddress(address) +
                       ", from " + process.CallerPlace());
    return bytes;
}

void Store(EmulatedProcess& process, uint32_t address, const std::vector<uint8_t>& bytes)
{
    if (!bytes.empty() && !process.WriteMemory(address, bytes.data(), (uint32_t)bytes.size()))
        process.Refuse("a run-time call was passed memory at " + HexAddress(address) +
                       " it cannot write, from " + process.CallerPlace());
}

uint32_t CallMemcmp(EmulatedProcess& process)
{
    uint32_t count = process.Argument(2);
    std::vector<uint8_t> left = Bytes(process, process.Argument(0), count);
    std::vector<uint8_t> right = Bytes(process, process.Argument(1), count);
    return (uint32_t)(count ? memcmp(left.data(), right.data(), count) : 0);
}

uint32_t CallMemcpy(EmulatedProcess& process)
{
    Store(process, process.Argument(0), Bytes(process, process.Argument(1), process.Argument(2)));
    return process.Argument(0);
}

uint32_t CallMemset(EmulatedProcess& process)
{
    Store(process, process.Argument(0),
          std::vector<uint8_t>(process.Argument(2), (uint8_t)process.Argument(1)));
    return process.Argument(0);
}

uint32_t CallWcslen(EmulatedProcess& process)
{
    return (uint32_t)process.ReadWideText(process.Argument(0)).size();
}

uint32_t CallWcscpy(EmulatedProcess& process)
{
    process.WriteWideText(process.Argument(0), process.ReadWideText(process.Argument(1)));
    return process.Argument(0);
}

uint32_t CallWcscmp(EmulatedProcess& process)
{
    std::u16string left = process.ReadWideText(process.Argument(0));
    std::u16string right = process.ReadWideText(process.Argument(1));
    return (uint32_t)wcscmp(left.c_str(), right.c_str());
}

} // namespace

void AddRuntimeCalls(ApiTable* table)
{
    (*table)["malloc"] = CallMalloc;
    (*table)["free"] = CallFree;
    (*table)["memcmp"] = CallMemcmp;
    (*table)["memcpy"] = CallMemcpy;
    (*table)["memset"] = CallMemset;
    (*table)["wcslen"] = CallWcslen;
    (*table)["wcscpy"] = CallWcscpy;
    (*table)["wcscmp"] = CallWcscmp;
}
