# The built program itself, as a user runs it: exit statuses and messages.
function(add_cli_test name status output)
    cmake_parse_arguments(CLI "" "PROGRAM;WORKDIR;EXPECT_FILE;ABSENT_FILE" "ARGS" ${ARGN})
    if(NOT CLI_PROGRAM)
        set(CLI_PROGRAM bmp2data)
    endif()
    add_test(NAME cli.${name}
        COMMAND ${CMAKE_COMMAND}
            -D PROGRAM=$<TARGET_FILE:${CLI_PROGRAM}>
            "-D EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            "-D ARGS=${CLI_ARGS}"
            -D EXPECT_STATUS=${status}
            "-D EXPECT_OUTPUT=${output}"
            "-D WORKDIR=${CLI_WORKDIR}"
            "-D EXPECT_FILE=${CLI_EXPECT_FILE}"
            "-D ABSENT_FILE=${CLI_ABSENT_FILE}"
            -P ${CMAKE_CURRENT_LIST_DIR}/run_cli.cmake)
endfunction()

set(usage "^Uso: [^\n]*bmp2data[^\n]* file <\\.bmp \\.s>\r?\nConverte um arquivo \\.bmp com 24 bits/pixel para \\.s para uso no segmento de dados\r?\n$")
add_cli_test(no_argument 1 "${usage}")
add_cli_test(two_arguments 1 "${usage}" ARGS a b)
add_cli_test(missing_input 1 "^Error: fopen failed\r?\n$"
    ARGS missing WORKDIR ${CMAKE_CURRENT_BINARY_DIR}/cli ABSENT_FILE missing.data)
set(cli_dir ${CMAKE_CURRENT_BINARY_DIR}/cli)
foreach(copy sample img/sample coração)
    configure_file(${PROJECT_SOURCE_DIR}/examples/sample.bmp ${cli_dir}/${copy}.bmp COPYONLY)
endforeach()
set(sample_size "^size:32 x 20\r?\n$")
add_cli_test(sample 0 "${sample_size}" ARGS sample WORKDIR ${cli_dir} EXPECT_FILE sample.data)
add_cli_test(directory 0 "${sample_size}" ARGS img/sample WORKDIR ${cli_dir} EXPECT_FILE img/sample.data)
add_cli_test(non_ascii 0 "${sample_size}" ARGS coração WORKDIR ${cli_dir} EXPECT_FILE coração.data)
if(WIN32)
    add_cli_test(backslash 0 "${sample_size}" ARGS img\\sample WORKDIR ${cli_dir}
        EXPECT_FILE img/sample.data)
endif()

# data2bmp: usage and a preview of the converted sample.
add_cli_test(data2bmp_no_argument 1 "^Uso: [^\n]*data2bmp[^\n]* file <\\.data>\r?\n" PROGRAM data2bmp)
add_cli_test(data2bmp_sample 0 "${sample_size}" PROGRAM data2bmp
    ARGS sample WORKDIR ${cli_dir} EXPECT_FILE sample.preview.bmp)
set_tests_properties(cli.data2bmp_sample PROPERTIES DEPENDS cli.sample)

# Pictures written by real programs (tests/fixtures/make_fixtures.sh), each
# against the text that independent decoders agree on.
file(GLOB fixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures/*.bmp)
foreach(fixture ${fixtures})
    get_filename_component(name ${fixture} NAME_WE)
    add_test(NAME fixture.${name}
        COMMAND ${CMAKE_COMMAND}
            -D PROGRAM=$<TARGET_FILE:bmp2data>
            "-D EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            -D FIXTURE=${fixture}
            -D WORKDIR=${CMAKE_CURRENT_BINARY_DIR}/fixtures/${name}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_fixture.cmake)
endforeach()

# Bad inputs (bad/NAME.bmp or bad/NAME.data), each beside the one line it
# must print (bad/NAME.err). Natively they run under a memory limit, so that
# a picture the reader would take memory for before refusing it fails with
# another message.
set(memory_limit "")
find_program(PRLIMIT prlimit)
if(UNIX AND NOT CMAKE_CROSSCOMPILING AND NOT BMP2DATA_SANITIZE AND PRLIMIT)
    set(memory_limit "${PRLIMIT};--as=536870912;--")
endif()
file(GLOB bad_inputs ${CMAKE_CURRENT_LIST_DIR}/bad/*.bmp ${CMAKE_CURRENT_LIST_DIR}/bad/*.data)
foreach(input ${bad_inputs})
    get_filename_component(name ${input} NAME_WE)
    if(input MATCHES "\\.bmp$")
        set(program bmp2data)
        set(output ${name}.data)
    else()
        set(program data2bmp)
        set(output ${name}.preview.bmp)
    endif()
    add_test(NAME bad.${name}
        COMMAND ${CMAKE_COMMAND}
            -D PROGRAM=$<TARGET_FILE:${program}>
            "-D EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            "-D LIMIT=${memory_limit}"
            -D INPUT=${input}
            -D OUTPUT=${output}
            -D WORKDIR=${CMAKE_CURRENT_BINARY_DIR}/bad/${name}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_bad.cmake)
endforeach()

# A tile map previews as the whole picture's data does (a map of bytes, and
# one of half-words).
foreach(name distinct-256 distinct-257)
    add_test(NAME cli.data2bmp_tile_map.${name}
        COMMAND ${CMAKE_COMMAND}
            -D BMP2DATA=$<TARGET_FILE:bmp2data> -D DATA2BMP=$<TARGET_FILE:data2bmp>
            "-D EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
            -D CASES=${CMAKE_CURRENT_LIST_DIR}/jobs -D NAME=${name}
            -D WORKDIR=${CMAKE_CURRENT_BINARY_DIR}/tile-map/${name}
            -P ${CMAKE_CURRENT_LIST_DIR}/run_tile_preview.cmake)
endforeach()
