# Cross build for Windows with Debian's MinGW-w64. The including file sets MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine, where this machine's Wine can run programs of this kind
# (a 32-bit Wine needs a kernel that runs 32-bit x86 code).
find_program(WINE_PROGRAM NAMES ${MINGW_WINE} PATHS ${MINGW_WINE_PATHS} NO_DEFAULT_PATH)
if(WINE_PROGRAM)
    execute_process(COMMAND ${WINE_PROGRAM} --version RESULT_VARIABLE wine_status
                    OUTPUT_QUIET ERROR_QUIET)
    if(wine_status EQUAL 0)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
    endif()
endif()
