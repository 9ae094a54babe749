// Code pages and the formatter, over the host stand-in's: the device's OEM code page is the
// stand-in's (932 unless a test sets another), and wvsprintfW is the stand-in's formatter fed
// from the guest's va_list.
#include "device/emulator/api.h"

#include "platform/host/host_format.h"

namespace
{

// Bytes of a narrow text: `length` of them, or with -1 up to and including the terminator.
std::vector<char> NarrowInput(EmulatedProcess& process, uint32_t address, int32_t length)
{
    if (!address)
        return std::vector<char>();
    if (length == -1)
    {
        std::string text = process.ReadNarrowText(address);
        return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
    }
    std::vector<char> bytes(length > 0 ? (size_t)length : 0);
    if (!bytes.empty() && !process.ReadMemory(address, bytes.data(), (uint32_t)bytes.size()))
        process.Refuse("MultiByteToWideChar was passed unmapped bytes at " + HexAddress(address) +
                       ", from " + process.CallerPlace());
    return bytes;
}

std::u16string WideInput(EmulatedProcess& process, uint32_t address, int32_t length)
{
    if (!address)
        return std::u16string();
    if (length == -1)
        return process.ReadWideText(address) + u'\0';
    GuestBuffer<WCHAR> units(process, address, length > 0 ? (uint32_t)length : 0, false);
    return std::u16string(units.pointer(), length > 0 ? (size_t)length : 0);
}

uint32_t CallMultiByteToWideChar(EmulatedProcess& process)
{
    int32_t length = (int32_t)process.Argument(3);
    std::vector<char> bytes = NarrowInput(process, process.Argument(2), length);
    int32_t capacity = (int32_t)process.Argument(5);
    GuestBuffer<WCHAR> text(process, process.Argument(4), capacity > 0 ? (uint32_t)capacity : 0,
                            true);
    const char* input = process.Argument(2) ? (bytes.empty() ? "" : bytes.data()) : NULL;
    return (uint32_t)MultiByteToWideChar(process.Argument(0), process.Argument(1), input,
                                         length == -1 ? -1 : (int)bytes.size(), text.pointer(),
                                         capacity);
}

uint32_t CallWideCharToMultiByte(EmulatedProcess& process)
{
    int32_t length = (int32_t)process.Argument(3);
    std::u16string units = WideInput(process, process.Argument(2), length);
    int32_t capacity = (int32_t)process.Argument(5);
    GuestBuffer<char> bytes(process, process.Argument(4), capacity > 0 ? (uint32_t)capacity : 0,
                            true);
    GuestBuffer<char> defaultChar(process, process.Argument(6), 1, false);
    GuestWord usedDefault(process, process.Argument(7));
    BOOL used = usedDefault.pointer() ? (BOOL)*usedDefault.pointer() : FALSE;
    const WCHAR* input = process.Argument(2) ? units.c_str() : NULL;
    int result = WideCharToMultiByte(
        process.Argument(0), process.Argument(1), input, length == -1 ? -1 : (int)units.size(),
        bytes.pointer(), capacity, defaultChar.pointer(), usedDefault.pointer() ? &used : NULL);
    if (usedDefault.pointer())
        *usedDefault.pointer() = (uint32_t)used;
    return (uint32_t)result;
}

// The arguments behind a va_list of the device: "va_list" under the APCS the device's code
// follows is the address of the next 32-bit argument slot in memory.
class GuestArguments : public FormatArguments
{
  public:
    GuestArguments(EmulatedProcess& process, uint32_t list) : process_(process), next_(list) {}
    long NextInt() override
    {
        return (int32_t)NextWord();
    }
    unsigned long NextUnsigned() override
    {
        return NextWord();
    }
    std::u16string NextText(bool narrow, long precision) override
    {
        uint32_t address = NextWord();
        std::u16string units;
        if (!address)
            units.assign(FORMAT_NULL_TEXT, FORMAT_NULL_TEXT + sizeof(FORMAT_NULL_TEXT) - 1);
        else if (narrow)
        {
            std::string bytes = process_.ReadNarrowText(address);
            for (char byte : bytes)
                units += (char16_t)(unsigned char)byte;
        }
        else
            units = process_.ReadWideText(address);
        if (precision >= 0 && units.size() > (size_t)precision)
            units.resize((size_t)precision);
        return units;
    }

  private:
    uint32_t NextWord()
    {
        uint32_t word = process_.ReadWord(next_);
        next_ += 4;
        return word;
    }
    EmulatedProcess& process_;
    uint32_t next_;
};

uint32_t CallWvsprintfW(EmulatedProcess& process)
{
    std::u16string format = process.ReadWideText(process.Argument(1));
    GuestArguments arguments(process, process.Argument(2));
    std::u16string out = FormatWide(format.c_str(), &arguments);
    process.WriteWideText(process.Argument(0), out);
    return (uint32_t)out.size();
}

} // namespace

void AddTextCalls(ApiTable* table)
{
    (*table)["MultiByteToWideChar"] = CallMultiByteToWideChar;
    (*table)["WideCharToMultiByte"] = CallWideCharToMultiByte;
    (*table)["wvsprintfW"] = CallWvsprintfW;
}
