# Cross build of the programs and the whole suite as 32-bit x86 Linux
# programs, linked statically and run by qemu's user-mode emulator: the
# shipped .exe is 32-bit, and this runs its size arithmetic on any 64-bit
# machine. Needs Debian's g++-i686-linux-gnu and qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
find_program(QEMU_I386 qemu-i386)
if(QEMU_I386)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_I386})
endif()
