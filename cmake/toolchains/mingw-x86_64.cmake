# 64-bit Windows (preset windows-x64).
set(QR_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
