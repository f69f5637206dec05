# Runs PROGRAM (through EMULATOR when set) with ARGS and compares its standard
# output with the file EXPECTED. Usage:
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DARGS=a;b] -DEXPECTED=... -P golden.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
  OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n${actual}")
endif()
