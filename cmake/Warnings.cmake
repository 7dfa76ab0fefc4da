# One warning set for every target of the project.
function(crackdepth_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                           -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
  if(CRACKDEPTH_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
