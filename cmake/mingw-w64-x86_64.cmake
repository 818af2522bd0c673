# Cross-compiling kentermeer.exe for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, which GoogleTest needs). Everything is linked statically so the exe runs without any
# DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KENTERMEER_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KENTERMEER_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KENTERMEER_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KENTERMEER_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KENTERMEER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and other programs built for Windows run here under wine.
find_program(KENTERMEER_WINE NAMES wine64 wine)
if(KENTERMEER_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KENTERMEER_WINE})
endif()
