# The game's sound: eleven effects synthesised from assets/audio/sounds/*.sfx and packed
# into Data/Res/Sounds.dxw, and the two music modules composed by vantorel-xmgen.
set(audio_sounds Button Bonus Laser Laser2 Plasma Rocket Rail Explosion1 Explosion2 GameOver Reborn)
set(audio_wav_dir ${VANTOREL_ASSET_DIR}/sounds)

set(audio_wavs)
foreach(sound ${audio_sounds})
  set(patch ${CMAKE_CURRENT_SOURCE_DIR}/audio/sounds/${sound}.sfx)
  set(wav ${audio_wav_dir}/${sound}.wav)
  add_custom_command(
    OUTPUT ${wav}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${audio_wav_dir}
    COMMAND vantorel-sfxgen ${patch} ${wav}
    DEPENDS ${patch} vantorel-sfxgen
    COMMENT "Synthesising ${sound}.wav"
    VERBATIM)
  list(APPEND audio_wavs ${wav})
endforeach()

# The manifest names its recordings relative to its own folder, so it sits beside them.
set(audio_manifest ${audio_wav_dir}/sounds.manifest)
add_custom_command(
  OUTPUT ${audio_manifest}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${audio_wav_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/sounds.manifest ${audio_manifest}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/sounds.manifest
  VERBATIM)

set(audio_library ${VANTOREL_DATA_DIR}/Res/Sounds.dxw)
add_custom_command(
  OUTPUT ${audio_library}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_DATA_DIR}/Res
  COMMAND vantorel-dxg build ${audio_manifest} ${audio_library}
  DEPENDS ${audio_manifest} ${audio_wavs} vantorel-dxg
  COMMENT "Packing ${audio_library}"
  VERBATIM)

set(audio_modules)
foreach(song menu race)
  if(song STREQUAL "menu")
    set(module ${VANTOREL_DATA_DIR}/Music/Menu.xm)
  else()
    set(module ${VANTOREL_DATA_DIR}/Music/Race.xm)
  endif()
  add_custom_command(
    OUTPUT ${module}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_DATA_DIR}/Music
    COMMAND vantorel-xmgen ${song} ${module}
    DEPENDS vantorel-xmgen
    COMMENT "Composing ${module}"
    VERBATIM)
  list(APPEND audio_modules ${module})
endforeach()

set_property(GLOBAL APPEND PROPERTY VANTOREL_DATA_FILES ${audio_library} ${audio_modules})
# Builds only the sound and music, for working on them without the pictures.
add_custom_target(vantorel_audio DEPENDS ${audio_library} ${audio_modules})
