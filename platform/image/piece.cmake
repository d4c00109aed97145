if(WIN32)
  # Windows Imaging Component.
  target_link_libraries(platform_image PUBLIC windowscodecs ole32)
else()
  find_package(Qt6 REQUIRED COMPONENTS Gui)
  target_link_libraries(platform_image PUBLIC Qt6::Gui)
endif()
