if(WIN32)
  target_link_libraries(platform_ole PUBLIC oleaut32)
endif()
