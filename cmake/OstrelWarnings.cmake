# Our own code builds without a warning. With OSTREL_WERROR (CI and ./test.sh turn it
# on) a warning is an error; a user's or a packager's build, maybe with a newer
# compiler, never fails on one. Results must be the same bytes on every machine, so
# no fast-math style flags are ever added.
option(OSTREL_WERROR "Treat compiler warnings in our own code as errors" OFF)

function(ostrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(OSTREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
