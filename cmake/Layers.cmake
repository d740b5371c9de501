# The layers: one folder and one static library each, and the layers each one may
# use directly. The table below is the only place these edges are written:
#
#   - vantorel_layer() links a layer's library to the layers it uses (PUBLIC, so the
#     layers those use come along);
#   - cmake/CheckLayers.cmake lets a file include its own layer and every layer its
#     layer reaches through the table (the layers it uses, the layers those use, and
#     so on), and no other layer; only a DESKTOP layer includes the desktop
#     libraries' headers (SDL, SDL_ttf, SDL_mixer, libcurl, fontconfig, Xlib);
#   - the same check compares the layer table in README.md with this one.
#
# A layer may use only layers written above it, so the graph has no cycle. The world
# score server (server/) is a layer beside the game's: nothing of the game uses it.
set(VANTOREL_LAYER_TABLE
  # layer       uses directly
  "base"
  "score_format base"
  "platform     base                  DESKTOP"
  "engine       platform"
  "storage      platform score_format"
  "state        storage engine"
  "replay       state"
  "objects      state"
  "menus        objects"
  "gameplay     objects"
  "app          gameplay menus replay"
  "server       score_format")

# Folders beside the layers, which no layer includes: they may include any layer and
# the desktop libraries' headers.
set(VANTOREL_OUTSIDE_FOLDERS tools tests bench fuzz)

# From the table: VANTOREL_LAYERS (bottom first), VANTOREL_DESKTOP_LAYERS, and for
# each layer L VANTOREL_USES_<L> (the table's edges) and VANTOREL_REACHES_<L> (every
# layer L may include besides itself).
set(VANTOREL_LAYERS "")
set(VANTOREL_DESKTOP_LAYERS "")
foreach(row IN LISTS VANTOREL_LAYER_TABLE)
  separate_arguments(words UNIX_COMMAND "${row}")
  list(POP_FRONT words layer)
  set(VANTOREL_USES_${layer} "")
  set(VANTOREL_REACHES_${layer} "")
  foreach(word IN LISTS words)
    if(word STREQUAL "DESKTOP")
      list(APPEND VANTOREL_DESKTOP_LAYERS ${layer})
    elseif(NOT word IN_LIST VANTOREL_LAYERS)
      message(FATAL_ERROR "cmake/Layers.cmake: ${layer} uses ${word}, "
                          "which is not a layer written above it")
    else()
      list(APPEND VANTOREL_USES_${layer} ${word})
      list(APPEND VANTOREL_REACHES_${layer} ${word} ${VANTOREL_REACHES_${word}})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES VANTOREL_REACHES_${layer})
  list(APPEND VANTOREL_LAYERS ${layer})
endforeach()

if(CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

# vantorel_link_uses(TARGET LAYER): links TARGET to the libraries of the layers that
# LAYER uses, for a layer's library that is not made by vantorel_layer().
function(vantorel_link_uses target layer)
  if(NOT layer IN_LIST VANTOREL_LAYERS)
    message(FATAL_ERROR "${layer} is not in the layer table of cmake/Layers.cmake")
  endif()
  get_target_property(type ${target} TYPE)
  set(scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  endif()
  foreach(used IN LISTS VANTOREL_USES_${layer})
    target_link_libraries(${target} ${scope} vantorel_${used})
  endforeach()
endfunction()

# vantorel_layer(NAME [PRIVATE_LIBS target...]): the library vantorel_NAME of every
# .cpp under NAME/ but main.cpp, linked to the layers the table lets it use.
function(vantorel_layer name)
  cmake_parse_arguments(ARG "" "" "PRIVATE_LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(target vantorel_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    if(ARG_PRIVATE_LIBS)
      target_link_libraries(${target} PRIVATE ${ARG_PRIVATE_LIBS})
    endif()
    vantorel_warnings(${target})
  else()
    # A layer with headers only, or not yet written.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
  endif()
  vantorel_link_uses(${target} ${name})
endfunction()
