# Cross-builds the Windows program for 32-bit x86 with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(PLANINI_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER ${PLANINI_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLANINI_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${PLANINI_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLANINI_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles computed in SSE2, as on every other target: with x87's wider
# registers a number read from text could be rounded twice. Every x86
# processor since about 2003 has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# The C and C++ runtimes go into the .exe: it needs no DLL that Windows does
# not bring itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# CTest runs the Windows programs under Wine, on a virtual display with a
# Wine prefix of their own (tests/win32/wine-run.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/win32/wine-run.sh)
