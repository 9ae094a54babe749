# Checks of the compiler check, run by msvc-check/CMakeLists.txt with cmake -P.
#   -DCHECK=codepage -DLIST=file -DSTAMP=file: every file named in LIST converts from UTF-8 to
#     code page 932 (iconv -f UTF-8 -t CP932), as the handheld's compilers need;
#   -DCHECK=static-init -DOBJDUMP=llvm-objdump -DBINARIES=a,b: no object holds a static
#     constructor (a .CRT$XC section), which the handheld's run-time would never run.
cmake_minimum_required(VERSION 3.25)

if(CHECK STREQUAL "codepage")
    file(STRINGS ${LIST} files)
    set(failed)
    foreach(file IN LISTS files)
        execute_process(
            COMMAND iconv -f UTF-8 -t CP932 ${file}
            OUTPUT_QUIET
            ERROR_VARIABLE error
            RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            string(STRIP "${error}" error)
            message(SEND_ERROR "${file} does not convert to code page 932: ${error}")
            set(failed TRUE)
        endif()
    endforeach()
    if(failed)
        message(FATAL_ERROR "The handheld's compilers read code page 932 (Shift_JIS).")
    endif()
    file(TOUCH ${STAMP})
elseif(CHECK STREQUAL "static-init")
    string(REPLACE "," ";" binaries "${BINARIES}")
    # Compiled resources hold no code.
    list(FILTER binaries EXCLUDE REGEX "\\.res$")
    execute_process(
        COMMAND ${OBJDUMP} --section-headers ${binaries}
        OUTPUT_VARIABLE sections
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${OBJDUMP} failed on ${binaries}")
    endif()
    # Each object's name comes before its sections.
    set(object)
    string(REPLACE "\n" ";" lines "${sections}")
    set(failed)
    foreach(line IN LISTS lines)
        if(line MATCHES "^(.*):[ \t]+file format")
            set(object ${CMAKE_MATCH_1})
        elseif(line MATCHES "\\.CRT\\$XC")
            message(SEND_ERROR "${object} has a static constructor (section ${line})")
            set(failed TRUE)
        endif()
    endforeach()
    if(failed)
        message(FATAL_ERROR "The handheld's run-time runs no static constructors.")
    endif()
else()
    message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()
