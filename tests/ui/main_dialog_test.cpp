// The main dialog's procedure over the host stand-in: set-up, and each button reaching its
// command with the style list. Each command is recognised by the first thing it shows the
// user, which no other command shows.
#include "tests/support/test_support.h"

#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "store/style_store.h"
#include "ui/main_dialog.h"
#include "base/window_globals.h"

namespace
{

class MainDialog : public StoreTest
{
  protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        HostClearWindowCalls();
        CreateKey(StylePath(TEXT("Alpha")));
        CreateKey(StylePath(TEXT("Beta")));
        CreateKey(StylePath(TEXT("Gamma")));
        SetStandardStyleValue(TEXT("Gamma"));
    }
    void TearDown() override
    {
        HostClearWindowCalls();
        StoreTest::TearDown();
    }
    INT_PTR Send(UINT message, WPARAM wParam, LPARAM lParam = 0)
    {
        return MainDialogProc(windows.dialog(), message, wParam, lParam);
    }
    // A button press as the dialog manager delivers it.
    INT_PTR Press(WORD id, WORD notification = BN_CLICKED)
    {
        return Send(WM_COMMAND, MAKEWPARAM(id, notification));
    }
    std::vector<HostWindowCall> CallsOf(HostWindowCallKind kind) const
    {
        std::vector<HostWindowCall> calls;
        for (const HostWindowCall& call : HostWindowCalls())
        {
            if (call.kind == kind)
                calls.push_back(call);
        }
        return calls;
    }
};

TEST_F(MainDialog, InitialisationSetsUpTheDialogAndFillsTheListAndExitDestroysTheMainWindow)
{
    EXPECT_EQ(TRUE, Send(WM_INITDIALOG, 0));

    std::vector<HostWindowCall> setUps = CallsOf(HOST_SH_INIT_DIALOG);
    ASSERT_EQ(1u, setUps.size());
    EXPECT_EQ(windows.dialog(), setUps[0].window);
    EXPECT_EQ((DWORD)SHIDIM_FLAGS, setUps[0].mask);
    EXPECT_EQ((DWORD)(SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN), setUps[0].flags);
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha"), TEXT("Beta"), TEXT("Gamma")}),
              windows.ListEntries());
    EXPECT_EQ(W(TEXT("Gamma")), windows.SelectedText());

    // Exit destroys the main window and nothing else.
    HostClearWindowCalls();
    EXPECT_EQ(TRUE, Press(IDOK));

    std::vector<HostWindowCall> destroyed = CallsOf(HOST_DESTROY_WINDOW);
    ASSERT_EQ(1u, destroyed.size());
    EXPECT_EQ(windows.mainWindow(), destroyed[0].window);
    EXPECT_TRUE(user.boxes().empty());
}

TEST_F(MainDialog, EachCommandButtonRunsItsCommandOnTheStyleList)
{
    CreateKey(CUSTOM_STYLE_KEY);
    Send(WM_INITDIALOG, 0);
    user.WillAnswer(IDNO);
    EXPECT_EQ(FALSE, Press(IDC_COPY_TO_CUSTOM));
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, ASK_OVERWRITE, TEXT("Gamma"), MB_YESNO));
    // The notification code is not looked at.
    user.WillAnswer(IDNO);
    Press(IDC_COPY_TO_CUSTOM, 0x1234);
    EXPECT_TRUE(user.Showed(1, ASK_OVERWRITE, TEXT("Gamma"), MB_YESNO));

    user.WillAnswer(IDNO);
    EXPECT_EQ(FALSE, Press(IDC_DELETE_CUSTOM));
    EXPECT_TRUE(user.Showed(2, ASK_DELETE, TEXT(""), MB_YESNO));
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));

    windows.Select(0);
    user.WillAnswer(IDOK);
    EXPECT_EQ(FALSE, Press(IDC_SET_STANDARD));
    EXPECT_TRUE(user.Showed(3, STANDARD_SET, TEXT("Alpha")));
    EXPECT_EQ(TextBytes(TEXT("Alpha")), ValueData(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE));

    user.WillCancelFileDialog();
    user.WillCancelFileDialog();
    EXPECT_EQ(FALSE, Press(IDC_EXPORT_CUSTOM));
    EXPECT_EQ(FALSE, Press(IDC_IMPORT_CUSTOM));
    ASSERT_EQ(2u, user.fileDialogs().size());
    EXPECT_TRUE(user.fileDialogs()[0].save);
    EXPECT_FALSE(user.fileDialogs()[1].save);
    EXPECT_EQ(4u, user.boxes().size());
}

TEST_F(MainDialog, OtherMessagesDoNothingAndWithoutStylesEveryCommandStillRuns)
{
    Send(WM_INITDIALOG, 0);
    HostClearWindowCalls();

    EXPECT_EQ(FALSE, Press(IDC_STYLE_LIST, CBN_SELCHANGE));
    EXPECT_EQ(FALSE, Press(IDC_STYLE_LIST, CBN_DROPDOWN));
    EXPECT_EQ(FALSE, Press(IDM_ABOUT));
    EXPECT_EQ(FALSE, Send(WM_PAINT, 0));
    EXPECT_EQ(FALSE, Send(WM_CLOSE, 0));

    EXPECT_TRUE(HostWindowCalls().empty());
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_TRUE(user.fileDialogs().empty());
    EXPECT_EQ(W(TEXT("Gamma")), windows.SelectedText());
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));

    // Without styles every command still runs.
    DeleteTree(IME_ROOT_KEY);
    Send(WM_INITDIALOG, 0);
    EXPECT_TRUE(windows.ListEntries().empty());
    EXPECT_EQ(CB_ERR, windows.Selection());

    // Nothing selected: setting the standard style and copying stay silent, and so does the
    // delete command without the input method's settings.
    Press(IDC_SET_STANDARD);
    Press(IDC_COPY_TO_CUSTOM);
    Press(IDC_DELETE_CUSTOM);
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_FALSE(KeyExists(IME_ROOT_KEY));
    // With the settings but without Custom, the delete command says so.
    CreateKey(IME_SETTINGS_KEY);
    user.WillAnswer(IDOK);
    Press(IDC_DELETE_CUSTOM);
    ASSERT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(user.Showed(0, NO_CUSTOM_ENTRY, CAPTION_DELETE));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
}

} // namespace
