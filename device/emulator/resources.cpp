#include "device/emulator/resources.h"

#include "device/emulator/emulated_process.h"
#include "device/emulator/window_manager.h"

namespace
{

// An entry of a resource directory names its subject by id, or by a name (its high bit set,
// the rest the offset of a counted text); the directory's named entries come first.
bool EntryMatches(EmulatedProcess& process, uint32_t root, uint32_t entryName, uint32_t wanted)
{
    bool named = entryName & 0x80000000;
    if (wanted <= 0xFFFF)
        return !named && entryName == wanted;
    if (!named)
        return false;
    uint32_t at = root + (entryName & 0x7FFFFFFF);
    uint16_t length = process.ReadHalf(at);
    std::u16string name;
    for (uint16_t i = 0; i < length; ++i)
        name += (char16_t)process.ReadHalf(at + 2 + 2 * i);
    return FoldCase(process.ReadWideText(wanted)) == FoldCase(name);
}

// The offset (from the root) the matching entry of a directory points to; 0 when none does.
// With `wanted` 0 the first entry matches (the one language of a resource).
uint32_t FindEntry(EmulatedProcess& process, uint32_t root, uint32_t directory, uint32_t wanted)
{
    uint32_t count = (uint32_t)process.ReadHalf(directory + 12) + process.ReadHalf(directory + 14);
    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t entry = directory + 16 + 8 * i;
        if (wanted == 0 || EntryMatches(process, root, process.ReadWord(entry), wanted))
            return process.ReadWord(entry + 4);
    }
    return 0;
}

const uint32_t SUBDIRECTORY = 0x80000000;

} // namespace

uint32_t FindResourceEntry(EmulatedProcess& process, uint32_t type, uint32_t name)
{
    if (!process.image().resourceDirectory)
        return 0;
    uint32_t root = process.instance() + process.image().resourceDirectory;
    uint32_t names = FindEntry(process, root, root, type);
    if (!(names & SUBDIRECTORY))
        return 0;
    uint32_t languages = FindEntry(process, root, root + (names & ~SUBDIRECTORY), name);
    if (!(languages & SUBDIRECTORY))
        return 0;
    uint32_t data = FindEntry(process, root, root + (languages & ~SUBDIRECTORY), 0);
    if (!data || (data & SUBDIRECTORY))
        return 0;
    return root + data;
}

uint32_t ResourceData(EmulatedProcess& process, uint32_t entry)
{
    return process.instance() + process.ReadWord(entry);
}

uint32_t ResourceSize(EmulatedProcess& process, uint32_t entry)
{
    return process.ReadWord(entry + 4);
}

bool LoadResourceString(EmulatedProcess& process, uint32_t id, std::u16string* text)
{
    // Strings come sixteen to a block, block n + 1 holding ids 16n to 16n + 15, each a count of
    // units followed by the units.
    uint32_t entry = FindResourceEntry(process, RESOURCE_STRING, id / 16 + 1);
    if (!entry)
        return false;
    uint32_t at = ResourceData(process, entry);
    for (uint32_t i = 0; i < id % 16; ++i)
        at += 2 + 2 * (uint32_t)process.ReadHalf(at);
    uint16_t length = process.ReadHalf(at);
    text->clear();
    for (uint16_t i = 0; i < length; ++i)
        *text += (char16_t)process.ReadHalf(at + 2 + 2 * i);
    return length > 0;
}

std::vector<AcceleratorEntry> ReadAccelerators(EmulatedProcess& process, uint32_t table)
{
    // Eight bytes an entry: flags, key, command and padding; the last entry's flags have 0x80.
    std::vector<AcceleratorEntry> entries;
    for (uint32_t at = table; !process.stopped(); at += 8)
    {
        uint16_t flags = process.ReadHalf(at);
        entries.push_back(AcceleratorEntry{(uint16_t)(flags & 0x7F), process.ReadHalf(at + 2),
                                           process.ReadHalf(at + 4)});
        if (flags & 0x80)
            break;
    }
    return entries;
}

namespace
{

const uint16_t MF_POPUP = 0x0010;
const uint16_t MF_END = 0x0080;

// Reads one menu item at `*at` and moves past it (and past a pop-up's own items).
MenuItem ReadMenuItem(EmulatedProcess& process, uint32_t* at, uint16_t* flags)
{
    *flags = process.ReadHalf(*at);
    *at += 2;
    MenuItem item = {std::u16string(), 0};
    if (!(*flags & MF_POPUP))
    {
        item.command = process.ReadHalf(*at);
        *at += 2;
    }
    item.text = process.ReadWideText(*at);
    *at += 2 * ((uint32_t)item.text.size() + 1);
    return item;
}

void SkipMenuItems(EmulatedProcess& process, uint32_t* at)
{
    uint16_t flags = 0;
    do
    {
        ReadMenuItem(process, at, &flags);
        if (flags & MF_POPUP)
            SkipMenuItems(process, at);
    } while (!(flags & MF_END) && !process.stopped());
}

} // namespace

std::vector<MenuItem> ReadPopupMenu(EmulatedProcess& process, uint32_t id, uint32_t index)
{
    // A menu template: a header of two words, then items: flags, a command (not for a pop-up)
    // and the text; a pop-up's items follow it; MF_END marks each list's last item.
    std::vector<MenuItem> items;
    uint32_t entry = FindResourceEntry(process, RESOURCE_MENU, id);
    if (!entry)
        return items;
    uint32_t at = ResourceData(process, entry) + 4;
    for (uint32_t popup = 0; !process.stopped(); ++popup)
    {
        uint16_t flags = 0;
        ReadMenuItem(process, &at, &flags);
        if (!(flags & MF_POPUP))
            return items;
        if (popup == index)
        {
            uint16_t itemFlags = 0;
            do
                items.push_back(ReadMenuItem(process, &at, &itemFlags));
            while (!(itemFlags & MF_END) && !process.stopped());
            return items;
        }
        SkipMenuItems(process, &at);
        if (flags & MF_END)
            return items;
    }
    return items;
}
