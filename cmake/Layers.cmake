# One static library per layer folder. A layer links the layers below it and
# nothing above; the order here is the allowed direction, bottom first, and
# cmake/CheckLayers.cmake enforces the same order on #include lines.
#
#   base -> platform -> engine -> storage -> state -> objects -> menus -> gameplay -> app
set(VANTOREL_LAYERS base platform engine storage state objects menus gameplay app)

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

# vantorel_layer(NAME [BELOW layer...] [PRIVATE_LIBS target...])
function(vantorel_layer name)
  cmake_parse_arguments(ARG "" "" "BELOW;PRIVATE_LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(target vantorel_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    foreach(below ${ARG_BELOW})
      target_link_libraries(${target} PUBLIC vantorel_${below})
    endforeach()
    if(ARG_PRIVATE_LIBS)
      target_link_libraries(${target} PRIVATE ${ARG_PRIVATE_LIBS})
    endif()
    vantorel_warnings(${target})
  else()
    # A layer with headers only, or not yet written.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    foreach(below ${ARG_BELOW})
      target_link_libraries(${target} INTERFACE vantorel_${below})
    endforeach()
  endif()
endfunction()
