# Runs COMMAND (arguments separated by "|") and checks its exit status and, optionally, its output streams:
#   cmake -DCOMMAND=... -DEXPECT_STATUS=2 [-DEXPECT_STDOUT=regex] [-DEXPECT_STDERR=regex]
#         [-DEXPECT_EMPTY_STDOUT=ON] -P run_expect.cmake
string(REPLACE "|" ";" COMMAND "${COMMAND}")
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("exit status: ${status}\nstdout:\n${out}\nstderr:\n${err}")
if(NOT status STREQUAL EXPECT_STATUS)
  message(FATAL_ERROR "expected exit status ${EXPECT_STATUS}, got ${status}")
endif()
if(DEFINED EXPECT_STDOUT AND NOT out MATCHES "${EXPECT_STDOUT}")
  message(FATAL_ERROR "stdout does not match: ${EXPECT_STDOUT}")
endif()
if(DEFINED EXPECT_STDERR AND NOT err MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "stderr does not match: ${EXPECT_STDERR}")
endif()
if(EXPECT_EMPTY_STDOUT AND NOT out STREQUAL "")
  message(FATAL_ERROR "stdout should be empty")
endif()
