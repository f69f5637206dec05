# Our own targets are -Wall -Wextra clean; -Werror is for CI only, so that a
# newer compiler's new warning never stops a user's build. Applied per target
# so that third-party code built from source (GoogleTest) keeps its own flags.
function(subclientconf_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SUBCLIENTCONF_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
