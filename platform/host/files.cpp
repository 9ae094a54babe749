// File streams by wide path: the UTF-16 path and mode become UTF-8 for the C library.
#include "platform/host/host_test_hooks.h"

#include <errno.h>

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

std::string ToUtf8(const WCHAR* text)
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

long& FailingReadOffset()
{
    static long offset = -1;
    return offset;
}

// A stream over a real file whose reads fail from a byte offset on.
struct FailingReads
{
    FILE* file;
    long failFrom;
};

ssize_t ReadUntilFailure(void* cookie, char* buffer, size_t size)
{
    FailingReads* reads = (FailingReads*)cookie;
    long at = ftell(reads->file);
    if (at < 0 || at >= reads->failFrom)
    {
        errno = EIO;
        return -1;
    }
    size_t allowed = (size_t)(reads->failFrom - at);
    return (ssize_t)fread(buffer, 1, size < allowed ? size : allowed, reads->file);
}

int SeekFailingReads(void* cookie, off64_t* offset, int whence)
{
    FailingReads* reads = (FailingReads*)cookie;
    if (fseek(reads->file, (long)*offset, whence) != 0)
        return -1;
    *offset = ftell(reads->file);
    return 0;
}

int CloseFailingReads(void* cookie)
{
    FailingReads* reads = (FailingReads*)cookie;
    int result = fclose(reads->file);
    delete reads;
    return result;
}

FILE* OpenFailingReads(FILE* file, long failFrom)
{
    cookie_io_functions_t functions = {ReadUntilFailure, NULL, SeekFailingReads, CloseFailingReads};
    return fopencookie(new FailingReads{file, failFrom}, "rb", functions);
}

} // namespace

void HostFailFileReadsFrom(long offset)
{
    FailingReadOffset() = offset;
}

FILE* _wfopen(const WCHAR* path, const WCHAR* mode)
{
    if (!path || !mode)
        return NULL;
    FILE* file = fopen(ToUtf8(path).c_str(), ToUtf8(mode).c_str());
    long failFrom = FailingReadOffset();
    if (!file || failFrom < 0 || mode[0] != 'r')
        return file;
    FailingReadOffset() = -1;
    return OpenFailingReads(file, failFrom);
}
