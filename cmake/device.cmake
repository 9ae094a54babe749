# The handheld's program: dunvatel.exe for Windows CE 3.0 on ARM (Pocket PC 2000 and 2002).
# clang compiles program code to ARM assembly for the StrongARM (ARMv4); the handheld's own
# assembler, linker, librarian, import-library maker and resource compiler (GNU binutils for
# arm-mingw32ce, which scripts/device-toolchain.sh builds from Debian's source package into a
# cache) make the PE file the device loads. Only the device's own libraries are linked, through
# import libraries made from platform/wince/sdk/*.def; there is no C run-time start-up.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
# CMakeLists.txt files take their handheld branches on the first, the program's on the second.
set(DUNVATEL_HANDHELD TRUE)
set(DUNVATEL_DEVICE TRUE)

# Where scripts/device-toolchain.sh puts the tools.
if(DEFINED ENV{DUNVATEL_DEVICE_TOOLS})
    set(tools $ENV{DUNVATEL_DEVICE_TOOLS})
else()
    include(${CMAKE_CURRENT_LIST_DIR}/user-cache.cmake)
    set(tools ${DUNVATEL_USER_CACHE}/device-binutils)
endif()
set(prefix ${tools}/bin/arm-mingw32ce-)
if(NOT EXISTS ${prefix}as)
    message(FATAL_ERROR "The handheld's binutils are not in ${tools}: run scripts/device-toolchain.sh "
                        "(scripts/install-deps.sh does)")
endif()
set(DUNVATEL_DEVICE_TOOLS ${tools})
set(DUNVATEL_DLLTOOL ${prefix}dlltool)
set(DUNVATEL_OBJDUMP ${prefix}objdump)
set(DUNVATEL_ASSEMBLER ${prefix}as)
set(CMAKE_AR ${prefix}ar)
set(CMAKE_RANLIB ${prefix}ranlib)
set(CMAKE_LINKER ${prefix}ld)

# The code the device's own compiler makes: ARM state (the StrongARM has no Thumb), ARMv4,
# integer arithmetic only, and the APCS calling convention (arguments in r0-r3, the result in
# r0, r4-r11 kept); char signed and wchar_t 16 bits, as Microsoft's compilers have them. Its
# records must be laid out as Microsoft's compiler lays them out: the record probe of
# device/checks.py compares the two. No exceptions, RTTI or unwind tables (CMakeLists.txt
# turns off the first two for program code). No jump tables: .text then holds no data but the
# constants that loads read, which the disassembly check finds through those loads. C++98,
# what the device's compiler takes; no headers but the handheld's (clang's own stdarg.h and
# stddef.h stay); optimised. The device commits its stack a page at a time, and its compiler
# calls a stack probe for a larger frame, which nothing here supplies: no frame may be larger
# than a page. A call the compiler adds for what ARMv4 lacks (division, say) names a helper that
# no import library gives, and fails to link.
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_FLAGS_INIT
    "--target=armv4-none-eabi -marm -mabi=apcs-gnu -mfloat-abi=soft -fsigned-char -fshort-wchar \
-fno-unwind-tables -fno-asynchronous-unwind-tables -fno-jump-tables -std=c++98 -nostdlibinc -O2 \
-Wframe-larger-than=4096 -Werror=frame-larger-than")
# The same code whatever the build type: debug information has no form that this assembler
# takes from clang, and -O2 stands.
foreach(config DEBUG RELEASE RELWITHDEBINFO MINSIZEREL)
    set(CMAKE_CXX_FLAGS_${config} "" CACHE STRING "")
endforeach()

# clang writes ELF assembly; device/assembly.py keeps what the PE assembler takes and
# refuses what it does not know; the assembler, told the StrongARM's architecture, refuses any
# later instruction.
set(filter ${CMAKE_CURRENT_LIST_DIR}/../device/assembly.py)
set(CMAKE_CXX_COMPILE_OBJECT
    "<CMAKE_CXX_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -S -o <OBJECT>.s <SOURCE> && python3 ${filter} <OBJECT>.s <OBJECT>.pe.s && ${prefix}as -march=armv4 --fatal-warnings -o <OBJECT> <OBJECT>.pe.s")
# The compiler checks cannot link: there is no C run-time to link them against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# The image the device's loader takes: Windows CE GUI subsystem, version 3.00 for subsystem and
# operating system alike (a Windows CE 3.0 loader refuses a later one), loaded at 0x10000 with
# its base relocations, the stack an application of the device's own linker gets (64 KB
# reserved, 4 KB committed), no DLL characteristics (the desktop's address randomisation and
# no-execute flags mean nothing there) and no symbol table. The entry point is WinMain itself
# (platform/wince/wince_platform.h says what the device passes it).
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_LINKER> --subsystem wince:3.00 --major-os-version 3 --minor-os-version 0 --image-base 0x10000 --stack 0x10000,0x1000 --disable-dynamicbase --disable-nxcompat -s -e WinMain -Map=${CMAKE_BINARY_DIR}/dunvatel.map <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")

# Resources: this binutils' windres writes a COFF object for the linker, preprocessing the
# script with clang against the handheld's headers.
set(CMAKE_RC_COMPILER ${prefix}windres)
set(CMAKE_RC_OUTPUT_EXTENSION .obj)
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> -O coff --preprocessor=clang --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-nostdlibinc --preprocessor-arg=--target=armv4-none-eabi -DRC_INVOKED <DEFINES> <INCLUDES> <FLAGS> <SOURCE> <OBJECT>")
