// Literals the handheld's compiler refuses to join (C2308), and the ways it joins them. The
// compiler check compiles this file like a program source and must refuse exactly the lines
// marked "refused", each where the later literal of the pair is written
// (msvc-check/checks.py).
#include "platform/platform.h"

#define NARROW_PIECE "narrow"

// TEXT() widens only the first of the literals given to it; the rest stay narrow.
const WCHAR* joinedInText = TEXT("wide"
                                 "narrow");               // refused
const WCHAR* joinedOnOneLine = TEXT("wide") NARROW_PIECE; // refused
const WCHAR* narrowBeforeWide = "narrow"
                                L"wide"; // refused

// Each piece in a TEXT() of its own, or only narrow pieces.
const WCHAR* splitText = TEXT("wide") TEXT("wide");
const WCHAR* splitOverLines =
    TEXT("wide, and long enough that the next piece goes on a line of its own")
        TEXT("wide as well");
const char* narrowOnly = "narrow" NARROW_PIECE;
