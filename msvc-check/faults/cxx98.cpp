// What C++98 lacks and clang takes as an extension: the handheld's compiler refuses it, and the
// handheld builds compile with -pedantic-errors (CMakeLists.txt). The compiler check
// compiles this file like a program source and must refuse exactly the lines marked "refused"
// (msvc-check/checks.py).
#include "platform/platform.h"

long long total = 0; // refused

enum Answer
{
    ANSWER_NO,
    ANSWER_YES, // refused
};

#define FIRST_OF(...) 0 // refused

struct Point
{
    int x;
    int y;
};
Point origin = {.x = 0, .y = 0}; // refused

int answers = ANSWER_NO + FIRST_OF(1, 2) + origin.x;
