// File streams by wide path: the UTF-16 path and mode become UTF-8 for the C library.
#include "platform/platform.h"

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

} // namespace

FILE* _wfopen(const WCHAR* path, const WCHAR* mode)
{
    if (!path || !mode)
        return NULL;
    return fopen(ToUtf8(path).c_str(), ToUtf8(mode).c_str());
}
