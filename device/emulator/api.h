// The API layer: one function per call the program imports, each reading its arguments off the
// emulated processor at the device's offsets and answering through the host stand-in wherever
// the stand-in models the call. Each source adds its calls to the table by the name the
// device's library exports them under.
#ifndef DUNVATEL_DEVICE_EMULATOR_API_H
#define DUNVATEL_DEVICE_EMULATOR_API_H

#include "device/emulator/emulated_process.h"

#include <map>
#include <string>
#include <vector>

typedef std::map<std::string, ApiFunction> ApiTable;

// The API layer's function for a call the device exports under this name, or NULL when the
// emulated device does not implement it.
ApiFunction FindApiFunction(const std::string& name);

// "0x0001a2b4".
std::string HexAddress(uint32_t value);

void AddRegistryCalls(ApiTable* table);
void AddTextCalls(ApiTable* table);
void AddRuntimeCalls(ApiTable* table);
void AddFileCalls(ApiTable* table);
void AddWindowCalls(ApiTable* table);
void AddShellCalls(ApiTable* table);

// A DWORD the call writes through a pointer argument (none when the pointer is NULL): read from
// the guest before the call, written back after it.
class GuestWord
{
  public:
    GuestWord(EmulatedProcess& process, uint32_t address);
    ~GuestWord();
    uint32_t* pointer()
    {
        return address_ ? &value_ : nullptr;
    }

  private:
    EmulatedProcess& process_;
    uint32_t address_;
    uint32_t value_ = 0;
};

// A buffer of `count` units the call reads or writes (none when the address is 0): a host copy
// of the guest's, written back whole after the call when `out`.
template <typename Unit> class GuestBuffer
{
  public:
    GuestBuffer(EmulatedProcess& process, uint32_t address, uint32_t count, bool out)
        : process_(process), address_(address), out_(out), units_(address ? count : 0)
    {
        if (address_ && count &&
            !process_.ReadMemory(address_, units_.data(), count * sizeof(Unit)))
            process_.Refuse("the API was passed a buffer at " + HexAddress(address) + " of " +
                            std::to_string(count * sizeof(Unit)) +
                            " bytes that is not mapped, from " + process_.CallerPlace());
    }
    ~GuestBuffer()
    {
        if (out_ && address_ && !units_.empty() && !process_.stopped())
            process_.WriteMemory(address_, units_.data(), (uint32_t)(units_.size() * sizeof(Unit)));
    }
    Unit* pointer()
    {
        return address_ ? units_.data() : nullptr;
    }

  private:
    EmulatedProcess& process_;
    uint32_t address_;
    bool out_;
    std::vector<Unit> units_;
};

// A wide text argument, or an empty one with `present` false for NULL.
struct GuestText
{
    GuestText(EmulatedProcess& process, uint32_t address)
        : present(address != 0), text(address ? process.ReadWideText(address) : std::u16string())
    {
    }
    const char16_t* pointer() const
    {
        return present ? text.c_str() : nullptr;
    }
    bool present;
    std::u16string text;
};

#endif
