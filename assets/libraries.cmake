# The two picture libraries, packed by the library tool from their manifests, and the
# vantorel_data target that stands for the whole Data folder. Included last, after
# every part has registered its files.
get_property(res1_pngs GLOBAL PROPERTY VANTOREL_RES1_PNGS)
get_property(res2_pngs GLOBAL PROPERTY VANTOREL_RES2_PNGS)
get_property(data_files GLOBAL PROPERTY VANTOREL_DATA_FILES)

set(libraries)
foreach(lib res1 res2)
  string(TOUPPER ${lib} LIB)
  set(manifest_src ${CMAKE_CURRENT_SOURCE_DIR}/${lib}.manifest)
  if(NOT EXISTS ${manifest_src})
    message(WARNING "Data: ${manifest_src} is missing; ${LIB}.dxg is not built")
    continue()
  endif()
  if(lib STREQUAL "res1")
    set(out ${VANTOREL_DATA_DIR}/Res/Res1.dxg)
  else()
    set(out ${VANTOREL_DATA_DIR}/Res/Res2.dxg)
  endif()
  vantorel_pack_library(OUTPUT ${out} MANIFEST ${manifest_src}
    FOLDER ${VANTOREL_ASSET_DIR}/${lib} DEPENDS ${${lib}_pngs})
  list(APPEND libraries ${out})
endforeach()

add_custom_target(vantorel_data ALL DEPENDS ${libraries} ${data_files})

# Pictures for review, made on request: contact sheets of both libraries and a game
# scene composed from the world library.
#   cmake --build <dir> --target vantorel_review   ->  <dir>/review/*.png
set(review_dir ${CMAKE_BINARY_DIR}/review)
add_custom_target(vantorel_review
  COMMAND ${CMAKE_COMMAND} -E make_directory ${review_dir}
  COMMAND vantorel-dxg sheet ${VANTOREL_DATA_DIR}/Res/Res1.dxg ${review_dir}/Res1-sheet.png
  COMMAND vantorel-dxg sheet ${VANTOREL_DATA_DIR}/Res/Res2.dxg ${review_dir}/Res2-sheet.png
  COMMAND vantorel-artscene ${VANTOREL_DATA_DIR}/Res/Res2.dxg ${review_dir}/scene.png
  DEPENDS vantorel_data vantorel-dxg vantorel-artscene
  COMMENT "Contact sheets and a composed scene in ${review_dir}"
  VERBATIM)
