// The scripted user's answers and log, the same in both builds; each build's hook calls
// Respond for every box it sees.
#include "tests/support/test_support.h"

#include <codecvt>
#include <locale>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define DUNVATEL_CHECK_LEAKS 1
#endif

namespace
{

std::string ToUtf8(const WString& text)
{
    std::u16string units(text.begin(), text.end());
    std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t> converter;
    return converter.to_bytes(units);
}

} // namespace

ScriptedUser::ScriptedUser()
{
    Install();
}

ScriptedUser::~ScriptedUser()
{
    Uninstall();
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) left unused";
    EXPECT_TRUE(fileAnswers_.empty())
        << fileAnswers_.size() << " scripted file dialog(s) left unused";
}

void ScriptedUser::WillAnswer(int button)
{
    answers_.push_back(button);
}

int ScriptedUser::Respond(const ShownBox& box)
{
    boxes_.push_back(box);
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
