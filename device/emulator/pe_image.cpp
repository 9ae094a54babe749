// The fields and their offsets are those of Microsoft's "PE Format" page
// (https://learn.microsoft.com/en-us/windows/win32/debug/pe-format): machine
// IMAGE_FILE_MACHINE_ARM 0x1C0, the PE32 magic 0x10B, subsystem IMAGE_SUBSYSTEM_WINDOWS_CE_GUI 9,
// the section flags IMAGE_SCN_MEM_EXECUTE/READ/WRITE, the import directory (entry 1) and the
// resource directory (entry 2). A program for a later subsystem than the device's is refused
// ("XXX.exe is not a valid Pocket PC application", windowsmobilepro.blogspot.com, "XXX.exe is
// not a valid Pocket PC Application: Troubleshooting guidelines", 2006, points 1 and 2: the
// wrong processor and a later subsystem version both give that message).
#include "device/emulator/pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace
{

const uint16_t MACHINE_ARM = 0x01C0;
const uint16_t MAGIC_PE32 = 0x010B;
const uint16_t SUBSYSTEM_WINDOWS_CE_GUI = 9;
const uint32_t SCN_MEM_EXECUTE = 0x20000000;
const uint32_t SCN_MEM_READ = 0x40000000;
const uint32_t SCN_MEM_WRITE = 0x80000000;
const uint32_t ORDINAL_FLAG = 0x80000000;
// The device's own version: Windows CE 3.0.
const uint16_t DEVICE_MAJOR_VERSION = 3;
const uint16_t DEVICE_MINOR_VERSION = 0;

class Bytes
{
  public:
    explicit Bytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Has(size_t offset, size_t size) const
    {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    uint16_t Half(size_t offset) const
    {
        return Has(offset, 2) ? (uint16_t)(bytes_[offset] | bytes_[offset + 1] << 8) : 0;
    }
    uint32_t Word(size_t offset) const
    {
        return Has(offset, 4) ? (uint32_t)Half(offset) | (uint32_t)Half(offset + 2) << 16 : 0;
    }

  private:
    const std::vector<uint8_t>& bytes_;
};

// A zero-terminated name at an address relative to the image base, read from its section.
bool ReadName(const PeImage& image, uint32_t address, std::string* name)
{
    const PeSection* section = FindPeSection(image, address);
    if (!section)
        return false;
    name->clear();
    for (uint32_t at = address - section->address; at < section->data.size(); ++at)
    {
        if (!section->data[at])
            return true;
        *name += (char)section->data[at];
    }
    return false;
}

bool ReadImageWord(const PeImage& image, uint32_t address, uint32_t* word)
{
    const PeSection* section = FindPeSection(image, address);
    if (!section)
        return false;
    Bytes bytes(section->data);
    uint32_t at = address - section->address;
    if (!bytes.Has(at, 4))
        return false;
    *word = bytes.Word(at);
    return true;
}

bool ReadImports(PeImage* image, uint32_t directory, std::string* why)
{
    for (uint32_t descriptor = directory;; descriptor += 20)
    {
        uint32_t lookup = 0, nameAddress = 0, slots = 0;
        if (!ReadImageWord(*image, descriptor, &lookup) ||
            !ReadImageWord(*image, descriptor + 12, &nameAddress) ||
            !ReadImageWord(*image, descriptor + 16, &slots))
        {
            *why = "the import directory lies outside the sections";
            return false;
        }
        if (!nameAddress && !slots)
            return true;
        std::string library;
        if (!ReadName(*image, nameAddress, &library))
        {
            *why = "an import's library name lies outside the sections";
            return false;
        }
        uint32_t table = lookup ? lookup : slots;
        for (uint32_t index = 0;; ++index)
        {
            uint32_t entry = 0;
            if (!ReadImageWord(*image, table + 4 * index, &entry))
            {
                *why = "the import table of " + library + " lies outside the sections";
                return false;
            }
            if (!entry)
                break;
            PeImport import = {library, std::string(), 0, slots + 4 * index};
            if (entry & ORDINAL_FLAG)
                import.ordinal = entry & 0xFFFF;
            else if (!ReadName(*image, entry + 2, &import.name))
            {
                *why = "an import's name lies outside the sections";
                return false;
            }
            image->imports.push_back(import);
        }
    }
}

bool Refuse(std::string* why, const std::string& reason)
{
    *why = "not a valid Pocket PC application: " + reason;
    return false;
}

} // namespace

const PeSection* FindPeSection(const PeImage& image, uint32_t address)
{
    for (const PeSection& section : image.sections)
    {
        if (address >= section.address && address - section.address < section.size)
            return &section;
    }
    return nullptr;
}

bool ReadPeImage(const std::string& path, PeImage* image, std::string* why)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        *why = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> content((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
    Bytes bytes(content);
    uint32_t pe = bytes.Word(0x3C);
    if (bytes.Half(0) != 0x5A4D || !bytes.Has(pe, 24 + 96) || bytes.Word(pe) != 0x00004550)
        return Refuse(why, "no PE header");
    uint32_t optional = pe + 24;
    uint16_t sectionCount = bytes.Half(pe + 6);
    uint16_t optionalSize = bytes.Half(pe + 20);
    if (bytes.Half(pe + 4) != MACHINE_ARM)
        return Refuse(why, "machine is not ARM");
    if (bytes.Half(optional) != MAGIC_PE32)
        return Refuse(why, "not PE32");
    if (bytes.Half(optional + 68) != SUBSYSTEM_WINDOWS_CE_GUI)
        return Refuse(why, "subsystem is not Windows CE GUI");
    uint16_t major = bytes.Half(optional + 48), minor = bytes.Half(optional + 50);
    if (major > DEVICE_MAJOR_VERSION ||
        (major == DEVICE_MAJOR_VERSION && minor > DEVICE_MINOR_VERSION))
        return Refuse(why, "subsystem version later than 3.00");
    image->imageBase = bytes.Word(optional + 28);
    image->imageSize = bytes.Word(optional + 56);
    image->entryPoint = bytes.Word(optional + 16);
    image->stackReserve = bytes.Word(optional + 72);
    uint32_t headersSize = bytes.Word(optional + 60);
    if (!bytes.Has(0, headersSize))
        return Refuse(why, "headers cut short");
    image->headers.assign(content.begin(), content.begin() + headersSize);
    uint32_t table = optional + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i)
    {
        uint32_t at = table + 40 * i;
        if (!bytes.Has(at, 40))
            return Refuse(why, "section table cut short");
        PeSection section;
        section.name.assign((const char*)&content[at], strnlen((const char*)&content[at], 8));
        section.size = bytes.Word(at + 8);
        section.address = bytes.Word(at + 12);
        uint32_t rawSize = bytes.Word(at + 16), rawOffset = bytes.Word(at + 20);
        uint32_t flags = bytes.Word(at + 36);
        if (rawSize && !bytes.Has(rawOffset, rawSize))
            return Refuse(why, "section " + section.name + " lies beyond the file");
        if (rawSize > section.size)
            rawSize = section.size;
        section.data.assign(section.size, 0);
        std::copy(content.begin() + rawOffset, content.begin() + rawOffset + rawSize,
                  section.data.begin());
        section.readable = flags & SCN_MEM_READ;
        section.writable = flags & SCN_MEM_WRITE;
        section.executable = flags & SCN_MEM_EXECUTE;
        if (section.address + section.size > image->imageSize)
            return Refuse(why, "section " + section.name + " lies beyond the image");
        image->sections.push_back(section);
    }
    uint32_t directories = optional + 96;
    image->resourceDirectory = bytes.Word(directories + 2 * 8);
    uint32_t importDirectory = bytes.Word(directories + 1 * 8);
    if (importDirectory && !ReadImports(image, importDirectory, why))
        return Refuse(why, *why);
    return true;
}
