// One run of the handheld's program on an emulated StrongARM (unicorn's SA-1110 model), loaded
// as Windows CE 3.0 loads it: the image at its base with each section's protection, every
// import resolved against the device's export record, a stack of the image's reserve with
// nothing mapped below it, a heap of the size the test sets, and WinMain entered as the device
// enters it. Each import lands on a trap whose hook runs its function in the API layer (one
// function per import, api_*.cpp); window and dialog procedures run nested inside those
// functions, on the same processor and stack. What the device would not let the program do
// stops the run with the instruction's address and the function it lies in.
#ifndef DUNVATEL_DEVICE_EMULATOR_EMULATED_PROCESS_H
#define DUNVATEL_DEVICE_EMULATOR_EMULATED_PROCESS_H

#include "device/emulator/export_record.h"
#include "device/emulator/function_listing.h"
#include "device/emulator/guest_heap.h"
#include "device/emulator/pe_image.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct uc_struct;
class Handheld;
class EmulatedProcess;

// The guest's memory map beyond the image.
const uint32_t STACK_TOP = 0x00200000;
const uint32_t TRAP_PAGE = 0x00F00000;
const uint32_t RETURN_TRAP = TRAP_PAGE + 0xFFC; // where WinMain and nested procedures return
const uint32_t PARAMETER_PAGE = 0x00F10000;     // the command line
const uint32_t HEAP_BASE = 0x01000000;
const uint32_t PAGE_SIZE = 0x1000;

// What the run needs of the build: the program, its function listing and the export record's
// folder.
struct ProgramFiles
{
    std::string program;
    std::string functions;
    std::string exportRecord;
};

// An import's function in the API layer: reads its arguments off the process and returns r0.
typedef uint32_t (*ApiFunction)(EmulatedProcess& process);

// A posted or sent window message, with 32-bit fields as the device has them.
struct GuestMessage
{
    uint32_t window;
    uint32_t message;
    uint32_t wParam;
    uint32_t lParam;
};

class EmulatedProcess
{
  public:
    EmulatedProcess(Handheld& handheld, const ProgramFiles& files, uint32_t heapBytes);
    ~EmulatedProcess();
    EmulatedProcess(const EmulatedProcess&) = delete;
    EmulatedProcess& operator=(const EmulatedProcess&) = delete;

    // Loads the program; false when the device's loader refuses it (refusal() says why).
    bool Load();
    // Runs WinMain to its return: the exit code, or -1 when the run was refused or abandoned.
    int Run();
    // Stops the run for a reason the device would stop it for; the first reason stands.
    void Refuse(const std::string& what);
    // Stops the run because the user has gone (the test ended with the program still open).
    void Abandon();
    // Stops the run from another thread (a test that waited too long for it).
    void Interrupt(const std::string& why);
    bool stopped() const
    {
        return stopped_;
    }
    std::string refusal()
    {
        std::lock_guard<std::mutex> lock(refusalMutex_);
        return refusal_;
    }
    Handheld& handheld()
    {
        return handheld_;
    }
    uint32_t instance() const
    {
        return image_.imageBase;
    }
    const PeImage& image() const
    {
        return image_;
    }

    // The guest's memory, read and written by the API layer without the guest's hooks.
    bool ReadMemory(uint32_t address, void* bytes, uint32_t size);
    bool WriteMemory(uint32_t address, const void* bytes, uint32_t size);
    uint32_t ReadWord(uint32_t address);
    uint16_t ReadHalf(uint32_t address);
    void WriteWord(uint32_t address, uint32_t value);
    void WriteHalf(uint32_t address, uint16_t value);
    // A zero-terminated text; refuses the run when it runs off mapped memory.
    std::u16string ReadWideText(uint32_t address);
    std::string ReadNarrowText(uint32_t address);
    // Writes the units and, with `terminate`, a terminator.
    void WriteWideText(uint32_t address, const std::u16string& text, bool terminate = true);

    // The current import call's arguments (r0-r3, then the stack) and where it was called from.
    uint32_t Argument(int index);
    uint32_t callerAddress() const
    {
        return caller_;
    }
    // "0xADDRESS in Function (source)".
    std::string Place(uint32_t address) const;
    std::string CallerPlace() const
    {
        return Place(caller_);
    }
    // Runs a guest procedure with up to four arguments, nested inside the current import, and
    // returns its r0. `record`, when given, is copied onto the stack below the caller's and its
    // address passed as the fourth argument.
    uint32_t CallGuest(uint32_t procedure, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3,
                       const std::vector<uint8_t>* record = nullptr);

    GuestHeap& heap()
    {
        return heap_;
    }
    // Instructions executed in program code (not in the API layer) since the last reset.
    uint64_t instructions() const
    {
        return instructions_;
    }
    void ResetInstructions()
    {
        instructions_ = 0;
    }

    // The process's message queue: GetMessageW takes from its front.
    std::deque<GuestMessage> queue;
    bool quitPosted = false;
    uint32_t quitCode = 0;
    bool controlDown = false;
    // The C streams _wfopen opened, by the handle the program holds.
    std::map<uint32_t, FILE*> streams;
    uint32_t nextStream = 0x00E00000;

  private:
    friend struct ProcessHooks;
    bool MapImage();
    bool ResolveImports();
    void MapRegion(uint32_t address, uint32_t size, uint32_t protection);
    void OnTrap(uint32_t address);
    void OnBlock(uint32_t address, uint32_t size);
    void OnDataFault(uint32_t address, int size, bool write, const char* kind);
    void OnUnaligned(uint32_t address, int size, bool write);
    void OnUndefined();
    std::string DescribeAddress(uint32_t address) const;
    uint32_t LocateDataAccess(uint32_t address);
    void ReportHeldBlocks();
    uint32_t Register(int id);
    void SetRegister(int id, uint32_t value);

    Handheld& handheld_;
    ProgramFiles files_;
    PeImage image_;
    ExportRecord exports_;
    FunctionListing functions_;
    GuestHeap heap_;
    uint32_t heapBytes_;
    uc_struct* uc_ = nullptr;
    struct Trap
    {
        std::string library;
        std::string name;
        ApiFunction function;
    };
    std::vector<Trap> traps_;
    uint32_t stackBottom_ = 0;
    uint32_t caller_ = 0;
    uint32_t blockStart_ = 0;
    uint32_t blockSize_ = 0;
    uint64_t instructions_ = 0;
    uint32_t codeStart_ = 0;
    uint32_t codeEnd_ = 0;
    int depth_ = 0;
    // Set by the process's own thread, or by the test's when it stops a run that will not wait.
    std::atomic<bool> stopped_{false};
    std::mutex refusalMutex_;
    std::string refusal_;
};

#endif
