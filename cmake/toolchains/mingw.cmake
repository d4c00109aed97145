# Cross compiling for Windows with Debian's mingw-w64 compilers (POSIX
# threads variant, GCC 12), for the processor the including file names in
# QR_MINGW_ARCH. Everything is linked statically, so the built files need no
# compiler runtime DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QR_MINGW_ARCH})

set(CMAKE_C_COMPILER ${QR_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${QR_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${QR_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_DLLTOOL ${QR_MINGW_ARCH}-w64-mingw32-dlltool)
set(CMAKE_ASM_COMPILER ${QR_MINGW_ARCH}-w64-mingw32-gcc-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${QR_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
