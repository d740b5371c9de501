# vantorel-svgrender: rasterises the SVG sources of the pictures for the data build.
pkg_check_modules(RSVG REQUIRED IMPORTED_TARGET librsvg-2.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
add_executable(vantorel-svgrender ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(vantorel-svgrender PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(vantorel-svgrender PRIVATE PkgConfig::RSVG PkgConfig::CAIRO)
vantorel_warnings(vantorel-svgrender)
