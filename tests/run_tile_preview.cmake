# data2bmp on a tile map's text draws the picture that data2bmp draws from
# the whole picture's data: bmp2data converts NAME.bmp, data2bmp previews
# that and the tile text NAME.data from the job cases, and the two previews
# are the same file.
cmake_minimum_required(VERSION 3.20)
# -D BMP2DATA=... -D DATA2BMP=... -D CASES=dir -D NAME=name -D WORKDIR=dir [-D EMULATOR=...]
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/whole" "${WORKDIR}/tiles")
file(COPY "${CASES}/${NAME}.bmp" DESTINATION "${WORKDIR}/whole")
file(COPY "${CASES}/${NAME}.data" DESTINATION "${WORKDIR}/tiles")
foreach(step "BMP2DATA;whole" "DATA2BMP;whole" "DATA2BMP;tiles")
    list(GET step 0 program)
    list(GET step 1 folder)
    execute_process(COMMAND ${EMULATOR} "${${program}}" "${NAME}"
        WORKING_DIRECTORY "${WORKDIR}/${folder}" RESULT_VARIABLE status OUTPUT_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${program} in ${folder}: status ${status}\n${output}")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
    "${WORKDIR}/whole/${NAME}.preview.bmp" "${WORKDIR}/tiles/${NAME}.preview.bmp"
    RESULT_VARIABLE differ)
if(differ)
    message(FATAL_ERROR "the tile map's preview differs from the whole picture's")
endif()
