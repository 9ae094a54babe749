# Checks of the handheld's program (preset "device"), as CTest tests. No handheld runs here, so
# each reads what the build made: the file's header, its imports and its instructions, the
# layout the device's compiler gives the API's records and the values its headers give the
# API's constants, and the program's resources. cmake/device-checks.py says what each requires.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_LIST_DIR}/msvc-target.cmake)

set(checks ${CMAKE_CURRENT_LIST_DIR}/device-checks.py)
set(program $<TARGET_FILE:dunvatel>)
set(sdk ${PROJECT_SOURCE_DIR}/platform/wince/sdk)
set(database ${CMAKE_BINARY_DIR}/compile_commands.json)

# The resources of the compiler check's compiled script: the desktop's windres, preprocessing
# as the compiler check does, with the program's own defines and include paths.
set(script ${PROJECT_SOURCE_DIR}/resources/dunvatel.rc)
set(reference ${CMAKE_BINARY_DIR}/msvc-check-dunvatel.res)
separate_arguments(preprocessing UNIX_COMMAND "${DUNVATEL_MSVC_RC_PREPROCESSING}")
set(defines "$<TARGET_PROPERTY:dunvatel,COMPILE_DEFINITIONS>")
set(includes "$<TARGET_PROPERTY:dunvatel,INCLUDE_DIRECTORIES>")
add_custom_command(
    OUTPUT ${reference}
    COMMAND x86_64-w64-mingw32-windres -O res ${preprocessing} -DRC_INVOKED
            "$<$<BOOL:${defines}>:-D$<JOIN:${defines},;-D>>"
            "$<$<BOOL:${includes}>:-I$<JOIN:${includes},;-I>>" ${script} ${reference}
    DEPENDS ${script} ${PROJECT_SOURCE_DIR}/resources/resource.h
            ${PROJECT_SOURCE_DIR}/resources/dunvatel.ico
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMAND_EXPAND_LISTS
    COMMENT "Resources of the compiler check's script, for the device's program to match"
    VERBATIM)
add_custom_target(dunvatel_reference_resources ALL DEPENDS ${reference})

add_test(NAME device_header COMMAND Python3::Interpreter ${checks} header ${program})
add_test(NAME device_imports COMMAND Python3::Interpreter ${checks} imports ${program} ${sdk})
add_test(NAME device_instructions
         COMMAND Python3::Interpreter ${checks} instructions ${program} ${DUNVATEL_OBJDUMP})
add_test(NAME device_records
         COMMAND Python3::Interpreter ${checks} records ${database}
                 ${CMAKE_CURRENT_LIST_DIR}/device-record-probe.cpp ${DUNVATEL_MSVC_FLAGS} ${sdk})
add_test(NAME device_constants
         COMMAND Python3::Interpreter ${checks} constants ${sdk} x86_64-w64-mingw32-g++
                 ${sdk}/handheld-values.txt ${database})
add_test(NAME device_resources
         COMMAND Python3::Interpreter ${checks} resources ${program} ${reference})
# A filter or an assembler that stopped refusing would pass unnoticed: each sample of what the
# handheld cannot run must be refused at exactly the lines it marks.
file(GLOB samples ${CMAKE_CURRENT_LIST_DIR}/device-faults/*.s)
add_test(NAME device_refusals
         COMMAND Python3::Interpreter ${checks} refusals ${CMAKE_CURRENT_LIST_DIR}/device-assembly.py
                 ${DUNVATEL_ASSEMBLER} ${samples})
