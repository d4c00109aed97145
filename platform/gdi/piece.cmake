if(WIN32)
  target_link_libraries(platform_gdi PUBLIC gdi32 user32)
endif()
