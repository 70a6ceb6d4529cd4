# hjdprep's command line needs no display and loads no Qt; only the window brings Qt in.
#   cmake -DHJDPREP=<program> -DDATA=<fixture folder> -DWORK=<scratch folder> -P qt_free_check.cmake
# Each run is made with DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM unset and with the
# dynamic loader listing every library it opens (LD_DEBUG=files), dlopen included.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY_FILE "${DATA}/night_with_quirks.std" "${WORK}/night.std")

# The program itself does not link Qt, not even through another library.
execute_process(COMMAND ldd "${HJDPREP}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR out MATCHES "libQt6")
  message(FATAL_ERROR "hjdprep should link no Qt library (ldd exit ${status}):\n${out}${err}")
endif()

function(run_bare expect_status expect_stream expect_regex)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          --unset=QT_QPA_PLATFORM LD_DEBUG=files "${HJDPREP}" ${ARGN}
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "[^\n]*libQt6[^\n]*" qt "${err}")
  string(REGEX REPLACE " *[0-9]+:\t[^\n]*\n" "" said "${err}")  # the loader's lines aside
  if(NOT status EQUAL expect_status OR qt)
    message(FATAL_ERROR "hjdprep ${ARGN}: exit ${status} (expected ${expect_status}); Qt opened: ${qt}\n${out}${said}")
  endif()
  if(expect_stream STREQUAL "out")
    set(text "${out}")
  else()
    set(text "${said}")
  endif()
  if(NOT text MATCHES "${expect_regex}")
    message(FATAL_ERROR "hjdprep ${ARGN}: std${expect_stream} should match ${expect_regex}:\n${out}${said}")
  endif()
endfunction()

run_bare(0 out "^usage: hjdprep --convert LOG" --help)
run_bare(2 err "unknown or incomplete option \"--colour\"\nusage: hjdprep --convert LOG" --colour)
run_bare(0 out "^END\n6 records converted, 2 lines written to err.txt\n$" --convert night.std --ra 18:45:00)
run_bare(2 err "--ra: right ascension hours \"99\" is outside 0 to 24" --convert night.std --ra 99:99:99 --dec +120:75)
if(NOT EXISTS "${WORK}/umbrix25_CASRZ.txt")
  message(FATAL_ERROR "the conversion without a display wrote no per-star light curve")
endif()

# The window, on the other hand, comes from the module and its Qt: Qt's complaint about a
# platform that does not exist can only come from there.
execute_process(COMMAND "${HJDPREP}" -platform umbrix-no-such-platform
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT err MATCHES "Could not find the Qt platform plugin \"umbrix-no-such-platform\"")
  message(FATAL_ERROR "hjdprep did not start its window module: exit ${status}\n${out}${err}")
endif()
file(REMOVE_RECURSE "${WORK}")
