#include "device/emulator/api.h"

std::string HexAddress(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

GuestWord::GuestWord(EmulatedProcess& process, uint32_t address)
    : process_(process), address_(address)
{
    if (address_)
        value_ = process_.ReadWord(address_);
}

GuestWord::~GuestWord()
{
    if (address_ && !process_.stopped())
        process_.WriteWord(address_, value_);
}

ApiFunction FindApiFunction(const std::string& name)
{
    static const ApiTable table = []
    {
        ApiTable calls;
        AddRegistryCalls(&calls);
        AddTextCalls(&calls);
        AddRuntimeCalls(&calls);
        AddFileCalls(&calls);
        AddWindowCalls(&calls);
        AddShellCalls(&calls);
        return calls;
    }();
    auto found = table.find(name);
    return found == table.end() ? nullptr : found->second;
}
