# cmake -DGAME=path/to/vantorel -DWORK=folder -P replay_option.cmake
#
# vantorel --replay FILE refuses a file it cannot play before anything is played:
# the reason on stderr (and in the error box), exit status 1. Run where the game
# finds its data, with SDL's dummy drivers.
#
#   file content (empty: no such file) | stderr must match
cmake_minimum_required(VERSION 3.25)
set(cases
  "|no replay file"
  "not a replay, only text|is not a replay of this game"
  "VANTOREL-REPLAY cut short|is not a replay of this game")

file(MAKE_DIRECTORY ${WORK})
set(failures 0)
set(n 0)
foreach(row ${cases})
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 content)
  list(GET fields 1 want_err)
  math(EXPR n "${n} + 1")
  set(file ${WORK}/case-${n}.vrp)
  file(REMOVE ${file})
  if(NOT content STREQUAL "")
    file(WRITE ${file} "${content}")
  endif()
  execute_process(COMMAND ${GAME} --replay ${file}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT status EQUAL 1 OR NOT err MATCHES "${want_err}")
    message(SEND_ERROR "--replay ${file} (${content}): exit ${status}, want 1; stderr:\n${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
execute_process(COMMAND ${GAME} --replay RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "--replay needs one FILE")
  message(SEND_ERROR "--replay without a file: exit ${status}, want 2; stderr:\n${err}")
  math(EXPR failures "${failures} + 1")
endif()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
