// Code-page conversion through iconv, answering as the platform's table-driven conversion does:
// a character the code page lacks becomes its default character, a byte sequence it cannot
// read becomes its default Unicode character, and a length of -1 counts the terminator. Flags
// the conversion to the code page does not know make it fail.
#include "platform/host/host_test_hooks.h"

#include <iconv.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace
{

UINT& OemCodePage()
{
    static UINT codePage = 932;
    return codePage;
}

UINT ResolveCodePage(UINT codePage)
{
    // The device's ANSI and OEM code pages are the same; the host keeps one for both.
    if (codePage == CP_OEMCP || codePage == CP_ACP)
        return OemCodePage();
    return codePage;
}

std::string IconvName(UINT codePage)
{
    return "CP" + std::to_string(codePage);
}

// The Unicode character that stands for a byte sequence the code page cannot read.
char16_t DefaultUnicodeChar(UINT codePage)
{
    return codePage == 932 ? 0x30FB : u'?';
}

bool IsLeadByte(UINT codePage, unsigned char byte)
{
    if (codePage != 932)
        return false;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Single bytes that Shift JIS leaves undefined and the platform's code page 932 still maps.
bool MapUndefinedSingleByte(UINT codePage, unsigned char byte, char16_t* unit)
{
    if (codePage != 932)
        return false;
    if (byte == 0x80)
        *unit = 0x0080;
    else if (byte == 0xA0)
        *unit = 0xF8F0;
    else if (byte >= 0xFD)
        *unit = (char16_t)(0xF8F1 + (byte - 0xFD));
    else
        return false;
    return true;
}

// The way back for those bytes: the platform's table maps each of their characters to it.
bool UnmapUndefinedSingleByte(UINT codePage, char16_t unit, char* byte)
{
    if (codePage != 932)
        return false;
    if (unit == 0x0080)
        *byte = (char)0x80;
    else if (unit == 0xF8F0)
        *byte = (char)0xA0;
    else if (unit >= 0xF8F1 && unit <= 0xF8F3)
        *byte = (char)(0xFD + (unit - 0xF8F1));
    else
        return false;
    return true;
}

class Converter
{
  public:
    Converter(const std::string& to, const std::string& from)
        : handle_(iconv_open(to.c_str(), from.c_str()))
    {
    }
    ~Converter()
    {
        if (valid())
            iconv_close(handle_);
    }
    bool valid() const
    {
        return handle_ != (iconv_t)-1;
    }
    // Converts one whole character; false when iconv cannot.
    bool Convert(const char* in, size_t inBytes, std::string* out)
    {
        iconv(handle_, NULL, NULL, NULL, NULL);
        char buffer[16];
        char* source = (char*)in;
        char* target = buffer;
        size_t room = sizeof(buffer);
        if (iconv(handle_, &source, &inBytes, &target, &room) == (size_t)-1 || inBytes != 0)
            return false;
        out->assign(buffer, target);
        return true;
    }

  private:
    iconv_t handle_;
};

// Opening a converter costs far more than a conversion: each direction and code page is
// opened once and kept for the process.
Converter& CachedConverter(const std::string& to, const std::string& from)
{
    static std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> converters;
    std::unique_ptr<Converter>& converter = converters[std::make_pair(to, from)];
    if (!converter)
        converter.reset(new Converter(to, from));
    return *converter;
}

// Every code page the host offers keeps ASCII as it is, in both directions.
bool IsAscii(unsigned unit)
{
    return unit < 0x80;
}

bool IsSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void AppendUtf16(const std::string& littleEndian, std::u16string* text)
{
    for (size_t i = 0; i + 1 < littleEndian.size(); i += 2)
        text->push_back(
            (char16_t)((unsigned char)littleEndian[i] | ((unsigned char)littleEndian[i + 1] << 8)));
}

bool DecodeBytes(UINT codePage, DWORD flags, const unsigned char* bytes, size_t length,
                 std::u16string* text)
{
    Converter& converter = CachedConverter("UTF-16LE", IconvName(codePage));
    if (!converter.valid())
        return false;
    size_t i = 0;
    while (i < length)
    {
        if (IsAscii(bytes[i]))
        {
            text->push_back((char16_t)bytes[i++]);
            continue;
        }
        // A lead byte takes the next byte with it, even when the pair means nothing; only a
        // zero byte is never taken, so a terminator after a stray lead byte stays one.
        size_t width = IsLeadByte(codePage, bytes[i]) && i + 1 < length && bytes[i + 1] ? 2 : 1;
        std::string units;
        char16_t unit = 0;
        if (converter.Convert((const char*)bytes + i, width, &units))
            AppendUtf16(units, text);
        else if (width == 1 && MapUndefinedSingleByte(codePage, bytes[i], &unit))
            text->push_back(unit);
        else if (flags & MB_ERR_INVALID_CHARS)
            return false;
        else
            text->push_back(DefaultUnicodeChar(codePage));
        i += width;
    }
    return true;
}

bool EncodeText(UINT codePage, const char16_t* text, size_t length, char defaultChar,
                std::string* bytes, bool* usedDefault)
{
    Converter& converter = CachedConverter(IconvName(codePage), "UTF-16LE");
    if (!converter.valid())
        return false;
    for (size_t i = 0; i < length; ++i)
    {
        char16_t unit = text[i];
        if (IsAscii(unit))
        {
            bytes->push_back((char)unit);
            continue;
        }
        char single = 0;
        if (UnmapUndefinedSingleByte(codePage, unit, &single))
        {
            bytes->push_back(single);
            continue;
        }
        char in[2] = {(char)(unit & 0xFF), (char)(unit >> 8)};
        std::string converted;
        // No code page here holds characters beyond the basic plane: each half of a
        // surrogate pair becomes the default character on its own.
        if (!IsSurrogate(unit) && converter.Convert(in, 2, &converted))
        {
            *bytes += converted;
            continue;
        }
        bytes->push_back(defaultChar);
        *usedDefault = true;
    }
    return true;
}

// Answers as both conversions do: a capacity of 0 asks for the size; a result that does not
// fit fills the buffer and fails.
template <typename Text, typename Unit> int HandOver(const Text& converted, Unit* out, int capacity)
{
    if (capacity == 0)
        return (int)converted.size();
    if (converted.size() > (size_t)capacity)
    {
        converted.copy(out, (size_t)capacity);
        return 0;
    }
    converted.copy(out, converted.size());
    return (int)converted.size();
}

} // namespace

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR bytes,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    // The platform refuses flags it does not know (ERROR_INVALID_FLAGS); the stand-in
    // implements none of those it knows, and the program passes none.
    if (!text || length == 0 || length < -1 || capacity < 0 || flags != 0)
        return 0;
    size_t units = length == -1 ? wcslen(text) + 1 : (size_t)length;
    std::string converted;
    bool usedDefault = false;
    if (!EncodeText(ResolveCodePage(codePage), text, units, defaultChar ? *defaultChar : '?',
                    &converted, &usedDefault))
        return 0;
    if (usedDefaultChar)
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    return HandOver(converted, bytes, capacity);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int length, LPWSTR text,
                        int capacity)
{
    if (!bytes || length == 0 || length < -1 || capacity < 0)
        return 0;
    size_t count = length == -1 ? strlen(bytes) + 1 : (size_t)length;
    std::u16string converted;
    if (!DecodeBytes(ResolveCodePage(codePage), flags, (const unsigned char*)bytes, count,
                     &converted))
        return 0;
    return HandOver(converted, text, capacity);
}

void HostSetOemCodePage(UINT codePage)
{
    OemCodePage() = codePage;
}

UINT HostOemCodePage()
{
    return OemCodePage();
}
