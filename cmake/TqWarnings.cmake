# Warnings for every target of the project: tq_warnings(<target>).
function(tq_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Wno-unused-parameter)
  if(TQ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
