# Cross-builds the Windows program for 64-bit x86 (x64) with Debian's
# mingw-w64, for Windows without 32-bit support. Doubles are in SSE2 there
# anyway.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(PLANINI_MINGW x86_64-w64-mingw32)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
