# Vector pictures: every assets/res1/*.svg and assets/res2/*.svg is rasterised at its
# own size into ${VANTOREL_ASSET_DIR}/<library>/NAME.png, where the manifests find it.
foreach(lib res1 res2)
  string(TOUPPER ${lib} LIB)
  file(GLOB svgs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${lib}/*.svg)
  set(pngs)
  foreach(svg ${svgs})
    get_filename_component(stem ${svg} NAME_WE)
    set(png ${VANTOREL_ASSET_DIR}/${lib}/${stem}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_ASSET_DIR}/${lib}
      COMMAND vantorel-svgrender ${svg} ${png}
      DEPENDS ${svg} vantorel-svgrender
      COMMENT "Rendering ${lib}/${stem}.png"
      VERBATIM)
    list(APPEND pngs ${png})
  endforeach()
  set_property(GLOBAL APPEND PROPERTY VANTOREL_${LIB}_PNGS ${pngs})
endforeach()
