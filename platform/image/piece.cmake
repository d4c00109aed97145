if(WIN32)
  # Windows Imaging Component.
  target_link_libraries(platform_image PUBLIC windowscodecs ole32)
else()
  # The codec library made for each format; BMP and PNM are read here.
  file(GLOB image_codec_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/image/codecs/*.cpp)
  target_sources(platform_image PRIVATE ${image_codec_sources})
  qr_require_package(PNG libpng-dev)
  qr_require_package(GIF libgif-dev)
  qr_require_package(TIFF libtiff-dev)
  qr_require_package(JPEG libjpeg62-turbo-dev)
  qr_require_pkg_config(WEBP libwebp libwebp-dev)
  qr_require_pkg_config(WEBPDEMUX libwebpdemux libwebp-dev)
  target_link_libraries(platform_image PUBLIC platform_filemap PNG::PNG GIF::GIF TIFF::TIFF JPEG::JPEG PkgConfig::WEBP
    PkgConfig::WEBPDEMUX)
endif()
