# Runs PROGRAM (through EMULATOR when set) with ARGS, standard input from INPUT
# when given, and compares its standard output with the file EXPECTED and its
# exit status with STATUS (0 when not given). Usage:
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DARGS=a;b] [-DINPUT=...] [-DSTATUS=n] -DEXPECTED=... -P golden.cmake
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()
set(input_option)
if(INPUT)
  set(input_option INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS} ${input_option}
  OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}, expected ${STATUS}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n${actual}")
endif()
