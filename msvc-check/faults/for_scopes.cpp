// Names the handheld's compiler takes for declared twice (C2374): it scopes the variable of a
// for statement to the block around the statement. The compiler check compiles this file like
// a program source and must refuse exactly the lines marked "refused"
// (msvc-check/checks.py).
#include "platform/platform.h"

// Two loops in one block, also where one is the body of another statement without braces.
int Loops(int count)
{
    int sum = 0;
    if (count > 0)
        for (int i = 0; i < count; ++i)
            sum += i;
    for (int i = 0; i < count; ++i) // refused
        for (int j = 0; j < i; ++j)
            sum += j;
    {
        for (int j = 0; j < count; ++j) // an inner block's own: taken
            sum += j;
    }
    return sum;
}

// The block's own names, before and after the statement, and the function's parameters.
int Names(int count)
{
    int before = 0;
    for (int before = 0; before < count; ++before) // refused
        count--;
    for (int after = 0; after < count; ++after)
        count--;
    int after = count;                      // refused
    for (int count = 0; count < 2; ++count) // refused
        after++;
    return before + after;
}
