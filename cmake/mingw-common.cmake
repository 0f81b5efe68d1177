# Shared part of the MinGW-w64 toolchain files: set CMAKE_SYSTEM_PROCESSOR and
# TALLMOOR_MINGW_PREFIX, then include this. Debian's compilers with the posix
# threads model; everything is linked statically, so the programs need no
# MinGW DLLs beside them; tests run under Wine as the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TALLMOOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLMOOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLMOOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLMOOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TALLMOOR_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLMOOR_WINE})
