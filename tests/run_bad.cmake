# Runs a program on a bad input and checks that it fails with exactly the
# message in the .err file beside the input, with or without an old output
# file, which it leaves as it was.
cmake_minimum_required(VERSION 3.20)
# -D PROGRAM=... -D INPUT=dir/name.bmp -D OUTPUT=name.data -D WORKDIR=dir
# [-D EMULATOR=...] [-D LIMIT=command;that;runs;the;program;under;a;memory;limit]
get_filename_component(name "${INPUT}" NAME_WE)
get_filename_component(extension "${INPUT}" LAST_EXT)
get_filename_component(directory "${INPUT}" DIRECTORY)
file(READ "${directory}/${name}.err" expected)
foreach(old_output FALSE TRUE)
    file(REMOVE_RECURSE "${WORKDIR}")
    file(MAKE_DIRECTORY "${WORKDIR}")
    file(COPY "${INPUT}" DESTINATION "${WORKDIR}")
    if(old_output)
        file(WRITE "${WORKDIR}/${OUTPUT}" "keep me")
    endif()
    execute_process(COMMAND ${LIMIT} ${EMULATOR} "${PROGRAM}" "${name}"
        WORKING_DIRECTORY "${WORKDIR}" RESULT_VARIABLE status OUTPUT_VARIABLE output
        ERROR_VARIABLE errors)
    string(REPLACE "\r\n" "\n" output "${output}")
    if(NOT status EQUAL 1 OR NOT output STREQUAL expected)
        message(FATAL_ERROR "status ${status}, expected 1; printed:\n${output}${errors}"
                            "expected:\n${expected}")
    endif()
    file(GLOB left RELATIVE "${WORKDIR}" "${WORKDIR}/*")
    set(expected_files "${name}${extension}")
    if(old_output)
        list(APPEND expected_files "${OUTPUT}")
        file(READ "${WORKDIR}/${OUTPUT}" kept)
        if(NOT kept STREQUAL "keep me")
            message(FATAL_ERROR "${OUTPUT} was changed")
        endif()
    endif()
    list(SORT left)
    list(SORT expected_files)
    if(NOT left STREQUAL expected_files)
        message(FATAL_ERROR "left behind: ${left}")
    endif()
endforeach()
