// The handheld's program file as its loader reads it: the header fields a Windows CE 3.0
// loader checks, the sections with their protection, the imports, and the resources.
#ifndef DUNVATEL_DEVICE_EMULATOR_PE_IMAGE_H
#define DUNVATEL_DEVICE_EMULATOR_PE_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

struct PeSection
{
    std::string name;
    uint32_t address; // relative to the image base
    uint32_t size;    // in memory
    std::vector<uint8_t> data;
    bool readable;
    bool writable;
    bool executable;
};

struct PeImport
{
    std::string library;
    std::string name; // empty for an import by ordinal
    uint32_t ordinal; // by ordinal only
    uint32_t slot;    // the import address table's entry, relative to the image base
};

struct PeImage
{
    uint32_t imageBase;
    uint32_t imageSize;
    uint32_t entryPoint; // relative to the image base
    uint32_t stackReserve;
    std::vector<uint8_t> headers;
    std::vector<PeSection> sections;
    std::vector<PeImport> imports;
    uint32_t resourceDirectory; // relative to the image base; 0 without resources
};

// Reads the file; false with `why` when the device's loader would not take it.
bool ReadPeImage(const std::string& path, PeImage* image, std::string* why);

// The section that holds the address (relative to the image base), or NULL.
const PeSection* FindPeSection(const PeImage& image, uint32_t address);

#endif
