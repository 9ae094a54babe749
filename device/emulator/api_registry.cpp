// The registry calls, over the host stand-in's registry: the device's HKEY values are the
// stand-in's (small numbers and HKEY_CURRENT_USER, all 32-bit), so they pass as they are.
#include "device/emulator/api.h"

#include "platform/platform.h"

namespace
{

HKEY Key(uint32_t value)
{
    return (HKEY)(uintptr_t)value;
}

// Writes a key handle the stand-in gave through the guest's pointer.
void WriteKey(EmulatedProcess& process, uint32_t address, HKEY key)
{
    if (address)
        process.WriteWord(address, (uint32_t)(uintptr_t)key);
}

uint32_t CallRegOpenKeyExW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(1));
    HKEY opened = NULL;
    LONG status = RegOpenKeyExW(Key(process.Argument(0)), path.pointer(), process.Argument(2),
                                process.Argument(3), &opened);
    if (status == ERROR_SUCCESS)
        WriteKey(process, process.Argument(4), opened);
    return (uint32_t)status;
}

uint32_t CallRegCreateKeyExW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(1));
    GuestText keyClass(process, process.Argument(3));
    GuestWord disposition(process, process.Argument(8));
    HKEY created = NULL;
    LONG status = RegCreateKeyExW(Key(process.Argument(0)), path.pointer(), process.Argument(2),
                                  (LPWSTR)keyClass.pointer(), process.Argument(4),
                                  process.Argument(5), NULL, &created, disposition.pointer());
    if (status == ERROR_SUCCESS)
        WriteKey(process, process.Argument(7), created);
    return (uint32_t)status;
}

uint32_t CallRegCloseKey(EmulatedProcess& process)
{
    return (uint32_t)RegCloseKey(Key(process.Argument(0)));
}

uint32_t CallRegDeleteKeyW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(1));
    return (uint32_t)RegDeleteKeyW(Key(process.Argument(0)), path.pointer());
}

// A name buffer whose capacity in units the call reads from, and writes back to, `*length`.
struct NameBuffer
{
    NameBuffer(EmulatedProcess& process, uint32_t buffer, uint32_t lengthAddress)
        : length(process, lengthAddress),
          units(process, buffer, length.pointer() ? *length.pointer() : 0, true)
    {
    }
    GuestWord length;
    GuestBuffer<WCHAR> units;
};

uint32_t CallRegEnumKeyExW(EmulatedProcess& process)
{
    NameBuffer name(process, process.Argument(2), process.Argument(3));
    NameBuffer keyClass(process, process.Argument(5), process.Argument(6));
    return (uint32_t)RegEnumKeyExW(Key(process.Argument(0)), process.Argument(1),
                                   name.units.pointer(), name.length.pointer(), NULL,
                                   keyClass.units.pointer(), keyClass.length.pointer(), NULL);
}

uint32_t CallRegEnumValueW(EmulatedProcess& process)
{
    NameBuffer name(process, process.Argument(2), process.Argument(3));
    GuestWord type(process, process.Argument(5));
    GuestWord dataLength(process, process.Argument(7));
    GuestBuffer<BYTE> data(process, process.Argument(6),
                           dataLength.pointer() ? *dataLength.pointer() : 0, true);
    return (uint32_t)RegEnumValueW(Key(process.Argument(0)), process.Argument(1),
                                   name.units.pointer(), name.length.pointer(), NULL,
                                   type.pointer(), data.pointer(), dataLength.pointer());
}

uint32_t CallRegQueryInfoKeyW(EmulatedProcess& process)
{
    NameBuffer keyClass(process, process.Argument(1), process.Argument(2));
    GuestWord subkeys(process, process.Argument(4));
    GuestWord longestSubkey(process, process.Argument(5));
    GuestWord longestClass(process, process.Argument(6));
    GuestWord values(process, process.Argument(7));
    GuestWord longestName(process, process.Argument(8));
    GuestWord longestData(process, process.Argument(9));
    GuestWord security(process, process.Argument(10));
    return (uint32_t)RegQueryInfoKeyW(
        Key(process.Argument(0)), keyClass.units.pointer(), keyClass.length.pointer(), NULL,
        subkeys.pointer(), longestSubkey.pointer(), longestClass.pointer(), values.pointer(),
        longestName.pointer(), longestData.pointer(), security.pointer(), NULL);
}

uint32_t CallRegQueryValueExW(EmulatedProcess& process)
{
    GuestText name(process, process.Argument(1));
    GuestWord type(process, process.Argument(3));
    GuestWord dataLength(process, process.Argument(5));
    GuestBuffer<BYTE> data(process, process.Argument(4),
                           dataLength.pointer() ? *dataLength.pointer() : 0, true);
    return (uint32_t)RegQueryValueExW(Key(process.Argument(0)), name.pointer(), NULL,
                                      type.pointer(), data.pointer(), dataLength.pointer());
}

uint32_t CallRegSetValueExW(EmulatedProcess& process)
{
    GuestText name(process, process.Argument(1));
    uint32_t size = process.Argument(5);
    GuestBuffer<BYTE> data(process, process.Argument(4), size, false);
    return (uint32_t)RegSetValueExW(Key(process.Argument(0)), name.pointer(), process.Argument(2),
                                    process.Argument(3), data.pointer(), size);
}

} // namespace

void AddRegistryCalls(ApiTable* table)
{
    (*table)["RegOpenKeyExW"] = CallRegOpenKeyExW;
    (*table)["RegCreateKeyExW"] = CallRegCreateKeyExW;
    (*table)["RegCloseKey"] = CallRegCloseKey;
    (*table)["RegDeleteKeyW"] = CallRegDeleteKeyW;
    (*table)["RegEnumKeyExW"] = CallRegEnumKeyExW;
    (*table)["RegEnumValueW"] = CallRegEnumValueW;
    (*table)["RegQueryInfoKeyW"] = CallRegQueryInfoKeyW;
    (*table)["RegQueryValueExW"] = CallRegQueryValueExW;
    (*table)["RegSetValueExW"] = CallRegSetValueExW;
}
