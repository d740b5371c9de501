# The demo the main menu shows when left alone: one game played by the scripted
# pilot of vantorel-demogen through the game's own recorder, from the finished
# pictures, sounds, music and fonts. It is made again whenever the game (and so
# possibly its rules) or the world's pictures change, so that it always plays.
set(demo_replay ${VANTOREL_DATA_DIR}/Demo/demo.vrp)
add_custom_command(
  OUTPUT ${demo_replay}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_DATA_DIR}/Demo
  COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
          $<TARGET_FILE:vantorel-demogen> ${VANTOREL_DATA_DIR} ${demo_replay}
  DEPENDS vantorel-demogen
          ${VANTOREL_DATA_DIR}/Res/Res1.dxg ${VANTOREL_DATA_DIR}/Res/Res2.dxg
          ${VANTOREL_DATA_DIR}/Res/Sounds.dxw ${VANTOREL_DATA_DIR}/Music/Menu.xm
          ${VANTOREL_DATA_DIR}/Music/Race.xm ${VANTOREL_DATA_DIR}/Fonts/fonts.conf
  COMMENT "Playing the demo game into ${demo_replay}"
  VERBATIM)
set_property(GLOBAL APPEND PROPERTY VANTOREL_DATA_FILES ${demo_replay})
