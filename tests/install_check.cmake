# Installs the build BUILD into the scratch prefix PREFIX, lists what was installed, and checks
# that the installed programs run from there:
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -DEXPECT=<relative paths, "|"-separated>
#         -DBINDIR=<bin dir, relative> -DLIGHT_CURVE=<file ectimer loads> -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

# Exactly the expected files: a missing one breaks the menu or the windows, an extra one (a
# static library, a test program) does not belong on a user's machine.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
string(REPLACE "|" ";" expected "${EXPECT}")
list(SORT expected)
string(REPLACE ";" "\n  " listing "${installed}")
message("installed into ${PREFIX}:\n  ${listing}")
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "expected exactly:\n  ${expected}")
endif()

# Each menu entry starts a program that was installed.
foreach(entry IN LISTS installed)
  if(entry MATCHES "\\.desktop$")
    file(STRINGS "${PREFIX}/${entry}" exec REGEX "^Exec=")
    string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" program "${exec}")
    if(NOT EXISTS "${PREFIX}/${BINDIR}/${program}")
      message(FATAL_ERROR "${entry} starts '${program}', which is not in ${BINDIR}")
    endif()
  endif()
endforeach()

# The installed ectimer runs its command line on its own ...
execute_process(COMMAND "${PREFIX}/${BINDIR}/ectimer" --batch "${LIGHT_CURVE}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "read: 5\n")
  message(FATAL_ERROR "installed ectimer --batch: exit ${status}\n${out}${err}")
endif()

# ... and finds its windows module where it was installed: Qt's complaint about a platform that
# does not exist can only come from the module's QApplication (the program itself has no Qt).
execute_process(COMMAND "${PREFIX}/${BINDIR}/ectimer" -platform umbrix-no-such-platform
                WORKING_DIRECTORY "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT err MATCHES "Could not find the Qt platform plugin \"umbrix-no-such-platform\"")
  message(FATAL_ERROR "installed ectimer did not start its windows: exit ${status}\n${out}${err}")
endif()
# The installed hjdprep finds its window module too.
if(EXISTS "${PREFIX}/${BINDIR}/hjdprep")
  execute_process(COMMAND "${PREFIX}/${BINDIR}/hjdprep" -platform umbrix-no-such-platform
                  WORKING_DIRECTORY "${PREFIX}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT err MATCHES "Could not find the Qt platform plugin \"umbrix-no-such-platform\"")
    message(FATAL_ERROR "installed hjdprep did not start its window: exit ${status}\n${out}${err}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
