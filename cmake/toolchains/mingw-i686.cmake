# 32-bit Windows (preset windows-x86). Floating point in SSE2 registers, as in
# the 64-bit build: with the x87 unit's wider intermediates, coordinates (and
# so decoded results) could differ from the other builds' by a rounding step.
set(QR_MINGW_ARCH i686)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
