# 32-bit Windows (preset windows-x86).
set(QR_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
