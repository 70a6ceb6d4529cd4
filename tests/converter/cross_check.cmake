# hjdprep writes umbrix25.txt and one light curve per star from a log; ectimer must load
# umbrix25.txt with one point per converted record, and a star's file with that star's. Run as:
#   cmake -DHJDPREP=... -DECTIMER=... -DDATA=<fixture folder> -DWORK=<scratch folder>
#         -DOPTIONS=<extra hjdprep options, "|"-separated> -DEXPECT_POINTS=N -DEXPECT_ERR=M
#         -P cross_check.cmake
# hjdprep's output is "END" and then the counts of converted records and of err.txt lines.
string(REPLACE "|" ";" OPTIONS "${OPTIONS}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY_FILE "${DATA}/night_with_quirks.std" "${WORK}/night.std")
file(COPY_FILE "${DATA}/star.dat" "${WORK}/star.dat")
file(COPY_FILE "${DATA}/Alias.txt" "${WORK}/Alias.txt")

execute_process(COMMAND "${HJDPREP}" --convert night.std ${OPTIONS}
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("hjdprep: exit ${status}\n${out}${err}")
set(summary "END\n${EXPECT_POINTS} records converted, ${EXPECT_ERR} lines written to err.txt\n")
if(NOT status EQUAL 0 OR NOT out STREQUAL summary)
  message(FATAL_ERROR "hjdprep should exit 0 and print:\n${summary}")
endif()

execute_process(COMMAND "${ECTIMER}" --batch umbrix25.txt --format json
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("ectimer: exit ${status}\n${out}${err}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ectimer refused umbrix25.txt")
endif()
if(NOT out MATCHES "\"read\": ${EXPECT_POINTS}, \"points\": ${EXPECT_POINTS}[,}]")
  message(FATAL_ERROR "ectimer should read ${EXPECT_POINTS} points")
endif()
# A star's own light curve opens the same way: CASRZ has two records in the log (one under an
# alias).
execute_process(COMMAND "${ECTIMER}" --batch umbrix25_CASRZ.txt --format json
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("ectimer: exit ${status}\n${out}${err}")
if(NOT status EQUAL 0 OR NOT out MATCHES "\"read\": 2, \"points\": 2[,}]")
  message(FATAL_ERROR "ectimer should read the 2 points of umbrix25_CASRZ.txt")
endif()
file(REMOVE_RECURSE "${WORK}")
