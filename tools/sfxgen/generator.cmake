# The sound-effect synthesiser; assets/audio.cmake runs it over assets/audio/sounds/*.sfx.
add_executable(vantorel-sfxgen
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/synth.cpp)
target_include_directories(vantorel-sfxgen PRIVATE ${CMAKE_SOURCE_DIR})
vantorel_warnings(vantorel-sfxgen)
