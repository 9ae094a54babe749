// The scripted user's answers and log, the same in both builds; each build's hook calls
// Respond for every box it sees.
#include "tests/support/test_support.h"

#include "base/window_globals.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define DUNVATEL_CHECK_LEAKS 1
#endif

ScriptedUser::ScriptedUser()
{
    SetCursor(LoadCursorW(NULL, IDC_ARROW));
    Install();
}

ScriptedUser::~ScriptedUser()
{
    Uninstall();
    EXPECT_EQ(LoadCursorW(NULL, IDC_ARROW), GetCursor()) << "the cursor was not put back";
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) left unused";
    EXPECT_TRUE(fileAnswers_.empty())
        << fileAnswers_.size() << " scripted file dialog(s) left unused";
}

void ScriptedUser::WillAnswer(int button)
{
    answers_.push_back(button);
}

void ScriptedUser::WillAnswer(std::initializer_list<int> buttons)
{
    answers_.insert(answers_.end(), buttons);
}

int ScriptedUser::Respond(const ShownBox& box)
{
    boxes_.push_back(box);
    EXPECT_EQ(LoadCursorW(NULL, IDC_ARROW), GetCursor()) << "under box " << ToUtf8(box.text);
    if (answers_.empty())
    {
        ADD_FAILURE() << "unscripted message box: \"" << ToUtf8(box.text) << "\" captioned \""
                      << ToUtf8(box.caption) << "\"";
        return 0;
    }
    int button = answers_.front();
    answers_.pop_front();
    return button;
}

::testing::AssertionResult ScriptedUser::Showed(size_t index, const WString& text,
                                                const WString& caption, UINT type) const
{
    if (index >= boxes_.size())
        return ::testing::AssertionFailure()
               << "box " << index << " not shown; " << boxes_.size() << " shown";
    const ShownBox& box = boxes_[index];
    if (box.owner == g_mainWindow && box.text == text && box.caption == caption && box.type == type)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box " << index << " was \"" << ToUtf8(box.text) << "\" captioned \""
           << ToUtf8(box.caption) << "\", type " << box.type
           << (box.owner == g_mainWindow ? "" : ", not over the main window") << "; expected \""
           << ToUtf8(text) << "\" captioned \"" << ToUtf8(caption) << "\", type " << type;
}

::testing::AssertionResult ScriptedUser::ShowedLast(const WString& text, const WString& caption,
                                                    UINT type) const
{
    if (boxes_.empty())
        return ::testing::AssertionFailure() << "no box shown";
    return Showed(boxes_.size() - 1, text, caption, type);
}

void StoreTest::SetUp()
{
    DeleteTree(IME_ROOT_KEY);
    handlesAtStart_ = OpenKeyHandles();
}

void StoreTest::TearDown()
{
    ExpectNoOpenKeys();
    DeleteTree(IME_ROOT_KEY);
#ifdef DUNVATEL_CHECK_LEAKS
    // Under the sanitizers each test must leave no unreachable heap block behind; the report
    // then names the test that leaked, not only the program at its exit.
    EXPECT_EQ(0, __lsan_do_recoverable_leak_check()) << "heap blocks leaked";
#endif
}

void StoreTest::ExpectNoOpenKeys() const
{
    if (handlesAtStart_ < 0)
        return;
    EXPECT_EQ(handlesAtStart_, OpenKeyHandles()) << "registry handles left open";
}
