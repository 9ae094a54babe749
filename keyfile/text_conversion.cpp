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
