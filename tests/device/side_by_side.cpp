#include "tests/device/side_by_side.h"

#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"
#include "ui/main_dialog.h"
#include "tests/keyfile/keyfile_test_support.h"

bool operator==(const Box& left, const Box& right)
{
    return left.text == right.text && left.caption == right.caption && left.type == right.type;
}

void PrintTo(const Box& box, std::ostream* out)
{
    *out << "\"" << ToUtf8(box.text) << "\" captioned \"" << ToUtf8(box.caption) << "\", type "
         << box.type;
}

namespace
{

const int BUTTONS[] = {IDC_SET_STANDARD, IDC_COPY_TO_CUSTOM, IDC_DELETE_CUSTOM, IDC_EXPORT_CUSTOM,
                       IDC_IMPORT_CUSTOM};

// Yes to every question, but No to writing or reading UTF-8 when the run says so.
int Answer(const CommandRun& run, const Box& box)
{
    if (box.type != MB_YESNO)
        return IDOK;
    bool aboutUtf8 = box.text.find(TEXT("UTF-8")) != WString::npos;
    return aboutUtf8 && !run.utf8 ? IDNO : IDYES;
}

void ReadResults(const CommandRun& run, Outcome* outcome)
{
    outcome->tree = KeyExists(IME_ROOT_KEY) ? ReadTree(IME_ROOT_KEY) : TreeContent();
    outcome->file = run.file.empty() ? std::string() : ReadFileBytes(run.file);
}

void SelectStyle(const std::vector<WString>& entries, const WString& style,
                 const std::function<void(int)>& select)
{
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i] == style)
            select((int)i);
    }
}

} // namespace

Outcome RunOnHost(const CommandRun& run)
{
    DeleteTree(IME_ROOT_KEY);
    run.setUp();
    Outcome outcome;
    TestWindows windows;
    RefreshStyleList(windows.dialog());
    SelectStyle(windows.ListEntries(), run.style, [&](int i) { windows.Select(i); });
    HostSetMessageBoxHandler(
        [&](HWND, LPCWSTR text, LPCWSTR caption, UINT type)
        {
            outcome.boxes.push_back(Box{text, caption, type});
            return Answer(run, outcome.boxes.back());
        });
    HostSetFileDialogHandler(
        [&](bool, const OPENFILENAMEW&, std::u16string* path)
        {
            *path = run.file;
            return true;
        });
    HostFailAllocations(run.failingAllocation);
    // The button's command through the dialog's own procedure, as the tap reaches it.
    MainDialogProc(windows.dialog(), WM_COMMAND, MAKEWPARAM(BUTTONS[run.command], BN_CLICKED), 0);
    outcome.allocations = HostAllocationsMade();
    outcome.leftBehind = HostLiveAllocations();
    HostClearAllocationFaults();
    HostSetMessageBoxHandler(nullptr);
    HostSetFileDialogHandler(nullptr);
    outcome.list = windows.ListEntries();
    ReadResults(run, &outcome);
    return outcome;
}

Outcome RunOnDevice(const CommandRun& run)
{
    DeleteTree(IME_ROOT_KEY);
    run.setUp();
    Outcome outcome;
    Handheld handheld;
    handheld.answerBoxes = [&](const DeviceBox& shown)
    {
        outcome.boxes.push_back(Box{shown.text, shown.caption, shown.type});
        return Answer(run, outcome.boxes.back());
    };
    handheld.answerFileDialogs = [&](const DeviceBox&, std::u16string* path)
    {
        *path = run.file;
        return true;
    };
    DeviceProgram program(handheld, DeviceBuild());
    if (!program.Start())
    {
        outcome.refusal = program.refusal();
        return outcome;
    }
    SelectStyle(program.ListEntries(IDC_STYLE_LIST), run.style,
                [&](int i) { program.Select(IDC_STYLE_LIST, i); });
    HostFailAllocations(run.failingAllocation);
    program.Press(BUTTONS[run.command]);
    outcome.allocations = HostAllocationsMade();
    outcome.leftBehind = HostLiveAllocations();
    HostClearAllocationFaults();
    outcome.list = program.ListEntries(IDC_STYLE_LIST);
    program.Press(IDOK);
    if (program.WaitForExit() != 0)
        outcome.refusal = program.waitingFor();
    ReadResults(run, &outcome);
    return outcome;
}

Outcome ExpectSameOnBothSides(const CommandRun& run)
{
    Outcome host = RunOnHost(run);
    Outcome device = RunOnDevice(run);
    EXPECT_EQ("", device.refusal);
    EXPECT_EQ(host.boxes, device.boxes);
    EXPECT_EQ(host.list, device.list);
    EXPECT_TRUE(host.tree.values == device.tree.values) << "registry values differ";
    EXPECT_EQ(host.tree.classes, device.tree.classes);
    EXPECT_TRUE(host.file == device.file)
        << "files differ: " << host.file.size() << " and " << device.file.size() << " bytes";
    EXPECT_EQ(host.allocations, device.allocations);
    EXPECT_EQ(0, device.leftBehind) << "blocks the device's command left behind";
    return host;
}
