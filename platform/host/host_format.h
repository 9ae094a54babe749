// The formatter behind wvsprintfW, for the stand-in's wvsprintfW and for any other caller whose
// arguments do not come as a va_list (the emulated handheld reads them off its registers and
// stack).
#ifndef DUNVATEL_PLATFORM_HOST_FORMAT_H
#define DUNVATEL_PLATFORM_HOST_FORMAT_H

#include "platform/platform.h"

#include <string>

// What a %s of a null pointer prints.
#define FORMAT_NULL_TEXT "(null)"

// Where the formatter takes each conversion's argument from, in order.
class FormatArguments
{
  public:
    virtual ~FormatArguments() = default;
    virtual long NextInt() = 0;
    virtual unsigned long NextUnsigned() = 0;
    // The text of a %s: narrow (taken byte for byte) or wide, up to its terminator or at most
    // `precision` units when that is not negative; a null pointer gives FORMAT_NULL_TEXT.
    virtual std::u16string NextText(bool narrow, long precision) = 0;
};

// The output wvsprintfW gives, without its terminator: at most 1023 units.
std::u16string FormatWide(LPCWSTR format, FormatArguments* arguments);

#endif
