// The platform's code-page conversion and formatter as the key-definition file relies on them.
// They run in both builds: a case that passes on the host and fails under Wine shows a
// stand-in that does not behave like the platform.
#include "tests/support/test_support.h"

#include <stdarg.h>

namespace
{

TEST(ConversionRules, LengthMinusOneCountsTheTerminatorAndUnmappedTextTakesTheDefault)
{
    EXPECT_EQ(4, WideCharToMultiByte(CP_OEMCP, 0, TEXT("abc"), -1, NULL, 0, NULL, NULL));
    EXPECT_EQ(7, WideCharToMultiByte(CP_OEMCP, 0, TEXT("日本語"), -1, NULL, 0, NULL, NULL));
    EXPECT_EQ(4, MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "abc", -1, NULL, 0));
    EXPECT_EQ(4, MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "\x93\xFA\x61\x62", -1, NULL, 0));
    char bytes[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(4, WideCharToMultiByte(CP_OEMCP, 0, TEXT("日a"), -1, bytes, 8, NULL, NULL));
    EXPECT_EQ(std::string("\x93\xFA\x61", 4), std::string(bytes, 4)); // 日a and the terminator
    // A flag the conversion does not know makes it fail.
    EXPECT_EQ(0, WideCharToMultiByte(CP_OEMCP, 1, TEXT("a"), -1, bytes, 8, NULL, NULL));

    // What the code pages cannot map becomes their default character.
    BOOL used = FALSE;
    EXPECT_EQ(5,
              WideCharToMultiByte(CP_OEMCP, 0, TEXT("€丂\U0001F600"), -1, bytes, 8, NULL, &used));
    EXPECT_EQ("????", std::string(bytes));
    EXPECT_TRUE(used);

    WCHAR text[8] = {0};
    // The lead byte 0x81 takes the blank with it.
    EXPECT_EQ(3, MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "\x81 c", -1, text, 8));
    EXPECT_EQ(W(TEXT("\u30FBc")), WString(text));
    EXPECT_EQ(0, MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, "\x81 c", -1, text, 8));
    // A lead byte last in the text does not take the terminator with it.
    EXPECT_EQ(3, MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "a\x81", -1, text, 8));
    EXPECT_EQ(W(TEXT("a\u30FB")), WString(text));
    // The single bytes Shift JIS leaves undefined stand for characters that convert back to them.
    EXPECT_EQ(6, MultiByteToWideChar(CP_OEMCP, 0, "\x80\xA0\xFD\xFE\xFF", -1, text, 8));
    EXPECT_EQ(6, WideCharToMultiByte(CP_OEMCP, 0, text, -1, bytes, 8, NULL, NULL));
    EXPECT_EQ("\x80\xA0\xFD\xFE\xFF", std::string(bytes));
}

int Format(WCHAR* buffer, LPCWSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfW(buffer, format, arguments);
    va_end(arguments);
    return length;
}

TEST(ConversionRules, TheFormatterTakesWideStringsAndStopsAt1023Units)
{
    std::vector<WCHAR> buffer(4096, u'#');
    EXPECT_EQ(10, Format(buffer.data(), TEXT("%s=%u (%d)"), TEXT("日本"), 42u, -7));
    EXPECT_EQ(W(TEXT("日本=42 (-7)")), WString(buffer.data()));

    WString longText(2000, u'a');
    Format(buffer.data(), TEXT("%s\r\n"), longText.c_str());
    EXPECT_EQ(1023u, WString(buffer.data()).size());
    EXPECT_EQ(u'#', buffer[1024]);
}

} // namespace
