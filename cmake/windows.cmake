# Windows builds with the mingw-w64 cross compilers (presets windows-x64 and
# windows-x86). Included before the compile options are set, so GoogleTest,
# built here from Debian's sources, keeps its own warning settings.

# 64-bit programs (the tests among them) run under wine64 in a prefix of
# their own inside the build folder, through scripts/wine-run, which runs a
# program again when wine itself broke (not the program); 32-bit programs
# cannot run on our build machines, so that build only compiles and links.
# scripts/test-windows starts one wine server for the prefix that serves the
# whole test run.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(QR_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QR_WINE64)
    message(FATAL_ERROR "wine64 not found: install the Debian package wine64 (or configure with QR_BUILD_TESTS=OFF)")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
      bash ${PROJECT_SOURCE_DIR}/scripts/wine-run ${QR_WINE64})
endif()

if(QR_BUILD_TESTS)
  set(QR_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
  if(NOT EXISTS ${QR_GTEST_SOURCES}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${QR_GTEST_SOURCES}: install the Debian package googletest")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QR_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Listing a test program's cases needs wine: do it when ctest runs, not
  # after every link.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)

# A library's exports are listed once, in a .def file of decorated __stdcall
# names (name@bytes). The 32-bit DLL is linked with --kill-at, so it exports
# the plain names, and its import library, made by dlltool, maps the
# decorated names that callers' compilers ask for onto them. The 64-bit DLL
# has one calling convention and no decoration: the names without @bytes.
# Either way <Name>.def (as linked) and <Name>.lib go beside the DLL.
function(qr_windows_exports target def_source)
  get_target_property(name ${target} OUTPUT_NAME)
  set(def_file ${CMAKE_BINARY_DIR}/bin/${name}.def)
  file(READ ${def_source} def_text)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
  endif()
  file(CONFIGURE OUTPUT ${def_file} CONTENT "${def_text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_source})
  target_sources(${target} PRIVATE ${def_file})
  set_target_properties(${target} PROPERTIES IMPORT_PREFIX "" IMPORT_SUFFIX ".lib"
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} -k -d ${def_file} -D ${name}.dll -l ${CMAKE_BINARY_DIR}/bin/${name}.lib
      VERBATIM)
  endif()
endfunction()
