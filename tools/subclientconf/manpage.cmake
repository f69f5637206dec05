# Writes the subclientconf(1) manual page from the program's own help texts,
# so the two cannot drift apart. Usage:
#   cmake -DPROGRAM=path/to/subclientconf [-DEMULATOR=...] -DVERSION=x.y.z -DOUTPUT=subclientconf.1 -P manpage.cmake
function(help_of out)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} --help failed")
  endif()
  # roff: a backslash is \e, a line may not begin with a dot or an apostrophe.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(main)
string(REGEX MATCH "Subcommands:\n(([ ]+[^\n]*\n)+)" listing "${main}")
string(REGEX MATCHALL "\n  [a-z]+" names "\n${CMAKE_MATCH_1}")
set(page ".TH SUBCLIENTCONF 1 \"\" \"subclientconf ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nsubclientconf \\- how a backup set is divided among its subclients, and why\n")
string(APPEND page ".SH SYNOPSIS\n.B subclientconf\n.I SUBCOMMAND\n[\\fIOPTIONS\\fR] \\fIFILE\\fR ...\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${main}.fi\n.SH SUBCOMMANDS\n")
foreach(name ${names})
  string(STRIP "${name}" name)
  help_of(sub ${name})
  string(APPEND page ".SS ${name}\n.nf\n${sub}.fi\n")
endforeach()
file(WRITE ${OUTPUT} "${page}")
# -DEXPECTED: fail unless the page built earlier is this one.
if(EXPECTED)
  file(READ ${EXPECTED} built)
  if(NOT built STREQUAL page)
    message(FATAL_ERROR "${EXPECTED} differs from the help texts: rebuild it")
  endif()
endif()
