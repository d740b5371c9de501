# The game's font aliases, loaded by the game itself at start-up from Data/Fonts.
set(fonts_conf_src ${CMAKE_CURRENT_SOURCE_DIR}/fonts/fonts.conf)
set(fonts_conf ${VANTOREL_DATA_DIR}/Fonts/fonts.conf)
add_custom_command(
  OUTPUT ${fonts_conf}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_DATA_DIR}/Fonts
  COMMAND ${CMAKE_COMMAND} -E copy ${fonts_conf_src} ${fonts_conf}
  DEPENDS ${fonts_conf_src}
  VERBATIM)
set_property(GLOBAL APPEND PROPERTY VANTOREL_DATA_FILES ${fonts_conf})
