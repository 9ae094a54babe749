// File streams and files by wide path: the UTF-16 path and mode become UTF-8 for the C
// library. Tests can make a stream fail part-way (reads from an offset on, or writes once a
// medium is full), an open or a move fail, and count the file handles left open.
#include "platform/host/host_test_hooks.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace
{

void AppendUtf8(std::string* out, unsigned long point)
{
    if (point < 0x80)
    {
        *out += (char)point;
    }
    else if (point < 0x800)
    {
        *out += (char)(0xC0 | (point >> 6));
        *out += (char)(0x80 | (point & 0x3F));
    }
    else if (point < 0x10000)
    {
        *out += (char)(0xE0 | (point >> 12));
        *out += (char)(0x80 | ((point >> 6) & 0x3F));
        *out += (char)(0x80 | (point & 0x3F));
    }
    else
    {
        *out += (char)(0xF0 | (point >> 18));
        *out += (char)(0x80 | ((point >> 12) & 0x3F));
        *out += (char)(0x80 | ((point >> 6) & 0x3F));
        *out += (char)(0x80 | (point & 0x3F));
    }
}

} // namespace

std::string HostToUtf8(const WCHAR* text)
{
    std::string out;
    for (size_t i = 0; text[i]; ++i)
    {
        unsigned long point = text[i];
        if (point >= 0xD800 && point < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        {
            point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(&out, point);
    }
    return out;
}

namespace
{

// The next stream opened for reading fails its reads from `offset` on, once it has been
// rewound `rewinds` times; a negative offset: no fault.
struct ReadFault
{
    long offset;
    int rewinds;
};
ReadFault& PendingReadFault()
{
    static ReadFault fault = {-1, 0};
    return fault;
}

// The next stream opened for reading finds its file holding `bytes` instead once it has been
// rewound `rewinds` times; no rewinds: no change.
struct Rewrite
{
    std::string bytes;
    int rewinds;
};
Rewrite& PendingRewrite()
{
    static Rewrite rewrite = {std::string(), 0};
    return rewrite;
}

// The next stream opened for writing takes this many bytes; negative: no fault.
long& PendingWriteRoom()
{
    static long room = -1;
    return room;
}

// Calls to let through before `count` fail in a row; a negative skip: none fails.
struct CallFault
{
    int skip;
    int count;
};

// For MoveFileW.
CallFault& PendingMoveFault()
{
    static CallFault fault = {-1, 0};
    return fault;
}

// The same for _wfopen.
CallFault& PendingOpenFault()
{
    static CallFault fault = {-1, 0};
    return fault;
}

// Takes one call off the fault; true when this call is one that fails.
bool TakeFault(CallFault& fault)
{
    if (fault.skip > 0)
    {
        --fault.skip;
        return false;
    }
    return fault.skip == 0 && fault.count-- > 0;
}

int& OpenFiles()
{
    static int count = 0;
    return count;
}

// A stream over a real file whose reads fail from a byte offset on, as a medium that cannot be
// read to its end, or whose file another program saves anew while it is open.
struct FailingReads
{
    FILE* file;
    ReadFault fault;
    std::string path;
    Rewrite rewrite;
};

ssize_t ReadUntilFailure(void* cookie, char* buffer, size_t size)
{
    FailingReads* reads = (FailingReads*)cookie;
    long at = ftell(reads->file);
    bool failing = reads->fault.offset >= 0 && reads->fault.rewinds == 0;
    if (at < 0 || (failing && at >= reads->fault.offset))
    {
        errno = EIO;
        return -1;
    }
    size_t allowed = size;
    if (failing && (size_t)(reads->fault.offset - at) < size)
        allowed = (size_t)(reads->fault.offset - at);
    return (ssize_t)fread(buffer, 1, allowed, reads->file);
}

int SeekFailingReads(void* cookie, off64_t* offset, int whence)
{
    FailingReads* reads = (FailingReads*)cookie;
    if (whence == SEEK_SET && *offset == 0 && reads->fault.rewinds > 0)
        --reads->fault.rewinds;
    if (whence == SEEK_SET && *offset == 0 && reads->rewrite.rewinds > 0 &&
        --reads->rewrite.rewinds == 0)
    {
        FILE* saved = fopen(reads->path.c_str(), "wb");
        if (!saved)
            return -1;
        fwrite(reads->rewrite.bytes.data(), 1, reads->rewrite.bytes.size(), saved);
        fclose(saved);
    }
    if (fseek(reads->file, (long)*offset, whence) != 0)
        return -1;
    *offset = ftell(reads->file);
    return 0;
}

// A stream over a real file on a medium with `room` bytes left: what fits reaches the file,
// the rest fails as on a full card, and closing fails while data cannot be flushed.
struct FullMedium
{
    FILE* file;
    long room;
};

ssize_t WriteUntilFull(void* cookie, const char* buffer, size_t size)
{
    FullMedium* medium = (FullMedium*)cookie;
    size_t allowed = medium->room < (long)size ? (size_t)medium->room : size;
    size_t written = fwrite(buffer, 1, allowed, medium->file);
    medium->room -= (long)written;
    if (written < size)
        errno = ENOSPC;
    // A count short of `size` marks the stream's error, as a failed write does.
    return (ssize_t)written;
}

template <typename Stream> int CloseStream(void* cookie)
{
    Stream* stream = (Stream*)cookie;
    int result = fclose(stream->file);
    delete stream;
    return result;
}

FILE* OpenFailingReads(FILE* file, ReadFault fault, const std::string& path, Rewrite rewrite)
{
    cookie_io_functions_t functions = {ReadUntilFailure, NULL, SeekFailingReads,
                                       CloseStream<FailingReads>};
    return fopencookie(new FailingReads{file, fault, path, rewrite}, "rb", functions);
}

FILE* OpenFullMedium(FILE* file, long room)
{
    cookie_io_functions_t functions = {NULL, WriteUntilFull, NULL, CloseStream<FullMedium>};
    return fopencookie(new FullMedium{file, room}, "wb", functions);
}

} // namespace

void HostFailFileReadsFrom(long offset, int rewinds)
{
    PendingReadFault() = ReadFault{offset, rewinds};
}

void HostRewriteFileOnRewind(const std::string& bytes, int rewinds)
{
    PendingRewrite() = Rewrite{bytes, rewinds};
}

void HostFailFileWritesFrom(long bytes)
{
    PendingWriteRoom() = bytes;
}

void HostFailFileOpens(int skip)
{
    PendingOpenFault() = CallFault{skip, 1};
}

FILE* _wfopen(const WCHAR* path, const WCHAR* mode)
{
    if (!path || !mode || TakeFault(PendingOpenFault()))
        return NULL;
    std::string name = HostToUtf8(path);
    FILE* file = fopen(name.c_str(), HostToUtf8(mode).c_str());
    if (!file)
        return NULL;
    if (mode[0] == 'r' && (PendingReadFault().offset >= 0 || PendingRewrite().rewinds > 0))
    {
        ReadFault fault = PendingReadFault();
        Rewrite rewrite = PendingRewrite();
        PendingReadFault().offset = -1;
        PendingRewrite().rewinds = 0;
        return OpenFailingReads(file, fault, name, rewrite);
    }
    if (mode[0] != 'r' && PendingWriteRoom() >= 0)
    {
        long room = PendingWriteRoom();
        PendingWriteRoom() = -1;
        return OpenFullMedium(file, room);
    }
    return file;
}

HANDLE CreateFileW(LPCWSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD, HANDLE)
{
    if (!path || creation != CREATE_NEW)
        return INVALID_HANDLE_VALUE;
    int descriptor = open(HostToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (descriptor < 0)
        return INVALID_HANDLE_VALUE;
    ++OpenFiles();
    // Offset by one, so that descriptor 0 is no null handle.
    return (HANDLE)(intptr_t)(descriptor + 1);
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE || handle == NULL || close((int)(intptr_t)handle - 1) != 0)
        return FALSE;
    --OpenFiles();
    return TRUE;
}

int HostOpenFileCount()
{
    return OpenFiles();
}

DWORD GetFileAttributesW(LPCWSTR path)
{
    struct stat status;
    if (!path || stat(HostToUtf8(path).c_str(), &status) != 0)
        return 0xFFFFFFFF;
    if (S_ISDIR(status.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    // Permissions stand for the attribute: root may write anything, but a file nobody may
    // write is read-only to the program as to Win32.
    return (status.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL DeleteFileW(LPCWSTR path)
{
    struct stat status;
    if (!path || lstat(HostToUtf8(path).c_str(), &status) != 0 || S_ISDIR(status.st_mode))
        return FALSE;
    return unlink(HostToUtf8(path).c_str()) == 0;
}

void HostFailFileMoves(int skip, int count)
{
    PendingMoveFault() = CallFault{skip, count};
}

BOOL MoveFileW(LPCWSTR existing, LPCWSTR newName)
{
    if (TakeFault(PendingMoveFault()))
        return FALSE;
    struct stat status;
    if (!existing || !newName || lstat(HostToUtf8(newName).c_str(), &status) == 0)
        return FALSE;
    return rename(HostToUtf8(existing).c_str(), HostToUtf8(newName).c_str()) == 0;
}
