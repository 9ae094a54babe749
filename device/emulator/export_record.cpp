#include "device/emulator/export_record.h"

#include <dirent.h>

#include <fstream>
#include <sstream>

namespace
{

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// One entry line: "NAME [@N [NONAME]] ; [source] ...".
Export ReadEntry(const std::string& line)
{
    std::istringstream words(line.substr(0, line.find(';')));
    Export entry = {std::string(), 0, false};
    words >> entry.name;
    std::string word;
    while (words >> word)
    {
        if (word[0] == '@')
            entry.ordinal = (uint32_t)std::stoul(word.substr(1));
        else if (word == "NONAME")
            entry.byOrdinalOnly = true;
    }
    return entry;
}

bool ReadDefinitionFile(const std::string& path, ExportRecord* record, std::string* why)
{
    std::ifstream file(path);
    std::string line, library;
    bool exports = false;
    while (std::getline(file, line))
    {
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == ';')
            continue;
        line = line.substr(start);
        if (line.compare(0, 8, "LIBRARY ") == 0)
            library = Lower(line.substr(8, line.find_first_of(" \t\r;", 8) - 8));
        else if (line.compare(0, 7, "EXPORTS") == 0)
            exports = true;
        else if (exports && !library.empty())
            record->libraries[library].push_back(ReadEntry(line));
    }
    if (library.empty())
    {
        *why = path + " names no library";
        return false;
    }
    return true;
}

} // namespace

bool ReadExportRecord(const std::string& folder, ExportRecord* record, std::string* why)
{
    DIR* directory = opendir(folder.c_str());
    if (!directory)
    {
        *why = "cannot read " + folder;
        return false;
    }
    bool read = true;
    while (dirent* entry = readdir(directory))
    {
        std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".def") == 0)
            read = read && ReadDefinitionFile(folder + "/" + name, record, why);
    }
    closedir(directory);
    return read;
}

const Export* ResolveImport(const ExportRecord& record, const std::string& library,
                            const std::string& name, uint32_t ordinal, std::string* why)
{
    auto found = record.libraries.find(Lower(library));
    if (found == record.libraries.end())
    {
        *why = "no library " + library + " on the device";
        return nullptr;
    }
    for (const Export& entry : found->second)
    {
        if (name.empty() ? entry.ordinal == ordinal : entry.name == name && !entry.byOrdinalOnly)
            return &entry;
    }
    *why = name.empty() ? library + " exports no ordinal " + std::to_string(ordinal)
                        : library + " exports no " + name + " by name";
    return nullptr;
}
