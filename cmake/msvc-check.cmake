# The compiler check: program code compiled by clang as Microsoft's compiler for 32-bit ARM
# Windows would take it, against the handheld's documented API (platform/wince/sdk), and the
# resource script compiled by windres against the same headers. It proves what the device's
# own build (cmake/device.cmake) cannot: that program code keeps Microsoft's record layout and
# none of what the device's compiler (Microsoft's, of about 2000) refuses. It makes no program:
# its code is Thumb-2, which no Pocket PC runs.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)
# CMakeLists.txt files take their handheld branches on the first, the check's on the second.
set(DUNVATEL_HANDHELD TRUE)
set(DUNVATEL_MSVC_CHECK TRUE)

include(${CMAKE_CURRENT_LIST_DIR}/msvc-target.cmake)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET arm-pc-windows-msvc)
# Optimised whatever the build type, as the device's build is.
set(CMAKE_CXX_FLAGS_INIT "${DUNVATEL_MSVC_FLAGS} -O2")
# Header dependencies as for any clang (CMake gives none to a clang that imitates Microsoft's
# compiler on a platform it does not know).
set(CMAKE_DEPFILE_FLAGS_CXX "-MD -MT <DEP_TARGET> -MF <DEP_FILE>")
# The compiler checks cannot link: there is no C run-time to link them against.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
set(CMAKE_AR llvm-ar)
set(CMAKE_RANLIB llvm-ranlib)
set(DUNVATEL_OBJDUMP llvm-objdump)

# Resources: windres writes a .res file, preprocessing the script with clang against the same
# headers; the device's build must give its program the same resources (device/checks.py).
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_RC_OUTPUT_EXTENSION .res)
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> -O res ${DUNVATEL_MSVC_RC_PREPROCESSING} -DRC_INVOKED <DEFINES> <INCLUDES> <FLAGS> <SOURCE> <OBJECT>")
