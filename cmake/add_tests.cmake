# qr_add_tests(<prefix> <folder>
#              [QT] [XSERVER] [XVFB <test name>...]
#              [LIBS <library>...] [DEPENDS <target>...]
#              [DEFINITIONS <definition>...] [ENVIRONMENT <name=value>...]
#              [LINUX_ONLY <file name>...] [WINDOWS_ONLY <file name>...])
#
# One test program for each <folder>/*_test.cpp and <folder>/*/*_test.cpp
# (relative to the calling folder), named <prefix>_<file name>, or just
# <file name> when that already starts with <prefix>_. Every program knows
# QR_BIN_DIR (where the libraries and programs are built) and QR_SOURCE_DIR.
#
#   QT           Qt Test programs: registered whole and run on the offscreen
#                platform; otherwise GoogleTest programs, registered test by
#                test, run in the build folder.
#   XSERVER      the tests start an X server, so they run one at a time (two
#                `xvfb-run -a` starting together can pick the same display).
#   XVFB         these tests (by name) run inside xvfb-run on a real X
#                server instead of the offscreen platform.
#   LIBS         linked privately; DEPENDS are built first (libraries loaded
#                at run time, programs the tests start).
#   LINUX_ONLY   tests (file names without .cpp) left out of Windows builds:
#                they need packages or services Windows builds do not have.
#   WINDOWS_ONLY tests built for Windows only: they check a Windows
#                implementation. These two lists are the only way a test is
#                picked per platform.
#
# Sets QR_TEST_TARGETS in the caller's scope to the programs made.
function(qr_add_tests prefix folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "QT;XSERVER" "" "XVFB;LIBS;DEPENDS;DEFINITIONS;ENVIRONMENT;LINUX_ONLY;WINDOWS_ONLY")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "qr_add_tests: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*/*_test.cpp)
  if(NOT sources)
    message(FATAL_ERROR "qr_add_tests: no *_test.cpp in ${CMAKE_CURRENT_SOURCE_DIR}/${folder}")
  endif()
  if(WIN32)
    set(excluded ${arg_LINUX_ONLY})
  else()
    set(excluded ${arg_WINDOWS_ONLY})
  endif()
  foreach(name ${excluded})
    list(FILTER sources EXCLUDE REGEX "/${name}\\.cpp$")
  endforeach()
  if(arg_XVFB)
    qr_require_program(QR_XVFB_RUN xvfb-run xvfb)
  endif()
  set(made)
  foreach(source ${sources})
    get_filename_component(file_name ${source} NAME_WE)
    if(file_name MATCHES "^${prefix}_")
      set(name ${file_name})
    else()
      set(name ${prefix}_${file_name})
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${arg_LIBS})
    target_compile_definitions(${name} PRIVATE
      QR_BIN_DIR="${CMAKE_BINARY_DIR}/bin" QR_SOURCE_DIR="${PROJECT_SOURCE_DIR}" ${arg_DEFINITIONS})
    if(arg_DEPENDS)
      add_dependencies(${name} ${arg_DEPENDS})
    endif()
    set(lock)
    if(arg_XSERVER OR name IN_LIST arg_XVFB)
      set(lock RESOURCE_LOCK xserver)
    endif()
    if(arg_QT)
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
      target_link_libraries(${name} PRIVATE Qt6::Test)
      if(name IN_LIST arg_XVFB)
        add_test(NAME ${name} COMMAND ${QR_XVFB_RUN} -a $<TARGET_FILE:${name}>)
        set(platform QT_QPA_PLATFORM=xcb)
      else()
        add_test(NAME ${name} COMMAND ${name})
        set(platform QT_QPA_PLATFORM=offscreen)
      endif()
      set(environment ${platform} ${arg_ENVIRONMENT})
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" ${lock})
    else()
      target_link_libraries(${name} PRIVATE GTest::gtest_main)
      set(properties ${lock})
      if(arg_ENVIRONMENT)
        list(APPEND properties ENVIRONMENT "${arg_ENVIRONMENT}")
      endif()
      if(properties)
        set(properties PROPERTIES ${properties})
      endif()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 WORKING_DIRECTORY ${CMAKE_BINARY_DIR} ${properties})
    endif()
    list(APPEND made ${name})
  endforeach()
  set(QR_TEST_TARGETS ${made} PARENT_SCOPE)
endfunction()
