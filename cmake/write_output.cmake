# Runs a program and writes what it prints into a file, whole or not at all:
#   -DPROGRAM=... -DARGUMENT=... -DOUTPUT=...
execute_process(COMMAND "${PROGRAM}" "${ARGUMENT}" OUTPUT_FILE "${OUTPUT}.part" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "${PROGRAM} ${ARGUMENT} failed: ${status}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
