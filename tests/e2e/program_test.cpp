// dunvatel.exe itself, started and driven from outside as a user would drive it. What it did
// is read off the registry, the files it leaves and the texts of the boxes it shows.
#include "tests/e2e/program_driver.h"
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "store/style_store.h"
#include "ui/app_frame.h"

#include <gtest/gtest.h>

namespace
{

RECT Screen()
{
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::vector<LONG> Edges(LONG left, LONG top, LONG right, LONG bottom)
{
    return {left, top, right, bottom};
}

std::vector<LONG> Edges(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return Edges(rect.left, rect.top, rect.right, rect.bottom);
}

// The cursor on the screen, the front program's. Wine describes no other process's cursor, so
// this shows only that it changed; the host tests show that it is the wait cursor.
HCURSOR ShownCursor()
{
    CURSORINFO info = {sizeof(info), 0, NULL, {0, 0}};
    EXPECT_TRUE(GetCursorInfo(&info));
    return info.hCursor;
}

class Program : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        DeleteTree(IME_ROOT_KEY);
    }
    void TearDown() override
    {
        DeleteTree(IME_ROOT_KEY);
        DeleteFileW(KeyFilePath().c_str());
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
    static std::wstring KeyFilePath()
    {
        WCHAR temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        return std::wstring(temp) + L"dunvatel-e2e.txt";
    }
    // Waits for the next box and checks its text and caption before answering it.
    void ExpectBox(const std::wstring& text, const std::wstring& caption, int button)
    {
        ProgramBox box;
        ASSERT_TRUE(program.WaitForBox(&box)) << "no box saying \"" << ToUtf8(text) << "\"";
        EXPECT_FALSE(box.fileDialog);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(button == IDYES || button == IDNO, box.question);
        program.Answer(box, button);
    }
    void ExpectFileDialogChoosing(const std::wstring& path)
    {
        ProgramBox dialog;
        ASSERT_TRUE(program.WaitForBox(&dialog));
        ASSERT_TRUE(dialog.fileDialog);
        program.ChooseFile(dialog, path);
    }
    void ExpectNoBox()
    {
        ProgramBox box;
        EXPECT_FALSE(program.WaitForBox(&box, 500)) << "unexpected box: " << ToUtf8(box.text);
    }
    void Exit()
    {
        program.Press(IDOK);
        EXPECT_EQ(0, program.WaitForExit());
    }
    RunningProgram program;
};

TEST_F(Program, ShowsItsWindowWithTheStandardStyleSelectedAndExitsWithoutAQuestion)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());

    EXPECT_TRUE(IsWindowVisible(program.mainWindow()));
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta"}), program.ListEntries());
    EXPECT_EQ(L"Beta", program.SelectedText());
    EXPECT_TRUE(GetDlgItem(program.dialog(), IDC_COPY_TO_CUSTOM) != NULL);

    program.Press(IDOK);
    EXPECT_EQ(0, program.WaitForExit());
}

TEST_F(Program, EveryButtonReachesItsCommand)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());

    // Copy Beta (selected, the standard style) into a new Custom style.
    program.Press(IDC_COPY_TO_CUSTOM);
    ExpectBox(ASK_CREATE, L"Beta", IDYES);
    ExpectBox(COPIED, L"Beta", IDOK);
    EXPECT_TRUE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta", L"Custom"}), program.ListEntries());

    // Give Custom a key definition, export it, change it, and import the file back.
    SetValue(CUSTOM_STYLE_KEY, TEXT("key1"), REG_MULTI_SZ, MultiString({TEXT("日本語")}));
    program.Press(IDC_EXPORT_CUSTOM);
    ExpectFileDialogChoosing(KeyFilePath());
    ExpectBox(EXPORTED, CAPTION_WRITE, IDOK);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(KeyFilePath().c_str()));

    SetValue(CUSTOM_STYLE_KEY, TEXT("key1"), REG_MULTI_SZ, MultiString({TEXT("changed")}));
    program.Press(IDC_IMPORT_CUSTOM);
    ExpectFileDialogChoosing(KeyFilePath());
    ExpectBox(ASK_IMPORT, KeyFilePath(), IDYES);
    ExpectBox(IMPORTED, CAPTION_READ, IDOK);
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(ReadValue(CUSTOM_STYLE_KEY, TEXT("key1"), &type, &data));
    EXPECT_EQ(MultiString({TEXT("日本語")}), data);

    // Make Alpha standard.
    SendMessageW(GetDlgItem(program.dialog(), IDC_STYLE_LIST), CB_SETCURSEL, 0, 0);
    program.Press(IDC_SET_STANDARD);
    ExpectBox(STANDARD_SET, L"Alpha", IDOK);
    ASSERT_TRUE(ReadValue(IME_SETTINGS_KEY, STANDARD_STYLE_VALUE, &type, &data));
    EXPECT_EQ(TextBytes(TEXT("Alpha")), data);

    // Delete Custom.
    program.Press(IDC_DELETE_CUSTOM);
    ExpectBox(ASK_DELETE, L"", IDYES);
    ExpectBox(DELETED, CAPTION_DELETE, IDOK);
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"Beta"}), program.ListEntries());

    Exit();
}

TEST_F(Program, ALongCopyShowsAnotherCursorUntilItsNotice)
{
    // Subkeys are copied in name order: Z, after 5,000 others, comes last.
    for (int i = 0; i < 5000; ++i)
        CreateKey(StylePath(TEXT("Wide\\K")) + Number(i, 4));
    CreateKey(StylePath(TEXT("Wide\\Z")));
    SetStandardStyleValue(TEXT("Wide"));
    ASSERT_TRUE(program.Start());
    HCURSOR usual = ShownCursor();
    HKEY styles = OpenKey(STYLE_LIST_KEY);
    HANDLE created = CreateEventW(NULL, TRUE, FALSE, NULL);
    RegNotifyChangeKeyValue(styles, TRUE, REG_NOTIFY_CHANGE_NAME, created, TRUE);
    program.Press(IDC_COPY_TO_CUSTOM);
    ExpectBox(ASK_CREATE, L"Wide", IDYES);
    // Taken once Custom is made: inside the copy for certain if Z is still missing after it.
    bool made = WaitForSingleObject(created, 10000) == WAIT_OBJECT_0;
    HCURSOR during = ShownCursor();
    bool copying = made && !KeyExists(JoinPath(CUSTOM_STYLE_KEY, TEXT("Z")));
    CloseHandle(created);
    RegCloseKey(styles);
    ASSERT_TRUE(copying) << "no sample inside the copy";
    EXPECT_NE(usual, during);
    ProgramBox notice;
    ASSERT_TRUE(program.WaitForBox(&notice, 60000));
    EXPECT_EQ(usual, ShownCursor()) << "at the notice";
    program.Answer(notice, IDOK);
    Exit();
}

TEST_F(Program, KeysOpenTheAboutBoxAndEndTheProgram)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());

    program.PressControlKey('A');
    ProgramBox about;
    ASSERT_TRUE(program.WaitForBox(&about));
    EXPECT_EQ(L"About dunvatel", about.caption);
    program.Answer(about, IDOK);
    EXPECT_FALSE(IsWindow(about.window));
    EXPECT_TRUE(program.running());

    program.PressControlKey('Q');
    EXPECT_EQ(0, program.WaitForExit());
}

TEST_F(Program, FillsTheScreenBetweenTheTopBarAndTheMenuBarAtItsFoot)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());
    RECT screen = Screen();
    HWND topBar = program.ShellWindow(SHELL_TOP_BAR_CLASS, program.mainWindow());
    HWND menuBar = program.ShellWindow(SHELL_MENU_BAR_CLASS, program.mainWindow());
    ASSERT_TRUE(topBar != NULL && menuBar != NULL);

    LONG windowTop = screen.top + SHELL_TOP_BAR_HEIGHT;
    LONG menuBarTop = screen.bottom - MENU_BAR_HEIGHT;
    EXPECT_EQ(Edges(screen.left, screen.top, screen.right, windowTop), Edges(topBar));
    EXPECT_EQ(Edges(screen.left, menuBarTop, screen.right, screen.bottom), Edges(menuBar));
    EXPECT_TRUE(FindWindowExW(menuBar, NULL, L"Button", L"Tools") != NULL);
    // No caption or frame: the client area is the whole window.
    EXPECT_EQ(Edges(screen.left, windowTop, screen.right, menuBarTop), Edges(program.mainWindow()));
    RECT client;
    GetClientRect(program.mainWindow(), &client);
    EXPECT_EQ(Edges(0, 0, screen.right - screen.left, menuBarTop - windowTop),
              Edges(client.left, client.top, client.right, client.bottom));
    std::vector<LONG> dialog = Edges(program.dialog());
    EXPECT_EQ(screen.left, dialog[0]);
    EXPECT_EQ(windowTop, dialog[1]);
    Exit();
}

TEST_F(Program, ToolsAboutOpensTheAboutBoxOverTheScreenAndItsOkClosesIt)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());
    HWND menuBar = program.ShellWindow(SHELL_MENU_BAR_CLASS, program.mainWindow());
    ASSERT_TRUE(menuBar != NULL);
    HWND tools = FindWindowExW(menuBar, NULL, L"Button", L"Tools");
    ASSERT_TRUE(tools != NULL);

    ASSERT_TRUE(program.ChooseFirstItem(tools)) << "no pop-up";
    ProgramBox about;
    ASSERT_TRUE(program.WaitForBox(&about));
    EXPECT_EQ(L"About dunvatel", about.caption);
    RECT screen = Screen();
    EXPECT_EQ(Edges(screen.left, screen.top + SHELL_TOP_BAR_HEIGHT, screen.right, screen.bottom),
              Edges(about.window));
    EXPECT_TRUE(program.PressTopBarOk(about.window));
    EXPECT_FALSE(IsWindow(about.window));
    EXPECT_TRUE(program.running());
    Exit();
}

TEST_F(Program, ASecondStartLeavesOneInstanceInFront)
{
    AddDemoStyles();
    ASSERT_TRUE(program.Start());

    EXPECT_EQ(0, RunSecondInstance());

    EXPECT_EQ(1, CountMainWindows());
    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.mainWindow(), GetForegroundWindow());
    Exit();
}

TEST_F(Program, WithoutStylesTheListIsEmptyAndEveryCommandStillBehaves)
{
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.ListEntries().empty());

    // Nothing selected, no settings: these stay silent.
    program.Press(IDC_SET_STANDARD);
    program.Press(IDC_COPY_TO_CUSTOM);
    program.Press(IDC_DELETE_CUSTOM);
    ExpectNoBox();

    program.Press(IDC_EXPORT_CUSTOM);
    ExpectFileDialogChoosing(KeyFilePath());
    ExpectBox(NO_CUSTOM_STYLE, CAPTION_EXPORT, IDOK);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(KeyFilePath().c_str()));

    HANDLE file = CreateFileW(KeyFilePath().c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    CloseHandle(file);
    program.Press(IDC_IMPORT_CUSTOM);
    ExpectFileDialogChoosing(KeyFilePath());
    ExpectBox(ASK_IMPORT, KeyFilePath(), IDYES);
    ExpectBox(NO_CUSTOM_STYLE, CAPTION_READ, IDOK);
    EXPECT_FALSE(KeyExists(IME_ROOT_KEY));

    Exit();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
    {
        fprintf(stderr, "usage: dunvatel_e2e_tests PATH-OF-dunvatel.exe\n");
        return 2;
    }
    // CTest names the program by its Unix path; Wine's drive Z: is the Unix root.
    g_programPath = argv[1];
    if (!g_programPath.empty() && g_programPath[0] == L'/')
    {
        g_programPath = L"Z:" + g_programPath;
        for (wchar_t& unit : g_programPath)
            unit = unit == L'/' ? L'\\' : unit;
    }
    return RUN_ALL_TESTS();
}
