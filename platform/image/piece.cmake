if(WIN32)
  # Windows Imaging Component.
  target_link_libraries(platform_image PUBLIC windowscodecs ole32)
else()
  qr_require_package(Qt6 qt6-base-dev COMPONENTS Gui)
  target_link_libraries(platform_image PUBLIC Qt6::Gui)
endif()
