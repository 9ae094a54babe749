#include "device/emulator/emulated_process.h"

#include "device/emulator/access_locator.h"
#include "device/emulator/api.h"
#include "device/emulator/handheld.h"

#include <unicorn/unicorn.h>

#include <cstdio>

namespace
{

// The instruction that returns from a trap, should the hook not move the processor on:
// "mov pc, lr" (the StrongARM has no "bx").
const uint32_t RETURN_INSTRUCTION = 0xE1A0F00E;
// What WinMain is shown with: "WinMain (Windows CE 5.0)" passes nCmdShow as for ShowWindow;
// SW_SHOW is 5 in the desktop reference.
const uint32_t SW_SHOW = 5;
// How far below the stack an address is taken to be the stack grown too far: one frame of the
// largest the device's build lets program code have (a page), and more.
const uint32_t BELOW_STACK = 0x10000;

int RegisterId(int index)
{
    if (index <= 12)
        return UC_ARM_REG_R0 + index;
    return index == 13 ? UC_ARM_REG_SP : index == 14 ? UC_ARM_REG_LR : UC_ARM_REG_PC;
}

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

uint32_t PageRound(uint32_t size)
{
    return (size + PAGE_SIZE - 1) & ~(PAGE_SIZE - 1);
}

// All registers the procedure calls of the device keep or change, saved around a nested call.
const int SAVED_REGISTERS = 17;
void SaveRegisters(uc_engine* uc, uint32_t* values)
{
    int ids[SAVED_REGISTERS];
    void* pointers[SAVED_REGISTERS];
    for (int i = 0; i < 16; ++i)
        ids[i] = RegisterId(i), pointers[i] = &values[i];
    ids[16] = UC_ARM_REG_CPSR, pointers[16] = &values[16];
    uc_reg_read_batch(uc, ids, pointers, SAVED_REGISTERS);
}

void RestoreRegisters(uc_engine* uc, uint32_t* values)
{
    int ids[SAVED_REGISTERS];
    void* pointers[SAVED_REGISTERS];
    for (int i = 0; i < 16; ++i)
        ids[i] = RegisterId(i), pointers[i] = &values[i];
    ids[16] = UC_ARM_REG_CPSR, pointers[16] = &values[16];
    uc_reg_write_batch(uc, ids, (void* const*)pointers, SAVED_REGISTERS);
}

} // namespace

// The hooks unicorn calls, each handing over to the process.
struct ProcessHooks
{
    static void Trap(uc_engine*, uint64_t address, uint32_t, void* process)
    {
        ((EmulatedProcess*)process)->OnTrap((uint32_t)address);
    }
    static void Block(uc_engine*, uint64_t address, uint32_t size, void* process)
    {
        ((EmulatedProcess*)process)->OnBlock((uint32_t)address, size);
    }
    static void Access(uc_engine*, uc_mem_type type, uint64_t address, int size, int64_t,
                       void* process)
    {
        if (size > 1 && (address & (uint64_t)(size - 1)))
            ((EmulatedProcess*)process)->OnUnaligned((uint32_t)address, size, type == UC_MEM_WRITE);
    }
    static bool Fault(uc_engine*, uc_mem_type type, uint64_t address, int size, int64_t,
                      void* process)
    {
        EmulatedProcess* self = (EmulatedProcess*)process;
        switch (type)
        {
        case UC_MEM_WRITE_PROT:
            self->OnDataFault((uint32_t)address, size, true, "read-only");
            break;
        case UC_MEM_FETCH_PROT:
        case UC_MEM_FETCH_UNMAPPED:
            self->Refuse("execution at " + self->DescribeAddress((uint32_t)address) +
                         ", which holds no code; the last call came from " +
                         self->Place(self->callerAddress()));
            break;
        default:
            self->OnDataFault((uint32_t)address, size,
                              type == UC_MEM_WRITE_UNMAPPED || type == UC_MEM_WRITE, "unmapped");
        }
        return false;
    }
    static bool Undefined(uc_engine*, void* process)
    {
        ((EmulatedProcess*)process)->OnUndefined();
        return false;
    }
    static void Interrupt(uc_engine* uc, uint32_t number, void* process)
    {
        uint32_t pc = 0;
        uc_reg_read(uc, UC_ARM_REG_PC, &pc);
        EmulatedProcess* self = (EmulatedProcess*)process;
        self->Refuse("exception " + std::to_string(number) + " at " + self->Place(pc - 4));
    }
};

EmulatedProcess::EmulatedProcess(Handheld& handheld, const ProgramFiles& files, uint32_t heapBytes)
    : handheld_(handheld), files_(files), heap_(HEAP_BASE, heapBytes), heapBytes_(heapBytes)
{
}

EmulatedProcess::~EmulatedProcess()
{
    for (auto& stream : streams)
        fclose(stream.second);
    if (uc_)
        uc_close(uc_);
}

void EmulatedProcess::Refuse(const std::string& what)
{
    {
        std::lock_guard<std::mutex> lock(refusalMutex_);
        if (!stopped_)
            refusal_ = what;
        stopped_ = true;
    }
    if (uc_)
        uc_emu_stop(uc_);
}

void EmulatedProcess::Abandon()
{
    Refuse("ended by the test while it waited for the user");
}

void EmulatedProcess::Interrupt(const std::string& why)
{
    Refuse(why);
}

void EmulatedProcess::MapRegion(uint32_t address, uint32_t size, uint32_t protection)
{
    uc_mem_map(uc_, address, PageRound(size), protection);
}

bool EmulatedProcess::MapImage()
{
    // The headers are read-only, as every section without the write flag.
    MapRegion(image_.imageBase, (uint32_t)image_.headers.size(), UC_PROT_READ);
    WriteMemory(image_.imageBase, image_.headers.data(), (uint32_t)image_.headers.size());
    for (const PeSection& section : image_.sections)
    {
        uint32_t protection = (section.readable ? UC_PROT_READ : 0) |
                              (section.writable ? UC_PROT_WRITE : 0) |
                              (section.executable ? UC_PROT_EXEC : 0);
        uint32_t address = image_.imageBase + section.address;
        if (uc_mem_map(uc_, address, PageRound(section.size), protection) != UC_ERR_OK)
        {
            refusal_ =
                "not a valid Pocket PC application: section " + section.name + " overlaps another";
            return false;
        }
        WriteMemory(address, section.data.data(), (uint32_t)section.data.size());
        if (section.executable)
        {
            codeStart_ = codeStart_ ? std::min(codeStart_, address) : address;
            codeEnd_ = std::max(codeEnd_, address + section.size);
        }
    }
    return true;
}

bool EmulatedProcess::ResolveImports()
{
    // The loader refuses a program with an import it cannot resolve. No page of Microsoft's
    // found here gives the text the device then shows, so the run says it plainly.
    for (const PeImport& import : image_.imports)
    {
        std::string why;
        const Export* found =
            ResolveImport(exports_, import.library, import.name, import.ordinal, &why);
        if (!found)
        {
            refusal_ = "the loader cannot start the program: " + why;
            return false;
        }
        uint32_t trap = TRAP_PAGE + 4 * (uint32_t)traps_.size();
        traps_.push_back(Trap{import.library, found->name, FindApiFunction(found->name)});
        WriteWord(image_.imageBase + import.slot, trap);
    }
    return true;
}

bool EmulatedProcess::Load()
{
    std::string why;
    if (!ReadPeImage(files_.program, &image_, &why) ||
        !ReadExportRecord(files_.exportRecord, &exports_, &why))
    {
        refusal_ = why;
        return false;
    }
    if (!ReadFunctionListing(files_.functions, &functions_))
    {
        refusal_ = "cannot read the function listing " + files_.functions;
        return false;
    }
    if (uc_open(UC_ARCH_ARM, UC_MODE_ARM, &uc_) != UC_ERR_OK ||
        uc_ctl_set_cpu_model(uc_, UC_CPU_ARM_SA1110) != UC_ERR_OK)
    {
        refusal_ = "cannot open the emulated processor";
        return false;
    }
    if (!MapImage())
        return false;
    stackBottom_ = STACK_TOP - image_.stackReserve;
    MapRegion(stackBottom_, image_.stackReserve, UC_PROT_READ | UC_PROT_WRITE);
    MapRegion(HEAP_BASE, heapBytes_, UC_PROT_READ | UC_PROT_WRITE);
    MapRegion(TRAP_PAGE, PAGE_SIZE, UC_PROT_READ | UC_PROT_EXEC);
    for (uint32_t at = TRAP_PAGE; at < TRAP_PAGE + PAGE_SIZE; at += 4)
        WriteWord(at, RETURN_INSTRUCTION);
    MapRegion(PARAMETER_PAGE, PAGE_SIZE, UC_PROT_READ);
    if (!ResolveImports())
        return false;
    uc_hook hook;
    uc_hook_add(uc_, &hook, UC_HOOK_CODE, (void*)ProcessHooks::Trap, this, TRAP_PAGE,
                RETURN_TRAP - 1);
    uc_hook_add(uc_, &hook, UC_HOOK_BLOCK, (void*)ProcessHooks::Block, this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_MEM_READ | UC_HOOK_MEM_WRITE, (void*)ProcessHooks::Access, this,
                1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_MEM_UNMAPPED | UC_HOOK_MEM_PROT, (void*)ProcessHooks::Fault,
                this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_INSN_INVALID, (void*)ProcessHooks::Undefined, this, 1, 0);
    uc_hook_add(uc_, &hook, UC_HOOK_INTR, (void*)ProcessHooks::Interrupt, this, 1, 0);
    return true;
}

int EmulatedProcess::Run()
{
    // "WinMain (Windows CE 5.0)": the instance, a previous instance that is always NULL, the
    // command line without the program's name (empty here: the shell starts the program
    // without arguments), and how to show the window.
    WriteWideText(PARAMETER_PAGE, std::u16string());
    SetRegister(0, image_.imageBase);
    SetRegister(1, 0);
    SetRegister(2, PARAMETER_PAGE);
    SetRegister(3, SW_SHOW);
    SetRegister(13, STACK_TOP);
    SetRegister(14, RETURN_TRAP);
    uc_err error = uc_emu_start(uc_, image_.imageBase + image_.entryPoint, RETURN_TRAP, 0, 0);
    if (error != UC_ERR_OK && !stopped_)
        Refuse(std::string("the emulated processor stopped: ") + uc_strerror(error) + " at " +
               Place(Register(15)));
    if (stopped_)
        return -1;
    int exitCode = (int)Register(0);
    ReportHeldBlocks();
    return stopped_ ? -1 : exitCode;
}

void EmulatedProcess::ReportHeldBlocks()
{
    const auto& live = heap_.liveBlocks();
    if (live.empty())
        return;
    std::string what =
        "WinMain returned with " + std::to_string(live.size()) + " heap block(s) still held:";
    int listed = 0;
    for (const auto& block : live)
    {
        if (listed++ == 4)
        {
            what += " ...";
            break;
        }
        what += " " + Hex(block.first) + " (" + std::to_string(block.second.size) +
                " bytes, from " + Place(block.second.caller) + ")";
    }
    Refuse(what);
}

uint32_t EmulatedProcess::Register(int index)
{
    uint32_t value = 0;
    uc_reg_read(uc_, RegisterId(index), &value);
    return value;
}

void EmulatedProcess::SetRegister(int index, uint32_t value)
{
    uc_reg_write(uc_, RegisterId(index), &value);
}

bool EmulatedProcess::ReadMemory(uint32_t address, void* bytes, uint32_t size)
{
    return uc_mem_read(uc_, address, bytes, size) == UC_ERR_OK;
}

bool EmulatedProcess::WriteMemory(uint32_t address, const void* bytes, uint32_t size)
{
    return uc_mem_write(uc_, address, bytes, size) == UC_ERR_OK;
}

uint32_t EmulatedProcess::ReadWord(uint32_t address)
{
    uint8_t bytes[4] = {0, 0, 0, 0};
    if (!ReadMemory(address, bytes, 4))
        Refuse("the API was passed " + Hex(address) + ", which is not mapped, from " +
               CallerPlace());
    return (uint32_t)bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (uint32_t)bytes[3] << 24;
}

uint16_t EmulatedProcess::ReadHalf(uint32_t address)
{
    uint8_t bytes[2] = {0, 0};
    if (!ReadMemory(address, bytes, 2))
        Refuse("the API was passed " + Hex(address) + ", which is not mapped, from " +
               CallerPlace());
    return (uint16_t)(bytes[0] | bytes[1] << 8);
}

void EmulatedProcess::WriteWord(uint32_t address, uint32_t value)
{
    uint8_t bytes[4] = {(uint8_t)value, (uint8_t)(value >> 8), (uint8_t)(value >> 16),
                        (uint8_t)(value >> 24)};
    if (!WriteMemory(address, bytes, 4))
        Refuse("the API was passed " + Hex(address) + " to write, which is not mapped, from " +
               CallerPlace());
}

void EmulatedProcess::WriteHalf(uint32_t address, uint16_t value)
{
    uint8_t bytes[2] = {(uint8_t)value, (uint8_t)(value >> 8)};
    if (!WriteMemory(address, bytes, 2))
        Refuse("the API was passed " + Hex(address) + " to write, which is not mapped, from " +
               CallerPlace());
}

std::u16string EmulatedProcess::ReadWideText(uint32_t address)
{
    std::u16string text;
    for (uint32_t at = address; !stopped_; at += 2)
    {
        char16_t unit = ReadHalf(at);
        if (!unit)
            break;
        text += unit;
    }
    return text;
}

std::string EmulatedProcess::ReadNarrowText(uint32_t address)
{
    std::string text;
    for (uint32_t at = address; !stopped_; ++at)
    {
        char byte = 0;
        if (!ReadMemory(at, &byte, 1))
            Refuse("the API was passed " + Hex(at) + ", which is not mapped, from " +
                   CallerPlace());
        if (!byte)
            break;
        text += byte;
    }
    return text;
}

void EmulatedProcess::WriteWideText(uint32_t address, const std::u16string& text, bool terminate)
{
    std::vector<uint8_t> bytes;
    for (char16_t unit : text)
    {
        bytes.push_back((uint8_t)unit);
        bytes.push_back((uint8_t)(unit >> 8));
    }
    if (terminate)
        bytes.insert(bytes.end(), 2, 0);
    if (!bytes.empty() && !WriteMemory(address, bytes.data(), (uint32_t)bytes.size()))
        Refuse("the API was passed " + Hex(address) + " to write, which is not mapped, from " +
               CallerPlace());
}

uint32_t EmulatedProcess::Argument(int index)
{
    if (index < 4)
        return Register(index);
    return ReadWord(Register(13) + 4 * (uint32_t)(index - 4));
}

std::string EmulatedProcess::Place(uint32_t address) const
{
    std::string function = NameFunctionAt(functions_, address);
    if (function.empty() && address >= TRAP_PAGE && address < TRAP_PAGE + PAGE_SIZE)
        function = "the device's libraries";
    return function.empty() ? Hex(address) : Hex(address) + " in " + function;
}

std::string EmulatedProcess::DescribeAddress(uint32_t address) const
{
    const PeSection* section = FindPeSection(image_, address - image_.imageBase);
    if (address >= image_.imageBase && section)
        return Hex(address) + " (" + section->name + ")";
    if (address < stackBottom_ && stackBottom_ - address <= BELOW_STACK)
        return Hex(address) + ", below the stack: the stack has outgrown its " +
               std::to_string(image_.stackReserve / 1024) + " KB";
    return Hex(address);
}

void EmulatedProcess::OnBlock(uint32_t address, uint32_t size)
{
    blockStart_ = address;
    blockSize_ = size;
    if (address >= codeStart_ && address < codeEnd_)
        instructions_ += size / 4;
}

uint32_t EmulatedProcess::LocateDataAccess(uint32_t address)
{
    return LocateAccess(
        blockStart_, blockSize_ / 4, address,
        [this](uint32_t at)
        {
            uint32_t word = 0;
            ReadMemory(at, &word, 4);
            return word;
        },
        [this](int reg) { return Register(reg); });
}

void EmulatedProcess::OnDataFault(uint32_t address, int size, bool write, const char* kind)
{
    if (stopped_)
        return;
    Refuse(std::string(write ? "write" : "read") + " of " + std::to_string(size) + " byte(s) at " +
           kind + " " + DescribeAddress(address) + " by the instruction at " +
           Place(LocateDataAccess(address)));
}

void EmulatedProcess::OnUnaligned(uint32_t address, int size, bool write)
{
    if (stopped_)
        return;
    // Windows CE on ARM stops a program with a datatype misalignment exception here; a
    // StrongARM left to itself would read rotated data.
    Refuse(std::string("unaligned ") + (size == 2 ? "halfword" : "word") + " " +
           (write ? "write" : "read") + " at " + DescribeAddress(address) +
           " by the instruction at " + Place(LocateDataAccess(address)));
}

void EmulatedProcess::OnUndefined()
{
    uint32_t pc = Register(15);
    uint32_t word = 0;
    ReadMemory(pc, &word, 4);
    Refuse("undefined instruction " + Hex(word) + " at " + Place(pc));
}

void EmulatedProcess::OnTrap(uint32_t address)
{
    if (stopped_)
    {
        uc_emu_stop(uc_);
        return;
    }
    uint32_t index = (address - TRAP_PAGE) / 4;
    uint32_t returnAddress = Register(14);
    caller_ = returnAddress - 4;
    if (index >= traps_.size())
    {
        Refuse("a jump into the device's libraries at " + Hex(address) + " from " + Place(caller_));
        return;
    }
    const Trap& trap = traps_[index];
    if (!trap.function)
    {
        Refuse("a call of " + trap.library + "!" + trap.name +
               ", which the emulated device does not implement, from " + Place(caller_));
        return;
    }
    uint32_t result = trap.function(*this);
    if (stopped_)
    {
        uc_emu_stop(uc_);
        return;
    }
    SetRegister(0, result);
    SetRegister(15, returnAddress);
}

uint32_t EmulatedProcess::CallGuest(uint32_t procedure, uint32_t a0, uint32_t a1, uint32_t a2,
                                    uint32_t a3, const std::vector<uint8_t>* record)
{
    if (stopped_)
        return 0;
    uint32_t saved[SAVED_REGISTERS];
    SaveRegisters(uc_, saved);
    uint32_t savedCaller = caller_;
    uint32_t sp = saved[13];
    if (record)
    {
        sp = (sp - (uint32_t)record->size()) & ~7u;
        if (!WriteMemory(sp, record->data(), (uint32_t)record->size()))
        {
            Refuse("no room on the stack for a record passed to " + Place(procedure));
            return 0;
        }
        a3 = sp;
    }
    uint32_t arguments[4] = {a0, a1, a2, a3};
    for (int i = 0; i < 4; ++i)
        SetRegister(i, arguments[i]);
    SetRegister(13, sp);
    SetRegister(14, RETURN_TRAP);
    ++depth_;
    uc_err error = uc_emu_start(uc_, procedure, RETURN_TRAP, 0, 0);
    --depth_;
    if (error != UC_ERR_OK && !stopped_)
        Refuse(std::string("the emulated processor stopped: ") + uc_strerror(error) + " at " +
               Place(Register(15)));
    uint32_t result = Register(0);
    RestoreRegisters(uc_, saved);
    caller_ = savedCaller;
    if (stopped_)
    {
        uc_emu_stop(uc_);
        return 0;
    }
    return result;
}
