# Runs PROGRAM (through EMULATOR when set) with ARGS, standard input from INPUT
# when given, and checks its exit status against STATUS, its standard output
# against the file EXPECTED.out and, when there is one, its standard error
# against EXPECTED.err. Usage:
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DARGS=a;b] [-DINPUT=...] -DSTATUS=n -DEXPECTED=... -P golden.cmake
set(input_option)
if(INPUT)
  set(input_option INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS} ${input_option}
  OUTPUT_VARIABLE actual.out ERROR_VARIABLE actual.err RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}, expected ${STATUS}\n${actual.err}")
endif()
foreach(stream out err)
  if(stream STREQUAL out OR EXISTS ${EXPECTED}.${stream})
    file(READ ${EXPECTED}.${stream} expected)
    if(NOT actual.${stream} STREQUAL expected)
      message(FATAL_ERROR "output differs from ${EXPECTED}.${stream}:\n${actual.${stream}}")
    endif()
  endif()
endforeach()
