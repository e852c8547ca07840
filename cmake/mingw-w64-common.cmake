# Shared by the MinGW-w64 toolchain files, which set QUENLOR_MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first. Debian's posix thread model compilers.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUENLOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUENLOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUENLOR_MINGW_PREFIX}-windres)

# Libraries for the target only: the system root plus any prefixes given in
# CMAKE_PREFIX_PATH (GoogleTest built for MinGW, Qt for MinGW).
set(CMAKE_FIND_ROOT_PATH /usr/${QUENLOR_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime linked in, so the programs start under Wine without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
