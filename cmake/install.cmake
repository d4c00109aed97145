# Installation: libraries with their headers, pkg-config files and CMake
# package configurations, the programs, desktop entries, icons and the man
# page, under the usual prefixes. Each rule names its component, one Debian
# package each (cmake/debian_package.cmake): runtime (the libraries),
# development (headers, pkg-config and CMake files), tool (qrtool and its
# man page), programs (the window programs, the camera library, desktop
# entries and icons).
include(CMakePackageConfigHelpers)

# pkg-config files locate the prefix from their own folder, so an installed
# tree can be moved (or installed with --prefix) and still be used.
file(RELATIVE_PATH QR_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" QR_PC_TO_PREFIX "${QR_PC_TO_PREFIX}")

function(qr_install_library target package header)
  if(NOT TARGET ${target})
    return()
  endif()
  string(TOLOWER ${package} lower)
  install(TARGETS ${target} EXPORT ${package}Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
  install(EXPORT ${package}Targets NAMESPACE ${package}::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/${package} COMPONENT development)
  set(QR_PACKAGE ${package})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/PackageConfig.cmake.in
    ${PROJECT_BINARY_DIR}/packaging/${package}Config.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/packaging/${package}ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${package}Config.cmake
    ${PROJECT_BINARY_DIR}/packaging/${package}ConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/${package} COMPONENT development)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${lower}.pc.in ${PROJECT_BINARY_DIR}/packaging/${lower}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${lower}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endfunction()

# Each library's C++ interface beside its C header.
qr_install_library(mosaire Mosaire mosaire.h)
qr_install_library(lectavo Lectavo lectavo.h)
foreach(library mosaire lectavo)
  if(TARGET ${library})
    get_target_property(source_dir ${library} SOURCE_DIR)
    install(DIRECTORY ${source_dir}/include/${library} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
  endif()
endforeach()

if(TARGET vistrel)
  install(TARGETS vistrel LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT programs)
endif()

foreach(program qrbench qrmake qrcam qrtool)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    if(program STREQUAL qrtool)
      set(component tool)
    else()
      set(component programs)
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  endif()
endforeach()

# The icon is drawn by the programs' own code; render it once for the theme.
if(TARGET apps_common)
  add_executable(qr_icon_export ${PROJECT_SOURCE_DIR}/packaging/icon_export.cpp)
  target_link_libraries(qr_icon_export PRIVATE apps_common)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/icon-256.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:qr_icon_export> ${PROJECT_BINARY_DIR}/packaging/icon-256.png
    DEPENDS qr_icon_export)
  add_custom_target(qr_icon ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/icon-256.png)
endif()

foreach(program qrbench qrmake qrcam)
  if(TARGET ${program})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${program}.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
    if(TARGET qr_icon)
      install(FILES ${PROJECT_BINARY_DIR}/packaging/icon-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME ${program}.png COMPONENT programs)
    endif()
  endif()
endforeach()

if(TARGET qrtool)
  install(FILES ${PROJECT_SOURCE_DIR}/apps/qrtool/man/qrtool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
endif()

if(QR_BUILD_TESTS AND TARGET qrtool AND NOT QR_SANITIZE)
  add_test(NAME install_tree_consumers
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/tests/install_test.sh ${PROJECT_BINARY_DIR})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/debian_package.cmake)
