# GoogleTest for the cross builds (Win32 with mingw, 32-bit ARM Linux), compiled with the
# build's own compiler from the Debian source package: the machine's own libraries are x86-64
# Linux objects. Built only for the targets that link it.
set(DUNVATEL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${DUNVATEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${DUNVATEL_GOOGLETEST_SOURCE}; "
                        "scripts/install-deps.sh installs them (package googletest)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${DUNVATEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Older source packages define only the plain targets; the tests name them as find_package
# does.
if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
endif()
