# 32-bit Windows on x86: the shipped build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLE i686-w64-mingw32)
# Wine's 32-bit loader itself: the `wine` command runs the 64-bit one where
# the 32-bit one is missing, and that answers --version but runs no 32-bit program.
set(MINGW_WINE wine)
set(MINGW_WINE_PATHS /usr/lib/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
