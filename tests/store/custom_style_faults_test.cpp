// Registry failures in the middle of a copy or a deletion, made by the host stand-in: what
// cannot be read is skipped, the rest still arrives, and no handle is left open.
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
    // Copies the source into an empty Custom the way the copy command does, after `arm` has set
    // up the fault, and returns the value paths that arrived.
    std::vector<WString> CopyWith(void (*arm)())
    {
        DeleteTree(CUSTOM_STYLE_KEY);
        CreateKey(CUSTOM_STYLE_KEY);
        HKEY styles = OpenKey(STYLE_LIST_KEY);
        HKEY custom = OpenKey(CUSTOM_STYLE_KEY);
        setsBefore = HostRegistryCallCount(HOST_REG_SET_VALUE);
        arm();
        CopyKeyTree(custom, styles, TEXT("Source"));
        HostClearRegistryFaults();
        RegCloseKey(custom);
        RegCloseKey(styles);
        EXPECT_EQ(0, HostOpenKeyCount()) << "registry handles left open by the copy";
        std::vector<WString> arrived;
        for (const auto& entry : TreeValues(CUSTOM_STYLE_KEY))
            arrived.push_back(entry.first);
        return arrived;
    }
    long ValuesWritten() const
    {
        return HostRegistryCallCount(HOST_REG_SET_VALUE) - setsBefore;
    }
    WString source;
    long setsBefore = 0;
};

typedef std::vector<WString> Paths;

TEST_F(CustomStyleFaults, WithoutFaultsEverythingArrives)
{
    Paths all = {TEXT("B\\C|InC"), TEXT("B|InB"),  TEXT("D|InD"),
                 TEXT("|One"),     TEXT("|Three"), TEXT("|Two")};
    EXPECT_EQ(all, CopyWith([] {}));
    EXPECT_EQ(6, ValuesWritten());
}

TEST_F(CustomStyleFaults, AValueThatCannotBeEnumeratedIsNotWritten)
{
    // The second value fails; its buffers still hold the first value's name and data.
    Paths arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_ENUM_VALUE, 1); });
    EXPECT_EQ((Paths{TEXT("B\\C|InC"), TEXT("B|InB"), TEXT("D|InD"), TEXT("|One"), TEXT("|Three")}),
              arrived);
    EXPECT_EQ(5, ValuesWritten()); // nothing stale written in the failed value's place
}

TEST_F(CustomStyleFaults, AValueTooLongForItsBufferIsSkipped)
{
    Paths arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_ENUM_VALUE, 0, ERROR_MORE_DATA); });
    EXPECT_EQ((Paths{TEXT("B\\C|InC"), TEXT("B|InB"), TEXT("D|InD"), TEXT("|Three"), TEXT("|Two")}),
              arrived);
    EXPECT_EQ(5, ValuesWritten());
}

TEST_F(CustomStyleFaults, ASubkeyThatCannotBeOpenedIsSkippedWithItsTree)
{
    // Opens: the source (0), B (1), C (2), D (3).
    Paths arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_OPEN, 1); });
    EXPECT_EQ((Paths{TEXT("D|InD"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}), arrived);
    EXPECT_EQ((Paths{TEXT("B"), TEXT("D")}), TreeKeyPaths(CUSTOM_STYLE_KEY));

    arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_OPEN, 2); });
    EXPECT_EQ((Paths{TEXT("B|InB"), TEXT("D|InD"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}),
              arrived);

    EXPECT_TRUE(CopyWith([] { HostFailRegistryCall(HOST_REG_OPEN, 0); }).empty());
    EXPECT_EQ(0, ValuesWritten());
}

TEST_F(CustomStyleFaults, AKeyThatCannotBeQueriedIsSkippedWithItsTree)
{
    // Queries: the source (0), B (1), C (2), D (3).
    Paths arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_QUERY_INFO, 1); });
    EXPECT_EQ((Paths{TEXT("D|InD"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}), arrived);

    arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_QUERY_INFO, 3); });
    EXPECT_EQ((Paths{TEXT("B\\C|InC"), TEXT("B|InB"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}),
              arrived);
    EXPECT_EQ((Paths{TEXT("B"), TEXT("B\\C"), TEXT("D")}), TreeKeyPaths(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyleFaults, ASubkeyThatCannotBeEnumeratedOrCreatedIsSkipped)
{
    // Subkey enumerations: B (0) and D (1) of the source, C (2) of B.
    Paths arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_ENUM_KEY, 0); });
    EXPECT_EQ((Paths{TEXT("D|InD"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}), arrived);
    EXPECT_EQ((Paths{TEXT("D")}), TreeKeyPaths(CUSTOM_STYLE_KEY));

    // Creates: B (0), C (1), D (2).
    arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_CREATE, 1); });
    EXPECT_EQ((Paths{TEXT("B|InB"), TEXT("D|InD"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}),
              arrived);
    EXPECT_EQ((Paths{TEXT("B"), TEXT("D")}), TreeKeyPaths(CUSTOM_STYLE_KEY));

    arrived = CopyWith([] { HostFailRegistryCall(HOST_REG_CREATE, 2); });
    EXPECT_EQ((Paths{TEXT("B\\C|InC"), TEXT("B|InB"), TEXT("|One"), TEXT("|Three"), TEXT("|Two")}),
              arrived);
}

TEST_F(CustomStyleFaults, WhenTheStyleListCannotBeOpenedOrCustomCreatedTheUserIsTold)
{
    DeleteTree(CUSTOM_STYLE_KEY);
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer({IDYES, IDOK});
    // Opens: the Custom existence test (0), the style list (1).
    HostFailRegistryCall(HOST_REG_OPEN, 1);
    CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    ASSERT_EQ(2u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_CREATE, TEXT("Source"), MB_YESNO));
    EXPECT_TRUE(user.Showed(1, COPY_FAILED, TEXT("Source")));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<WString>{TEXT("Source")}), windows.ListEntries()); // still rebuilt

    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer({IDYES, IDOK});
    HostFailRegistryCall(HOST_REG_CREATE, 0);
    CopyStyleToCustom(windows.dialog(), IDC_STYLE_LIST);
    ASSERT_EQ(4u, user.boxes().size());
    EXPECT_TRUE(user.Showed(3, COPY_FAILED, TEXT("Source")));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
}

TEST_F(CustomStyleFaults, AFailedDeletionIsSilentAndLeavesTheList)
{
    SetStandardStyleValue(TEXT("Source"));
    ShowStylesSelecting(TEXT("Source"));
    user.WillAnswer(IDYES);
    HostFailRegistryCall(HOST_REG_DELETE_KEY, 0);
    DeleteCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    ASSERT_EQ(1u, user.boxes().size()); // the question only
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<WString>{TEXT("Custom"), TEXT("Source"), LIST_MARKER}),
              windows.ListEntries());
}

} // namespace
