# Fails when a C++ file of the project differs from what clang-format makes of it.
#   cmake -DSOURCE_DIR=<project> -DCLANG_FORMAT=<clang-format> -P cmake/CheckFormat.cmake
# To format everything: cmake --build <build> --target format
cmake_minimum_required(VERSION 3.25)
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format was not found; it is in deps/debian.txt")
endif()
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.hpp)
list(FILTER files EXCLUDE REGEX "^(build[^/]*|\\.git)/")
list(TRANSFORM files PREPEND ${SOURCE_DIR}/)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: [^\n]*" lines "${errors}")
  set(names "")
  foreach(line ${lines})
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error:.*" "" name "${line}")
    list(APPEND names "${name}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(JOIN names "\n  " text)
  message(FATAL_ERROR "Not formatted (run: cmake --build build --target format):\n  ${text}")
endif()
message(STATUS "Formatting check passed")
