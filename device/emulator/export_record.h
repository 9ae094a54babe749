// What the device's libraries export, as platform/wince/sdk/*.def records it: each library's
// calls by name, with the ordinal each has where the record gives one, and whether the
// library exports it by ordinal only (NONAME).
#ifndef DUNVATEL_DEVICE_EMULATOR_EXPORT_RECORD_H
#define DUNVATEL_DEVICE_EMULATOR_EXPORT_RECORD_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct Export
{
    std::string name;
    uint32_t ordinal; // 0: none recorded
    bool byOrdinalOnly;
};

struct ExportRecord
{
    // By library name in lower case ("coredll.dll").
    std::map<std::string, std::vector<Export>> libraries;
};

// Reads every .def file in the folder; false with `why` when one cannot be read.
bool ReadExportRecord(const std::string& folder, ExportRecord* record, std::string* why);

// The export an import names, as the loader resolves it: by name only an export that has a name,
// by ordinal only an export with that ordinal. NULL when there is none; `why` says what is
// missing.
const Export* ResolveImport(const ExportRecord& record, const std::string& library,
                            const std::string& name, uint32_t ordinal, std::string* why);

#endif
