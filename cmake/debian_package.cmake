# Debian packages of the suite (cpack in the build folder, generator DEB), one
# per install component of cmake/install.cmake:
#
#   qrsuite-libs      runtime      Mosaire.dll, Lectavo.dll
#   qrsuite-dev       development  headers, pkg-config files, CMake packages
#   qrsuite-tool      tool         qrtool and its man page
#   qrsuite-programs  programs     qrbench, qrmake, qrcam, Vistrel.dll, menu entries, icons
#   qrsuite-python3   python       the Python module, when its target installs
#                                  files in component "python"
#
# Dependencies on system libraries come from dpkg-shlibdeps (dpkg-dev) on what
# each package's files actually link, so they follow the link lines; the
# packages that use our libraries depend on qrsuite-libs of the same version.
#   cmake --build build/release && (cd build/release && cpack -G DEB)
#   sudo apt install ./build/release/qrsuite*.deb
# Windows builds make a ZIP instead (cmake/windows_package.cmake).

# Every component that has install rules gets a package; "python" only once a
# Python module installs into it.
get_cmake_property(qr_components COMPONENTS)
list(REMOVE_ITEM qr_components Unspecified)
set(qr_known_components runtime development tool programs python)
foreach(component ${qr_components})
  if(NOT component IN_LIST qr_known_components)
    message(FATAL_ERROR "install component '${component}' has no Debian package (cmake/debian_package.cmake)")
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qrsuite)
set(CPACK_PACKAGE_VENDOR "qrsuite")
set(CPACK_PACKAGE_CONTACT "qrsuite developers <qrsuite@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${qr_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # <package>_<version>-<release>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries are found here while dependencies are computed; they are
# no package of the system, so they add no dependency line themselves (the
# component dependencies below name qrsuite-libs).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_COMPONENT_RUNTIME_DISPLAY_NAME "libraries")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME qrsuite-libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The encoder's clipboard output runs one of these at run time.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "xclip | wl-clipboard")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "QR Code encoder (Mosaire.dll) and decoder (Lectavo.dll) libraries\nThe encoder makes QR Code symbols (C and C++ interfaces), the decoder reads them from pictures.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME qrsuite-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "QR Code libraries: development files\nHeaders (mosaire.h, mosaire/encoder.hpp, lectavo.h), pkg-config files and CMake packages.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME qrsuite-tool)
set(CPACK_COMPONENT_TOOL_DEPENDS runtime)
set(CPACK_COMPONENT_TOOL_DESCRIPTION
  "QR Code command-line tool\nqrtool encodes text as BMP or WMF files or terminal text and decodes symbols from pictures.")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME qrsuite-programs)
set(CPACK_COMPONENT_PROGRAMS_DEPENDS runtime)
# What the programs load at run time rather than link: Qt's TIFF and WebP
# readers, the camera's GStreamer elements, a font for the Chinese captions.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "qt6-image-formats-plugins")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS
  "fonts-wqy-microhei, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
  "QR Code window programs\nqrbench (generate, logo, save, recognise), qrmake (generator) and qrcam (camera recogniser).")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME qrsuite-python3)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_COMPONENT_PYTHON_DEPENDS runtime)
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "QR Code libraries: Python module\nThe module qrsuite (import qrsuite) over both libraries.")

include(CPack)

if(QR_BUILD_TESTS AND TARGET qrtool AND NOT QR_SANITIZE)
  add_test(NAME debian_packages
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/tests/deb_test.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(debian_packages PROPERTIES RUN_SERIAL ON)
endif()
