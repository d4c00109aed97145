if(NOT WIN32)
  target_link_libraries(platform_binding PUBLIC dl)
endif()
target_compile_definitions(platform_binding PRIVATE QR_INSTALL_LIBDIR="${CMAKE_INSTALL_LIBDIR}")
