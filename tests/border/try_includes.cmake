# Compiles a codec file that includes each header outside the codec, with the
# codec's own include directories, and checks that the compiler cannot find
# it; a file including codec headers must compile, or the check proves
# nothing.
# -D COMPILER=... -D INCLUDES="dir;dir" -D WORK=dir -P this file

set(crossings
    "platform.h" "file_io.h" "temporary_file.h" # the platform's, by bare name
    "messages.h" "program.h" "converter.h"      # the programs', by bare name
    "platform/platform.h" "programs/program.h"  # either, by its path from src/
    "bmp_reader.h")                             # the root's program header
set(flags -std=c++17 -fsyntax-only)
foreach(dir IN LISTS INCLUDES)
    list(APPEND flags "-I${dir}")
endforeach()
file(MAKE_DIRECTORY "${WORK}")

function(compile header result output)
    file(WRITE "${WORK}/probe.cpp" "#include \"${header}\"\n")
    execute_process(COMMAND "${COMPILER}" ${flags} "${WORK}/probe.cpp"
                    RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_VARIABLE errors)
    set(${result} "${status}" PARENT_SCOPE)
    set(${output} "${errors}" PARENT_SCOPE)
endfunction()

foreach(allowed "bmp/bmp_decoder.h" "display/frames.h" "outcome.h" "data_writer.h")
    compile("${allowed}" status errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "A codec header does not compile with the codec's includes: "
                            "${allowed}\n${errors}")
    endif()
endforeach()
foreach(header IN LISTS crossings)
    compile("${header}" status errors)
    if(status EQUAL 0 OR NOT errors MATCHES "No such file|not found")
        message(FATAL_ERROR "A codec file could include ${header}:\n${errors}")
    endif()
endforeach()
list(LENGTH crossings count)
message(STATUS "Each of ${count} crossings stops the build")
