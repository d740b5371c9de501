# cmake -DTOOLS=path|path|... -DVERSION=2.0 -P common_options.cmake
#
# Every tool answers the same options the same way: --help prints its usage on stdout
# and exits 0, --version prints "NAME VERSION" and exits 0, an unknown option or a
# command line it cannot run prints the usage on stderr and exits 2. Each row below is
# run against every tool.
#
#   arguments | exit status | stdout must match | stderr must match
cmake_minimum_required(VERSION 3.25)
set(cases
  "--help|0|^usage: NAME |^$"
  "--version|0|^NAME VERSION\n$|^$"
  "--frobnicate|2|^$|unknown option '--frobnicate'.*usage: NAME "
  "-x|2|^$|unknown option '-x'.*usage: NAME "
  "|2|^$|^usage: NAME ")

string(REPLACE "|" ";" tools "${TOOLS}")
string(REPLACE "." "\\." version_re "${VERSION}")
set(failures 0)
foreach(tool ${tools})
  get_filename_component(name ${tool} NAME)
  foreach(row ${cases})
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 arg)
    list(GET fields 1 want_status)
    list(GET fields 2 want_out)
    list(GET fields 3 want_err)
    foreach(var want_out want_err)
      string(REPLACE "NAME" "${name}" ${var} "${${var}}")
      string(REPLACE "VERSION" "${version_re}" ${var} "${${var}}")
    endforeach()
    execute_process(COMMAND ${tool} ${arg} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(NOT status STREQUAL want_status OR NOT out MATCHES "${want_out}"
       OR NOT err MATCHES "${want_err}")
      message(SEND_ERROR "${name} ${arg}: exit ${status} (want ${want_status})\n"
                         "stdout: ${out}\nstderr: ${err}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()
if(failures EQUAL 0)
  list(LENGTH tools count)
  message(STATUS "${count} tools answer --help, --version and unknown options")
endif()
