// The program's resources, read from its image in guest memory as the device's resource calls
// read them: the resource directory (Microsoft's "PE Format", ".rsrc Section"), string tables,
// accelerator tables, menus and the shell's menu-bar record.
#ifndef DUNVATEL_DEVICE_EMULATOR_RESOURCES_H
#define DUNVATEL_DEVICE_EMULATOR_RESOURCES_H

#include <cstdint>
#include <string>
#include <vector>

class EmulatedProcess;

// Resource types ("Resource Types", desktop reference; the handheld's are the same numbers).
const uint32_t RESOURCE_MENU = 4;
const uint32_t RESOURCE_DIALOG = 5;
const uint32_t RESOURCE_STRING = 6;
const uint32_t RESOURCE_ACCELERATOR = 9;
const uint32_t RESOURCE_DATA = 10;
const uint32_t RESOURCE_GROUP_ICON = 14;

// The guest address of the resource's data entry (an HRSRC), 0 when there is none. A type or
// name of 0x10000 and more is the address of its name as a text.
uint32_t FindResourceEntry(EmulatedProcess& process, uint32_t type, uint32_t name);
// The resource's data and size through its entry.
uint32_t ResourceData(EmulatedProcess& process, uint32_t entry);
uint32_t ResourceSize(EmulatedProcess& process, uint32_t entry);
// String `id` of the string tables; false when there is none.
bool LoadResourceString(EmulatedProcess& process, uint32_t id, std::u16string* text);

struct AcceleratorEntry
{
    uint16_t flags;
    uint16_t key;
    uint16_t command;
};
// The table at the data address of an accelerator resource.
std::vector<AcceleratorEntry> ReadAccelerators(EmulatedProcess& process, uint32_t table);

struct MenuItem
{
    std::u16string text;
    uint16_t command;
};
// The items of pop-up `index` of menu `id`.
std::vector<MenuItem> ReadPopupMenu(EmulatedProcess& process, uint32_t id, uint32_t index);

#endif
