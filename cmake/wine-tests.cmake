# Win32 test programs run under Wine, each as one CTest test (Wine starts slowly, so every
# program holds many cases). All of them share one Wine prefix in the build directory, made
# and configured by a fixture before the first test and shut down after the last.
set(DUNVATEL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(DUNVATEL_WINE_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh)

# A small file system that the tests fill, as a storage card that fills up: mounted before
# the first test and removed after the last (only as root; its tests are skipped otherwise).
set(DUNVATEL_SMALL_MEDIUM ${CMAKE_BINARY_DIR}/small-medium)
set(DUNVATEL_SMALL_MEDIUM_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/small-medium.sh)

if(NOT TEST wine_prefix_start)
    add_test(NAME wine_prefix_start COMMAND sh ${DUNVATEL_WINE_SCRIPT} start ${DUNVATEL_WINE_PREFIX})
    set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine_prefix)
    add_test(NAME wine_prefix_stop COMMAND sh ${DUNVATEL_WINE_SCRIPT} stop ${DUNVATEL_WINE_PREFIX})
    set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)
    add_test(NAME small_medium_mount
             COMMAND sh ${DUNVATEL_SMALL_MEDIUM_SCRIPT} mount ${DUNVATEL_SMALL_MEDIUM})
    set_tests_properties(small_medium_mount PROPERTIES FIXTURES_SETUP small_medium)
    add_test(NAME small_medium_unmount
             COMMAND sh ${DUNVATEL_SMALL_MEDIUM_SCRIPT} unmount ${DUNVATEL_SMALL_MEDIUM})
    set_tests_properties(small_medium_unmount PROPERTIES FIXTURES_CLEANUP small_medium)
endif()

# Runs the program `target` under Wine (through the toolchain's emulator) with the arguments
# that follow.
function(dunvatel_add_wine_test target)
    add_test(NAME ${target} COMMAND ${target} ${ARGN})
    set_tests_properties(${target} PROPERTIES
        FIXTURES_REQUIRED "wine_prefix;small_medium"
        ENVIRONMENT "WINEPREFIX=${DUNVATEL_WINE_PREFIX};DUNVATEL_SMALL_MEDIUM=${DUNVATEL_SMALL_MEDIUM}"
        TIMEOUT 900)
endfunction()
