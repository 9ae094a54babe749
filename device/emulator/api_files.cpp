// File streams, files and the file dialogs, over the host stand-in's: its _wfopen with the
// faults tests make, its files by wide path, and its file dialogs answered through the
// handheld. The device's FILE* is a handle of the program's; the host's stream stays here.
#include "device/emulator/api.h"

#include "platform/platform.h"

namespace
{

// "OPENFILENAME (Windows CE 5.0)": the record's fields at the device's offsets; 76 bytes.
const uint32_t OPENFILENAME_BYTES = 76;
enum OpenFileNameOffset
{
    OFN_SIZE = 0,
    OFN_OWNER = 4,
    OFN_FILTER = 12,
    OFN_FILE = 28,
    OFN_MAX_FILE = 32,
    OFN_INITIAL_DIR = 44,
    OFN_TITLE = 48,
    OFN_FLAGS = 52,
    OFN_FILE_OFFSET = 56,
    OFN_FILE_EXTENSION = 58,
    OFN_DEFAULT_EXTENSION = 60
};

FILE* Stream(EmulatedProcess& process, uint32_t handle)
{
    auto found = process.streams.find(handle);
    if (found != process.streams.end())
        return found->second;
    process.Refuse("a stream call was passed " + HexAddress(handle) +
                   ", which is no stream the program holds, from " + process.CallerPlace());
    return nullptr;
}

uint32_t CallWfopen(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(0));
    GuestText mode(process, process.Argument(1));
    FILE* file = _wfopen(path.pointer(), mode.pointer());
    if (!file)
        return 0;
    uint32_t handle = process.nextStream;
    process.nextStream += 0x10;
    process.streams[handle] = file;
    return handle;
}

uint32_t CallFclose(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(0));
    if (!file)
        return (uint32_t)EOF;
    process.streams.erase(process.Argument(0));
    return (uint32_t)fclose(file);
}

uint32_t CallFread(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(3));
    uint32_t size = process.Argument(1), count = process.Argument(2);
    if (!file || !size || !count)
        return 0;
    std::vector<uint8_t> bytes((size_t)size * count);
    size_t read = fread(bytes.data(), size, count, file);
    if (read && !process.WriteMemory(process.Argument(0), bytes.data(), (uint32_t)(read * size)))
        process.Refuse("fread was passed a buffer it cannot write at " +
                       HexAddress(process.Argument(0)) + ", from " + process.CallerPlace());
    return (uint32_t)read;
}

uint32_t CallFwrite(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(3));
    uint32_t size = process.Argument(1), count = process.Argument(2);
    if (!file || !size || !count)
        return 0;
    GuestBuffer<uint8_t> bytes(process, process.Argument(0), size * count, false);
    return (uint32_t)fwrite(bytes.pointer(), size, count, file);
}

uint32_t CallFseek(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(0));
    return file ? (uint32_t)fseek(file, (int32_t)process.Argument(1), (int)process.Argument(2))
                : (uint32_t)-1;
}

uint32_t CallFeof(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(0));
    return file ? (uint32_t)feof(file) : 0;
}

uint32_t CallFerror(EmulatedProcess& process)
{
    FILE* file = Stream(process, process.Argument(0));
    return file ? (uint32_t)ferror(file) : 0;
}

uint32_t CallCreateFileW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(0));
    HANDLE handle = CreateFileW(path.pointer(), process.Argument(1), process.Argument(2), NULL,
                                process.Argument(4), process.Argument(5), NULL);
    // The stand-in's handles are small numbers; INVALID_HANDLE_VALUE is -1 on both sides.
    return (uint32_t)(uintptr_t)handle;
}

uint32_t CallCloseHandle(EmulatedProcess& process)
{
    return (uint32_t)CloseHandle((HANDLE)(intptr_t)(int32_t)process.Argument(0));
}

uint32_t CallDeleteFileW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(0));
    return (uint32_t)DeleteFileW(path.pointer());
}

uint32_t CallGetFileAttributesW(EmulatedProcess& process)
{
    GuestText path(process, process.Argument(0));
    return GetFileAttributesW(path.pointer());
}

uint32_t CallMoveFileW(EmulatedProcess& process)
{
    GuestText existing(process, process.Argument(0));
    GuestText newName(process, process.Argument(1));
    return (uint32_t)MoveFileW(existing.pointer(), newName.pointer());
}

// The filter list: texts each with its terminator, closed by an empty one.
std::u16string ReadFilterList(EmulatedProcess& process, uint32_t address)
{
    std::u16string list;
    while (address && !process.stopped())
    {
        std::u16string text = process.ReadWideText(address);
        list += text + u'\0';
        address += 2 * ((uint32_t)text.size() + 1);
        if (text.empty())
            break;
    }
    return list;
}

// Shows the device's file dialog over the record the program filled, at the device's offsets.
uint32_t RunFileDialog(EmulatedProcess& process, bool save)
{
    uint32_t record = process.Argument(0);
    uint32_t size = process.ReadWord(record + OFN_SIZE);
    if (size != OPENFILENAME_BYTES)
    {
        process.Refuse(std::string(save ? "GetSaveFileNameW" : "GetOpenFileNameW") +
                       " was passed an OPENFILENAME whose lStructSize is " + std::to_string(size) +
                       "; the device takes 76, from " + process.CallerPlace());
        return 0;
    }
    uint32_t capacity = process.ReadWord(record + OFN_MAX_FILE);
    uint32_t fileAddress = process.ReadWord(record + OFN_FILE);
    GuestBuffer<WCHAR> file(process, fileAddress, capacity, false);
    std::u16string filter = ReadFilterList(process, process.ReadWord(record + OFN_FILTER));
    GuestText title(process, process.ReadWord(record + OFN_TITLE));
    GuestText initialDir(process, process.ReadWord(record + OFN_INITIAL_DIR));
    GuestText defaultExtension(process, process.ReadWord(record + OFN_DEFAULT_EXTENSION));
    if (process.stopped())
        return 0;
    OPENFILENAMEW host;
    memset(&host, 0, sizeof(host));
    host.lStructSize = PLATFORM_OPENFILENAME_SIZE;
    host.hwndOwner = (HWND)(uintptr_t)process.ReadWord(record + OFN_OWNER);
    host.lpstrFilter = filter.empty() ? NULL : filter.c_str();
    host.lpstrFile = file.pointer();
    host.nMaxFile = capacity;
    host.lpstrInitialDir = initialDir.pointer();
    host.lpstrTitle = title.pointer();
    host.Flags = process.ReadWord(record + OFN_FLAGS);
    host.lpstrDefExt = defaultExtension.pointer();
    BOOL chosen = save ? GetSaveFileNameW(&host) : GetOpenFileNameW(&host);
    if (chosen && !process.stopped())
    {
        process.WriteWideText(fileAddress, std::u16string(host.lpstrFile));
        process.WriteHalf(record + OFN_FILE_OFFSET, host.nFileOffset);
        process.WriteHalf(record + OFN_FILE_EXTENSION, host.nFileExtension);
    }
    return (uint32_t)chosen;
}

uint32_t CallGetSaveFileNameW(EmulatedProcess& process)
{
    return RunFileDialog(process, true);
}

uint32_t CallGetOpenFileNameW(EmulatedProcess& process)
{
    return RunFileDialog(process, false);
}

} // namespace

void AddFileCalls(ApiTable* table)
{
    (*table)["_wfopen"] = CallWfopen;
    (*table)["fclose"] = CallFclose;
    (*table)["fread"] = CallFread;
    (*table)["fwrite"] = CallFwrite;
    (*table)["fseek"] = CallFseek;
    (*table)["feof"] = CallFeof;
    (*table)["ferror"] = CallFerror;
    (*table)["CreateFileW"] = CallCreateFileW;
    (*table)["CloseHandle"] = CallCloseHandle;
    (*table)["DeleteFileW"] = CallDeleteFileW;
    (*table)["GetFileAttributesW"] = CallGetFileAttributesW;
    (*table)["MoveFileW"] = CallMoveFileW;
    (*table)["GetSaveFileNameW"] = CallGetSaveFileNameW;
    (*table)["GetOpenFileNameW"] = CallGetOpenFileNameW;
}
