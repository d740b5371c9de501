# The synthesiser itself, shared by vantorel-sfxgen and vantorel-xmgen's drums.
add_library(vantorel_synth STATIC ${CMAKE_CURRENT_LIST_DIR}/synth.cpp)
target_include_directories(vantorel_synth PUBLIC ${CMAKE_SOURCE_DIR})
vantorel_warnings(vantorel_synth)

# The sound-effect synthesiser; assets/audio.cmake runs it over assets/audio/sounds/*.sfx.
add_executable(vantorel-sfxgen ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(vantorel-sfxgen PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(vantorel-sfxgen PRIVATE vantorel_synth)
vantorel_warnings(vantorel-sfxgen)
