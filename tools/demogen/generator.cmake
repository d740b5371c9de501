# The demo generator: a scripted player plays one game through the game's own
# recorder; assets/demo.cmake runs it for Data/Demo/demo.vrp.
add_executable(vantorel-demogen ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(vantorel-demogen PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(vantorel-demogen PRIVATE vantorel_app)
vantorel_warnings(vantorel-demogen)
