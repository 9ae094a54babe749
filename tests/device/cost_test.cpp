// What each command costs on the device: instructions executed in program code (the API layer,
// the device's own libraries, apart) and the heap's peak, counted on the emulated StrongARM.
// The counts are the same on every run: the emulated processor has no clock to drift.
#include "tests/device/device_test_support.h"
#include "tests/keyfile/keyfile_test_support.h"

#include "bench/bench_data.h"
#include "resources/resource.h"
#include "store/style_store.h"

namespace
{

struct Cost
{
    uint64_t instructions;
    uint32_t heapPeak;
};

// Runs the command with every box answered Yes or OK and every file dialog choosing `file`.
Cost Measure(int button, const WString& style, const WString& file)
{
    Handheld handheld;
    handheld.answerBoxes = [](const DeviceBox& box) { return box.type == MB_YESNO ? IDYES : IDOK; };
    handheld.answerFileDialogs = [&](const DeviceBox&, std::u16string* path)
    {
        *path = file;
        return true;
    };
    DeviceProgram program(handheld, DeviceBuild());
    EXPECT_TRUE(program.Start()) << program.refusal();
    std::vector<WString> entries = program.ListEntries(IDC_STYLE_LIST);
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i] == style)
            program.Select(IDC_STYLE_LIST, (int)i);
    }
    program.process().ResetInstructions();
    program.process().heap().ResetPeak();
    program.Press(button);
    Cost cost = {program.process().instructions(), program.process().heap().peakBytes()};
    program.Press(IDOK);
    EXPECT_EQ(0, program.WaitForExit()) << program.waitingFor();
    return cost;
}

void StoreDefinitions(const WString& path, int count)
{
    HKEY key = RecreateKey(path.c_str());
    ASSERT_TRUE(key != NULL);
    StoreDefinitions(key, MakeKeyDefinitions(count));
    RegCloseKey(key);
}

class DeviceCost : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        DeleteTree(IME_ROOT_KEY);
    }
    // Measures twice, expects the same counts, and prints the row.
    Cost Row(const char* what, const std::function<void()>& setUp, int button,
             const WString& style = WString())
    {
        Cost first = {0, 0}, second = {0, 0};
        for (Cost* cost : {&first, &second})
        {
            DeleteFileW(file.c_str());
            setUp();
            *cost = Measure(button, style, file);
        }
        EXPECT_EQ(first.instructions, second.instructions) << what;
        EXPECT_EQ(first.heapPeak, second.heapPeak) << what;
        printf("| %s | %llu | %.1f ms | %u |\n", what, (unsigned long long)first.instructions,
               first.instructions / 206e3, first.heapPeak);
        return first;
    }
    ScratchDirectory scratch;
    WString file = scratch.File(TEXT("keys.txt"));
};

TEST_F(DeviceCost, OfEachCommandIsTheSameOnEveryRunAndItsHeapDoesNotGrowWithTheFile)
{
    Cost export100 = Row(
        "export, 100 key definitions", [] { StoreDefinitions(CUSTOM_STYLE_KEY, 100); },
        IDC_EXPORT_CUSTOM);
    Cost export1000 = Row(
        "export, 1,000 key definitions", [] { StoreDefinitions(CUSTOM_STYLE_KEY, 1000); },
        IDC_EXPORT_CUSTOM);
    std::string file100, file1000;
    DeleteFileW(file.c_str());
    StoreDefinitions(CUSTOM_STYLE_KEY, 100);
    Measure(IDC_EXPORT_CUSTOM, WString(), file);
    file100 = ReadFileBytes(file);
    StoreDefinitions(CUSTOM_STYLE_KEY, 1000);
    Measure(IDC_EXPORT_CUSTOM, WString(), file);
    file1000 = ReadFileBytes(file);
    Cost import100 = Row(
        "import, 100 key definitions",
        [&]
        {
            RecreateKey(CUSTOM_STYLE_KEY);
            WriteFileBytes(file, file100);
        },
        IDC_IMPORT_CUSTOM);
    Cost import1000 = Row(
        "import, 1,000 key definitions",
        [&]
        {
            RecreateKey(CUSTOM_STYLE_KEY);
            WriteFileBytes(file, file1000);
        },
        IDC_IMPORT_CUSTOM);
    Row(
        "copy of a style of 1,000 values",
        [&]
        {
            DeleteTree(CUSTOM_STYLE_KEY);
            StoreDefinitions(StylePath(TEXT("Thousand")), 1000);
        },
        IDC_COPY_TO_CUSTOM, TEXT("Thousand"));
    Row(
        "setting the standard style",
        [&]
        {
            CreateKey(StylePath(TEXT("Alpha")));
            SetStandardStyleValue(TEXT("Beta"));
        },
        IDC_SET_STANDARD, TEXT("Alpha"));
    // Export and import hold buffers of fixed size, whatever the file's length.
    EXPECT_EQ(export100.heapPeak, export1000.heapPeak);
    EXPECT_EQ(import100.heapPeak, import1000.heapPeak);
    EXPECT_GT(export1000.instructions, 5 * export100.instructions);
}

} // namespace
