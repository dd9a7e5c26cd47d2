# What both Windows builds share; cmake/mingw-w64-i686.cmake and
# cmake/mingw-w64-x86_64.cmake set PLANINI_MINGW, the compiler's triplet,
# and include it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${PLANINI_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLANINI_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PLANINI_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLANINI_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes go into the .exe: it needs no DLL that Windows does
# not bring itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the Windows programs under Wine, on a virtual display with a
# Wine prefix of their own (tests/win32/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine-run.sh)
