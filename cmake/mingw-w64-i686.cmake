# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686):
# the width of the outside port libraries and of the EZ-USB driver's records.
# Debian's wine64 cannot run the results, so there is no emulator here.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUENLOR_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
