# What `cmake --install` puts where: the game, its data, the desktop files and the
# world score server with its service unit. The sources of the desktop files are in
# dist-files/; the ones that name installed paths are configured into the build
# folder first, and the icon's PNG sizes are rendered from its SVG at build time.
set(VANTOREL_DIST_DIR ${CMAKE_SOURCE_DIR}/dist-files)
set(VANTOREL_DIST_BUILD_DIR ${CMAKE_BINARY_DIR}/dist-files)
set(VANTOREL_APP_ID io.github.vantorel.Vantorel)
# Debian's systemd looks in /lib/systemd/system; give that directory here when
# packaging for it (debian/rules does).
set(VANTOREL_SYSTEMD_UNIT_DIR "${CMAKE_INSTALL_PREFIX}/lib/systemd/system"
    CACHE PATH "Where the score server's systemd unit is installed")
set(VANTOREL_SCORED_CONFIG "${CMAKE_INSTALL_FULL_SYSCONFDIR}/vantorel-scored.conf")

# The game, and its replay tool (which the score server also runs to check replays).
install(TARGETS vantorel vantorel-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Its data: the generated libraries, music, fonts and demo; never a Save/ folder.
if(VANTOREL_DATA)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/Data/Res ${CMAKE_BINARY_DIR}/Data/Music
                    ${CMAKE_BINARY_DIR}/Data/Fonts ${CMAKE_BINARY_DIR}/Data/Demo
          DESTINATION ${VANTOREL_DATA_INSTALL_DIR})
endif()

# The score server the game sends to, as the operator of this machine may set it:
# one host[:port] line, the built-in default to begin with.
configure_file(${VANTOREL_DIST_DIR}/score-server.in ${VANTOREL_DIST_BUILD_DIR}/score-server @ONLY)
cmake_path(GET VANTOREL_SCORE_SERVER_FILE PARENT_PATH score_server_dir)
install(FILES ${VANTOREL_DIST_BUILD_DIR}/score-server DESTINATION ${score_server_dir})

# The desktop entry, the AppStream metainfo and the manual pages.
install(FILES ${VANTOREL_DIST_DIR}/${VANTOREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VANTOREL_DIST_DIR}/${VANTOREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VANTOREL_DIST_DIR}/vantorel.6 ${VANTOREL_DIST_DIR}/vantorel-replay.6
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${VANTOREL_DIST_DIR}/vantorel-scored.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)

# The icon: the SVG itself, and a PNG at every size the icon theme lists, each
# rendered by vantorel-svgrender from a copy of the SVG with that width and height.
set(icon_svg ${VANTOREL_DIST_DIR}/${VANTOREL_APP_ID}.svg)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${icon_svg})
file(READ ${icon_svg} icon_text)
set(icon_pngs)
foreach(size 16 22 24 32 48 64 128 256)
  string(REPLACE "width=\"256\" height=\"256\"" "width=\"${size}\" height=\"${size}\"" sized
                 "${icon_text}")
  set(sized_svg ${VANTOREL_DIST_BUILD_DIR}/icons/${size}/${VANTOREL_APP_ID}.svg)
  set(sized_png ${VANTOREL_DIST_BUILD_DIR}/icons/${size}/${VANTOREL_APP_ID}.png)
  file(CONFIGURE OUTPUT ${sized_svg} CONTENT "${sized}" @ONLY)
  add_custom_command(
    OUTPUT ${sized_png}
    COMMAND vantorel-svgrender ${sized_svg} ${sized_png}
    DEPENDS ${sized_svg} vantorel-svgrender
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND icon_pngs ${sized_png})
  install(FILES ${sized_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vantorel_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The world score server: a daemon, so in sbin; its config file (the operator's to
# edit) and its hardened systemd unit, which keeps the database in the state folder.
if(TARGET vantorel-scored)
  install(TARGETS vantorel-scored RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR})
  configure_file(${VANTOREL_DIST_DIR}/vantorel-scored.conf.in
                 ${VANTOREL_DIST_BUILD_DIR}/vantorel-scored.conf @ONLY)
  configure_file(${VANTOREL_DIST_DIR}/vantorel-scored.service.in
                 ${VANTOREL_DIST_BUILD_DIR}/vantorel-scored.service @ONLY)
  install(FILES ${VANTOREL_DIST_BUILD_DIR}/vantorel-scored.conf
          DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR})
  install(FILES ${VANTOREL_DIST_BUILD_DIR}/vantorel-scored.service
          DESTINATION ${VANTOREL_SYSTEMD_UNIT_DIR})
endif()
