# Warnings are errors in our own code. Results must be the same bytes on every
# machine, so no fast-math style flags are ever added.
function(ostrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
