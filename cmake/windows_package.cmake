# The Windows package: a ZIP (cpack) with the two DLLs and qrtool.exe in
# bin/, their import libraries and .def files in lib/, the headers in
# include/ and a short text on calling the DLLs.
foreach(library mosaire lectavo)
  if(TARGET ${library})
    get_target_property(name ${library} OUTPUT_NAME)
    install(TARGETS ${library} RUNTIME DESTINATION bin ARCHIVE DESTINATION lib PUBLIC_HEADER DESTINATION include)
    install(FILES ${CMAKE_BINARY_DIR}/bin/${name}.def DESTINATION lib)
  endif()
endforeach()
if(TARGET mosaire)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/encoder/include/mosaire DESTINATION include)
endif()
if(TARGET qrtool)
  install(TARGETS qrtool RUNTIME DESTINATION bin)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/CALLING.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QR_WINDOWS_ARCH x64)
else()
  set(QR_WINDOWS_ARCH x86)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qrsuite)
set(CPACK_PACKAGE_FILE_NAME qrsuite-${PROJECT_VERSION}-windows-${QR_WINDOWS_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# A C program that loads both DLLs by name at run time, as Windows callers do.
if(QR_BUILD_TESTS AND TARGET mosaire AND TARGET lectavo)
  add_executable(load_by_name ${PROJECT_SOURCE_DIR}/packaging/tests/load_by_name.c)
  target_link_libraries(load_by_name PRIVATE oleaut32)
  add_dependencies(load_by_name mosaire lectavo)
  add_test(NAME load_by_name COMMAND load_by_name WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(load_by_name PROPERTIES PASS_REGULAR_EXPRESSION "^ok")
endif()

# A C++ program on the DLL's C++ interface (symbols, renderers, an
# EncodeError thrown inside the DLL and caught in the program). The 64-bit
# import library comes from the linker and holds the C++ names; the 32-bit
# one is made from the .def file and holds the C names only.
if(QR_BUILD_TESTS AND TARGET mosaire AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_executable(cpp_interface_consumer ${PROJECT_SOURCE_DIR}/packaging/tests/consumer/encode_cpp.cpp)
  target_link_libraries(cpp_interface_consumer PRIVATE mosaire lectavo)
  add_test(NAME cpp_interface_consumer COMMAND cpp_interface_consumer WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(cpp_interface_consumer PROPERTIES PASS_REGULAR_EXPRESSION "^ok version")
endif()
