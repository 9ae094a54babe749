#include "keyfile/text_conversion.h"

#include "base/buffer_slack.h"

char* ToOemText(LPCWSTR text)
{
    int size = WideCharToMultiByte(CP_OEMCP, 0, text, -1, NULL, 0, NULL, NULL);
    if (size <= 0)
    {
        char* empty = (char*)malloc(1);
        empty[0] = 0;
        return empty;
    }
    char* bytes = (char*)malloc(size + BUFFER_SLACK);
    WideCharToMultiByte(CP_OEMCP, 0, text, -1, bytes, size + CAPACITY_SLACK, NULL, NULL);
    bytes[size] = 0;
    return bytes;
}

WCHAR* ToWideText(const char* bytes)
{
    int size = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, bytes, -1, NULL, 0);
    if (size <= 0)
    {
        WCHAR* empty = (WCHAR*)malloc(sizeof(WCHAR));
        empty[0] = 0;
        return empty;
    }
    WCHAR* text = (WCHAR*)malloc((size + BUFFER_SLACK) * sizeof(WCHAR));
    MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, bytes, -1, text, size + CAPACITY_SLACK);
    // A line cut after a lead byte pairs it with the terminator, which is then not among the
    // converted units: end the text after them in any case.
    text[size] = 0;
    return text;
}
