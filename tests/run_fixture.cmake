# Converts a fixture written by a real program and compares the text with
# the expected data file (line ends aside: CR LF on Windows).
cmake_minimum_required(VERSION 3.20)
# -D PROGRAM=... [-D EMULATOR=...] -D FIXTURE=dir/name.bmp -D WORKDIR=dir
get_filename_component(name "${FIXTURE}" NAME_WE)
get_filename_component(directory "${FIXTURE}" DIRECTORY)
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
file(COPY "${FIXTURE}" DESTINATION "${WORKDIR}")
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" "${name}" WORKING_DIRECTORY "${WORKDIR}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "status ${status}:\n${output}${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files --ignore-eol
    "${WORKDIR}/${name}.data" "${directory}/${name}.data" RESULT_VARIABLE different)
if(different)
    file(READ "${WORKDIR}/${name}.data" actual)
    message(FATAL_ERROR "${name}.data differs from the expected text:\n${actual}")
endif()
