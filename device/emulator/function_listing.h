// The program's functions by address, from the listing device/functions.py writes at build
// time: a refusal names the function it stopped in, also a file-local one.
#ifndef DUNVATEL_DEVICE_EMULATOR_FUNCTION_LISTING_H
#define DUNVATEL_DEVICE_EMULATOR_FUNCTION_LISTING_H

#include <cstdint>
#include <map>
#include <string>

struct ListedFunction
{
    uint32_t end; // exclusive
    std::string name;
    std::string source;
};

struct FunctionListing
{
    std::map<uint32_t, ListedFunction> byStart;
};

// Reads the listing; false when it cannot be read.
bool ReadFunctionListing(const std::string& path, FunctionListing* listing);

// "Name (source)" of the function that holds the address, or an empty text.
std::string NameFunctionAt(const FunctionListing& listing, uint32_t address);

#endif
