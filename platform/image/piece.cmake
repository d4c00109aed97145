find_package(Qt6 REQUIRED COMPONENTS Gui)
target_link_libraries(platform_image PUBLIC Qt6::Gui)
