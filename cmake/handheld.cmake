# The handheld check: program code compiled for 32-bit ARM Windows by clang against the
# handheld's documented API (platform/wince/sdk), linked by lld-link against import libraries
# that llvm-dlltool makes from that API's lists, and the resource script compiled by windres
# against the same headers. It proves that program code compiles and links for the handheld;
# the output is Thumb-2 code and does not run on the device.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
# CMakeLists.txt files take their handheld branches on this.
set(DUNVATEL_HANDHELD TRUE)

# arm-pc-windows-msvc: 32-bit pointers, a 16-bit wchar_t and Microsoft's record layout.
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET arm-pc-windows-msvc)
# C++98, what the handheld's compiler takes (CMake's standard levels would give C++14 to a
# compiler that imitates Microsoft's); no headers but the handheld's (clang's own stdarg.h and
# stddef.h stay); Microsoft's extensions as the handheld's compiler (version 12) knows them;
# optimised whatever the build type, so that the calls an optimiser adds must link as well.
set(CMAKE_CXX_FLAGS_INIT
    "--target=arm-pc-windows-msvc -std=c++98 -nostdlibinc -fms-compatibility-version=12.20 -O2")
# Header dependencies as for any clang (CMake gives none to a clang that imitates Microsoft's
# compiler on a platform it does not know).
set(CMAKE_DEPFILE_FLAGS_CXX "-MD -MT <DEP_TARGET> -MF <DEP_FILE>")
# The compiler checks cannot link: there is no C run-time to link them against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_AR llvm-ar)
set(CMAKE_RANLIB llvm-ranlib)
set(CMAKE_LINKER lld-link)
set(DUNVATEL_DLLTOOL llvm-dlltool)
set(DUNVATEL_OBJDUMP llvm-objdump)

# Only the libraries the target names: no default libraries, no C run-time start-up (the
# entry point is WinMain itself), so that every outside name must come from an import library.
# lld-link knows no Windows CE subsystem; the image's subsystem does not matter to the check.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_LINKER> /nologo /machine:arm /subsystem:windows /entry:WinMain /nodefaultlib <LINK_FLAGS> <OBJECTS> /out:<TARGET> <LINK_LIBRARIES>")

# Resources: windres writes a .res file (lld-link converts it for ARM), preprocessing the
# script with clang against the same headers.
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_RC_OUTPUT_EXTENSION .res)
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> -O res --preprocessor=clang --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-nostdlibinc --preprocessor-arg=--target=arm-pc-windows-msvc -DRC_INVOKED <DEFINES> <INCLUDES> <FLAGS> <SOURCE> <OBJECT>")
