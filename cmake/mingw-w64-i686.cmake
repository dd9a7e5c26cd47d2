# Cross-builds the Windows program for 32-bit x86 with Debian's mingw-w64:
# the one that runs on every Windows from 7 on, 32- or 64-bit.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(PLANINI_MINGW i686-w64-mingw32)

# Doubles computed in SSE2, as on every other target: with x87's wider
# registers a number read from text could be rounded twice. Every x86
# processor since about 2003 has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
