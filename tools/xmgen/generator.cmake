# The music generator; assets/audio.cmake runs it for Menu.xm and Race.xm. Its drums come
# from the sound-effect synthesiser.
add_executable(vantorel-xmgen
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xm_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instruments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/arranger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/songs.cpp)
target_include_directories(vantorel-xmgen PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(vantorel-xmgen PRIVATE vantorel_synth)
vantorel_warnings(vantorel-xmgen)
