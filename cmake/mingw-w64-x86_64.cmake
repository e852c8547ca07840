# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUENLOR_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

find_program(QUENLOR_WINE NAMES wine64 wine)
if(QUENLOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUENLOR_WINE})
endif()
