# Runs PROGRAM (through EMULATOR when set) with ARGS, standard input from INPUT
# when given, and checks its exit status against STATUS (0 when not given),
# its standard output against the file EXPECTED and, when ERRORS is given, its
# standard error against that file. Usage:
#   cmake -DPROGRAM=... [-DEMULATOR=...] [-DARGS=a;b] [-DINPUT=...] [-DSTATUS=n]
#         [-DEXPECTED=...] [-DERRORS=...] -P golden.cmake
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()
set(input_option)
if(INPUT)
  set(input_option INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS} ${input_option}
  OUTPUT_VARIABLE actual ERROR_VARIABLE actual_errors RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "${PROGRAM} exited with ${status}, expected ${STATUS}\n${actual_errors}")
endif()
foreach(check "EXPECTED;actual" "ERRORS;actual_errors")
  list(GET check 0 file_variable)
  list(GET check 1 text_variable)
  if(${file_variable})
    file(READ ${${file_variable}} expected)
    if(NOT ${text_variable} STREQUAL expected)
      message(FATAL_ERROR "output differs from ${${file_variable}}:\n${${text_variable}}")
    endif()
  endif()
endforeach()
