# Cross build of program code over the host stand-in and the whole host suite for 32-bit ARM
# Linux, with the handheld's code generation: ARM mode (not Thumb) for ARMv4T, char signed as
# Microsoft's compilers make it. The tests run under qemu-user on a PXA250 (the oldest CPU that
# Debian's armel C library runs on), so that a fault of 32-bit pointers, of signed char or of
# alignment shows in the host suite before it shows on the device.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(DUNVATEL_ARM_TRIPLE arm-linux-gnueabi)
# Debian's cross packages (libc6-dev-armel-cross, libstdc++-12-dev-armel-cross,
# libgcc-12-dev-armel-cross) install the target's C and C++ libraries here.
set(DUNVATEL_ARM_SYSROOT /usr/${DUNVATEL_ARM_TRIPLE})

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${DUNVATEL_ARM_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${DUNVATEL_ARM_TRIPLE})
set(CMAKE_C_FLAGS_INIT "-march=armv4t -marm -fsigned-char")
set(CMAKE_CXX_FLAGS_INIT "-march=armv4t -marm -fsigned-char")

# The sysroot keeps the machine's own headers out of the compile. The link goes without it:
# the libraries' linker scripts there (libc.so) name their files by absolute paths, which lld
# would look for inside the sysroot once more; clang finds the cross libraries through the
# cross compiler's installation (/usr/lib/gcc-cross) instead, before any of the machine's own.
set(CMAKE_SYSROOT_COMPILE ${DUNVATEL_ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH ${DUNVATEL_ARM_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ARMv4T has no atomic instructions: atomics (GoogleTest's, std::shared_ptr's counts) are calls
# into libatomic.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld")
set(CMAKE_CXX_STANDARD_LIBRARIES_INIT "-latomic")

# The cross C library has no iconv modules, which the stand-in's code pages need: those of
# Debian's libc6:armel, that scripts/armel-gconv.sh fetches into the user's cache once.
include(${CMAKE_CURRENT_LIST_DIR}/user-cache.cmake)
set(DUNVATEL_ARMEL_GCONV_CACHE ${DUNVATEL_USER_CACHE}/armel-gconv)
set(DUNVATEL_ARMEL_GCONV ${DUNVATEL_ARMEL_GCONV_CACHE}/usr/lib/${DUNVATEL_ARM_TRIPLE}/gconv)
if(NOT EXISTS ${DUNVATEL_ARMEL_GCONV}/gconv-modules)
    message(FATAL_ERROR "No iconv modules for armel in ${DUNVATEL_ARMEL_GCONV}; "
                        "scripts/armel-gconv.sh fetches them (scripts/install-deps.sh runs it)")
endif()

# CTest and GoogleTest's discovery run the test programs through qemu-user, which gives them
# the iconv modules in their environment.
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-arm -cpu pxa250 -L ${DUNVATEL_ARM_SYSROOT} -E GCONV_PATH=${DUNVATEL_ARMEL_GCONV})
