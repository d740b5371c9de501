# The art's pictures and their PNG files, shared by vantorel-artgen and vantorel-artscene.
add_library(vantorel_art_image STATIC ${CMAKE_CURRENT_LIST_DIR}/art_image.cpp)
target_include_directories(vantorel_art_image PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vantorel_art_image PUBLIC PkgConfig::PNG)
target_compile_options(vantorel_art_image PRIVATE $<$<CONFIG:Debug>:-O2>)
vantorel_warnings(vantorel_art_image)

# vantorel-artgen: the procedural pictures of the world library (Res2.dxg).
# It links nothing of the game, so a change in the game's code never repaints the art.
add_executable(vantorel-artgen
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/catalogue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/noise.cpp
  ${CMAKE_CURRENT_LIST_DIR}/landscape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effects.cpp)
target_include_directories(vantorel-artgen PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(vantorel-artgen PRIVATE vantorel_art_image)
target_compile_options(vantorel-artgen PRIVATE $<$<CONFIG:Debug>:-O2>)
vantorel_warnings(vantorel-artgen)

# vantorel-artscene: a game scene composed from the built Res2.dxg, to look at the
# art in place. Built on request only: cmake --build <dir> --target vantorel-artscene
add_executable(vantorel-artscene EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/scene_main.cpp)
target_link_libraries(vantorel-artscene PRIVATE vantorel_engine vantorel_art_image)
vantorel_warnings(vantorel-artscene)
