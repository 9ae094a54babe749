// Registry failures in the middle of a copy or a deletion, made by the host stand-in: what
// cannot be read or written is skipped and counted, the rest still arrives, the user is told,
// and no handle is left open.
#include "tests/support/test_support.h"

#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "store/custom_style.h"
#include "store/key_tree.h"
#include "store/style_catalogue.h"
#include "store/style_store.h"

namespace
{

class CustomStyleFaults : public StoreTest
{
  protected:
    // Source
    //   values One, Two, Three
    //   B: value InB; B\C: value InC      (subkeys enumerate in name order: B before D)
    //   D: value InD
    void SetUp() override
    {
        StoreTest::SetUp();
        source = StylePath(TEXT("Source"));
        SetString(source, TEXT("One"), TEXT("1"));
        SetString(source, TEXT("Two"), TEXT("2"));
        SetString(source, TEXT("Three"), TEXT("3"));
        SetString(source + TEXT("\\B"), TEXT("InB"), TEXT("b"));
        SetString(source + TEXT("\\B\\C"), TEXT("InC"), TEXT("c"));
        SetString(source + TEXT("\\D"), TEXT("InD"), TEXT("d"));
        CreateKey(CUSTOM_STYLE_KEY);
    }
    WString source;
};

typedef std::vector<WString> Paths;

// Each fault in turn: the source is copied into an empty Custom the way the copy command does,
// with the call failing at its `skip`-th use, and what arrived is compared.
TEST_F(CustomStyleFaults, WhatCannotBeReadOrCreatedIsSkippedWithItsTreeAndTheRestArrives)
{
    const WString bc = TEXT("B\\C|InC"), b = TEXT("B|InB"), d = TEXT("D|InD"), one = TEXT("|One"),
                  three = TEXT("|Three"), two = TEXT("|Two");
    const Paths keysBD = {TEXT("B"), TEXT("D")}, keysBCD = {TEXT("B"), TEXT("B\\C"), TEXT("D")};
    const LONG denied = ERROR_ACCESS_DENIED;
    const struct
    {
        HostRegistryCall call; // HOST_REG_CALL_KINDS: no fault
        int skip;
        LONG error;
        Paths arrived;
        Paths keys;   // empty: not checked
        long written; // values written; -1: not checked
        UINT missed;  // values and keys counted as not copied
    } cases[] = {
        {HOST_REG_CALL_KINDS, 0, 0, {bc, b, d, one, three, two}, {}, 6, 0},
        // The second value fails; its buffers still hold the first value's name and data, and
        // nothing stale is written in its place.
        {HOST_REG_ENUM_VALUE, 1, denied, {bc, b, d, one, three}, {}, 5, 1},
        {HOST_REG_ENUM_VALUE, 0, ERROR_MORE_DATA, {bc, b, d, three, two}, {}, 5, 1},
        // Writes: One (0), Two (1), Three (2), then B's, C's and D's.
        {HOST_REG_SET_VALUE, 2, denied, {bc, b, d, one, two}, {}, 6, 1},
        // Opens and queries: the source (0), B (1), C (2), D (3). A key counts once.
        {HOST_REG_OPEN, 1, denied, {d, one, three, two}, keysBD, -1, 1},
        {HOST_REG_OPEN, 2, denied, {b, d, one, three, two}, {}, -1, 1},
        {HOST_REG_OPEN, 0, denied, {}, {}, 0, 1},
        {HOST_REG_QUERY_INFO, 1, denied, {d, one, three, two}, {}, -1, 1},
        {HOST_REG_QUERY_INFO, 3, denied, {bc, b, one, three, two}, keysBCD, -1, 1},
        // Subkey enumerations: B (0) and D (1) of the source, C (2) of B.
        {HOST_REG_ENUM_KEY, 0, denied, {d, one, three, two}, {TEXT("D")}, -1, 1},
        // Creates: B (0), C (1), D (2).
        {HOST_REG_CREATE, 1, denied, {b, d, one, three, two}, keysBD, -1, 1},
        {HOST_REG_CREATE, 2, denied, {bc, b, one, three, two}, {}, -1, 1},
    };
    for (const auto& each : cases)
    {
        SCOPED_TRACE(testing::Message() << "call " << each.call << ", use " << each.skip);
        DeleteTree(CUSTOM_STYLE_KEY);
        CreateKey(CUSTOM_STYLE_KEY);
        HKEY styles = OpenKey(STYLE_LIST_KEY);
        HKEY custom = OpenKey(CUSTOM_STYLE_KEY);
        long setsBefore = HostRegistryCallCount(HOST_REG_SET_VALUE);
        if (each.call != HOST_REG_CALL_KINDS)
            HostFailRegistryCall(each.call, each.skip, each.error);
        EXPECT_EQ(each.missed, CopyKeyTree(custom, styles, TEXT("Source")));
        HostClearRegistryFaults();
        RegCloseKey(custom);
        RegCloseKey(styles);
        EXPECT_EQ(0, HostOpenKeyCount()) << "registry handles left open by the copy";
        Paths arrived;
        for (const auto& entry : TreeValues(CUSTOM_STYLE_KEY))
            arrived.push_back(entry.first);
        EXPECT_EQ(each.arrived, arrived);
        EXPECT_EQ(each.keys, each.keys.empty() ? Paths() : TreeKeyPaths(CUSTOM_STYLE_KEY));
        long written = HostRegistryCallCount(HOST_REG_SET_VALUE) - setsBefore;
        EXPECT_EQ(each.written, each.written < 0 ? -1 : written);
    }
}

TEST_F(CustomStyleFaults, FailedAndPartCopiesAndAFailedDeletionAreTold)
{
    DeleteTree(CUSTOM_STYLE_KEY);
    // Opens: the Custom existence test (0), the style list (1), the style (2); then the create.
    const struct
    {
        HostRegistryCall call;
        int skip;
    } faults[] = {{HOST_REG_OPEN, 1}, {HOST_REG_OPEN, 2}, {HOST_REG_CREATE, 0}};
    for (const auto& fault : faults)
    {
        size_t shown = user.boxes().size();
        ShowStylesSelecting(TEXT("Source"));
        user.WillAnswer({IDYES, IDOK});
        HostFailRegistryCall(fault.call, fault.skip);
        CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
        ASSERT_EQ(shown + 2, user.boxes().size());
        EXPECT_TRUE(user.Showed(shown, ASK_CREATE, TEXT("Source"), MB_YESNO));
        EXPECT_TRUE(user.Showed(shown + 1, COPY_FAILED, TEXT("Source")));
        EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
        EXPECT_EQ((std::vector<WString>{TEXT("Source")}), windows.ListEntries()); // rebuilt
    }

    // A registry that refuses the third value: the copy is made, and the user told what missed.
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer({IDYES, IDOK});
    HostFailRegistryCall(HOST_REG_SET_VALUE, 2);
    CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    // It worked under the wait cursor to its last value (the notice came under the arrow).
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_SET_VALUE));
    ASSERT_EQ(8u, user.boxes().size());
    EXPECT_TRUE(user.Showed(7, Counted(COPIED_IN_PART, 1), TEXT("Source")));
    EXPECT_EQ(5u, TreeValues(CUSTOM_STYLE_KEY).size());

    // A failed deletion is told and leaves the list.
    SetStandardStyleValue(TEXT("Source"));
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer({IDYES, IDOK});
    HostFailRegistryCall(HOST_REG_DELETE_KEY, 0);
    DeleteCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_DELETE_KEY));
    ASSERT_EQ(10u, user.boxes().size());
    EXPECT_TRUE(user.Showed(9, DELETE_FAILED, CAPTION_DELETE));
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<WString>{TEXT("Custom"), TEXT("Source"), LIST_MARKER}),
              windows.ListEntries());

    // A list that cannot give the selected entry's text: nothing copied, as without a selection.
    HostFailListMessage(CB_GETLBTEXT);
    CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_TRUE(ListWasRebuilt());
}

// Each allocation of a command failing in turn. Without the selected name nothing changes and
// the user is told; a key whose buffers cannot be had is copied without its values or its
// subkeys, each counted; no run leaves a block or a handle behind.
TEST_F(CustomStyleFaults, CommandsShortOfMemoryChangeNothingUnfinishedAndSaySo)
{
    SetStandardStyleValue(TEXT("Beta"));
    ShowStylesSelecting(TEXT("Source"));
    HostForEachFailingAllocation(
        [&](long)
        {
            user.WillAnswer(IDOK);
            SetStandardStyle(windows.dialog(), IDC_STYLE_LIST);
        },
        [&](long failing, long leftBehind)
        {
            EXPECT_EQ(0, leftBehind) << failing;
            EXPECT_TRUE(failing ? user.ShowedLast(OUT_OF_MEMORY, CAPTION_ERROR)
                                : user.ShowedLast(STANDARD_SET, TEXT("Source")));
            EXPECT_EQ(failing ? TextBytes(TEXT("Beta")) : TextBytes(TEXT("Source")),
                      ValueData(IME_SETTINGS_KEY, TEXT("style")));
        });

    // Allocations: the name (1); for each key its value name and data, then its subkey names:
    // the source (2-4), B (5-7), B\C (8, 9), D (10, 11).
    const WString bc = TEXT("B\\C|InC"), b = TEXT("B|InB"), d = TEXT("D|InD"), one = TEXT("|One"),
                  three = TEXT("|Three"), two = TEXT("|Two");
    const struct
    {
        Paths arrived;
        UINT missed;
    } runs[] = {{{bc, b, d, one, three, two}, 0},
                {{}, 0},
                {{bc, b, d}, 3},
                {{bc, b, d}, 3},
                {{one, three, two}, 2},
                {{bc, d, one, three, two}, 1},
                {{bc, d, one, three, two}, 1},
                {{b, d, one, three, two}, 1},
                {{b, d, one, three, two}, 1},
                {{b, d, one, three, two}, 1},
                {{bc, b, one, three, two}, 1},
                {{bc, b, one, three, two}, 1}};
    long failed = 0;
    HostForEachFailingAllocation(
        [&](long failing)
        {
            DeleteTree(CUSTOM_STYLE_KEY);
            CreateKey(CUSTOM_STYLE_KEY);
            ShowStylesSelecting(TEXT("Source"));
            // Without its name the copy asks nothing.
            if (failing == 1)
                user.WillAnswer(IDOK);
            else
                user.WillAnswer({IDYES, IDOK});
            CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
        },
        [&](long failing, long leftBehind)
        {
            SCOPED_TRACE(testing::Message() << "allocation " << failing << " failing");
            ASSERT_LT(failing, (long)(sizeof(runs) / sizeof(runs[0])));
            failed = failing ? failing : failed;
            EXPECT_EQ(0, leftBehind);
            EXPECT_EQ(0, HostOpenKeyCount());
            Paths arrived;
            for (const auto& entry : TreeValues(CUSTOM_STYLE_KEY))
                arrived.push_back(entry.first);
            EXPECT_EQ(runs[failing].arrived, arrived);
            EXPECT_TRUE(failing == 1
                            ? user.ShowedLast(OUT_OF_MEMORY, CAPTION_ERROR) && !ListWasRebuilt()
                            : failing == 0 ||
                                  user.ShowedLast(Counted(COPIED_IN_PART, runs[failing].missed),
                                                  TEXT("Source")));
        });
    EXPECT_EQ(11, failed) << "allocations the copy made";

    // Asked without a place for the reason, the name is NULL all the same.
    HostFailAllocations(1);
    EXPECT_EQ(nullptr, GetSelectedStyleName(windows.dialog(), IDC_STYLE_LIST));
    HostClearAllocationFaults();

    // Deletion holds no name: it needs no allocation.
    SetStandardStyleValue(TEXT("Source"));
    HostFailAllocations(1, true);
    user.WillAnswer({IDYES, IDOK});
    DeleteCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_EQ(0, HostAllocationsMade());
    HostClearAllocationFaults();
    EXPECT_TRUE(user.ShowedLast(DELETED, CAPTION_DELETE));
}

} // namespace
