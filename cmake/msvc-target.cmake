# Microsoft's compiler for 32-bit ARM Windows, as clang imitates it: the compiler check's target
# (cmake/msvc-check.cmake), and the record layout and resources the device's program must have
# (device/checks.py compares them).
#
# arm-pc-windows-msvc: 32-bit pointers, a 16-bit wchar_t and Microsoft's record layout. C++98,
# what the handheld's compiler takes (CMake's standard levels would give C++14 to a compiler
# that imitates Microsoft's); no headers but the handheld's (clang's own stdarg.h and stddef.h
# stay); Microsoft's extensions as the handheld's compiler (version 12) knows them.
set(DUNVATEL_MSVC_FLAGS
    "--target=arm-pc-windows-msvc -std=c++98 -nostdlibinc -fms-compatibility-version=12.20")
# windres preprocesses the resource script with clang for the same target, against the same
# headers.
set(DUNVATEL_MSVC_RC_PREPROCESSING
    "--preprocessor=clang --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-nostdlibinc --preprocessor-arg=--target=arm-pc-windows-msvc")
