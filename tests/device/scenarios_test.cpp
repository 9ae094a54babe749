// dunvatel.exe on the emulated handheld, driven as a user drives it: the end-to-end scenarios
// of the Wine suite (tests/e2e/program_test.cpp), through the device's message queue. What it
// did is read off the registry, the files it leaves and the texts of the boxes it shows.
#include "tests/device/device_test_support.h"
#include "tests/keyfile/keyfile_test_support.h"

#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "store/style_store.h"

namespace
{

std::vector<WString> Texts(std::initializer_list<const char16_t*> texts)
{
    return std::vector<WString>(texts.begin(), texts.end());
}

std::vector<int32_t> Edges(const WindowRect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

class Program : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        DeleteTree(IME_ROOT_KEY);
        // The user's own cursor, which every box must come up under.
        SetCursor(LoadCursorW(NULL, IDC_ARROW));
    }
    void TearDown() override
    {
        DeleteTree(IME_ROOT_KEY);
    }
    void AddDemoStyles()
    {
        CreateKey(StylePath(TEXT("Alpha")));
        SetValue(StylePath(TEXT("Alpha")), TEXT("key1"), REG_MULTI_SZ,
                 MultiString({TEXT("変換"), TEXT("next")}));
        CreateKey(StylePath(TEXT("Alpha")) + TEXT("\\Sub"));
        CreateKey(StylePath(TEXT("Beta")));
        SetStandardStyleValue(TEXT("Beta"));
    }
    // Checks the next box's text, caption and buttons before answering it.
    void ExpectBox(const WString& text, const WString& caption, int button)
    {
        DeviceBox box;
        ASSERT_TRUE(program.WaitForBox(&box))
            << "no box saying \"" << ToUtf8(text) << "\": " << program.waitingFor();
        ASSERT_EQ(DeviceBox::MESSAGE_BOX, box.kind);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(button == IDYES || button == IDNO ? (uint32_t)MB_YESNO : (uint32_t)MB_OK,
                  box.type);
        EXPECT_EQ(program.mainWindow(), box.window) << "a box not over the main window";
        EXPECT_EQ(LoadCursorW(NULL, IDC_ARROW), GetCursor()) << "a box under another cursor";
        program.Answer(box, button);
    }
    void ExpectFileDialogChoosing(const WString& path)
    {
        DeviceBox dialog;
        ASSERT_TRUE(program.WaitForBox(&dialog)) << program.waitingFor();
        ASSERT_EQ(DeviceBox::FILE_DIALOG, dialog.kind);
        program.ChooseFile(path);
    }
    void ExpectNoBox()
    {
        DeviceBox box;
        EXPECT_FALSE(program.WaitForBox(&box)) << "unexpected box: " << ToUtf8(box.text);
    }
    void Exit()
    {
        program.Press(IDOK);
        EXPECT_EQ(0, program.WaitForExit()) << program.waitingFor();
    }
    Handheld handheld;
    DeviceProgram program{handheld, DeviceBuild()};
    ScratchDirectory scratch;
    WString keyFile = scratch.File(TEXT("dunvatel-e2e.txt"));
};

TEST_F(Program, ShowsItsWindowWithTheStandardStyleSelectedAndExitsWithoutAQuestion)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();

    EXPECT_EQ(Texts({u"Alpha", u"Beta"}), program.ListEntries(IDC_STYLE_LIST));
    EXPECT_EQ(u"Beta", program.SelectedText(IDC_STYLE_LIST));
    EXPECT_EQ(handheld.foreground, program.mainWindow());

    Exit();
}

TEST_F(Program, EveryButtonReachesItsCommand)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();

    // Copy Beta (selected, the standard style) into a new Custom style.
    program.Press(IDC_COPY_TO_CUSTOM);
    ExpectBox(ASK_CREATE, u"Beta", IDYES);
    ExpectBox(COPIED, u"Beta", IDOK);
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ(Texts({u"Alpha", u"Beta", u"Custom"}), program.ListEntries(IDC_STYLE_LIST));

    // Give Custom a key definition, export it, change it, and import the file back.
    SetValue(CUSTOM_STYLE_KEY, TEXT("key1"), REG_MULTI_SZ, MultiString({TEXT("日本語")}));
    program.Press(IDC_EXPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(EXPORTED, CAPTION_WRITE, IDOK);
    EXPECT_EQ("--name key1\r\n" SJIS_NIHONGO "\r\n--endmulti\r\n", ReadFileBytes(keyFile));

    SetValue(CUSTOM_STYLE_KEY, TEXT("key1"), REG_MULTI_SZ, MultiString({TEXT("changed")}));
    program.Press(IDC_IMPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(ASK_IMPORT, keyFile, IDYES);
    ExpectBox(IMPORTED, CAPTION_READ, IDOK);
    EXPECT_EQ(MultiString({TEXT("日本語")}), ValueData(CUSTOM_STYLE_KEY, TEXT("key1")));

    // Make Alpha standard.
    program.Select(IDC_STYLE_LIST, 0);
    program.Press(IDC_SET_STANDARD);
    ExpectBox(STANDARD_SET, u"Alpha", IDOK);
    EXPECT_EQ(TextBytes(TEXT("Alpha")), ValueData(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE));

    // Delete Custom.
    program.Press(IDC_DELETE_CUSTOM);
    ExpectBox(ASK_DELETE, u"", IDYES);
    ExpectBox(DELETED, CAPTION_DELETE, IDOK);
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ(Texts({u"Alpha", u"Beta"}), program.ListEntries(IDC_STYLE_LIST));

    Exit();
}

TEST_F(Program, FilesInEitherEncodingAskTheUtf8Questions)
{
    CreateKey(CUSTOM_STYLE_KEY);
    SetValue(CUSTOM_STYLE_KEY, TEXT("cafe"), REG_MULTI_SZ, MultiString({TEXT("caf\u00E9")}));
    ASSERT_TRUE(program.Start()) << program.refusal();

    // A character Shift_JIS lacks: the file is written as UTF-8 when the user says Yes.
    program.Press(IDC_EXPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(Counted(ASK_UTF8_FILE, 1), CAPTION_WRITE, IDYES);
    ExpectBox(EXPORTED, CAPTION_WRITE, IDOK);
    EXPECT_EQ("\xEF\xBB\xBF--name cafe\r\ncaf\xC3\xA9\r\n--endmulti\r\n", ReadFileBytes(keyFile));

    // UTF-8 without its mark that is also Shift_JIS text: the user chooses, shown both readings.
    WriteFileBytes(keyFile, "--name k\r\n\xE5\xA4\x89\xE6\x8F\x9B\r\n--endmulti\r\n");
    program.Press(IDC_IMPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(ASK_IMPORT, keyFile, IDYES);
    ExpectBox(AskUtf8Reading(TEXT("変換"), TEXT("螟画鋤")), keyFile, IDYES);
    ExpectBox(IMPORTED, CAPTION_READ, IDOK);
    EXPECT_EQ(MultiString({TEXT("変換")}), ValueData(CUSTOM_STYLE_KEY, TEXT("k")));
    Exit();
}

TEST_F(Program, ALongCopyShowsTheWaitCursorUntilItsNotice)
{
    // Subkeys are copied in name order: Z, after 5,000 others, comes last.
    for (int i = 0; i < 5000; ++i)
        CreateKey(StylePath(TEXT("Wide\\K")) + Number(i, 4));
    CreateKey(StylePath(TEXT("Wide\\Z")));
    SetStandardStyleValue(TEXT("Wide"));
    ASSERT_TRUE(program.Start()) << program.refusal();
    program.Press(IDC_COPY_TO_CUSTOM);
    ExpectBox(ASK_CREATE, u"Wide", IDYES);
    // The user saw the wait cursor while the copy made its keys, and has his own back at the
    // notice (ExpectBox checks).
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_CREATE));
    ExpectBox(COPIED, u"Wide", IDOK);
    EXPECT_EQ(5001u, SubkeyNames(CUSTOM_STYLE_KEY).size());
    EXPECT_TRUE(KeyExists(JoinPath(CUSTOM_STYLE_KEY, TEXT("Z"))));
    Exit();
}

TEST_F(Program, KeysOpenTheAboutBoxAndEndTheProgram)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();

    program.PressControlKey('A');
    DeviceBox about;
    ASSERT_TRUE(program.WaitForBox(&about)) << program.waitingFor();
    EXPECT_EQ(DeviceBox::DIALOG, about.kind);
    EXPECT_EQ(u"About dunvatel", about.caption);
    program.Answer(about, IDOK);
    EXPECT_EQ(nullptr, handheld.FindWindow(about.window));
    EXPECT_TRUE(program.running()) << program.waitingFor();
    // The shell's helpers take the program's activation record, as on every setting change.
    program.ChangeSetting();
    EXPECT_TRUE(program.running()) << program.waitingFor();

    program.PressControlKey('Q');
    EXPECT_EQ(0, program.WaitForExit()) << program.waitingFor();
}

TEST_F(Program, FillsTheScreenBetweenTheTopBarAndTheMenuBarAtItsFoot)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();
    ASSERT_NE(0u, program.menuBar());

    int32_t menuBarTop = SCREEN_HEIGHT - MENU_BAR_HEIGHT_PIXELS;
    EXPECT_EQ(Edges({0, menuBarTop, SCREEN_WIDTH, SCREEN_HEIGHT}),
              Edges(program.Rect(program.menuBar())));
    EXPECT_EQ(Texts({u"Tools"}), program.MenuBarButtons());
    EXPECT_EQ(Edges({0, TOP_BAR_HEIGHT, SCREEN_WIDTH, menuBarTop}),
              Edges(program.Rect(program.mainWindow())));
    EXPECT_EQ(0, program.Rect(program.dialog()).left);
    EXPECT_EQ(TOP_BAR_HEIGHT, program.Rect(program.dialog()).top);
    Exit();
}

TEST_F(Program, ToolsAboutOpensTheAboutBoxOverTheScreenAndTheTopBarOkClosesIt)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();

    ASSERT_TRUE(program.ChooseFirstItem(0)) << "no pop-up: " << program.waitingFor();
    DeviceBox about;
    ASSERT_TRUE(program.WaitForBox(&about)) << program.waitingFor();
    EXPECT_EQ(u"About dunvatel", about.caption);
    EXPECT_EQ(Edges({0, TOP_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT}),
              Edges(program.Rect(about.window)));
    EXPECT_TRUE(program.PressTopBarOk());
    EXPECT_EQ(nullptr, handheld.FindWindow(about.window));
    EXPECT_TRUE(program.running()) << program.waitingFor();

    // On the main screen the top bar's OK ends the program.
    EXPECT_TRUE(program.PressTopBarOk());
    EXPECT_EQ(0, program.WaitForExit()) << program.waitingFor();
}

TEST_F(Program, ASecondStartLeavesOneInstanceInFront)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start()) << program.refusal();
    handheld.foreground = 0;

    EXPECT_EQ(0, RunSecondInstance(handheld, DeviceBuild()));

    int mainWindows = 0;
    for (Window* window : handheld.Windows())
        mainWindows += window->className == u"DUNVATEL";
    EXPECT_EQ(1, mainWindows);
    EXPECT_TRUE(program.running()) << program.waitingFor();
    EXPECT_EQ(program.mainWindow(), handheld.foreground);
    Exit();
}

TEST_F(Program, WithoutStylesTheListIsEmptyAndEveryCommandStillBehaves)
{
    ASSERT_TRUE(program.Start()) << program.refusal();
    EXPECT_TRUE(program.ListEntries(IDC_STYLE_LIST).empty());

    // Nothing selected, no settings: these stay silent.
    program.Press(IDC_SET_STANDARD);
    program.Press(IDC_COPY_TO_CUSTOM);
    program.Press(IDC_DELETE_CUSTOM);
    ExpectNoBox();

    program.Press(IDC_EXPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(NO_CUSTOM_STYLE, CAPTION_EXPORT, IDOK);
    EXPECT_EQ("<missing>", ReadFileBytes(keyFile));

    WriteFileBytes(keyFile, "");
    program.Press(IDC_IMPORT_CUSTOM);
    ExpectFileDialogChoosing(keyFile);
    ExpectBox(ASK_IMPORT, keyFile, IDYES);
    ExpectBox(NO_CUSTOM_STYLE, CAPTION_READ, IDOK);
    EXPECT_FALSE(KeyExists(IME_ROOT_KEY));

    Exit();
}

} // namespace
