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

set(audio_library ${VANTOREL_DATA_DIR}/Res/Sounds.dxw)
vantorel_pack_library(OUTPUT ${audio_library} MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/sounds.manifest
  FOLDER ${audio_wav_dir} DEPENDS ${audio_wavs})

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
