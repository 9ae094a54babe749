#include "device/emulator/function_listing.h"

#include <fstream>

bool ReadFunctionListing(const std::string& path, FunctionListing* listing)
{
    std::ifstream file(path);
    if (!file)
        return false;
    std::string line;
    while (std::getline(file, line))
    {
        // "start end name<TAB>source"
        size_t tab = line.find('\t');
        if (line.size() < 18 || tab == std::string::npos)
            continue;
        uint32_t start = (uint32_t)std::stoul(line.substr(0, 8), nullptr, 16);
        ListedFunction function = {(uint32_t)std::stoul(line.substr(9, 8), nullptr, 16),
                                   line.substr(18, tab - 18), line.substr(tab + 1)};
        listing->byStart[start] = function;
    }
    return true;
}

std::string NameFunctionAt(const FunctionListing& listing, uint32_t address)
{
    auto after = listing.byStart.upper_bound(address);
    if (after == listing.byStart.begin())
        return std::string();
    const auto& found = *std::prev(after);
    if (address >= found.second.end)
        return std::string();
    if (found.second.source.empty())
        return found.second.name;
    return found.second.name + " (" + found.second.source + ")";
}
