# Runs the built program and checks its exit status and standard output.
cmake_minimum_required(VERSION 3.20)
# -D PROGRAM=... -D EXPECT_STATUS=N -D EXPECT_OUTPUT=regex [-D EMULATOR=...] [-D ARGS=a;b]
# [-D WORKDIR=dir] [-D EXPECT_FILE=path] [-D ABSENT_FILE=path]
if(WORKDIR)
    file(MAKE_DIRECTORY "${WORKDIR}")
else()
    set(WORKDIR "${CMAKE_CURRENT_BINARY_DIR}")
endif()
foreach(stale ${ABSENT_FILE} ${EXPECT_FILE})
    file(REMOVE "${WORKDIR}/${stale}")
endforeach()
execute_process(
    COMMAND ${EMULATOR} "${PROGRAM}" ${ARGS}
    WORKING_DIRECTORY "${WORKDIR}"
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
if(NOT status STREQUAL EXPECT_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}\n${output}${errors}")
endif()
if(NOT output MATCHES "${EXPECT_OUTPUT}")
    message(FATAL_ERROR "output does not match '${EXPECT_OUTPUT}':\n${output}")
endif()
if(EXPECT_FILE AND NOT EXISTS "${WORKDIR}/${EXPECT_FILE}")
    message(FATAL_ERROR "${EXPECT_FILE} was not written")
endif()
if(ABSENT_FILE AND EXISTS "${WORKDIR}/${ABSENT_FILE}")
    message(FATAL_ERROR "${ABSENT_FILE} was created")
endif()
