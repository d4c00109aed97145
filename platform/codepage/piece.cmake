if(WIN32)
  # The system converts; our own UTF-8 and code page 936 tables stay out.
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/codepage/gbk.cpp ${CMAKE_CURRENT_SOURCE_DIR}/codepage/utf8.cpp
    PROPERTIES HEADER_FILE_ONLY ON)
endif()
