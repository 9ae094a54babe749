// user32's wvsprintfW: the conversions it knows, %s taking a wide string, and its fixed limit of
// 1024 units: longer output is cut at 1023 units and a terminator, and 1023 is returned. The
// formatting itself takes its arguments from a FormatArguments, which a va_list feeds here and
// the emulated handheld's registers and stack feed there.
#include "platform/host/host_format.h"

#include <type_traits>

namespace
{

const size_t FORMAT_LIMIT = 1024;

struct Conversion
{
    bool leftAlign = false;
    bool zeroPad = false;
    bool alternate = false;
    size_t width = 0;
    long precision = -1;
    bool narrow = false; // h: %s and %c take narrow text
    bool wide = false;   // l or w: they take wide text
};

size_t ReadNumber(LPCWSTR* format)
{
    size_t number = 0;
    while (**format >= u'0' && **format <= u'9')
    {
        number = number * 10 + (size_t)(**format - u'0');
        ++*format;
    }
    return number;
}

void Pad(std::u16string* out, const std::u16string& text, const Conversion& conversion,
         bool numeric)
{
    size_t padding = conversion.width > text.size() ? conversion.width - text.size() : 0;
    if (conversion.leftAlign)
    {
        *out += text;
        out->append(padding, u' ');
        return;
    }
    if (numeric && conversion.zeroPad && !text.empty() && text[0] == u'-')
    {
        *out += u'-';
        out->append(padding, u'0');
        out->append(text, 1, std::u16string::npos);
        return;
    }
    out->append(padding, numeric && conversion.zeroPad ? u'0' : u' ');
    *out += text;
}

std::u16string Digits(unsigned long value, unsigned base, bool upper)
{
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string digits;
    do
    {
        digits.insert(digits.begin(), (char16_t)symbols[value % base]);
        value /= base;
    } while (value);
    return digits;
}

// Appends one conversion; false for a letter the formatter does not know, which is then
// copied as it stands.
bool Convert(std::u16string* out, WCHAR type, const Conversion& conversion,
             FormatArguments* arguments)
{
    switch (type)
    {
    case u's':
    case u'S':
    {
        bool narrow = conversion.narrow || (type == u'S' && !conversion.wide);
        Pad(out, arguments->NextText(narrow, conversion.precision), conversion, false);
        return true;
    }
    case u'c':
    case u'C':
        Pad(out, std::u16string(1, (char16_t)arguments->NextInt()), conversion, false);
        return true;
    case u'd':
    case u'i':
    {
        long value = arguments->NextInt();
        std::u16string text =
            Digits(value < 0 ? 0UL - (unsigned long)value : (unsigned long)value, 10, false);
        if (value < 0)
            text.insert(text.begin(), u'-');
        Pad(out, text, conversion, true);
        return true;
    }
    case u'u':
        Pad(out, Digits(arguments->NextUnsigned(), 10, false), conversion, true);
        return true;
    case u'x':
    case u'X':
    {
        std::u16string text = Digits(arguments->NextUnsigned(), 16, type == u'X');
        if (conversion.alternate)
            text.insert(0, type == u'X' ? u"0X" : u"0x");
        Pad(out, text, conversion, true);
        return true;
    }
    default:
        return false;
    }
}

// The units of a text up to its terminator, or at most `precision` of them; narrow text is
// taken byte for byte.
template <typename Unit> std::u16string UnitsOf(const Unit* text, long precision)
{
    std::u16string units;
    for (long i = 0; text[i] && (precision < 0 || i < precision); ++i)
        units += (char16_t)(typename std::make_unsigned<Unit>::type)text[i];
    return units;
}

// The arguments of a va_list, as the program passes them on the host.
class ListedArguments : public FormatArguments
{
  public:
    explicit ListedArguments(va_list arguments)
    {
        va_copy(walk_, arguments);
    }
    ~ListedArguments() override
    {
        va_end(walk_);
    }
    long NextInt() override
    {
        return va_arg(walk_, int);
    }
    unsigned long NextUnsigned() override
    {
        return va_arg(walk_, unsigned);
    }
    std::u16string NextText(bool narrow, long precision) override
    {
        if (narrow)
        {
            const char* text = va_arg(walk_, const char*);
            return text ? UnitsOf(text, precision) : UnitsOf(FORMAT_NULL_TEXT, precision);
        }
        const WCHAR* text = va_arg(walk_, const WCHAR*);
        return text ? UnitsOf(text, precision) : UnitsOf(FORMAT_NULL_TEXT, precision);
    }

  private:
    va_list walk_;
};

} // namespace

std::u16string FormatWide(LPCWSTR format, FormatArguments* arguments)
{
    std::u16string out;
    while (*format)
    {
        if (*format != u'%')
        {
            out += *format++;
            continue;
        }
        LPCWSTR start = format++;
        if (*format == u'%')
        {
            out += *format++;
            continue;
        }
        Conversion conversion;
        for (;; ++format)
        {
            if (*format == u'-')
                conversion.leftAlign = true;
            else if (*format == u'0')
                conversion.zeroPad = true;
            else if (*format == u'#')
                conversion.alternate = true;
            else
                break;
        }
        conversion.width = ReadNumber(&format);
        if (*format == u'.')
        {
            ++format;
            conversion.precision = (long)ReadNumber(&format);
        }
        if (*format == u'h')
            conversion.narrow = true, ++format;
        else if (*format == u'l' || *format == u'w')
            conversion.wide = true, ++format;
        if (!*format)
            break;
        WCHAR type = *format++;
        if (!Convert(&out, type, conversion, arguments))
            out.append(start, format);
    }
    if (out.size() > FORMAT_LIMIT - 1)
        out.resize(FORMAT_LIMIT - 1);
    return out;
}

int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments)
{
    ListedArguments listed(arguments);
    std::u16string out = FormatWide(format, &listed);
    out.copy(buffer, out.size());
    buffer[out.size()] = 0;
    return (int)out.size();
}
